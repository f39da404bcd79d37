#include "CXMLDOM.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <new>

#include "AsciiCase.h"
#include "CConverter.h"
#include "CXmlPolicy.h"

namespace {

// The reason a load failed, as the console shows it: beginning with a capital letter, then
// the line and column when the parser knows them.
std::string Describe(const CXmlPolicy::Failure& failure) {
    std::string text = failure.reason.empty() ? "the document is not well-formed" : failure.reason;
    if (text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    if (failure.line > 0) {
        text += ", line " + std::to_string(failure.line);
        if (failure.column > 0) {
            text += ", column " + std::to_string(failure.column);
        }
    }
    return text;
}

bool IsXmlBlank(const xmlChar* text) {
    if (text == nullptr) {
        return true;
    }
    for (; *text != 0; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r') {
            return false;
        }
    }
    return true;
}

// The node kinds a classic DOM shows; declarations (the DOCTYPE and what it declares) are not
// part of the navigable tree, so searches never match or enter them.
bool IsVisible(const xmlNode* node) {
    switch (node->type) {
        case XML_ELEMENT_NODE:
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
        case XML_COMMENT_NODE:
        case XML_PI_NODE:
            return true;
        default:
            return false;
    }
}

XmlNode FirstVisible(xmlNode* node) {
    while (node != nullptr && !IsVisible(node)) {
        node = node->next;
    }
    return node;
}

// The special DOM names of the nodes that are not named by the document.
const char* SpecialName(const xmlNode* node) {
    switch (node->type) {
        case XML_TEXT_NODE:
            return "#text";
        case XML_CDATA_SECTION_NODE:
            return "#cdata-section";
        case XML_COMMENT_NODE:
            return "#comment";
        default:
            return nullptr;
    }
}

std::string_view View(const xmlChar* text) {
    return text != nullptr ? std::string_view(reinterpret_cast<const char*>(text)) : "";
}

// The prefix of an element's qualified name, empty when it has none.
std::string_view Prefix(const xmlNode* node) {
    return node->type == XML_ELEMENT_NODE && node->ns != nullptr ? View(node->ns->prefix) : "";
}

// The DOM name of a node, in UTF-8: the qualified name of an element, the target of a
// processing instruction, "#text", "#comment" or "#cdata-section".
std::string Utf8Name(const xmlNode* node) {
    if (const char* special = SpecialName(node); special != nullptr) {
        return special;
    }
    std::string name(Prefix(node));
    if (!name.empty()) {
        name += ':';
    }
    name += View(node->name);
    return name;
}

// True when the zero-terminated `text` equals `wanted`, ASCII letter case ignored or not.
// Compared as it is walked, without measuring `text` first: most names differ early.
template <bool kIgnoreCase>
bool EqualsZ(const xmlChar* text, std::string_view wanted) {
    if (text == nullptr) {
        return wanted.empty();
    }
    for (size_t i = 0; i < wanted.size(); ++i) {
        const char c = static_cast<char>(text[i]);
        if (c == 0 ||
            (kIgnoreCase ? AsciiCase::Lower(c) != AsciiCase::Lower(wanted[i]) : c != wanted[i])) {
            return false;
        }
    }
    return text[wanted.size()] == 0;
}

// Compares a node's name with a searched name given in Windows-1251 (already turned into
// UTF-8 by the caller), without building the name.
bool NameMatches(const xmlNode* node, std::string_view wantedUtf8) {
    if (const char* special = SpecialName(node); special != nullptr) {
        return AsciiCase::Equal(special, wantedUtf8);
    }
    const std::string_view prefix = Prefix(node);
    if (prefix.empty()) {
        return EqualsZ<true>(node->name, wantedUtf8);
    }
    const std::string_view local = View(node->name);
    return wantedUtf8.size() == prefix.size() + 1 + local.size() &&
           AsciiCase::Equal(wantedUtf8.substr(0, prefix.size()), prefix) &&
           wantedUtf8[prefix.size()] == ':' &&
           AsciiCase::Equal(wantedUtf8.substr(prefix.size() + 1), local);
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The node that follows `node` in document order once its subtree is done with: its next
// sibling, or the next sibling of the nearest ancestor that has one.
xmlNode* NextOutside(xmlNode* node, const xmlDoc* doc) {
    while (node != nullptr && node->next == nullptr) {
        node = node->parent;
        if (node == reinterpret_cast<const xmlNode*>(doc)) {
            return nullptr;
        }
    }
    return node != nullptr ? node->next : nullptr;
}

// Walks the whole tree once after parsing: takes whitespace-only text nodes out of it (the
// classic DOM default) and chains them into `blanks` through their `next`, and makes sure no
// entity reference survived the parser's expansion. Iterative, so the nesting depth costs no
// stack.
bool Normalise(xmlDoc* doc, xmlNode*& blanks) {
    xmlNode* node = doc->children;
    while (node != nullptr) {
        if (node->type == XML_ENTITY_REF_NODE) {
            return false;
        }
        if (node->type == XML_ELEMENT_NODE) {
            for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
                for (const xmlNode* part = attr->children; part != nullptr; part = part->next) {
                    if (part->type != XML_TEXT_NODE) {
                        return false;
                    }
                }
            }
            if (node->children != nullptr) {
                node = node->children;
                continue;
            }
        }
        xmlNode* next = NextOutside(node, doc);
        if (node->type == XML_TEXT_NODE && IsXmlBlank(node->content)) {
            xmlUnlinkNode(node);
            node->next = blanks;
            blanks = node;
        }
        node = next;
    }
    return true;
}

// A name given in Windows-1251, as UTF-8 to compare with the tree's names. The readers' names
// are plain ASCII, the same in both, and are used as they are; others are converted.
class Utf8Name1251 {
public:
    explicit Utf8Name1251(std::string_view name) {
        const bool ascii = std::all_of(name.begin(), name.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii) {
            view_ = name;
        } else {
            converted_ = CConverter::ToUtf8(name);
            view_ = converted_;
        }
    }
    std::string_view View() const { return view_; }

private:
    std::string converted_;
    std::string_view view_;
};

// The value of a node's attribute (name matched exactly, prefix included) in UTF-8. Most
// values are one text part and are handed out as a view of it; a value of several parts (the
// parser has expanded every entity and character reference, so the value is the plain
// concatenation of its text parts) is assembled in `storage`. False when there is none.
bool FindAttributeValue(XmlNode node, std::string_view name1251, std::string_view& value,
                        std::string& storage) {
    if (node == nullptr || node->type != XML_ELEMENT_NODE) {
        return false;
    }
    const Utf8Name1251 wanted(name1251);
    const std::string_view name = wanted.View();
    const char first = name.empty() ? '\0' : name[0];
    for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
        // Most attributes differ from the wanted name in their first byte.
        if (attr->ns == nullptr &&
            (attr->name == nullptr ? !name.empty()
                                   : attr->name[0] != static_cast<xmlChar>(first))) {
            continue;
        }
        const std::string_view prefix = attr->ns != nullptr ? View(attr->ns->prefix) : "";
        const bool matches = prefix.empty()
                                 ? EqualsZ<false>(attr->name, name)
                                 : name.size() > prefix.size() &&
                                       name.substr(0, prefix.size()) == prefix &&
                                       name[prefix.size()] == ':' &&
                                       EqualsZ<false>(attr->name, name.substr(prefix.size() + 1));
        if (!matches) {
            continue;
        }
        const xmlNode* part = attr->children;
        if (part != nullptr && part->next == nullptr && part->type == XML_TEXT_NODE) {
            value = View(part->content);
            return true;
        }
        storage.clear();
        for (; part != nullptr; part = part->next) {
            if (part->type == XML_TEXT_NODE && part->content != nullptr) {
                storage += reinterpret_cast<const char*>(part->content);
            }
        }
        value = storage;
        return true;
    }
    // Namespace declarations are attributes too in a DOM's attribute map.
    constexpr std::string_view kXmlns = "xmlns";
    if (name == kXmlns || (name.size() > kXmlns.size() + 1 && name.substr(0, 6) == "xmlns:")) {
        const std::string_view prefix =
            name == kXmlns ? std::string_view{} : name.substr(kXmlns.size() + 1);
        for (const xmlNs* ns = node->nsDef; ns != nullptr; ns = ns->next) {
            const std::string_view declared =
                ns->prefix != nullptr ? reinterpret_cast<const char*>(ns->prefix) : "";
            if (declared == prefix) {
                value = View(ns->href);
                return true;
            }
        }
    }
    return false;
}

}  // namespace

CXMLDOM::CXMLDOM() {
    xmlInitParser();
}

CXMLDOM::~CXMLDOM() {
    Release();
}

void CXMLDOM::Release() {
    firstByName_.clear();
    // Before the document: their texts may live in its dictionary.
    while (blanks_ != nullptr) {
        xmlNode* next = blanks_->next;
        blanks_->next = nullptr;
        xmlFreeNode(blanks_);
        blanks_ = next;
    }
    if (doc_ != nullptr) {
        xmlFreeDoc(doc_);
        doc_ = nullptr;
    }
}

bool CXMLDOM::Load(const std::string& path) {
    return Read(&path, {});
}

bool CXMLDOM::LoadMemory(std::string_view xml) {
    return Read(nullptr, xml);
}

bool CXMLDOM::Read(const std::string* path, std::string_view memory) {
    Release();
    lastError_.clear();
    lastErrorLine_ = 0;
    try {
        CXmlPolicy policy;
        xmlSAXHandler sax;
        CXmlPolicy::PrepareHandler(sax, CXmlPolicy::Mode::Tree);
        const bool parsed =
            path != nullptr ? policy.ParseFile(*path, sax) : policy.ParseMemory(memory, sax);
        xmlDoc* doc = policy.TakeDocument();
        if (!parsed || doc == nullptr) {
            if (doc != nullptr) {
                xmlFreeDoc(doc);
            }
            lastError_ = Describe(policy.GetFailure());
            lastErrorLine_ = std::max(policy.GetFailure().line, 0);
            return false;
        }
        doc_ = doc;
        if (!Normalise(doc, blanks_)) {
            Release();
            lastError_ = "The document keeps an entity reference that could not be expanded";
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        lastError_ = "Out of memory";
        return false;
    }
}

XmlNode CXMLDOM::GetFirstNode() const {
    return doc_ != nullptr ? FirstVisible(doc_->children) : nullptr;
}

XmlNode CXMLDOM::FindNode(XmlNode start, std::string_view name) const {
    // A search of the whole document (from its first node) is answered once per name: the
    // readers look for the first menu, `commonEntries` and the sections again and again.
    const bool wholeDocument = start != nullptr && start == GetFirstNode();
    std::string key;
    if (wholeDocument) {
        key.resize(name.size());
        std::transform(name.begin(), name.end(), key.begin(), AsciiCase::Lower);
        if (const auto found = firstByName_.find(key); found != firstByName_.end()) {
            return found->second;
        }
    }
    const XmlNode node = Search(start, name);
    if (wholeDocument) {
        firstByName_.emplace(std::move(key), node);
    }
    return node;
}

XmlNode CXMLDOM::Search(XmlNode start, std::string_view name) const {
    const Utf8Name1251 wanted(name);
    // Pre-order walk over start, its following siblings and all their descendants; `depth`
    // counts the levels below start's own, so the walk never climbs above it.
    XmlNode node = start != nullptr && IsVisible(start) ? start : nullptr;
    size_t depth = 0;
    while (node != nullptr) {
        if (NameMatches(node, wanted.View())) {
            return node;
        }
        if (XmlNode child = GetFirstChild(node); child != nullptr) {
            node = child;
            ++depth;
            continue;
        }
        for (;;) {
            if (XmlNode sibling = GetNextSibling(node); sibling != nullptr) {
                node = sibling;
                break;
            }
            if (depth == 0) {
                return nullptr;
            }
            node = node->parent;
            --depth;
        }
    }
    return nullptr;
}

XmlNode CXMLDOM::FindNextSibling(XmlNode node, std::string_view name) const {
    if (node == nullptr) {
        return nullptr;
    }
    const Utf8Name1251 wanted(name);
    for (XmlNode sibling = GetNextSibling(node); sibling != nullptr;
         sibling = GetNextSibling(sibling)) {
        if (NameMatches(sibling, wanted.View())) {
            return sibling;
        }
    }
    return nullptr;
}

XmlNode CXMLDOM::FindChild(XmlNode node, std::string_view name) const {
    if (node == nullptr) {
        return nullptr;
    }
    const Utf8Name1251 wanted(name);
    for (XmlNode child = GetFirstChild(node); child != nullptr; child = GetNextSibling(child)) {
        if (NameMatches(child, wanted.View())) {
            return child;
        }
    }
    return nullptr;
}

XmlNode CXMLDOM::GetFirstChild(XmlNode node) const {
    // Only elements have children in the navigable tree (an entity declaration's or a
    // DOCTYPE's contents are not part of it).
    if (node == nullptr || node->type != XML_ELEMENT_NODE) {
        return nullptr;
    }
    return FirstVisible(node->children);
}

XmlNode CXMLDOM::GetNextSibling(XmlNode node) const {
    return node != nullptr ? FirstVisible(node->next) : nullptr;
}

std::string CXMLDOM::GetNodeName(XmlNode node) const {
    return node != nullptr ? CConverter::ToNarrow(Utf8Name(node)) : std::string{};
}

int CXMLDOM::GetAttribute(XmlNode node, std::string_view name, std::string& out) const {
    std::string storage;
    std::string_view value;
    if (!FindAttributeValue(node, name, value, storage)) {
        return 1;
    }
    CConverter::ToNarrow(value, out);
    return 0;
}

int CXMLDOM::GetAttributeText(XmlNode node, std::string_view name, std::string& out) const {
    out.clear();
    return GetAttribute(node, name, out);
}

int CXMLDOM::GetAttributeShort(XmlNode node, std::string_view name, uint16_t& out) const {
    out = 0;
    return GetAttributeShortIfPresent(node, name, out);
}

// Numbers and booleans are read from the UTF-8 value itself: their characters are ASCII, the
// same in Windows-1251, and any other character ends a number or makes a word other than
// "true" and "false" in both.
int CXMLDOM::GetAttributeShortIfPresent(XmlNode node, std::string_view name, uint16_t& out) const {
    std::string storage;
    std::string_view value;
    if (!FindAttributeValue(node, name, value, storage)) {
        return 1;
    }
    out = static_cast<uint16_t>(ParseDecimal(value));
    return 0;
}

int CXMLDOM::GetAttributeChar(XmlNode node, std::string_view name, uint8_t& out) const {
    out = 0;
    std::string storage;
    std::string_view value;
    if (!FindAttributeValue(node, name, value, storage)) {
        return 1;
    }
    out = static_cast<uint8_t>(ParseDecimal(value));
    return 0;
}

int CXMLDOM::GetAttributeBool(XmlNode node, std::string_view name, uint8_t& out) const {
    std::string storage;
    std::string_view value;
    if (!FindAttributeValue(node, name, value, storage)) {
        return 1;
    }
    if (AsciiCase::Equal(value, "true")) {
        out = 1;
    } else if (AsciiCase::Equal(value, "false")) {
        out = 0;
    }
    return 0;
}

long CXMLDOM::LineOf(XmlNode node) {
    return node != nullptr ? xmlGetLineNo(node) : 0;
}

uint32_t CXMLDOM::ParseDecimal(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && IsXmlSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Unsigned arithmetic wraps modulo 2^32, which is exactly the low 32 bits of the value.
    uint32_t value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10u + static_cast<uint32_t>(text[pos] - '0');
        ++pos;
    }
    return negative ? 0u - value : value;
}
