#include "CListMenu.h"

#include "AsciiCase.h"

CListMenu::CListMenu() = default;

CListMenu::~CListMenu() = default;

XmlNode CListMenu::FirstMenu(const CXMLDOM& document) {
    return document.FindNode(document.GetFirstNode(), "menu");
}

XmlNode CListMenu::NextMenu(const CXMLDOM& document, XmlNode menu) {
    return document.FindNextSibling(menu, "menu");
}

int CListMenu::Load(const CXMLDOM& document) {
    names_.clear();
    for (XmlNode menu = FirstMenu(document); menu != nullptr; menu = NextMenu(document, menu)) {
        std::string name;
        document.GetAttributeText(menu, "name", name);
        names_.push_back(std::move(name));
    }
    return static_cast<int>(names_.size());
}

uint16_t CListMenu::Find(std::string_view name) const {
    if (name.empty()) {
        return 0;
    }
    for (size_t i = 0; i < names_.size(); ++i) {
        if (AsciiCase::Equal(names_[i], name)) {
            return static_cast<uint16_t>(i + 1);
        }
    }
    return 0;
}
