// The loaded configuration document. Readers walk it through this class: searches by element
// name (ASCII letters compared without regard to case), sibling and child steps, and attribute
// values (names matched exactly) as Windows-1251 text, small integers or booleans.
//
// The tree looks like a classic DOM's default view: whitespace-only text nodes are dropped,
// other text nodes are named "#text", comments "#comment", CDATA sections "#cdata-section",
// processing instructions by their target. Entities and character references are expanded.
// The document is read under CXmlPolicy: no DTD or external entity is ever loaded, nothing
// touches the network, the parser's entity-expansion limits stay on, and what entities may
// expand to is bounded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

struct _xmlNode;
struct _xmlDoc;
using XmlNode = _xmlNode*;

class CXMLDOM {
public:
    CXMLDOM();
    virtual ~CXMLDOM();
    CXMLDOM(const CXMLDOM&) = delete;
    CXMLDOM& operator=(const CXMLDOM&) = delete;

    // Parses the whole file (path in UTF-8), read as the parser goes, replacing any loaded
    // document. False when the file is missing, the document is not well-formed, its entities
    // expand past the bound of CXmlPolicy or memory runs out; LastError() then says why.
    bool Load(const std::string& path);
    // The same for a document held in memory (the encoding is the one it declares).
    bool LoadMemory(std::string_view xml);
    // The parser's reason for the last failed load, with line and column.
    const std::string& LastError() const { return lastError_; }
    // The line of the document that reason names; 0 when it names none.
    int LastErrorLine() const { return lastErrorLine_; }

    // The first child of the document node (the first top-level node).
    XmlNode GetFirstNode() const;
    // Depth-first search in document order over start, its descendants, its following
    // siblings and theirs. Null when nothing matches.
    XmlNode FindNode(XmlNode start, std::string_view name) const;
    // The first node after `node` among its siblings whose name matches.
    XmlNode FindNextSibling(XmlNode node, std::string_view name) const;
    // The first child of `node` whose name matches.
    XmlNode FindChild(XmlNode node, std::string_view name) const;
    XmlNode GetFirstChild(XmlNode node) const;
    XmlNode GetNextSibling(XmlNode node) const;
    // The node's name in Windows-1251 ("#text", "#comment", ... for the special nodes).
    std::string GetNodeName(XmlNode node) const;

    // Attributes. Each returns 0 when the attribute exists and 1 when it does not.
    // Value as Windows-1251 text; `out` is left as it was when the attribute is missing.
    int GetAttribute(XmlNode node, std::string_view name, std::string& out) const;
    // The same, but `out` is emptied when the attribute is missing.
    int GetAttributeText(XmlNode node, std::string_view name, std::string& out) const;
    // Decimal conversion of the value (low 16 bits); 0 when the attribute is missing.
    int GetAttributeShort(XmlNode node, std::string_view name, uint16_t& out) const;
    // The same, but `out` is left as it was when the attribute is missing.
    int GetAttributeShortIfPresent(XmlNode node, std::string_view name, uint16_t& out) const;
    // Decimal conversion of the value (low 8 bits); 0 when the attribute is missing.
    int GetAttributeChar(XmlNode node, std::string_view name, uint8_t& out) const;
    // 1 for "true", 0 for "false" (ASCII case ignored); any other value, or a missing
    // attribute, leaves `out` as it was.
    int GetAttributeBool(XmlNode node, std::string_view name, uint8_t& out) const;

    // The line of the document on which the node starts, as the parser recorded it (0 when
    // unknown).
    static long LineOf(XmlNode node);

    // Decimal conversion: leading white space, an optional sign, then digits up to the first
    // other character; no digits give 0. The result is the low 32 bits of the exact value.
    static uint32_t ParseDecimal(std::string_view text);

private:
    void Release();
    // Loads the file at `path`, or the document in `memory` when `path` is null.
    bool Read(const std::string* path, std::string_view memory);

    // The depth-first search of FindNode.
    XmlNode Search(XmlNode start, std::string_view name) const;

    _xmlDoc* doc_ = nullptr;
    // The whitespace-only text nodes taken out of the tree, chained through their `next`:
    // freed with the document, so that a tree left to the end of the process costs nothing.
    XmlNode blanks_ = nullptr;
    // Whole-document searches already answered, by name with ASCII letters in lower case.
    mutable std::unordered_map<std::string, XmlNode> firstByName_;
    std::string lastError_;
    int lastErrorLine_ = 0;
};
