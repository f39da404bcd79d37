// A generated document under construction: the XML writer of the generator (UTF-8 with its
// declaration, one element per line, indented two blanks) with attribute lists that own
// their values, comments that stay comments whatever they quote, and the places that could
// not be written as they are stored.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CXmlWriter.h"

class CXmlText {
public:
    // Attribute names and values (UTF-8), in the order they are written.
    using Attributes = std::vector<std::pair<std::string, std::string>>;

    CXmlText();

    void Comment(std::string_view text);
    // An element whose children follow until Close; one closed without children is written as
    // an empty element.
    void Open(std::string_view name, const Attributes& attributes = {});
    void Empty(std::string_view name, const Attributes& attributes = {});
    void Close();

    // A place that the document does not reproduce: a comment there, and one more note.
    void NotReproduced(std::string_view reason);
    const std::vector<std::string>& Notes() const { return notes_; }

    // The document so far; complete once every opened element is closed.
    const std::string& Text();

    // A text as XML 1.0 can hold it: every character that no XML document may contain (the
    // control characters but tab, line feed and carriage return) becomes '?'; `changed` tells.
    static std::string Printable(std::string_view utf8, bool& changed);

private:
    std::vector<CXmlWriter::Attribute> Prepared(const Attributes& attributes,
                                                std::vector<std::string>& values);

    // Writes the element opened last, which has children after all.
    void Flush();

    CXmlWriter writer_;
    bool pending_ = false;  // an element opened, not yet written
    std::string pendingName_;
    Attributes pendingAttributes_;
    std::vector<std::string> notes_;
};
