// Writes an XML document element by element into a string: attributes escaped, one element
// per line, indented by its depth (or not at all, to keep large documents small).
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CXmlWriter {
public:
    // An attribute's name and its value, written escaped.
    using Attribute = std::pair<std::string_view, std::string_view>;
    using Attributes = std::initializer_list<Attribute>;

    explicit CXmlWriter(size_t indentWidth = 2);

    // Values that hold a double quote and no apostrophe are then written in apostrophes, as
    // people write action expressions; otherwise every value is in double quotes.
    void QuoteWithApostrophes(bool apostrophes) { apostrophes_ = apostrophes; }

    // A comment line at the current depth.
    void Comment(std::string_view text);
    // An element whose children follow until the matching Close.
    void Open(std::string_view name, Attributes attributes = {});
    void Open(std::string_view name, const std::vector<Attribute>& attributes);
    // An element without children.
    void Empty(std::string_view name, Attributes attributes = {});
    void Empty(std::string_view name, const std::vector<Attribute>& attributes);
    void Close();

    // The document so far; complete once every opened element is closed.
    const std::string& Text() const { return text_; }

private:
    void StartTag(std::string_view name, std::span<const Attribute> attributes);
    void Indent();

    size_t indentWidth_;
    bool apostrophes_ = false;
    std::string text_;
    std::vector<std::string> open_;
};
