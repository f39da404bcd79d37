// The container of a database file read back (PdbLayout.h): the header, the record list and
// where each record lies. Checks what every reader of the file relies on: a whole header, a
// record list inside the file, the first record right after the list, offsets that never go
// back and stay inside the file, no application-info or sort-info block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "CByteReader.h"
#include "CProblemList.h"
#include "InspectJson.h"

class CPdbFile {
public:
    CPdbFile(std::span<const uint8_t> file, CProblemList& problems);

    bool HasHeader() const { return hasHeader_; }
    uint32_t Type() const;
    uint32_t Creator() const;
    // The database name as stored (up to its zero, Windows-1251).
    std::string Name() const;

    // The records whose place the record list gives; a record whose entry is broken is empty.
    size_t RecordCount() const { return records_.size(); }
    const CByteReader& Record(size_t index) const { return records_[index]; }
    size_t RecordOffset(size_t index) const { return offsets_[index]; }

    // {"name", "attributes", "version", "created", "modified", "backedUp" (calendar dates,
    // UTC), "modificationNumber", "appInfoOffset", "sortInfoOffset", "type", "creator" (the
    // four bytes as stored), "typeCode", "creatorCode", "uniqueIdSeed", "nextRecordList",
    // "recordCount"}; null without a whole header.
    Json HeaderJson() const;
    // [{"index", "offset", "size"}] for every record.
    Json RecordsJson() const;

    // The steps taken to find where the records end: at most one per record list entry.
    size_t Steps() const { return steps_; }

    // A date of the header (seconds since 1904-01-01 UTC) as "YYYY-MM-DD hh:mm:ss".
    static std::string CalendarDate(uint32_t palmSeconds);
    // A four-character code as its four file bytes; a byte that is no printable ASCII is '?'.
    static std::string FourCharacters(uint32_t code);

private:
    CByteReader file_;
    bool hasHeader_ = false;
    std::vector<CByteReader> records_;
    std::vector<size_t> offsets_;
    size_t steps_ = 0;
};
