// The configuration compiler's console: every progress line, error and warning of a run goes
// through one CLog, which the driver owns and hands to the readers (through their read
// context). Message texts are UTF-8; details are texts as stored in the database
// (Windows-1251) and are shown decoded back to UTF-8.
//
// A line is composed literally: the prefix ("[ERROR code] ", "[WARNING code] " or
// "[INFO] "), the message, then, whenever a detail is passed (even an empty one), one blank
// and the detail. A message that ends in ": " thus shows two blanks before its detail. Every
// line stays one line: a line break inside a text (a detail or a location taken from the
// input) is shown as a blank (ConsoleLine).
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

class CLog {
public:
    // One error or warning line as it was composed, for a program that keeps the messages
    // besides printing them (the document analysis): the location in front ("FILE:LINE: " or
    // empty) and the text after the prefix, detail included, both UTF-8.
    struct Message {
        bool error = false;
        int code = 0;
        std::string where;
        std::string text;
    };
    using Observer = std::function<void(const Message&)>;

    // Lines go to `out` (standard output for the program).
    explicit CLog(std::ostream& out);
    virtual ~CLog();
    CLog(const CLog&) = delete;
    CLog& operator=(const CLog&) = delete;

    // "[ERROR code] message" and "[WARNING code] message", without a detail.
    void Error(int code, std::string_view message);
    void Warning(int code, std::string_view message);
    // The same followed by one blank and the detail (Windows-1251).
    void Error(int code, std::string_view message, std::string_view detail);
    void Warning(int code, std::string_view message, std::string_view detail);
    // "[INFO] message".
    void Info(std::string_view message);
    // The two UTF-8 texts back to back on one line.
    void WideLine(std::string_view first, std::string_view second);
    void BlankLine();

    // One error or warning line; `where` (UTF-8, may be empty) goes in front of the prefix.
    void Line(bool error, int code, std::string_view where, std::string_view message,
              const std::string_view* detail);

    std::ostream& Stream() { return out_; }

    // Every later error and warning line is also handed to `observer` (none when empty).
    void SetObserver(Observer observer) { observer_ = std::move(observer); }

private:
    // Writes a text of a line, its line breaks shown as blanks.
    void Put(std::string_view text);

    std::ostream& out_;
    Observer observer_;
};
