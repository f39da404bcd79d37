// The menus section: every `menu` element compiled into the menus record (layout in
// MenuRecord.h). The menus are the first element named `menu` in document order and the
// siblings after it of the same name; a menu's number is its place among them, from 1, the
// number by which forms name their menu.
#pragma once

#include <cstddef>
#include <cstdint>

#include "CXMLDOM.h"
#include "ObjectReader.h"

class CMenuReader : public ObjectReader {
public:
    // Message codes.
    static constexpr int kMenuFailed = 0x0C01;
    static constexpr int kLimit = 0x0C10;
    // The most menus, and the longest menu name in bytes, that forms can name.
    static constexpr size_t kMaxMenus = 50;
    static constexpr size_t kMaxNameLength = 31;

    explicit CMenuReader(CReadContext& context);
    ~CMenuReader() override;

    // The menus record (`size` bytes), or null (size 0) when the document has no menu or a
    // menu fails; the error lines have then been printed.
    const uint8_t* Read(size_t& size);

    // The number of menus, and the first of them in `first` (null when there is none). Which
    // elements are menus is CListMenu's rule, so that menu numbers agree with it.
    static size_t CountMenus(const CXMLDOM& document, XmlNode& first);
};
