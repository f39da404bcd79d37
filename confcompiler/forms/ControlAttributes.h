// The type attributes of a control: the 12 bytes at offset 28 of the control record
// (ControlRecord::kTypeAttributes), laid out by control type. Offsets count from the start of
// that area; integers are little-endian; bytes not named are zero. A text reference is the
// string reference of a text added to the pool (an absent attribute adds the empty text).
//
// static, `staticattrs`:
//   offset  size  field
//        0     4  text reference of `text`
//        4     2  font id of `font`
//        6     2  reserved
//
// field, `fieldattrs`:
//        0     2  `maxChars`, signed (0 when absent)
//        2     2  font id of `font`
//        4     1  flags: bit 0 underlined, 1 singleLine, 2 dynamicSize, 3 autoShift,
//                 4 hasScrollBar, 5 numeric, bits 6-7 alignment of `justification`
//        5     3  reserved
//
// valueList, `valuelistattrs`:
//        0     2  font id of `font`
//        2     2  `maxVisibleCount`, signed (0 when absent)
//
// button, `buttonattrs` (pushbutton, `pushbuttonattrs`: offset 1 holds the group instead):
//        0     1  content kind of `type` (1 text, 2 graph)
//        1     1  button: frame type of `frameType`; pushbutton: low byte of `group`
//        2     2  reserved
//     text content (child element `text`):
//        4     4  text reference of its `text`
//        8     2  font id of its `font`
//       10     2  reserved
//     graph content (child element `graph`):
//        4     2  its `bitmapID` (0 when absent)
//        6     2  its `selectedBitmapID` (0 when absent)
//
// checkbox, `checkboxattrs`:
//        0     4  text reference of `text`
//        4     2  font id of `font`
//        6     1  low byte of `group`
//        7     1  reserved
//
// table, `tableattrs`:
//        0     2  `font` as a signed decimal number (0 when absent)
//        2     2  reserved
//
// bitmap, `bitmapattrs`:
//        0     2  `bitmapID` (0 when absent)
//        2     2  reserved
//
// datetime, `datetimeattrs`:
//        0     2  always 2
//        2     2  reserved
//        4     4  text reference of `title`
//
// formmenu: the area stays zero (the item list lies at record offsets 40 to 47).
#pragma once

#include <cstdint>

#include "ControlRecord.h"
#include "RecordField.h"

namespace StaticAttributes {
inline constexpr RecordField kText{0, 4};
inline constexpr RecordField kFont{4, 2};
inline constexpr RecordField kReserved{6, 2};
inline constexpr size_t kSize = 8;
static_assert(kReserved.End() == kSize);
}  // namespace StaticAttributes

namespace FieldAttributes {
inline constexpr RecordField kMaxChars{0, 2};
inline constexpr RecordField kFont{2, 2};
inline constexpr RecordField kFlags{4, 1};
inline constexpr RecordField kReserved{5, 3};
inline constexpr size_t kSize = 8;
static_assert(kReserved.End() == kSize);

// Bits of kFlags.
inline constexpr uint8_t kUnderlined = 1 << 0;
inline constexpr uint8_t kSingleLine = 1 << 1;
inline constexpr uint8_t kDynamicSize = 1 << 2;
inline constexpr uint8_t kAutoShift = 1 << 3;
inline constexpr uint8_t kHasScrollBar = 1 << 4;
inline constexpr uint8_t kNumeric = 1 << 5;
inline constexpr int kJustificationShift = 6;
}  // namespace FieldAttributes

namespace ValueListAttributes {
inline constexpr RecordField kFont{0, 2};
inline constexpr RecordField kMaxVisibleCount{2, 2};
inline constexpr size_t kSize = 4;
static_assert(kMaxVisibleCount.End() == kSize);
}  // namespace ValueListAttributes

// Button and pushbutton.
namespace ButtonAttributes {
inline constexpr RecordField kContentKind{0, 1};
// The content kinds stored in kContentKind.
inline constexpr uint8_t kTextContent = 1;
inline constexpr uint8_t kGraphContent = 2;
inline constexpr RecordField kFrameType{1, 1};  // button
inline constexpr RecordField kGroup{1, 1};      // pushbutton
inline constexpr RecordField kReserved{2, 2};
// Text content.
inline constexpr RecordField kText{4, 4};
inline constexpr RecordField kTextFont{8, 2};
inline constexpr RecordField kTextReserved{10, 2};
// Graph content.
inline constexpr RecordField kBitmapId{4, 2};
inline constexpr RecordField kSelectedBitmapId{6, 2};
inline constexpr size_t kSize = 12;
static_assert(kTextReserved.End() == kSize);
static_assert(kSelectedBitmapId.End() <= kSize);
}  // namespace ButtonAttributes

namespace CheckBoxAttributes {
inline constexpr RecordField kText{0, 4};
inline constexpr RecordField kFont{4, 2};
inline constexpr RecordField kGroup{6, 1};
inline constexpr RecordField kReserved{7, 1};
inline constexpr size_t kSize = 8;
static_assert(kReserved.End() == kSize);
}  // namespace CheckBoxAttributes

namespace TableAttributes {
inline constexpr RecordField kFont{0, 2};
inline constexpr RecordField kReserved{2, 2};
inline constexpr size_t kSize = 4;
static_assert(kReserved.End() == kSize);
}  // namespace TableAttributes

namespace BitmapAttributes {
inline constexpr RecordField kBitmapId{0, 2};
inline constexpr RecordField kReserved{2, 2};
inline constexpr size_t kSize = 4;
static_assert(kReserved.End() == kSize);
}  // namespace BitmapAttributes

namespace DateTimeAttributes {
inline constexpr RecordField kKind{0, 2};
inline constexpr RecordField kReserved{2, 2};
inline constexpr RecordField kTitle{4, 4};
inline constexpr size_t kSize = 8;
static_assert(kTitle.End() == kSize);

// The value kKind always holds.
inline constexpr uint16_t kKindValue = 2;
}  // namespace DateTimeAttributes

// Every layout fits the area of the control record.
inline constexpr size_t kTypeAttributesSize = ControlRecord::kTypeAttributes.size;
static_assert(StaticAttributes::kSize <= kTypeAttributesSize &&
              FieldAttributes::kSize <= kTypeAttributesSize &&
              ValueListAttributes::kSize <= kTypeAttributesSize &&
              ButtonAttributes::kSize <= kTypeAttributesSize &&
              CheckBoxAttributes::kSize <= kTypeAttributesSize &&
              TableAttributes::kSize <= kTypeAttributesSize &&
              BitmapAttributes::kSize <= kTypeAttributesSize &&
              DateTimeAttributes::kSize <= kTypeAttributesSize);
