// One section record of data objects read back: journals (JournalRecord.h), documents
// (DocumentRecord.h, with the common entries), record views and frames (ObjectHeader.h),
// references (ReferenceRecord.h). Each object with its header fields, its entry records
// (EntryRecord.h, DataSourceBlock.h) and its forms (FormHeader.h) with their control records
// (read by CControlInspector).
//
// Checks that headers, entries and controls lie inside the record and after the headers, that
// the form table holds every form header, that control indexes (navigation, first control,
// control arguments of the form's action code) name a control of the form or none, that entry
// indexes name an entry of the object, that menu numbers name a menu, and every string and
// code reference (through CStringPool).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CByteReader.h"
#include "CProblemList.h"
#include "CStringPool.h"
#include "InspectJson.h"

class CObjectInspector {
public:
    enum class Section { Journals, Documents, RecordViews, References, Frames };

    // `menuCount`: the menus a form may name (by number, from 1).
    CObjectInspector(Section section, CByteReader record, int index, CStringPool& pool,
                     CProblemList& problems, size_t menuCount);
    virtual ~CObjectInspector();

    // The objects of the section: [{"name", "view", "entryCount", "dataOffset", "formCount",
    // "init", kind's own fields, "entries": [...], "forms": [...]}]. An empty record (frames
    // and record views may be one) gives [].
    Json Read();
    // The common entry records of the documents section (after Read), [] for other sections.
    const Json& CommonEntries() const { return commonEntries_; }

private:
    // The entry record at `at` of the section record.
    Json Entry(size_t at);
    Json DataSource(size_t at);
    // The forms of the object whose header is at `header`; `entryNames` in entry-index order.
    Json Forms(size_t header, const std::string& object, const std::vector<std::string>& names);
    // The kind's own header fields after the shared 80 bytes.
    void OwnFields(size_t header, Json& object);
    // Entry names in entry-index order: other kinds first, then tables, common entries first.
    static void AddNames(const Json& entries, std::vector<std::string>& others,
                         std::vector<std::string>& tables);

    Section section_;
    CByteReader record_;
    int index_;
    CStringPool& pool_;
    CProblemList& problems_;
    size_t menuCount_;
    size_t headersEnd_ = 0;
    Json commonEntries_ = Json::array();
    std::string context_;  // the object being read, for messages
    std::string here_;     // the control being read
};
