#include "CListEntry.h"

#include "AsciiCase.h"
#include "CReadContext.h"

CListEntry::CListEntry(CReadContext& context) : context_(context) {}

CListEntry::~CListEntry() = default;

bool CListEntry::Collect(XmlNode parent, std::vector<std::string>& others,
                         std::vector<std::string>& tables) {
    const CXMLDOM& document = context_.Document();
    for (XmlNode entry = document.FindChild(parent, "entry"); entry != nullptr;
         entry = document.FindNextSibling(entry, "entry")) {
        std::string name;
        std::string type;
        document.GetAttributeText(entry, "name", name);
        document.GetAttributeText(entry, "type", type);
        if (name.size() > kNameLimit) {
            context_.TooLong(kLimitCode, "Имя реквизита entry", kNameLimit, name, entry);
            return false;
        }
        const bool table = AsciiCase::Equal(type, "table");
        std::vector<std::string>& group = table ? tables : others;
        if (group.size() == kGroupLimit) {
            context_.TooMany(kLimitCode,
                             table ? "имён табличных реквизитов entry" : "имён реквизитов entry",
                             kGroupLimit, name, entry);
            return false;
        }
        group.push_back(std::move(name));
    }
    return true;
}

int CListEntry::Build(XmlNode object, bool useCommonEntries) {
    names_.clear();
    tableCount_ = 0;
    const CXMLDOM& document = context_.Document();
    std::vector<std::string> others;
    std::vector<std::string> tables;
    if (useCommonEntries) {
        const XmlNode common = document.FindNode(document.GetFirstNode(), "commonEntries");
        if (!Collect(common, others, tables)) {
            return -1;
        }
    }
    if (!Collect(document.FindChild(object, "entries"), others, tables)) {
        return -1;
    }
    names_ = std::move(others);
    tableCount_ = tables.size();
    for (std::string& name : tables) {
        names_.push_back(std::move(name));
    }
    return Count();
}

uint16_t CListEntry::IndexOf(std::string_view name) const {
    if (name.empty()) {
        return kNoEntry;
    }
    for (size_t i = 0; i < names_.size(); ++i) {
        if (AsciiCase::Equal(names_[i], name)) {
            return static_cast<uint16_t>(i);
        }
    }
    return kNoEntry;
}
