// The references section record and the reference header (integers little-endian).
//
// Section record:
//   offset        size     content
//        0           2     number of references n
//        2     112 x n     reference headers, in document order
//  2 + 112n   variable     the references' data blocks, in the same order, without gaps
//
// Reference header (112 bytes, zero where not named); the first 80 bytes are ObjectHeader.h:
//   offset  size  field
//       80    32  database name, zero-terminated ("QL_" + name when not given)
#pragma once

#include "ObjectHeader.h"
#include "RecordField.h"

namespace ReferenceHeader {

inline constexpr RecordField kDatabaseName{80, 32};

inline constexpr size_t kSize = 112;
static_assert(kDatabaseName.offset == ObjectHeader::kSize);
static_assert(kDatabaseName.End() == kSize);

}  // namespace ReferenceHeader
