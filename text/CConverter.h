// Conversion between UTF-8 (the XML parser's and the console's encoding) and Windows-1251
// (the encoding of every text stored in the databases).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CConverter {
public:
    // UTF-8 to Windows-1251. Every code point without a Windows-1251 byte, and every byte
    // that is not part of a well-formed UTF-8 sequence, becomes '?'.
    static std::string ToNarrow(std::string_view utf8);
    // The same into `out`, which it replaces (its storage is reused).
    static void ToNarrow(std::string_view utf8, std::string& out);

    // Windows-1251 to UTF-8, for showing stored texts on the console. The one byte that has
    // no character in the code page (0x98) is shown as '?'.
    static std::string ToUtf8(std::string_view narrow);

    // The Windows-1251 byte of one code point, or -1 when the code page has none.
    static int NarrowByte(uint32_t codePoint);

    // The code point of one Windows-1251 byte, or 0 for the byte that has none.
    static uint32_t CodePoint(uint8_t byte);

    // Appends the UTF-8 bytes (one to four) of one code point, at most 0x10FFFF, to `out`.
    static void AppendUtf8(std::string& out, uint32_t codePoint);
};
