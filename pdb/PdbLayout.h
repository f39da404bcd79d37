// The Palm database container both programs write (integers little-endian, no gap after the
// record list):
//
// Header (78 bytes):
//
//   offset  size  field
//        0    32  database name, zero-padded (no terminator when it takes all 32 bytes)
//       32     2  attributes, 0
//       34     2  version, 0
//       36     4  creation date, seconds since 1904-01-01 00:00:00 UTC
//       40     4  modification date
//       44     4  last backup date
//       48     4  modification number, 0
//       52     4  application info offset, 0 (no application-info block)
//       56     4  sort info offset, 0
//       60     4  type, a four-character code stored as a 32-bit integer
//       64     4  creator, the same
//       68     4  unique-ID seed, 0
//       72     4  next record list, 0
//       76     2  number of records n
//
// Record list, right after the header: n entries of 8 bytes, in record order:
//
//   offset  size  field
//        0     4  offset of the record from the start of the file
//        4     1  record attributes, 0
//        5     3  unique ID, 0
//
// The first record starts at 78 + 8n; each record ends where the next one starts, the last at
// the end of the file.
#pragma once

#include "RecordField.h"

namespace PdbHeader {

inline constexpr RecordField kName{0, 32};
inline constexpr RecordField kAttributes{32, 2};
inline constexpr RecordField kVersion{34, 2};
inline constexpr RecordField kCreationDate{36, 4};
inline constexpr RecordField kModificationDate{40, 4};
inline constexpr RecordField kBackupDate{44, 4};
inline constexpr RecordField kModificationNumber{48, 4};
inline constexpr RecordField kAppInfoOffset{52, 4};
inline constexpr RecordField kSortInfoOffset{56, 4};
inline constexpr RecordField kType{60, 4};
inline constexpr RecordField kCreator{64, 4};
inline constexpr RecordField kUniqueIdSeed{68, 4};
inline constexpr RecordField kNextRecordList{72, 4};
inline constexpr RecordField kRecordCount{76, 2};

inline constexpr size_t kSize = 78;
static_assert(kRecordCount.End() == kSize);

}  // namespace PdbHeader

namespace PdbRecordEntry {

inline constexpr RecordField kDataOffset{0, 4};
inline constexpr RecordField kAttributes{4, 1};
inline constexpr RecordField kUniqueId{5, 3};

inline constexpr size_t kSize = 8;
static_assert(kUniqueId.End() == kSize);

}  // namespace PdbRecordEntry
