// The text of a document as an editor sees it: byte offsets turned into editor positions
// (0-based lines, columns in UTF-16 code units), and the start tags found in the text with the
// places of their names and attribute values. libxml2 tells only the line an element starts
// on; the columns come from here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CAnalysis.h"

class CDocumentText {
public:
    struct Attribute {
        std::string name;       // as written, prefix included
        size_t nameBegin = 0;   // byte offsets in the text
        size_t valueBegin = 0;  // inside the quotes
        size_t valueEnd = 0;
    };

    struct Tag {
        std::string name;  // as written, prefix included
        size_t begin = 0;  // the '<'
        size_t nameEnd = 0;
        size_t end = 0;          // past the '>' of the start tag
        size_t elementEnd = 0;   // past the end tag's '>' (the start tag's end when empty)
        uint32_t firstLine = 0;  // 1-based, as libxml2 counts
        uint32_t lastLine = 0;
        std::vector<Attribute> attributes;

        const Attribute* Find(std::string_view attributeName) const;
    };

    // A decoded attribute value: the text libxml2 gives (references expanded, line breaks and
    // tabs as blanks) and, for every byte of it, the offset in the document of its source.
    struct Value {
        std::string text;
        std::vector<size_t> offsets;
        size_t end = 0;  // the offset past the value's last byte
    };

    explicit CDocumentText(std::string_view text);

    std::string_view Text() const { return text_; }
    // Whether the bytes are UTF-8 (else a one-byte code page, one code unit per byte).
    bool Utf8() const { return utf8_; }

    SPosition Position(size_t offset) const;
    SRange Range(size_t begin, size_t end) const;
    // The whole of a 1-based line, its break excluded.
    SRange LineRange(uint32_t line) const;
    // The 1-based line of an offset.
    uint32_t LineOf(size_t offset) const;

    const std::vector<Tag>& Tags() const { return tags_; }
    // The start tag's range, and its name's.
    SRange TagRange(const Tag& tag) const { return Range(tag.begin, tag.end); }
    SRange ElementRange(const Tag& tag) const { return Range(tag.begin, tag.elementEnd); }
    SRange NameRange(const Tag& tag) const { return Range(tag.begin + 1, tag.nameEnd); }
    SRange ValueRange(const Attribute& attribute) const {
        return Range(attribute.valueBegin, attribute.valueEnd);
    }

    Value Decode(const Attribute& attribute) const;

private:
    static constexpr size_t kBlock = 64;

    // The UTF-16 code units of the bytes from `begin` to `end`, and of those before `offset`.
    uint32_t UnitsOf(size_t begin, size_t end) const;
    uint32_t UnitsBefore(size_t offset) const;
    void FindLines();
    void FindTags();
    // Skips from `at` past `terminator`; the text's end when it is missing.
    size_t Past(size_t at, std::string_view terminator) const;
    // Reads the start tag at `at` (a '<' followed by a name); returns the offset past it.
    size_t ReadStartTag(size_t at, Tag& tag) const;

    std::string_view text_;
    bool utf8_ = true;
    std::vector<size_t> lineStarts_;
    std::vector<uint32_t> unitsBefore_;
    std::vector<Tag> tags_;
};
