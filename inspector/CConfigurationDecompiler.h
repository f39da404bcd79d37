// The configuration database read back (CConfigurationInspector) written as the `quillora`
// document that quilconf compiles to the same bytes.
//
// What the database does not keep is chosen by one rule:
// - control ids: each control gets the id of its position in its form, counted from 1; its
//   navigation targets, the form's first control and every control argument of the form's
//   action code are written with those ids;
// - menu names: the n-th menu is "menu" followed by n, and a form names its menu so;
// - entry views, defaults and storage type texts are kept only in a document's field
//   description: there they are written back, elsewhere an entry gets its storage type
//   keyword and no view;
// - comments and layout of the source are not kept; the document comes in the fixed order of
//   the sections, each element with the attributes that differ from their defaults.
// Action code is written back through the disassembler, control arguments with the ids above;
// the string order of the pool picks the split of code that could be read more than one way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "CDisassembler.h"
#include "CListControl.h"
#include "CXmlText.h"
#include "InspectJson.h"

class CConfigurationDecompiler {
public:
    // `configuration` is the "configuration" member of the inspector's document; `pool` the
    // bytes of the strings record.
    CConfigurationDecompiler(const Json& configuration, std::span<const uint8_t> pool,
                             CXmlText& xml);
    virtual ~CConfigurationDecompiler();

    void Write();

private:
    void Menus();
    void MenuItems(const Json& items);
    void Journals();
    void CommonEntries();
    void Documents();
    void Objects(const char* key, const char* element);
    void Entries(const Json& entries, const Json* description, size_t& described);
    void Entry(const Json& entry, const Json* description);
    void DataSource(const Json& source);
    void Forms(const Json& forms);
    void Control(const Json& control);
    void TypeAttributes(const Json& control);
    void Events(const Json& control);
    void Acts(const Json& object, std::span<const std::string_view> events, bool inForm);
    // The expression of an action ({"offset", "code"} of the inspector); empty after a note
    // when it cannot be written.
    std::string Expression(const Json& action, bool inForm);
    // A control index of the inspector (null for none) as an id of the rule; empty for none.
    static std::string Id(const Json& index);
    static std::string Text(const Json& value);
    static std::string Number(const Json& value);

    const Json& configuration_;
    CXmlText& xml_;
    CDisassembler disassembler_;
    CListControl noControls_;
    CListControl controls_;        // the ids of the form being written
    std::vector<uint32_t> texts_;  // entries that hold an action string, ascending
    std::vector<uint32_t> codes_;  // entries that hold action code, ascending
    // What is being written, for the notes: the object, its form, and the place with ": ".
    std::string object_;
    std::string form_;
    std::string where_;
};
