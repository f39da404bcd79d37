// The menus record of a configuration database read back (MenuRecord.h): each menu with its
// items as a tree. Checks the directory (numbers 1, 2, ... and blocks inside the record), the
// menu type, that the items fit, that item ids are unique within their menu and that every
// parent is an item of the same menu read before its children.
#pragma once

#include <cstddef>

#include "CByteReader.h"
#include "CProblemList.h"
#include "CStringPool.h"
#include "InspectJson.h"

class CMenuInspector {
public:
    CMenuInspector(CByteReader record, int index, CStringPool& pool, CProblemList& problems);
    virtual ~CMenuInspector();

    // [{"number", "offset", "type", "items": [{"id", "kind", "title", "parent", "shortcut",
    // "action", "children": [...]}]}]
    Json Read();
    // The number of menus the record holds (forms name them by number).
    size_t MenuCount() const { return menuCount_; }

private:
    Json ReadBlock(size_t number, size_t offset);

    CByteReader record_;
    int index_;
    CStringPool& pool_;
    CProblemList& problems_;
    size_t menuCount_ = 0;
};
