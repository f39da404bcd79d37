// The entry name list of one object: the names of its entries, so that a control can name its
// entry and get the entry index, its position in this list. The list holds the names of the
// entries whose type is not "table" first, then the names of the table entries, each group
// in document order. For a document the entries of the first `commonEntries` element of the
// whole document come before the document's own, within each group.
//
// Limits: at most 100 names in each group, each name at most 31 bytes (Windows-1251). A list
// that passes them is refused with an error line (code 1808) and Build fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CXMLDOM.h"
#include "ConfigurationLayout.h"

class CReadContext;

class CListEntry {
public:
    static constexpr int kLimitCode = 0x0710;
    static constexpr size_t kGroupLimit = 100;
    static constexpr size_t kNameLimit = 31;
    // The entry index that names no entry.
    static constexpr uint16_t kNoEntry = ConfigurationLayout::kNoIndex;

    explicit CListEntry(CReadContext& context);
    virtual ~CListEntry();
    CListEntry(const CListEntry&) = delete;
    CListEntry& operator=(const CListEntry&) = delete;

    // Reads the names of the `entry` children of the object's `entries` element, preceded by
    // those of the first `commonEntries` element of the document when `useCommonEntries` is
    // set. Replaces what the list held before. Returns the number of names, or -1 (after the
    // error line) when a limit is passed; the list is then empty.
    int Build(XmlNode object, bool useCommonEntries);

    // The position of the first name equal to `name` (ASCII letter case ignored); kNoEntry
    // for an empty name or one that is not in the list.
    uint16_t IndexOf(std::string_view name) const;

    int Count() const { return static_cast<int>(names_.size()); }
    // How many of the names are those of table entries (the last ones of the list).
    int TableCount() const { return static_cast<int>(tableCount_); }

private:
    // Adds the names of the `entry` children of `parent` to the two groups; false after the
    // error line of a passed limit.
    bool Collect(XmlNode parent, std::vector<std::string>& others,
                 std::vector<std::string>& tables);

    CReadContext& context_;
    std::vector<std::string> names_;
    size_t tableCount_ = 0;
};
