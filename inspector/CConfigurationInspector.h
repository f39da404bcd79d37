// A configuration database read back: the info record (InfoRecord.h) and its slots, the
// 16-byte record, the menus (CMenuInspector), the five sections of objects (CObjectInspector)
// and the strings record (CStringPool).
//
// Checks besides theirs: nine records with the strings record at index 8 (every string
// reference names it), the info record's size and format code, each slot naming one of the
// section records 2 to 7 and no two slots the same (only the record-view slot may name none),
// a record that no slot names empty, no record over 60000 bytes.
#pragma once

#include <cstddef>

#include "CPdbFile.h"
#include "CProblemList.h"
#include "ConfigurationLayout.h"
#include "InspectJson.h"

class CConfigurationInspector {
public:
    // The client's largest record.
    static constexpr size_t kMaxRecordSize = ConfigurationLayout::kMaxRecordSize;
    static constexpr size_t kRecordCount = ConfigurationLayout::kStringsRecord + 1;

    CConfigurationInspector(const CPdbFile& file, CProblemList& problems);
    virtual ~CConfigurationInspector();

    // {"info": {...}, "menus", "journals", "documents", "commonEntries", "recordViews",
    // "references", "frames", "strings"}; `what` receives, per record index, what it is.
    Json Read(std::vector<std::string>& what);

private:
    const CPdbFile& file_;
    CProblemList& problems_;
};
