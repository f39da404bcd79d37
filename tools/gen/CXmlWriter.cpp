#include "CXmlWriter.h"

CXmlWriter::CXmlWriter(size_t indentWidth)
    : indentWidth_(indentWidth), text_("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") {}

void CXmlWriter::Indent() {
    text_.append(open_.size() * indentWidth_, ' ');
}

void CXmlWriter::Comment(std::string_view text) {
    Indent();
    text_ += "<!-- ";
    text_ += text;
    text_ += " -->\n";
}

void CXmlWriter::StartTag(std::string_view name, std::span<const Attribute> attributes) {
    Indent();
    text_ += '<';
    text_ += name;
    for (const auto& [attribute, value] : attributes) {
        text_ += ' ';
        text_ += attribute;
        // A value holding double quotes and no apostrophe is put in apostrophes, when asked.
        const char quote = apostrophes_ && value.find('"') != std::string_view::npos &&
                                   value.find('\'') == std::string_view::npos
                               ? '\''
                               : '"';
        text_ += '=';
        text_ += quote;
        for (const char c : value) {
            switch (c) {
                case '"':
                    text_ += quote == '"' ? "&quot;" : "\"";
                    break;
                case '&':
                    text_ += "&amp;";
                    break;
                case '<':
                    text_ += "&lt;";
                    break;
                case '>':
                    text_ += "&gt;";
                    break;
                // The parser would turn these into blanks in an attribute value.
                case '\t':
                    text_ += "&#9;";
                    break;
                case '\n':
                    text_ += "&#10;";
                    break;
                case '\r':
                    text_ += "&#13;";
                    break;
                default:
                    text_ += c;
            }
        }
        text_ += quote;
    }
}

void CXmlWriter::Open(std::string_view name, Attributes attributes) {
    Open(name, std::vector<Attribute>(attributes));
}

void CXmlWriter::Open(std::string_view name, const std::vector<Attribute>& attributes) {
    StartTag(name, attributes);
    text_ += ">\n";
    open_.emplace_back(name);
}

void CXmlWriter::Empty(std::string_view name, Attributes attributes) {
    Empty(name, std::vector<Attribute>(attributes));
}

void CXmlWriter::Empty(std::string_view name, const std::vector<Attribute>& attributes) {
    StartTag(name, attributes);
    text_ += "/>\n";
}

void CXmlWriter::Close() {
    const std::string name = std::move(open_.back());
    open_.pop_back();
    Indent();
    text_ += "</";
    text_ += name;
    text_ += ">\n";
}
