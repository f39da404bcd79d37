// A loaded configuration document together with its text: every element of the tree knows
// its start tag in the text, so that a finding or a name can be given the range of an
// attribute value, of a start tag or of the whole element.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "CAnalysis.h"
#include "CDocumentText.h"
#include "CXMLDOM.h"

class CDocumentTree {
public:
    // Loads the text; Loaded() tells whether it is a well-formed document.
    explicit CDocumentTree(std::string_view text);

    bool Loaded() const { return loaded_; }
    const CXMLDOM& Document() const { return document_; }
    const CDocumentText& Text() const { return text_; }
    // The root element; null when there is none.
    XmlNode Root() const { return root_; }

    // The elements of the tree in document order.
    const std::vector<XmlNode>& Elements() const { return elements_; }
    // The element children of a node, in order.
    std::vector<XmlNode> Children(XmlNode node) const;
    // The parent element; null for the root.
    static XmlNode Parent(XmlNode node);
    // The element's local name (UTF-8) and its attributes' names as written.
    static std::string Name(XmlNode node);
    static std::vector<std::string> AttributeNames(XmlNode node);
    // An attribute's value in UTF-8 (null when missing).
    static bool Attribute(XmlNode node, std::string_view name, std::string& value);

    // The start tag of the element in the text; null when the element has none there (it came
    // from an entity).
    const CDocumentText::Tag* TagOf(XmlNode node) const;
    // The element's start tag; the whole line libxml2 gives when the tag is not known.
    SRange TagRange(XmlNode node) const;
    SRange ElementRange(XmlNode node) const;
    SRange NameRange(XmlNode node) const;
    // The value of the attribute of that name (matched exactly); the start tag when missing.
    SRange ValueRange(XmlNode node, std::string_view attribute) const;
    const CDocumentText::Attribute* AttributeOf(XmlNode node, std::string_view attribute) const;

    // The start tags that begin on or cover a 1-based line, in order, at most `limit` of them
    // (a document may be one long line).
    std::vector<const CDocumentText::Tag*> TagsOnLine(uint32_t line, size_t limit) const;

private:
    void Index(XmlNode node);
    void MatchTags();

    CXMLDOM document_;
    CDocumentText text_;
    bool loaded_ = false;
    XmlNode root_ = nullptr;
    std::vector<XmlNode> elements_;
    std::unordered_map<XmlNode, const CDocumentText::Tag*> tags_;
};
