// The configuration database as a whole: its records, in the order the driver adds them, and
// the limits every record obeys (integers little-endian).
//
//   index  record
//       0  configuration info (InfoRecord.h)
//       1  hash record, 16 bytes
//  2 to 7  the section records; a section without record takes no index, and its slot in
//          the info record holds kNoRecord
//       8  strings record (when every section has its record; string references name it)
//
// No record holds more than kMaxRecordSize bytes.
//
// The strings record:
//
//   offset  size  field
//        0     2  zero, never the offset of an entry (reference 0 names nothing)
//        2     …  the entries back to back, each a 16-bit length n, then its n bytes
#pragma once

#include <cstddef>
#include <cstdint>

namespace ConfigurationLayout {

inline constexpr size_t kMaxRecordSize = 60000;

inline constexpr uint16_t kInfoRecord = 0;
inline constexpr uint16_t kHashRecord = 1;
inline constexpr uint16_t kFirstSectionRecord = 2;
inline constexpr uint16_t kStringsRecord = 8;
// An info-record slot of a section that has no record.
inline constexpr uint16_t kNoRecord = 0xFFFF;

// An index field of a record (a control, an entry, a menu) that names nothing.
inline constexpr uint16_t kNoIndex = 0xFFFF;

// The info record's format code.
inline constexpr uint16_t kFormatCode = 16;

}  // namespace ConfigurationLayout

namespace StringsRecord {

// The zero word the record starts with.
inline constexpr size_t kLeadSize = 2;
// The length word in front of every entry.
inline constexpr size_t kLengthSize = 2;

}  // namespace StringsRecord
