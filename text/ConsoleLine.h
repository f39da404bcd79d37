// The one rule both programs use to keep every console line on one line: a text that goes
// into a line (a parser's reason, a detail taken from the document, a path) shows each run of
// line breaks (CR and LF bytes, in any mix) as one blank. A text without a break is shown as
// it is. The bytes are compared alone, so the rule holds for UTF-8 and Windows-1251 texts.
#pragma once

#include <string>
#include <string_view>

class ConsoleLine {
public:
    static constexpr bool IsBreak(char c) { return c == '\n' || c == '\r'; }

    static constexpr bool HasBreak(std::string_view text) {
        return text.find_first_of("\r\n") != std::string_view::npos;
    }

    static std::string Joined(std::string_view text) {
        std::string line;
        line.reserve(text.size());
        for (size_t i = 0; i < text.size(); ++i) {
            if (!IsBreak(text[i])) {
                line += text[i];
                continue;
            }
            while (i + 1 < text.size() && IsBreak(text[i + 1])) {
                ++i;
            }
            line += ' ';
        }
        return line;
    }

    // The prefix of a line about line `line` of the input file `file` ("FILE:LINE: ", as the
    // compilers print it with --locations); empty when no line is known (0 or less).
    static std::string FormatLocation(std::string_view file, long line) {
        if (line <= 0) {
            return {};
        }
        return std::string(file) + ":" + std::to_string(line) + ": ";
    }
};
