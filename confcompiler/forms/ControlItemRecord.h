// One item of a formmenu control's item table (12 bytes, integers little-endian, zero where
// not named). The table is the records of the accepted `item` and `separator` children of
// `items`, back to back in document order, stored as one block in the string pool.
//
//   offset  size  field
//        0     2  kind: 1 item, 2 separator
//        2     2  item: `bitmapID` (0 when absent)
//        4     4  item: string reference of the text `view`
//        8     4  item: code reference of the action expression `func` (0 when absent)
#pragma once

#include <cstdint>

#include "RecordField.h"

namespace ControlItemRecord {

inline constexpr RecordField kKind{0, 2};
inline constexpr RecordField kBitmapId{2, 2};
inline constexpr RecordField kView{4, 4};
inline constexpr RecordField kFunc{8, 4};

inline constexpr size_t kSize = 12;
static_assert(kFunc.End() == kSize);

inline constexpr uint16_t kItem = 1;
inline constexpr uint16_t kSeparator = 2;

}  // namespace ControlItemRecord
