// Record 0 of the configuration database, the configuration info record (146 bytes, integers
// little-endian):
//
//   offset  size  field
//        0     2  format code, always 16 (ConfigurationLayout::kFormatCode)
//        2    64  configuration name (root attribute `name`), zero-terminated text
//       66    64  developer (root attribute `developer`), zero-terminated text
//      130     2  screen width (`screenWidth`, 240 when absent)
//      132     2  screen height (`screenHeight`, 268 when absent)
//      134     2  record index of the references record
//      136     2  record index of the documents record
//      138     2  record index of the menus record
//      140     2  record index of the record views record
//      142     2  record index of the frames record
//      144     2  record index of the journals record
//
// An index field holds ConfigurationLayout::kNoRecord until its section's record is added.
#pragma once

#include "RecordField.h"

namespace InfoRecord {

inline constexpr RecordField kFormatCode{0, 2};
inline constexpr RecordField kName{2, 64};
inline constexpr RecordField kDeveloper{66, 64};
inline constexpr RecordField kScreenWidth{130, 2};
inline constexpr RecordField kScreenHeight{132, 2};
inline constexpr RecordField kReferenceRecord{134, 2};
inline constexpr RecordField kDocumentRecord{136, 2};
inline constexpr RecordField kMenuRecord{138, 2};
inline constexpr RecordField kRecordViewRecord{140, 2};
inline constexpr RecordField kFrameRecord{142, 2};
inline constexpr RecordField kJournalRecord{144, 2};

inline constexpr size_t kSize = 146;
static_assert(kJournalRecord.End() == kSize);

}  // namespace InfoRecord
