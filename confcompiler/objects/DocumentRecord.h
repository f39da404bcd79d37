// The documents section record and the document header (integers little-endian).
//
// Section record:
//   offset        size     content
//        0           2     number of documents n
//        2           2     number of common entries (0 without `commonEntries`)
//        4           2     offset of the common entry records (0 when there are none)
//        6     144 x n     document headers, in document order
//  6 + 144n   variable     the documents' data blocks, in the same order, without gaps
//    after    variable     the common entry records (36 bytes each)
//
// Document header (144 bytes, zero where not named); the first 80 bytes are ObjectHeader.h:
//   offset  size  field
//       80    32  database name, zero-terminated ("QL_" + name when not given)
//      112     4  prefix (`prefix`), zero-terminated: at most 3 bytes
//      116     4  string reference of the field description
//      120     2  number of table entries among the common and own entries
//      122     2  number of names in the inheritance list
//      124     4  string reference of the inheritance list (0 without `inheritance`)
//      128     4  code reference of the action list `save`
//      132     4  code reference of the action list `copy`
//      136     4  code reference of the action list `delete`
//      140     1  pdaCreate (default 0)
//      141     1  hasJournal (default 1)
//      142     2  reserved, 0
//
// Field description (a pool entry): a 16-bit count, then per described entry its `name`,
// `dbtype`, `view` and `default` as padded texts. Inheritance list (a pool entry): the padded
// `name` of each `inheritance` that has one.
#pragma once

#include "ObjectHeader.h"
#include "RecordField.h"

namespace DocumentRecord {

inline constexpr RecordField kCount{0, 2};
inline constexpr RecordField kCommonEntryCount{2, 2};
inline constexpr RecordField kCommonEntriesOffset{4, 2};
inline constexpr size_t kHeadersOffset = 6;

}  // namespace DocumentRecord

namespace DocumentHeader {

inline constexpr RecordField kDatabaseName{80, 32};
inline constexpr RecordField kPrefix{112, 4};
inline constexpr RecordField kFieldDescription{116, 4};
inline constexpr RecordField kTableEntryCount{120, 2};
inline constexpr RecordField kInheritanceCount{122, 2};
inline constexpr RecordField kInheritances{124, 4};
inline constexpr RecordField kSave{128, 4};
inline constexpr RecordField kCopy{132, 4};
inline constexpr RecordField kDelete{136, 4};
inline constexpr RecordField kPdaCreate{140, 1};
inline constexpr RecordField kHasJournal{141, 1};
inline constexpr RecordField kReserved{142, 2};

inline constexpr size_t kSize = 144;
static_assert(kDatabaseName.offset == ObjectHeader::kSize);
static_assert(kReserved.End() == kSize);

}  // namespace DocumentHeader
