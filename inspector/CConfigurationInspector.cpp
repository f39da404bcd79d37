#include "CConfigurationInspector.h"

#include <array>
#include <string>
#include <vector>

#include "CConverter.h"
#include "CHashWriter.h"
#include "CMenuInspector.h"
#include "CObjectInspector.h"
#include "CStringPool.h"
#include "ConfigurationLayout.h"
#include "InfoRecord.h"
#include "PdbLayout.h"

namespace {

std::string N(size_t value) {
    return std::to_string(value);
}

constexpr size_t kNoRecord = ConfigurationLayout::kNoRecord;
constexpr size_t kFirstSection = ConfigurationLayout::kFirstSectionRecord;
constexpr size_t kStrings = ConfigurationLayout::kStringsRecord;

struct Slot {
    const char* key;    // in the JSON document
    const char* label;  // in messages and the record list
    RecordField field;
    bool optional;
};

}  // namespace

CConfigurationInspector::CConfigurationInspector(const CPdbFile& file, CProblemList& problems)
    : file_(file), problems_(problems) {}

CConfigurationInspector::~CConfigurationInspector() = default;

Json CConfigurationInspector::Read(std::vector<std::string>& what) {
    const size_t count = file_.RecordCount();
    what.assign(count, "");
    const auto record = [&](size_t index) {
        return index < count ? file_.Record(index) : CByteReader();
    };
    for (size_t i = 0; i < count; ++i) {
        if (file_.Record(i).Size() > kMaxRecordSize) {
            problems_.Add(static_cast<int>(i), kMaxRecordSize,
                          "record " + N(i) + " has " + N(file_.Record(i).Size()) +
                              " bytes, more than the " + N(kMaxRecordSize) + " a record may hold");
        }
    }
    if (count != kRecordCount) {
        problems_.Add(CProblemList::kFile, PdbHeader::kRecordCount.offset,
                      "the database has " + N(count) + " records, not " + N(kRecordCount) +
                          " (the strings record must be record " + N(kStrings) + ")");
    }
    if (count > 0) {
        what[0] = "info record";
    }
    if (count > 1) {
        what[1] = "16-byte record";
        if (file_.Record(1).Size() != CHashWriter::kSize) {
            problems_.Add(1, 0,
                          "record 1 has " + N(file_.Record(1).Size()) + " bytes, not " +
                              N(CHashWriter::kSize));
        }
    }
    if (count > kStrings) {
        what[kStrings] = "strings";
    }
    CStringPool pool(record(kStrings), static_cast<int>(kStrings), problems_);

    // The info record.
    const CByteReader info = record(0);
    if (info.Size() != InfoRecord::kSize) {
        problems_.Add(
            0, 0, "the info record has " + N(info.Size()) + " bytes, not " + N(InfoRecord::kSize));
    }
    if (info.Fits(InfoRecord::kFormatCode) &&
        info.Value(InfoRecord::kFormatCode) != ConfigurationLayout::kFormatCode) {
        problems_.Add(0, InfoRecord::kFormatCode.offset,
                      "the format code is " + N(info.Value(InfoRecord::kFormatCode)) + ", not " +
                          N(ConfigurationLayout::kFormatCode));
    }
    const auto text = [&](RecordField field) {
        bool terminated = false;
        const std::string value = info.FieldText(field, 0, terminated);
        if (info.Fits(field) && !terminated) {
            problems_.Add(0, field.offset, "a text of the info record has no terminating zero");
        }
        return CConverter::ToUtf8(value);
    };
    Json infoJson = {{"formatCode", info.Value(InfoRecord::kFormatCode)},
                     {"name", text(InfoRecord::kName)},
                     {"developer", text(InfoRecord::kDeveloper)},
                     {"screenWidth", info.Value(InfoRecord::kScreenWidth)},
                     {"screenHeight", info.Value(InfoRecord::kScreenHeight)}};

    static constexpr std::array<Slot, 6> kSlots{{
        {"menus", "menus", InfoRecord::kMenuRecord, false},
        {"journals", "journals", InfoRecord::kJournalRecord, false},
        {"documents", "documents", InfoRecord::kDocumentRecord, false},
        {"recordViews", "record views", InfoRecord::kRecordViewRecord, true},
        {"references", "references", InfoRecord::kReferenceRecord, false},
        {"frames", "frames", InfoRecord::kFrameRecord, false},
    }};
    std::array<size_t, kSlots.size()> named{};
    Json slots = Json::object();
    for (size_t s = 0; s < kSlots.size(); ++s) {
        const Slot& slot = kSlots[s];
        const size_t index = info.Fits(slot.field) ? info.Value(slot.field) : kNoRecord;
        named[s] = kNoRecord;
        slots[slot.key] = index == kNoRecord ? Json() : Json(index);
        if (index == kNoRecord) {
            if (!slot.optional) {
                problems_.Add(0, slot.field.offset,
                              std::string("the ") + slot.label + " slot names no record");
            }
            continue;
        }
        if (index < kFirstSection || index >= kStrings || index >= count) {
            problems_.Add(0, slot.field.offset,
                          std::string("the ") + slot.label + " slot names record " + N(index) +
                              ", which is no section record (2 to " + N(kStrings - 1) + ")");
            continue;
        }
        if (!what[index].empty()) {
            problems_.Add(0, slot.field.offset,
                          std::string("the ") + slot.label + " slot names record " + N(index) +
                              ", which the " + what[index] + " slot names too");
            continue;
        }
        what[index] = slot.label;
        named[s] = index;
    }
    infoJson["slots"] = std::move(slots);
    for (size_t i = kFirstSection; i < kStrings && i < count; ++i) {
        if (what[i].empty()) {
            what[i] = "empty (no section)";
            if (file_.Record(i).Size() != 0) {
                problems_.Add(static_cast<int>(i), 0,
                              "record " + N(i) + " belongs to no section, yet holds " +
                                  N(file_.Record(i).Size()) + " bytes");
            }
        }
    }

    // info, menus, the five object sections, commonEntries, strings
    Json result = ObjectWithRoom(9);
    result["info"] = std::move(infoJson);
    size_t menuCount = 0;
    if (named[0] != kNoRecord) {
        CMenuInspector menus(record(named[0]), static_cast<int>(named[0]), pool, problems_);
        result["menus"] = menus.Read();
        menuCount = menus.MenuCount();
    } else {
        result["menus"] = Json::array();
    }
    static constexpr std::array<std::pair<size_t, CObjectInspector::Section>, 5> kSections{{
        {1, CObjectInspector::Section::Journals},
        {2, CObjectInspector::Section::Documents},
        {3, CObjectInspector::Section::RecordViews},
        {4, CObjectInspector::Section::References},
        {5, CObjectInspector::Section::Frames},
    }};
    for (const auto& [s, section] : kSections) {
        const size_t index = named[s];
        if (index == kNoRecord) {
            result[kSlots[s].key] = Json::array();
            if (section == CObjectInspector::Section::Documents) {
                result["commonEntries"] = Json::array();
            }
            continue;
        }
        CObjectInspector objects(section, record(index), static_cast<int>(index), pool, problems_,
                                 menuCount);
        result[kSlots[s].key] = objects.Read();
        if (section == CObjectInspector::Section::Documents) {
            result["commonEntries"] = objects.CommonEntries();
        }
    }
    result["strings"] = pool.ToJson();
    return result;
}
