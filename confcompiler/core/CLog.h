// The configuration compiler's console: every progress line, error and warning goes through
// here. Message texts are UTF-8; details are texts as stored in the database (Windows-1251)
// and are shown decoded back to UTF-8.
#pragma once

#include <iosfwd>
#include <string_view>

class CLog {
public:
    // "[ERROR code] message" or "[WARNING code] message", without a detail.
    static void Message(bool error, std::string_view message, int code);
    // The same followed by one blank and the detail (even an empty one).
    static void Message(bool error, std::string_view message, std::string_view detail, int code);
    // "[INFO] message".
    static void Info(std::string_view message);
    // The two UTF-8 texts back to back on one line.
    static void WideLine(std::string_view first, std::string_view second);
    static void BlankLine();

    // Where the lines go (standard output unless a test redirects them).
    static void SetStream(std::ostream* stream);
    static std::ostream& Stream();
};
