// What the text around a cursor is, found by a lexical scan of the text before it, so that it
// works on a document that is being typed and is not well-formed: the open elements, and
// whether the cursor is in a tag's name, among its attributes or in an attribute's value.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CCursorContext {
public:
    enum class EPlace {
        Content,         // between tags (or in a comment, a processing instruction, CDATA)
        ElementName,     // typing the name after "<"
        EndTagName,      // typing the name after "</"
        AttributeName,   // inside a start tag, where an attribute's name goes
        AttributeValue,  // inside an attribute's quoted value
    };

    CCursorContext(std::string_view text, size_t offset);

    EPlace Place() const { return place_; }
    // The open elements around the cursor, outermost first (the tag being typed not included).
    const std::vector<std::string>& Open() const { return open_; }
    // The element of the tag the cursor is in (for names, attributes and values).
    const std::string& Element() const { return element_; }
    // The attribute whose value the cursor is in.
    const std::string& Attribute() const { return attribute_; }
    // The attributes already written in the tag (before the cursor).
    const std::vector<std::string>& Written() const { return written_; }
    // Where the word being typed begins (a name's letters, or a value's name characters).
    size_t WordStart() const { return wordStart_; }
    // Where the attribute value begins (just after its quote).
    size_t ValueStart() const { return valueStart_; }

    // True for the characters of element, attribute and action function names.
    static bool NameCharacter(char c);

private:
    EPlace place_ = EPlace::Content;
    std::vector<std::string> open_;
    std::string element_;
    std::string attribute_;
    std::vector<std::string> written_;
    size_t wordStart_ = 0;
    size_t valueStart_ = 0;
};
