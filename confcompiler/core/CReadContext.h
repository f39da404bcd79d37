// What every reader of one run works with: the loaded document, the run's one string pool,
// and the error reporting. The driver owns it and hands it to each reader.
//
// Error and Warning print exactly the console lines of CLog; they also take the node the
// problem concerns, so that with locations switched on a line begins with "FILE:LINE: " (the
// line libxml2 recorded for the node).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "CXMLDOM.h"

class CLog;
class CStringsReader;

class CReadContext {
public:
    CReadContext(const CXMLDOM& document, CStringsReader& pool, CLog& log);
    virtual ~CReadContext();
    CReadContext(const CReadContext&) = delete;
    CReadContext& operator=(const CReadContext&) = delete;

    const CXMLDOM& Document() const { return document_; }
    CStringsReader& Pool() { return pool_; }
    CLog& Log() { return log_; }

    // "[ERROR code] message" / "[WARNING code] message", with or without a detail
    // (Windows-1251). `node` may be null.
    void Error(int code, std::string_view message, XmlNode node = nullptr);
    void Error(int code, std::string_view message, std::string_view detail, XmlNode node = nullptr);
    void Warning(int code, std::string_view message, XmlNode node = nullptr);
    void Warning(int code, std::string_view message, std::string_view detail,
                 XmlNode node = nullptr);

    // Limits. Every refusal of a fixed field, buffer or count is reported through one of these
    // (error lines with the reader's code); the run then ends in failure whatever section it
    // is in, so nothing is ever truncated or left out silently.
    // "<label> длиннее N байт: <text>" (the text as Excerpt shows it).
    void TooLong(int code, std::string_view label, size_t limit, std::string_view text,
                 XmlNode node = nullptr);
    // "Слишком много <what> (больше N): <detail>" (`what` UTF-8, `detail` Windows-1251).
    void TooMany(int code, std::string_view what, size_t limit, std::string_view detail,
                 XmlNode node = nullptr);
    // "<what> превышает N байт", with ": <subject>" when a subject is given.
    void TooLarge(int code, std::string_view what, size_t limit, std::string_view subject,
                  XmlNode node = nullptr);
    // True once any limit was refused in this run, the string pool's included.
    bool LimitExceeded() const;

    // Puts "FILE:LINE: " in front of every error and warning about a node (FILE as given,
    // UTF-8). Off until called.
    void ShowLocations(std::string fileName);
    // What goes in front of a line about `node`: "FILE:LINE: " with locations shown and a
    // node whose line is known, otherwise nothing. For the lines printed past the context
    // (the string pool's, the expression compiler's).
    std::string Location(XmlNode node) const;

    // A text refused for its length, as an error line shows it: whole when it has at most 64
    // bytes, otherwise its first 64 bytes, "..." and its length.
    static std::string Excerpt(std::string_view text);

private:
    const CXMLDOM& document_;
    CStringsReader& pool_;
    CLog& log_;
    bool locations_ = false;
    bool limitExceeded_ = false;
    std::string fileName_;
};
