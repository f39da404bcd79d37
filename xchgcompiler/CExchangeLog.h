// The console of quilxdb as its readers and writer report to it: every error is one line,
// "FILE:LINE: " (with locations shown and the line known) or nothing, then the text, flushed
// at once, because a fatal error ends the run right after its line.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

class CExchangeLog {
public:
    explicit CExchangeLog(std::ostream& console);

    // Puts "FILE:LINE: " (FILE as given) in front of the lines that concern a line of the
    // document. Off until called.
    void ShowLocations(std::string fileName);
    // "FILE:LINE: " of `line` of the document with locations shown and `line` known (not 0),
    // otherwise nothing.
    std::string Location(long line) const;

    // `location` (as Location gives it, or nothing), `text` and the line end.
    void Line(std::string_view location, std::string_view text);
    // The same without the line end: the line about too many elements has none, so what the
    // program prints next follows on the same line.
    void OpenLine(std::string_view location, std::string_view text);

    // The console itself, for the listing of the settings and the database writer.
    std::ostream& Console() { return console_; }

private:
    std::ostream& console_;
    bool locations_ = false;
    std::string fileName_;
};
