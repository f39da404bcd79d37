// ASCII letter case folding, the one rule both compilers use to compare names and keywords:
// only the letters A to Z are folded; every other byte, Cyrillic letters included, is
// compared as it is.
#pragma once

#include <string_view>

class AsciiCase {
public:
    static constexpr char Lower(char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }

    static constexpr bool Equal(std::string_view a, std::string_view b) {
        if (a.size() != b.size()) {
            return false;
        }
        for (size_t i = 0; i < a.size(); ++i) {
            if (Lower(a[i]) != Lower(b[i])) {
                return false;
            }
        }
        return true;
    }

    // True when `text` begins with `prefix`, letter case ignored.
    static constexpr bool StartsWith(std::string_view text, std::string_view prefix) {
        return text.size() >= prefix.size() && Equal(text.substr(0, prefix.size()), prefix);
    }

    // `text` without the blanks and tabs at its ends.
    static constexpr std::string_view TrimBlanks(std::string_view text) {
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
            text.remove_prefix(1);
        }
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
            text.remove_suffix(1);
        }
        return text;
    }
};
