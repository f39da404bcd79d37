// Placeholder until the libxml2-backed implementation lands.
#include "CXMLDOM.h"

CXMLDOM::CXMLDOM() = default;
CXMLDOM::~CXMLDOM() = default;
bool CXMLDOM::Load(const std::string&) { return false; }
bool CXMLDOM::LoadMemory(std::string_view) { return false; }
XmlNode CXMLDOM::GetFirstNode() const { return nullptr; }
XmlNode CXMLDOM::FindNode(XmlNode, std::string_view) const { return nullptr; }
XmlNode CXMLDOM::FindNextSibling(XmlNode, std::string_view) const { return nullptr; }
XmlNode CXMLDOM::FindChild(XmlNode, std::string_view) const { return nullptr; }
XmlNode CXMLDOM::GetFirstChild(XmlNode) const { return nullptr; }
XmlNode CXMLDOM::GetNextSibling(XmlNode) const { return nullptr; }
std::string CXMLDOM::GetNodeName(XmlNode) const { return {}; }
int CXMLDOM::GetAttribute(XmlNode, std::string_view, std::string&) const { return 1; }
int CXMLDOM::GetAttributeText(XmlNode, std::string_view, std::string& out) const {
    out.clear();
    return 1;
}
int CXMLDOM::GetAttributeShort(XmlNode, std::string_view, uint16_t& out) const {
    out = 0;
    return 1;
}
int CXMLDOM::GetAttributeShortIfPresent(XmlNode, std::string_view, uint16_t&) const { return 1; }
int CXMLDOM::GetAttributeChar(XmlNode, std::string_view, uint8_t& out) const {
    out = 0;
    return 1;
}
int CXMLDOM::GetAttributeBool(XmlNode, std::string_view, uint8_t&) const { return 1; }
uint32_t CXMLDOM::ParseDecimal(std::string_view) { return 0; }
void CXMLDOM::Release() {}
