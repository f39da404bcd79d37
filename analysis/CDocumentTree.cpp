#include "CDocumentTree.h"

#include <libxml/tree.h>

#include <algorithm>
#include <iterator>

namespace {

// The name after the prefix.
std::string_view LocalName(std::string_view name) {
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

}  // namespace

CDocumentTree::CDocumentTree(std::string_view text) : text_(text) {
    loaded_ = document_.LoadMemory(text);
    if (!loaded_) {
        return;
    }
    for (XmlNode node = document_.GetFirstNode(); node != nullptr; node = node->next) {
        if (node->type == XML_ELEMENT_NODE) {
            root_ = node;
            break;
        }
    }
    if (root_ != nullptr) {
        Index(root_);
    }
    MatchTags();
}

void CDocumentTree::Index(XmlNode node) {
    elements_.push_back(node);
    for (XmlNode child = node->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE) {
            Index(child);
        }
    }
}

void CDocumentTree::MatchTags() {
    // Elements and start tags come in the same order; an element an entity brought in has no
    // tag of its own and is passed over, found by its line not fitting.
    constexpr size_t kLookAhead = 64;
    const std::vector<CDocumentText::Tag>& tags = text_.Tags();
    size_t next = 0;
    for (const XmlNode element : elements_) {
        const std::string name = text_.Utf8() ? Name(element) : document_.GetNodeName(element);
        const int64_t line = CXMLDOM::LineOf(element);
        for (size_t i = next; i < tags.size() && i < next + kLookAhead; ++i) {
            const CDocumentText::Tag& tag = tags[i];
            if (LocalName(tag.name) == name && line >= tag.firstLine && line <= tag.lastLine) {
                tags_[element] = &tag;
                next = i + 1;
                break;
            }
        }
    }
}

std::vector<XmlNode> CDocumentTree::Children(XmlNode node) const {
    std::vector<XmlNode> children;
    for (XmlNode child = node != nullptr ? node->children : nullptr; child != nullptr;
         child = child->next) {
        if (child->type == XML_ELEMENT_NODE) {
            children.push_back(child);
        }
    }
    return children;
}

XmlNode CDocumentTree::Parent(XmlNode node) {
    return node != nullptr && node->parent != nullptr && node->parent->type == XML_ELEMENT_NODE
               ? node->parent
               : nullptr;
}

std::string CDocumentTree::Name(XmlNode node) {
    return node != nullptr && node->name != nullptr ? reinterpret_cast<const char*>(node->name)
                                                    : std::string();
}

std::vector<std::string> CDocumentTree::AttributeNames(XmlNode node) {
    std::vector<std::string> names;
    for (xmlAttr* attribute = node != nullptr ? node->properties : nullptr; attribute != nullptr;
         attribute = attribute->next) {
        // Attributes of other vocabularies (xsi:...) are not the compiler's.
        if (attribute->ns == nullptr) {
            names.emplace_back(reinterpret_cast<const char*>(attribute->name));
        }
    }
    return names;
}

bool CDocumentTree::Attribute(XmlNode node, std::string_view name, std::string& value) {
    value.clear();
    if (node == nullptr) {
        return false;
    }
    const std::string key(name);
    xmlChar* text = xmlGetNoNsProp(node, reinterpret_cast<const xmlChar*>(key.c_str()));
    if (text == nullptr) {
        return false;
    }
    value = reinterpret_cast<const char*>(text);
    xmlFree(text);
    return true;
}

const CDocumentText::Tag* CDocumentTree::TagOf(XmlNode node) const {
    const auto found = tags_.find(node);
    return found == tags_.end() ? nullptr : found->second;
}

SRange CDocumentTree::TagRange(XmlNode node) const {
    const CDocumentText::Tag* tag = TagOf(node);
    return tag != nullptr ? text_.TagRange(*tag)
                          : text_.LineRange(static_cast<uint32_t>(CXMLDOM::LineOf(node)));
}

SRange CDocumentTree::ElementRange(XmlNode node) const {
    const CDocumentText::Tag* tag = TagOf(node);
    return tag != nullptr ? text_.ElementRange(*tag) : TagRange(node);
}

SRange CDocumentTree::NameRange(XmlNode node) const {
    const CDocumentText::Tag* tag = TagOf(node);
    return tag != nullptr ? text_.NameRange(*tag) : TagRange(node);
}

const CDocumentText::Attribute* CDocumentTree::AttributeOf(XmlNode node,
                                                           std::string_view attribute) const {
    const CDocumentText::Tag* tag = TagOf(node);
    if (tag == nullptr) {
        return nullptr;
    }
    for (const CDocumentText::Attribute& candidate : tag->attributes) {
        if (LocalName(candidate.name) == attribute) {
            return &candidate;
        }
    }
    return nullptr;
}

SRange CDocumentTree::ValueRange(XmlNode node, std::string_view attribute) const {
    const CDocumentText::Attribute* found = AttributeOf(node, attribute);
    return found != nullptr ? text_.ValueRange(*found) : TagRange(node);
}

std::vector<const CDocumentText::Tag*> CDocumentTree::TagsOnLine(uint32_t line,
                                                                 size_t limit) const {
    const std::vector<CDocumentText::Tag>& tags = text_.Tags();
    // Tags are in text order: the first one starting on the line or later, and before it the
    // few that start earlier and reach into it.
    auto at = std::lower_bound(
        tags.begin(), tags.end(), line,
        [](const CDocumentText::Tag& tag, uint32_t wanted) { return tag.firstLine < wanted; });
    auto first = at;
    while (first != tags.begin() && std::prev(first)->lastLine >= line) {
        --first;
    }
    std::vector<const CDocumentText::Tag*> found;
    for (auto tag = first; tag != tags.end() && tag->firstLine <= line && found.size() < limit;
         ++tag) {
        if (tag->lastLine >= line) {
            found.push_back(&*tag);
        }
    }
    return found;
}
