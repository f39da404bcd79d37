// The menus record: every menu of the configuration, the menus of the client's forms
// (integers little-endian, offsets counted from the first byte of the record).
//
// Record header:
//
//   offset  size  field
//        0     2  N, the number of menus
//        2  4 * N the menu directory, one entry per menu in document order
//   2 + 4N        the N menu blocks, back to back, in the same order
//
// Menu directory entry:
//
//   offset  size  field
//        0     2  menu number: 1 for the first menu, 2 for the second, ...
//        2     2  offset of the menu's block in the record
//
// Menu block:
//
//   offset  size  field
//        0     2  menu type, always 102
//        2     2  M, the number of item records
//        4 32 * M the item records, parents before their children, children in order
//
// Menu item record (32 bytes):
//
//   offset  size  field
//        0     2  item id: 2000 + the item's number in its menu, counted from 1
//        2    20  title, zero-terminated text, rest zero (empty for a separator)
//       22     2  parent: id of the enclosing submenu, menu item or separator; 0 at top level
//       24     1  shortcut: first byte of the shortcut text, 0 when none
//       25     1  kind: 1 separator, 2 submenu, 3 menu item
//       26     2  zero
//       28     4  code reference of the item's action, 0 when none
#pragma once

#include <cstdint>

#include "RecordField.h"

namespace MenuRecord {

inline constexpr RecordField kMenuCount{0, 2};

inline constexpr size_t kHeaderSize = 2;
static_assert(kMenuCount.End() == kHeaderSize);

}  // namespace MenuRecord

namespace MenuDirectoryEntry {

inline constexpr RecordField kNumber{0, 2};
inline constexpr RecordField kBlockOffset{2, 2};

inline constexpr size_t kSize = 4;
static_assert(kBlockOffset.End() == kSize);

}  // namespace MenuDirectoryEntry

namespace MenuBlock {

inline constexpr RecordField kType{0, 2};
inline constexpr RecordField kItemCount{2, 2};

inline constexpr size_t kHeaderSize = 4;
static_assert(kItemCount.End() == kHeaderSize);

// The type of every menu.
inline constexpr uint16_t kMenuType = 102;

}  // namespace MenuBlock

namespace MenuItemRecord {

inline constexpr RecordField kId{0, 2};
inline constexpr RecordField kTitle{2, 20};
inline constexpr RecordField kParent{22, 2};
inline constexpr RecordField kShortcut{24, 1};
inline constexpr RecordField kKind{25, 1};
inline constexpr RecordField kReserved{26, 2};
inline constexpr RecordField kCode{28, 4};

inline constexpr size_t kSize = 32;
static_assert(kCode.End() == kSize);

// Kinds.
inline constexpr uint8_t kNoItem = 0;
inline constexpr uint8_t kSeparator = 1;
inline constexpr uint8_t kSubmenu = 2;
inline constexpr uint8_t kMenuItem = 3;

// Item ids are this base plus the item's number in its menu (from 1).
inline constexpr uint16_t kIdBase = 2000;
// The parent of a top-level item.
inline constexpr uint16_t kNoParent = 0;

}  // namespace MenuItemRecord
