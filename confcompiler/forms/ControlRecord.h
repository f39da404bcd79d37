// The control record (68 bytes, integers little-endian, zero where not named): one `control`
// element of a form.
//
//   offset  size  field
//        0     4  reserved, always 0
//        4     2  entry index of the attribute `entry` (0xFFFF: none)
//        6     2  control type code
//        8     2  x of `layout`, signed
//       10     2  y of `layout`, signed
//       12     2  w of `layout`, signed
//       14     2  h of `layout`, signed
//       16     1  enable (1 when `enable` is absent)
//       17     1  layer, low byte of `layer` (255 when absent)
//       18     2  left: control index of the navigation target (0xFFFF: none)
//       20     2  right
//       22     2  up
//       24     2  down
//       26     1  resize flags
//       27     1  reserved
//       28    12  type attributes (ControlAttributes.h)
//       40     4  code reference of the event "select"
//       44     4  code reference of the event "update"
//       48     4  code reference of the event "init"
//       52     4  code reference of the event "changeposition"
//       56     4  code reference of the event "recordadded"
//       60     4  code reference of the event "recordchanged"
//       64     4  code reference of the event "recorddeleted"
//
// A formmenu control holds its item list in bytes 40 to 47 instead of the select and update
// slots:
//
//   offset  size  field
//       40     2  number of items
//       42     2  reserved
//       44     4  string reference of the item table (ControlItemRecord.h)
#pragma once

#include <cstdint>

#include "RecordField.h"

namespace ControlRecord {

inline constexpr RecordField kReserved{0, 4};
inline constexpr RecordField kEntry{4, 2};
inline constexpr RecordField kType{6, 2};
inline constexpr RecordField kX{8, 2};
inline constexpr RecordField kY{10, 2};
inline constexpr RecordField kW{12, 2};
inline constexpr RecordField kH{14, 2};
inline constexpr RecordField kEnable{16, 1};
inline constexpr RecordField kLayer{17, 1};
inline constexpr RecordField kLeft{18, 2};
inline constexpr RecordField kRight{20, 2};
inline constexpr RecordField kUp{22, 2};
inline constexpr RecordField kDown{24, 2};
inline constexpr RecordField kResize{26, 1};
inline constexpr RecordField kReserved2{27, 1};
inline constexpr RecordField kTypeAttributes{28, 12};
inline constexpr RecordField kSelect{40, 4};
inline constexpr RecordField kUpdate{44, 4};
inline constexpr RecordField kInit{48, 4};
inline constexpr RecordField kChangePosition{52, 4};
inline constexpr RecordField kRecordAdded{56, 4};
inline constexpr RecordField kRecordChanged{60, 4};
inline constexpr RecordField kRecordDeleted{64, 4};

// The item list of a formmenu control, over the select and update slots.
inline constexpr RecordField kItemCount{40, 2};
inline constexpr RecordField kItemReserved{42, 2};
inline constexpr RecordField kItemTable{44, 4};

inline constexpr size_t kSize = 68;
static_assert(kRecordDeleted.End() == kSize);
static_assert(kItemTable.End() == kUpdate.End());

// The layer byte of a control without `layer`.
inline constexpr uint8_t kNoLayer = 255;

}  // namespace ControlRecord

// The control type codes stored in kType.
namespace ControlType {

inline constexpr uint16_t kStatic = 1;
inline constexpr uint16_t kField = 2;
inline constexpr uint16_t kValueList = 3;
inline constexpr uint16_t kButton = 4;
inline constexpr uint16_t kPushButton = 5;
inline constexpr uint16_t kCheckBox = 6;
inline constexpr uint16_t kTable = 7;
inline constexpr uint16_t kFormMenu = 8;
inline constexpr uint16_t kBitmap = 9;
inline constexpr uint16_t kDateTime = 16;

}  // namespace ControlType
