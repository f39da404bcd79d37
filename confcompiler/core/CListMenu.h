// The menu name list: the `name` of every menu of the document, in the order of the menus
// record, so that a form can name its menu and store the menu's number (1-based).
//
// Which elements are menus is one rule, shared with the menus reader: the first element named
// `menu` in document order and the siblings after it that are named `menu`.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CXMLDOM.h"

class CListMenu {
public:
    CListMenu();
    virtual ~CListMenu();

    // The first menu of the document, and the menu after `menu`; null when there is none.
    static XmlNode FirstMenu(const CXMLDOM& document);
    static XmlNode NextMenu(const CXMLDOM& document, XmlNode menu);

    // Reads the names (an absent `name` gives an empty name) and returns their number.
    int Load(const CXMLDOM& document);
    // The number of the first menu whose name equals `name` (ASCII case ignored); 0 when the
    // name is empty or no menu has it.
    uint16_t Find(std::string_view name) const;

private:
    std::vector<std::string> names_;
};
