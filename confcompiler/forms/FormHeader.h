// The form header (56 bytes, integers little-endian, zero where not named). The headers of
// all forms of one object are stored one after the other in the string pool as the object's
// form table:
//
//   offset  size  field
//        0    32  name (`name` of the form), zero-terminated text
//       32     2  number of control records of the form
//       34     2  offset of the form's first control record, from the start of the section
//                 record (the caller's base offset plus the records of earlier forms)
//       36     2  layers (`layers`, signed)
//       38     2  menu number of `menuname` (1-based; 0 for none)
//       40     2  control index of the control whose id is `firstNav` (0xFFFF for none)
//       42     2  reserved, 0
//       44     4  code reference of the action list `preopen`
//       48     4  code reference of the action list `open`
//       52     4  code reference of the action list `close`
#pragma once

#include "RecordField.h"

namespace FormHeader {

inline constexpr RecordField kName{0, 32};
inline constexpr RecordField kControlCount{32, 2};
inline constexpr RecordField kControlsOffset{34, 2};
inline constexpr RecordField kLayers{36, 2};
inline constexpr RecordField kMenu{38, 2};
inline constexpr RecordField kFirstControl{40, 2};
inline constexpr RecordField kReserved{42, 2};
inline constexpr RecordField kPreopen{44, 4};
inline constexpr RecordField kOpen{48, 4};
inline constexpr RecordField kClose{52, 4};

inline constexpr size_t kSize = 56;
static_assert(kClose.End() == kSize);

}  // namespace FormHeader
