// The data-source block of an entry record (20 bytes, integers little-endian, zero where not
// named). It says where the handheld takes the entry's values from; its bytes 4 to 15 depend
// on the kind of source, so several names below share the same bytes:
//
//   offset  size  field
//        0     2  kind code: 1 static or create, 2 table or present
//        2     2  reserved, 0
//   static:
//        4     2  item count
//        6     2  0
//        8     4  string reference of the values list (padded texts back to back)
//       12     4  string reference of the views list (the n-th view belongs to the n-th value)
//   table:
//        4     4  string reference of the table name
//        8     4  string reference of the filter (an empty text when there is none)
//       12     4  0
//   present:
//        4     4  string reference of the table name
//        8     8  0
//   create:
//        4     4  string reference of the fields list (16-bit count, then name, dbtype, view
//                 and default of each field as padded texts)
//        8     8  0
//       16     4  reserved, 0
//
// The block lies inside the entry record; RecordField::At moves these names there.
#pragma once

#include "RecordField.h"

namespace DataSourceBlock {

inline constexpr RecordField kKind{0, 2};
inline constexpr RecordField kReserved{2, 2};
// static
inline constexpr RecordField kItemCount{4, 2};
inline constexpr RecordField kValues{8, 4};
inline constexpr RecordField kViews{12, 4};
// table and present
inline constexpr RecordField kTableName{4, 4};
// table
inline constexpr RecordField kFilter{8, 4};
// create
inline constexpr RecordField kFields{4, 4};
inline constexpr RecordField kTail{16, 4};

inline constexpr size_t kSize = 20;
static_assert(kTail.End() == kSize);
static_assert(kViews.End() == kTail.offset && kFilter.End() == kViews.offset);

}  // namespace DataSourceBlock
