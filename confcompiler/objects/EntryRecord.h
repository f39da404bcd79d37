// One entry record (36 bytes, integers little-endian, zero where not named): a data field of
// a document, reference, journal, frame or record view. An object's entry records lie back to
// back at the start of its data block, in document order.
//
//   offset  size  field
//        0     4  string reference of the name (attribute `name`)
//        4     4  reserved, 0
//        8     2  entry type code (attribute `type`; 1 when absent)
//       10     2  storage type code (attribute `dbtype`; 0 when absent)
//       12     1  mandatory: 1 when `mandatory` is "true", else 0
//       13     3  reserved, 0
//       16    20  data-source block (DataSourceBlock.h); zero without a `datasource` child
#pragma once

#include "DataSourceBlock.h"
#include "RecordField.h"

namespace EntryRecord {

inline constexpr RecordField kName{0, 4};
inline constexpr RecordField kReserved{4, 4};
inline constexpr RecordField kType{8, 2};
inline constexpr RecordField kDbType{10, 2};
inline constexpr RecordField kMandatory{12, 1};
inline constexpr RecordField kReserved2{13, 3};
inline constexpr RecordField kDataSource{16, DataSourceBlock::kSize};

inline constexpr size_t kSize = 36;
static_assert(kDataSource.End() == kSize);

}  // namespace EntryRecord
