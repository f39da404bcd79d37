// The exchange settings database built from a settings table, by the layouts of
// TransferRecords.h: the index record listing the exchanges, then one record per non-empty
// group of each exchange. Every record is sized and checked before the first is added, then
// built at its exact size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "CSettingsTable.h"

class CPdb;

class CTransferWriter {
public:
    using Record = std::vector<uint8_t>;

    // Adds the index record and the group records to `pdb`. A post-documents record whose
    // document blocks would not all start within its first 65536 bytes cannot be described
    // by its 16-bit offsets, and no record may exceed CSettingsTable::kMaxRecordSize bytes:
    // for the first record that breaks either rule one line naming its exchange (or the
    // exchange list, for the index record) is printed, nothing is added and the result is
    // false.
    static bool BuildDatabase(const CSettingsTable& table, CPdb& pdb, std::ostream& console);

    // Builds the database and writes it as `outputPrefix` followed directly by the table's
    // file name. False, with the reason printed, when it cannot be built or written.
    static bool WriteTransferDatabase(const CSettingsTable& table, const std::string& outputPrefix,
                                      std::ostream& console);

private:
    using Exchange = CSettingsTable::ExchangeSettings;
    static constexpr int kGroups = CSettingsTable::kGroups;
    static constexpr int kPostDocuments = CSettingsTable::kPostDocuments;
    static constexpr size_t kMaxRecordSize = CSettingsTable::kMaxRecordSize;
    static constexpr uint16_t kSlotsPerExchange = CSettingsTable::kSlotsPerExchange;
    static constexpr uint16_t kNoRecord = CSettingsTable::kNoRecord;

    // Bytes of the group's record. `offsetsFit` tells, for post documents, whether every
    // document block starts within the 16-bit offsets.
    static size_t RecordSize(const Exchange& exchange, int group, bool& offsetsFit);
    static void AppendRecord(Record& record, const Exchange& exchange, int group);
};
