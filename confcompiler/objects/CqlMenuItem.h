// One item of a menu (layout in MenuRecord.h): a submenu, a menu item or a separator, read
// from its node into the 32-byte item record. The menu that holds it gives the item its id,
// its parent and its kind, which follow from where the node stands in the menu.
#pragma once

#include <cstdint>
#include <string_view>

#include "MenuRecord.h"
#include "ObjectReader.h"

class CqlMenuItem : public ObjectReader {
public:
    // Message codes.
    static constexpr int kMissingTitle = 0x0401;
    static constexpr int kFaultyFunction = 0x0403;
    static constexpr int kBadShortcut = 0x0405;
    static constexpr int kLimit = 0x0410;

    explicit CqlMenuItem(CReadContext& context);
    ~CqlMenuItem() override;

    // The kind of item a node of the given name makes (names compared without regard to
    // ASCII letter case, prefix included): `separator`, `submenu`, `menuitem`;
    // MenuItemRecord::kNoItem for any other node.
    static uint8_t KindOf(std::string_view nodeName);

    // Reads the item of `kind` from `node` and returns its record (MenuItemRecord::kSize
    // bytes), or null after the error lines when the item cannot be stored: a faulty `func`
    // or a title that does not fit its field.
    const uint8_t* Read(XmlNode node, uint8_t kind, uint16_t id, uint16_t parent);

private:
    // The `title` attribute into the title field; false when it does not fit.
    bool ReadTitle(XmlNode node);
};
