#include "CqlMenuItem.h"

#include <string>

#include "AsciiCase.h"
#include "CActsReader.h"

CqlMenuItem::CqlMenuItem(CReadContext& context)
    : ObjectReader(context, kLimit, "Пункт меню", MenuItemRecord::kSize) {}

CqlMenuItem::~CqlMenuItem() = default;

uint8_t CqlMenuItem::KindOf(std::string_view nodeName) {
    if (AsciiCase::Equal(nodeName, "separator")) {
        return MenuItemRecord::kSeparator;
    }
    if (AsciiCase::Equal(nodeName, "submenu")) {
        return MenuItemRecord::kSubmenu;
    }
    if (AsciiCase::Equal(nodeName, "menuitem")) {
        return MenuItemRecord::kMenuItem;
    }
    return MenuItemRecord::kNoItem;
}

bool CqlMenuItem::ReadTitle(XmlNode node) {
    std::string title;
    if (Document().GetAttributeText(node, "title", title) != 0) {
        context_.Warning(kMissingTitle, "Отсутствует реквизит menuitem->title", node);
        return true;
    }
    return FixedText(MenuItemRecord::kTitle, title, "Заголовок пункта меню", node);
}

const uint8_t* CqlMenuItem::Read(XmlNode node, uint8_t kind, uint16_t id, uint16_t parent) {
    buffer_.Clear();
    buffer_.Reserve(MenuItemRecord::kSize);
    SetNode(node);
    buffer_.Put16(MenuItemRecord::kId, id);
    buffer_.Put16(MenuItemRecord::kParent, parent);
    buffer_.Put8(MenuItemRecord::kKind, kind);
    if (kind == MenuItemRecord::kSeparator) {
        return buffer_.Data();
    }
    if (!ReadTitle(node)) {
        return nullptr;
    }
    if (kind == MenuItemRecord::kSubmenu) {
        return buffer_.Data();
    }

    std::string text;
    if (Document().GetAttributeText(node, "func", text) == 0) {
        const std::optional<uint32_t> code =
            CActsReader::Compile(context_, text, nullptr, kFaultyFunction, kLimit, node);
        if (!code || *code == 0) {
            return nullptr;
        }
        buffer_.Put32(MenuItemRecord::kCode, *code);
    }
    // A `parent` attribute has no effect: the parent is the enclosing item element.
    Document().GetAttributeText(node, "shortcut", text);
    if (text.size() > 1) {
        context_.Warning(kBadShortcut, "Недопустимое значение menuitem->shortcut: ", text, node);
    }
    if (!text.empty()) {
        buffer_.Put8(MenuItemRecord::kShortcut, static_cast<uint8_t>(text[0]));
    }
    return buffer_.Failed() ? nullptr : buffer_.Data();
}
