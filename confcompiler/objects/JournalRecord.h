// The journals section record and the journal header (integers little-endian).
//
// Section record:
//   offset       size     content
//        0          2     number of journals n
//        2     88 x n     journal headers, in document order
//   2 + 88n  variable     the journals' data blocks, in the same order, without gaps
//
// Journal header (88 bytes, zero where not named); the first 80 bytes are ObjectHeader.h:
//   offset  size  field
//       80     2  reserved, 0
//       82     2  number of document kinds the journal lists
//       84     4  string reference of the document names list (0 when none was found)
//
// Document names list (a pool entry): the padded `name` of each accepted `jrndocument`.
#pragma once

#include "ObjectHeader.h"
#include "RecordField.h"

namespace JournalHeader {

inline constexpr RecordField kReserved{80, 2};
inline constexpr RecordField kDocumentCount{82, 2};
inline constexpr RecordField kDocuments{84, 4};

inline constexpr size_t kSize = 88;
static_assert(kReserved.offset == ObjectHeader::kSize);
static_assert(kDocuments.End() == kSize);

}  // namespace JournalHeader
