// One menu element read into its menu block (layout in MenuRecord.h): the type, the item
// count and the item records in pre-order. Every `submenu`, `menuitem` and `separator` node
// below the menu is an item (a processing instruction counts by its target); an item's parent
// is the nearest enclosing item, and nodes of other names are walked through, their children
// keeping the parent the node had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "MenuRecord.h"
#include "ObjectReader.h"

class CqlMenu : public ObjectReader {
public:
    // Message codes.
    static constexpr int kItemFailed = 0x0503;
    static constexpr int kLimit = 0x0510;
    // The most items one block of at most 60000 bytes holds.
    static constexpr size_t kMaxItems =
        (CRecordBuffer::kCapacity - MenuBlock::kHeaderSize) / MenuItemRecord::kSize;

    explicit CqlMenu(CReadContext& context);
    ~CqlMenu() override;

    // Reads the menu element and returns its block (`size` bytes), or null (size 0) after the
    // error lines when an item fails or the menu has more than kMaxItems items.
    const uint8_t* Read(XmlNode menu, size_t& size);

    uint16_t ItemCount() const { return count_; }

private:
    // Reads the items among the children of `node` and below them; false on the first
    // failure. The parser's nesting limit bounds the depth of this walk.
    bool ReadItems(XmlNode node, uint16_t parent);

    uint16_t count_ = 0;
    // The menu's `name`, for the line about too many items.
    std::string name_;
};
