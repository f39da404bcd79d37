// An exchange settings database read back (TransferRecords.h): each exchange with its groups
// and their entries.
//
// Checks: the index record's slot count, the exchange entries and their texts; each slot
// naming a group record of the database or none (the reserved slot always none), no record
// named twice, no group record that no exchange names; each group record read whole, ending
// exactly where its last entry ends, its document blocks where their offsets say, one after
// the other; post-table markers 0 and delete flags 0 or 1; no record over 65535 bytes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "CByteReader.h"
#include "CPdbFile.h"
#include "CProblemList.h"
#include "InspectJson.h"
#include "TransferRecords.h"

class CExchangeInspector {
public:
    // The largest record the handheld holds.
    static constexpr size_t kMaxRecordSize = TransferDatabase::kMaxRecordSize;

    CExchangeInspector(const CPdbFile& file, CProblemList& problems);
    virtual ~CExchangeInspector();

    // {"exchanges": [{"name", "view", "postDocuments", "postTables", "postFiles",
    // "getTables", "getDbs", "getFiles"}]}, each group null or {"record", "url", and its
    // entries}; `what` receives, per record index, what it is.
    Json Read(std::vector<std::string>& what);

private:
    // The group record `index` of `group` (a slot, TransferExchangeEntry::Slot).
    Json Group(size_t index, size_t group);
    Json Documents(const CByteReader& record, int index, size_t& offset, size_t count);

    const CPdbFile& file_;
    CProblemList& problems_;
    std::string exchange_;  // the exchange being read, for messages
};
