#include "CConverter.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <iconv.h>
#endif

#include <cstdint>
#include <string>
#include <string_view>

namespace {

#ifdef _WIN32
// iconv is no part of the Windows build; the table is the same code on every system.
struct ReferenceConverter {
    bool Ready() const { return false; }
    int Byte(uint32_t) { return -1; }
};
#define SKIP_WITHOUT_ICONV() GTEST_SKIP() << "iconv, the reference, is checked on Linux"
#else
#define SKIP_WITHOUT_ICONV()

// The C library's own converter from code points to Windows-1251, the reference the table is
// checked against.
class ReferenceConverter {
public:
    ReferenceConverter() : handle_(iconv_open("WINDOWS-1251", "UTF-32LE")) {}
    ~ReferenceConverter() {
        if (Ready()) {
            iconv_close(handle_);
        }
    }
    ReferenceConverter(const ReferenceConverter&) = delete;
    ReferenceConverter& operator=(const ReferenceConverter&) = delete;

    bool Ready() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // The byte for one code point, or -1 when the code page has none.
    int Byte(uint32_t codePoint) {
        char in[4] = {static_cast<char>(codePoint & 0xFF), static_cast<char>(codePoint >> 8 & 0xFF),
                      static_cast<char>(codePoint >> 16 & 0xFF),
                      static_cast<char>(codePoint >> 24 & 0xFF)};
        char out[8] = {};
        char* inPointer = in;
        char* outPointer = out;
        size_t inLeft = sizeof in;
        size_t outLeft = sizeof out;
        const size_t result = iconv(handle_, &inPointer, &inLeft, &outPointer, &outLeft);
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        if (result == static_cast<size_t>(-1) || inLeft != 0 || sizeof out - outLeft != 1) {
            return -1;
        }
        return static_cast<uint8_t>(out[0]);
    }

private:
    iconv_t handle_;
};
#endif

std::string Utf8(uint32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

bool IsSurrogate(uint32_t cp) {
    return cp >= 0xD800 && cp <= 0xDFFF;
}

TEST(CConverterTable, EveryCodePointAgreesWithIconv) {
    SKIP_WITHOUT_ICONV();
    ReferenceConverter reference;
    ASSERT_TRUE(reference.Ready());
    int mismatches = 0;
    int mapped = 0;
    for (uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        const int expected = IsSurrogate(cp) ? -1 : reference.Byte(cp);
        const int actual = CConverter::NarrowByte(cp);
        if (expected >= 0) {
            ++mapped;
        }
        if (actual != expected && ++mismatches <= 20) {
            ADD_FAILURE() << std::hex << "U+" << cp << ": table " << actual << ", iconv "
                          << expected;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(mapped, 255);  // every byte but 0x98 has a character
    // Beyond Unicode nothing maps.
    EXPECT_EQ(CConverter::NarrowByte(0x110000), -1);
    EXPECT_EQ(CConverter::NarrowByte(0xFFFFFFFF), -1);
}

TEST(CConverterTable, ToNarrowAgreesWithIconvForEveryCodePoint) {
    SKIP_WITHOUT_ICONV();
    ReferenceConverter reference;
    ASSERT_TRUE(reference.Ready());
    int mismatches = 0;
    for (uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (IsSurrogate(cp)) {
            continue;
        }
        const int byte = reference.Byte(cp);
        const std::string expected(1, byte < 0 ? '?' : static_cast<char>(byte));
        if (CConverter::ToNarrow(Utf8(cp)) != expected && ++mismatches <= 20) {
            ADD_FAILURE() << std::hex << "U+" << cp;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(CConverterTable, CodePointIsTheInverseOfNarrowByte) {
    for (int byte = 0; byte < 256; ++byte) {
        const uint32_t cp = CConverter::CodePoint(static_cast<uint8_t>(byte));
        if (byte == 0x98) {
            EXPECT_EQ(cp, 0u);
        } else if (byte != 0) {
            ASSERT_NE(cp, 0u) << byte;
            EXPECT_EQ(CConverter::NarrowByte(cp), byte) << byte;
        }
    }
}

TEST(CConverterText, RoundTripThroughUtf8) {
    for (int byte = 1; byte < 256; ++byte) {
        if (byte == 0x98) {
            continue;
        }
        const std::string narrow(1, static_cast<char>(byte));
        EXPECT_EQ(CConverter::ToNarrow(CConverter::ToUtf8(narrow)), narrow) << byte;
    }
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != 0x98) {
            all += static_cast<char>(byte);
        }
    }
    EXPECT_EQ(CConverter::ToNarrow(CConverter::ToUtf8(all)), all);
}

TEST(CConverterText, KnownTexts) {
    EXPECT_EQ(CConverter::ToNarrow(""), "");
    EXPECT_EQ(CConverter::ToNarrow("Норвил АРМ"), "\xCD\xEE\xF0\xE2\xE8\xEB \xC0\xD0\xCC");
    EXPECT_EQ(CConverter::ToNarrow("Ёё№€—«»"), "\xA8\xB8\xB9\x88\x97\xAB\xBB");
    EXPECT_EQ(CConverter::ToUtf8("\xCD\xEE\xF0\xE2\xE8\xEB \xC0\xD0\xCC"), "Норвил АРМ");
    EXPECT_EQ(CConverter::ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
    // The one byte without a character is shown as '?'.
    EXPECT_EQ(CConverter::ToUtf8("x\x98y"), "x?y");
}

TEST(CConverterText, UnmappableAndMalformedInputBecomesQuestionMarks) {
    EXPECT_EQ(CConverter::ToNarrow("a日b"), "a?b");  // one '?' per code point
    EXPECT_EQ(CConverter::ToNarrow("a\xF0\x9F\x98\x80"
                                   "b"),
              "a?b");                                   // outside the BMP
    EXPECT_EQ(CConverter::ToNarrow("\xC2\x98"), "?");   // U+0098 has no byte
    EXPECT_EQ(CConverter::ToNarrow("\x80"), "?");       // lone continuation byte
    EXPECT_EQ(CConverter::ToNarrow("\xC0\xAF"), "??");  // overlong form of '/'
    EXPECT_EQ(CConverter::ToNarrow("\xE0\x80\xAF"), "???");
    EXPECT_EQ(CConverter::ToNarrow("\xED\xA0\x80"), "???");       // encoded surrogate
    EXPECT_EQ(CConverter::ToNarrow("\xF4\x90\x80\x80"), "????");  // above U+10FFFF
    EXPECT_EQ(CConverter::ToNarrow("\xFF\xFEz"), "??z");
    // A sequence cut short, in the middle or at the very end, costs only its lead byte.
    EXPECT_EQ(CConverter::ToNarrow("\xD0z"), "?z");
    EXPECT_EQ(CConverter::ToNarrow("z\xD0"), "z?");
    EXPECT_EQ(CConverter::ToNarrow("z\xE2\x82"), "z??");
    EXPECT_EQ(CConverter::ToNarrow("\xD0\x9F\xD0"), "\xCF?");
}

// Converting into a string replaces what it held; ASCII runs around other bytes and
// malformed or cut sequences come out as the returning form gives them.
TEST(CConverterText, ToNarrowIntoAStringReplacesItsText) {
    const struct {
        std::string_view utf8;
        std::string_view narrow;
    } rows[] = {
        {"", ""},
        {"plain ASCII text", "plain ASCII text"},
        {"id \xD0\x9F"
         "1 = \xD1\x8F",
         "id \xCF"
         "1 = \xFF"},
        {"cut \xD0", "cut ?"},
        {"\xFF\xFE"
         "ab\xE2\x82\xAC",
         "??ab\x88"},
        {"\xF0\x9F\x98\x80 x", "? x"},
    };
    for (const auto& row : rows) {
        std::string out = "text held before";
        CConverter::ToNarrow(row.utf8, out);
        EXPECT_EQ(out, row.narrow) << row.utf8;
        EXPECT_EQ(CConverter::ToNarrow(row.utf8), row.narrow) << row.utf8;
    }
}

}  // namespace
