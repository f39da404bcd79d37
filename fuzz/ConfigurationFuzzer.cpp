// The configuration compile in memory, as far as this build has it: the document is loaded
// and every node is read through CXMLDOM (names, searches, the attribute readers). When the
// section readers land, this target runs the whole compile from the document's bytes to the
// database image (the driver's run with its writer kept in memory) in place of the walk.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CXMLDOM.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CXMLDOM document;
    if (!document.LoadMemory(std::string_view(reinterpret_cast<const char*>(data), size))) {
        return 0;
    }
    document.FindNode(document.GetFirstNode(), "quillora");
    std::vector<XmlNode> pending;
    for (XmlNode node = document.GetFirstNode(); node != nullptr;
         node = document.GetNextSibling(node)) {
        pending.push_back(node);
    }
    while (!pending.empty()) {
        const XmlNode node = pending.back();
        pending.pop_back();
        const std::string name = document.GetNodeName(node);
        document.FindNextSibling(node, name);
        std::string text;
        uint16_t number = 0;
        uint8_t small = 0;
        document.GetAttributeText(node, "name", text);
        document.GetAttributeShort(node, "id", number);
        document.GetAttributeChar(node, "type", small);
        document.GetAttributeBool(node, "mandatory", small);
        for (XmlNode child = document.GetFirstChild(node); child != nullptr;
             child = document.GetNextSibling(child)) {
            pending.push_back(child);
        }
    }
    return 0;
}
