// The first 80 bytes that the headers of documents, references, journals, frames and record
// views share (integers little-endian, zero where not named). A frame or record view header is
// exactly this; documents, references and journals add fields after it.
//
// The section records of journals, references, frames and record views: a 16-bit count n, the
// n headers, then the objects' data blocks back to back (documents: DocumentRecord.h).
//
//   offset  size  field
//        0    32  name (`name`), zero-terminated text
//       32    32  view (`view`), zero-terminated text
//       64     2  number of the object's own entry records in its data block
//       66     2  offset of the object's data block from the start of the section record
//       68     2  number of forms
//       70     2  reserved, 0
//       72     4  string reference of the object's form table
//       76     4  code reference of the action list `init`
//
// The data block: the entry records (36 bytes each), then the control records (68 bytes each)
// of all the object's forms.
#pragma once

#include "RecordField.h"

namespace ObjectHeader {

inline constexpr RecordField kName{0, 32};
inline constexpr RecordField kView{32, 32};
inline constexpr RecordField kEntryCount{64, 2};
inline constexpr RecordField kDataOffset{66, 2};
inline constexpr RecordField kFormCount{68, 2};
inline constexpr RecordField kReserved{70, 2};
inline constexpr RecordField kFormTable{72, 4};
inline constexpr RecordField kInit{76, 4};

inline constexpr size_t kSize = 80;
static_assert(kInit.End() == kSize);

}  // namespace ObjectHeader

namespace SectionRecord {

// The count that opens the section records of journals, references, frames and record views
// (and the menus record); the headers follow it.
inline constexpr RecordField kCount{0, 2};
inline constexpr size_t kHeadersOffset = 2;
static_assert(kCount.End() == kHeadersOffset);

}  // namespace SectionRecord
