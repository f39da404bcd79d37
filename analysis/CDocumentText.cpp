#include "CDocumentText.h"

#include <algorithm>

#include "AsciiCase.h"
#include "CConverter.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsNameChar(char c) {
    return !IsSpace(c) && c != '/' && c != '>' && c != '=' && c != '<' && c != '"' && c != '\'';
}

}  // namespace

const CDocumentText::Attribute* CDocumentText::Tag::Find(std::string_view attributeName) const {
    for (const Attribute& attribute : attributes) {
        if (attribute.name == attributeName) {
            return &attribute;
        }
    }
    return nullptr;
}

CDocumentText::CDocumentText(std::string_view text) : text_(text) {
    // A declared encoding other than UTF-8 is one of the one-byte code pages the compiler
    // reads (Windows-1251 above all).
    if (text_.starts_with("<?xml")) {
        const std::string_view declaration = text_.substr(0, text_.find("?>"));
        const size_t at = declaration.find("encoding");
        if (at != std::string_view::npos) {
            const size_t open = declaration.find_first_of("\"'", at);
            const size_t close = open == std::string_view::npos
                                     ? open
                                     : declaration.find(declaration[open], open + 1);
            if (close != std::string_view::npos) {
                const std::string_view name = declaration.substr(open + 1, close - open - 1);
                utf8_ = AsciiCase::Equal(name, "UTF-8") || AsciiCase::Equal(name, "UTF8");
            }
        }
    }
    FindLines();
    FindTags();
}

void CDocumentText::FindLines() {
    // The code units before every block, so that a column costs at most one block's bytes
    // past its line's start (a document may be one long line).
    unitsBefore_.reserve(text_.size() / kBlock + 1);
    uint32_t units = 0;
    for (size_t block = 0; block * kBlock <= text_.size(); ++block) {
        unitsBefore_.push_back(units);
        units += UnitsOf(block * kBlock, std::min(text_.size(), (block + 1) * kBlock));
    }
    lineStarts_.push_back(0);
    for (size_t i = 0; i < text_.size(); ++i) {
        if (text_[i] == '\n') {
            lineStarts_.push_back(i + 1);
        }
    }
}

uint32_t CDocumentText::LineOf(size_t offset) const {
    const auto next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
    return static_cast<uint32_t>(next - lineStarts_.begin());
}

uint32_t CDocumentText::UnitsOf(size_t begin, size_t end) const {
    uint32_t units = 0;
    for (size_t i = begin; i < end; ++i) {
        const auto byte = static_cast<uint8_t>(text_[i]);
        if (!utf8_ || (byte & 0xC0) != 0x80) {
            // A four-byte sequence is a surrogate pair.
            units += utf8_ && byte >= 0xF0 ? 2u : 1u;
        }
    }
    return units;
}

uint32_t CDocumentText::UnitsBefore(size_t offset) const {
    const size_t block = offset / kBlock;
    return unitsBefore_[block] + UnitsOf(block * kBlock, offset);
}

SPosition CDocumentText::Position(size_t offset) const {
    offset = std::min(offset, text_.size());
    const uint32_t line = LineOf(offset);
    // A line break of CR LF: the CR belongs to no column.
    return {line - 1, UnitsBefore(offset) - UnitsBefore(lineStarts_[line - 1])};
}

SRange CDocumentText::Range(size_t begin, size_t end) const {
    return {Position(begin), Position(std::max(begin, end))};
}

SRange CDocumentText::LineRange(uint32_t line) const {
    if (line == 0 || line > lineStarts_.size()) {
        return {};
    }
    const size_t begin = lineStarts_[line - 1];
    size_t end = line < lineStarts_.size() ? lineStarts_[line] - 1 : text_.size();
    if (end > begin && text_[end - 1] == '\r') {
        --end;
    }
    return Range(begin, end);
}

size_t CDocumentText::Past(size_t at, std::string_view terminator) const {
    const size_t found = text_.find(terminator, at);
    return found == std::string_view::npos ? text_.size() : found + terminator.size();
}

size_t CDocumentText::ReadStartTag(size_t at, Tag& tag) const {
    tag.begin = at;
    size_t i = at + 1;
    while (i < text_.size() && IsNameChar(text_[i])) {
        ++i;
    }
    tag.name.assign(text_.substr(at + 1, i - at - 1));
    tag.nameEnd = i;
    while (i < text_.size()) {
        while (i < text_.size() && IsSpace(text_[i])) {
            ++i;
        }
        if (i >= text_.size() || text_[i] == '>' || text_[i] == '<') {
            break;
        }
        if (text_[i] == '/') {
            ++i;
            continue;
        }
        Attribute attribute;
        attribute.nameBegin = i;
        while (i < text_.size() && IsNameChar(text_[i])) {
            ++i;
        }
        attribute.name.assign(text_.substr(attribute.nameBegin, i - attribute.nameBegin));
        while (i < text_.size() && IsSpace(text_[i])) {
            ++i;
        }
        if (i < text_.size() && text_[i] == '=') {
            ++i;
            while (i < text_.size() && IsSpace(text_[i])) {
                ++i;
            }
            if (i < text_.size() && (text_[i] == '"' || text_[i] == '\'')) {
                const char quote = text_[i];
                const size_t close = text_.find(quote, i + 1);
                attribute.valueBegin = i + 1;
                attribute.valueEnd = close == std::string_view::npos ? text_.size() : close;
                i = std::min(text_.size(), attribute.valueEnd + 1);
            }
        } else if (attribute.name.empty()) {
            ++i;  // a stray character, not part of any attribute
            continue;
        }
        if (attribute.valueBegin == 0) {
            attribute.valueBegin = attribute.valueEnd = i;
        }
        tag.attributes.push_back(std::move(attribute));
    }
    const bool empty = i > 0 && i < text_.size() && text_[i] == '>' && text_[i - 1] == '/';
    tag.end = i < text_.size() && text_[i] == '>' ? i + 1 : i;
    tag.elementEnd = empty ? tag.end : 0;
    tag.firstLine = LineOf(tag.begin);
    tag.lastLine = LineOf(tag.end > tag.begin ? tag.end - 1 : tag.begin);
    return tag.end;
}

void CDocumentText::FindTags() {
    std::vector<size_t> open;  // indices of the start tags not yet closed
    size_t at = 0;
    while ((at = text_.find('<', at)) != std::string_view::npos) {
        const std::string_view rest = text_.substr(at);
        if (rest.starts_with("<!--")) {
            at = Past(at + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            at = Past(at + 9, "]]>");
        } else if (rest.starts_with("<?")) {
            at = Past(at + 2, "?>");
        } else if (rest.starts_with("<!")) {
            // A document type declaration, its internal subset included.
            const size_t bracket = text_.find_first_of("[>", at);
            at = bracket != std::string_view::npos && text_[bracket] == '[' ? Past(bracket, "]")
                                                                            : bracket;
            at = at == std::string_view::npos ? text_.size() : Past(at, ">");
        } else if (rest.starts_with("</")) {
            size_t end = at + 2;
            while (end < text_.size() && IsNameChar(text_[end])) {
                ++end;
            }
            const std::string_view name = text_.substr(at + 2, end - at - 2);
            at = Past(at, ">");
            // The innermost open element of that name ends here, and every one inside it.
            for (size_t depth = open.size(); depth > 0; --depth) {
                if (tags_[open[depth - 1]].name == name) {
                    for (size_t j = depth - 1; j < open.size(); ++j) {
                        tags_[open[j]].elementEnd = at;
                    }
                    open.resize(depth - 1);
                    break;
                }
            }
        } else if (at + 1 < text_.size() && IsNameChar(text_[at + 1])) {
            Tag tag;
            at = ReadStartTag(at, tag);
            if (tag.elementEnd == 0) {
                open.push_back(tags_.size());
            }
            tags_.push_back(std::move(tag));
        } else {
            ++at;
        }
    }
    for (const size_t index : open) {
        tags_[index].elementEnd = text_.size();
    }
}

CDocumentText::Value CDocumentText::Decode(const Attribute& attribute) const {
    Value value;
    value.end = attribute.valueEnd;
    const std::string_view raw =
        text_.substr(attribute.valueBegin, attribute.valueEnd - attribute.valueBegin);
    for (size_t i = 0; i < raw.size(); ++i) {
        const size_t offset = attribute.valueBegin + i;
        char c = raw[i];
        if (c == '&') {
            const size_t semicolon = raw.find(';', i);
            const std::string_view name = semicolon == std::string_view::npos
                                              ? std::string_view()
                                              : raw.substr(i + 1, semicolon - i - 1);
            static constexpr std::pair<std::string_view, char> kEntities[] = {
                {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
            bool known = false;
            for (const auto& [entity, character] : kEntities) {
                if (name == entity) {
                    value.text += character;
                    known = true;
                }
            }
            if (!known && name.size() > 1 && name[0] == '#') {
                const bool hex = name[1] == 'x';
                uint32_t code = 0;
                for (const char digit : name.substr(hex ? 2 : 1)) {
                    const int d = digit >= '0' && digit <= '9'          ? digit - '0'
                                  : hex && digit >= 'a' && digit <= 'f' ? digit - 'a' + 10
                                  : hex && digit >= 'A' && digit <= 'F' ? digit - 'A' + 10
                                                                        : -1;
                    code = d < 0 || code > 0x10FFFF
                               ? 0x110000
                               : code * (hex ? 16u : 10u) + static_cast<uint32_t>(d);
                }
                if (code <= 0x10FFFF) {
                    if (utf8_) {
                        CConverter::AppendUtf8(value.text, code);
                    } else {
                        value.text += code < 0x100 ? static_cast<char>(code) : '?';
                    }
                    known = true;
                }
            }
            if (known) {
                value.offsets.resize(value.text.size(), offset);
                i = semicolon;
                continue;
            }
        }
        if (c == '\n' || c == '\t' || c == '\r') {
            if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
                continue;  // one blank for CR LF
            }
            c = ' ';
        }
        value.text += c;
        value.offsets.resize(value.text.size(), offset);
    }
    return value;
}
