// One entry of a data object: a data field with a name, a storage type, an entry type that
// says how the handheld presents and fills it, a mandatory flag and an optional data source.
// Reads one `entry` element into its 36-byte entry record (EntryRecord.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "EntryRecord.h"
#include "ObjectReader.h"

class CEntry : public ObjectReader {
public:
    static constexpr size_t kRecordSize = EntryRecord::kSize;
    // Entry type codes (attribute `type`); 0 names no type.
    static constexpr uint16_t kNoType = 0;
    static constexpr uint16_t kField = 1;
    static constexpr uint16_t kValueList = 2;
    static constexpr uint16_t kTable = 3;
    static constexpr uint16_t kDatabase = 16;
    static constexpr uint16_t kRecord = 17;
    // DbTypeCode of a text that begins with no storage type keyword.
    static constexpr int kNoDbType = -1;
    // The code of the entry reader's limits (and of a pool overflow met here).
    static constexpr int kLimitCode = 1808;

    explicit CEntry(CReadContext& context);
    ~CEntry() override;

    // Reads `entry` and returns its record (`size` set to 36), or null with `size` 0 after
    // printing why the entry is invalid.
    const uint8_t* Read(XmlNode entry, size_t& size);

    // "field" and "primitive" 1, "valueList" 2, "table" 3, "database" 16, "record" 17 (ASCII
    // case ignored); 0 for any other name.
    static uint16_t TypeCode(std::string_view name);
    // The code of the first keyword the text begins with, tried in this order and ASCII case
    // ignored: INTEGER 1, REAL 2, TEXT 3, BLOB 4, DATE 11, INT64 12. What follows the keyword
    // is not looked at ("VARCHAR(20)" is no keyword, "TEXT(20)" is TEXT). kNoDbType when the
    // text begins with none of them.
    static int DbTypeCode(std::string_view text);

    // The other way round, for showing a record: the (first) type name of a type code and the
    // keyword of a storage type code, as the tables above spell them; empty for other codes.
    static std::string_view TypeName(uint16_t code);
    static std::string_view DbTypeName(int code);
    // The `type` values and the `dbtype` keywords in table order, for tools that offer them.
    static std::vector<std::string_view> TypeNames();
    static std::vector<std::string_view> DbTypeNames();
};
