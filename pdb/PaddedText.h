// The padded form in which both databases store a text inside a record or a list: its bytes,
// a terminating zero and, when that makes an odd length, one more zero byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class PaddedText {
public:
    // Bytes the padded text takes: always even, at least 2.
    static constexpr size_t Size(std::string_view text) {
        return text.size() % 2 == 1 ? text.size() + 1 : text.size() + 2;
    }

    // Appends the padded text.
    static void Append(std::vector<uint8_t>& out, std::string_view text) {
        out.insert(out.end(), text.begin(), text.end());
        out.resize(out.size() + Size(text) - text.size(), 0);
    }
};
