// The records of the exchange settings database QL_PalmClientTransferDB (integers
// little-endian). Every text is a padded text: its Windows-1251 bytes, a terminating zero and,
// when that makes an odd length, one more zero byte (PaddedText.h).
//
// Index record (record 0):
//
//   offset  size  field
//        0     2  slots per exchange, always 7
//        2     2  number of exchanges N (0 to 10)
//        4        N exchange entries, back to back, in document order
//
// Exchange entry:
//
//   size   field
//   text   name
//   text   view
//      2   record index of the post documents, 0xFFFF when the group is empty
//      2   record index of the post tables
//      2   record index of the post files
//      2   reserved, always 0xFFFF
//      2   record index of the get tables
//      2   record index of the get dbs
//      2   record index of the get files
//
// Group record (one per non-empty group, numbered from 1 in the order of the exchanges and,
// within one, of the slots above), every group alike up to its entries:
//
//   size   field
//   text   URL of the group (the empty text when it has none)
//      2   number of entries E
//          the E entries
//
// Entries by group:
//
//   post documents  E offsets (2 bytes each) of the document blocks from the start of the
//                   record, then the blocks back to back, the first right after the offsets
//   post tables     name (text), then a 16-bit marker, always 0
//   post files      name and type (texts), then the 16-bit delete flag (0 or 1)
//   get tables      joined path and name (text)
//   get dbs         database name (text)
//   get files       name and type (texts)
//
// Document block:
//
//   size   field
//   text   document name
//      2   number of send flags F, then F times name, value and set (texts)
//      2   number of head fields H, then H names (texts)
//      2   number of table fields T, then T names (texts)
#pragma once

#include <cstddef>
#include <cstdint>

#include "RecordField.h"

namespace TransferDatabase {

// The largest record the handheld holds, in every record of the database.
inline constexpr size_t kMaxRecordSize = 0xFFFF;

}  // namespace TransferDatabase

namespace TransferIndexRecord {

inline constexpr RecordField kSlotsPerExchange{0, 2};
inline constexpr RecordField kExchangeCount{2, 2};

inline constexpr size_t kHeaderSize = 4;
static_assert(kExchangeCount.End() == kHeaderSize);

}  // namespace TransferIndexRecord

namespace TransferExchangeEntry {

// The record index slots after the two texts, in this order.
enum Slot : uint16_t {
    kPostDocuments,
    kPostTables,
    kPostFiles,
    kReserved,
    kGetTables,
    kGetDbs,
    kGetFiles,
    kSlotCount
};
inline constexpr size_t kSlotSize = 2;
inline constexpr size_t kSlotsSize = kSlotCount * kSlotSize;
// A slot of an empty group, and the reserved slot always.
inline constexpr uint16_t kNoRecord = 0xFFFF;

}  // namespace TransferExchangeEntry

namespace TransferGroupRecord {

// The entry count after the URL.
inline constexpr size_t kCountSize = 2;
// Post documents: each document block's offset.
inline constexpr size_t kDocumentOffsetSize = 2;
// Post tables: the word after each name, and its one value.
inline constexpr size_t kTableMarkerSize = 2;
inline constexpr uint16_t kTableMarker = 0;
// Post files: the delete flag after name and type.
inline constexpr size_t kDeleteFlagSize = 2;

}  // namespace TransferGroupRecord

namespace TransferDocumentBlock {

// Each of the three field counts after the document name.
inline constexpr size_t kCountSize = 2;
// Texts of one send flag: name, value and set.
inline constexpr size_t kSendFlagTexts = 3;
// The fixed bytes of a block besides its texts: the three counts.
inline constexpr size_t kCountsSize = 3 * kCountSize;

}  // namespace TransferDocumentBlock
