#include "CPdbFile.h"

#include <chrono>
#include <cstdio>

#include "CConverter.h"
#include "PdbLayout.h"

namespace {

std::string Number(size_t value) {
    return std::to_string(value);
}

}  // namespace

CPdbFile::CPdbFile(std::span<const uint8_t> file, CProblemList& problems) : file_(file) {
    if (!file_.Fits(0, PdbHeader::kSize)) {
        problems.Add(CProblemList::kFile, 0,
                     "the file has " + Number(file_.Size()) + " bytes, fewer than the " +
                         Number(PdbHeader::kSize) + "-byte header");
        return;
    }
    hasHeader_ = true;
    for (const RecordField field : {PdbHeader::kAppInfoOffset, PdbHeader::kSortInfoOffset}) {
        if (file_.Value(field) != 0) {
            problems.Add(CProblemList::kFile, field.offset,
                         "an application-info or sort-info offset (" + Number(file_.Value(field)) +
                             ") where the database has no such block (0)");
        }
    }

    size_t count = file_.Value(PdbHeader::kRecordCount);
    const size_t listEnd = PdbHeader::kSize + PdbRecordEntry::kSize * count;
    if (!file_.Fits(0, listEnd)) {
        problems.Add(CProblemList::kFile, PdbHeader::kRecordCount.offset,
                     "the record list of " + Number(count) + " entries would end at byte " +
                         Number(listEnd) + ", past the end of the file (" + Number(file_.Size()) +
                         " bytes)");
        count = (file_.Size() - PdbHeader::kSize) / PdbRecordEntry::kSize;
    }
    const size_t dataStart = PdbHeader::kSize + PdbRecordEntry::kSize * count;

    std::vector<size_t> starts(count);
    std::vector<bool> valid(count, false);
    size_t previous = dataStart;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = PdbHeader::kSize + PdbRecordEntry::kSize * i;
        const size_t start = file_.Value(PdbRecordEntry::kDataOffset, entry);
        starts[i] = start;
        const size_t where = entry + PdbRecordEntry::kDataOffset.offset;
        if (start > file_.Size()) {
            problems.Add(CProblemList::kFile, where,
                         "record " + Number(i) + " starts at byte " + Number(start) +
                             ", past the end of the file (" + Number(file_.Size()) + " bytes)");
        } else if (i == 0 && start < dataStart) {
            problems.Add(CProblemList::kFile, where,
                         "record 0 starts at byte " + Number(start) +
                             ", inside the header or the record list (which end at byte " +
                             Number(dataStart) + ")");
        } else if (i == 0 && start > dataStart) {
            problems.Add(CProblemList::kFile, where,
                         "record 0 starts at byte " + Number(start) + ", leaving a gap of " +
                             Number(start - dataStart) + " bytes after the record list");
        } else if (start < previous) {
            problems.Add(CProblemList::kFile, where,
                         "record " + Number(i) + " starts at byte " + Number(start) +
                             ", before the start of record " + Number(i - 1) + " (byte " +
                             Number(previous) + ")");
        } else {
            valid[i] = true;
            previous = start;
        }
    }
    // A record ends where the next valid one starts, the last at the end of the file. The
    // valid starts never go back, so one pass from the end finds every record's end: the work
    // stays linear in the count whatever the offsets are.
    offsets_ = std::move(starts);
    records_.resize(count);
    size_t end = file_.Size();
    for (size_t i = count; i-- > 0;) {
        ++steps_;
        if (valid[i]) {
            records_[i] = file_.Part(offsets_[i], end - offsets_[i]);
            end = offsets_[i];
        }
    }
}

uint32_t CPdbFile::Type() const {
    return file_.Value(PdbHeader::kType);
}

uint32_t CPdbFile::Creator() const {
    return file_.Value(PdbHeader::kCreator);
}

std::string CPdbFile::Name() const {
    bool terminated = false;
    return file_.FieldText(PdbHeader::kName, 0, terminated);
}

std::string CPdbFile::CalendarDate(uint32_t palmSeconds) {
    using namespace std::chrono;
    constexpr int64_t kPalmEpochToUnix = 2082844800;
    const sys_seconds time{seconds{static_cast<int64_t>(palmSeconds) - kPalmEpochToUnix}};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss<seconds> clock{time - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02ld:%02ld:%02ld",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<long>(clock.hours().count()),
                  static_cast<long>(clock.minutes().count()),
                  static_cast<long>(clock.seconds().count()));
    return text;
}

std::string CPdbFile::FourCharacters(uint32_t code) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<char>((code >> (8 * i)) & 0xFF);
        text += byte >= 0x20 && byte < 0x7F ? byte : '?';
    }
    return text;
}

Json CPdbFile::HeaderJson() const {
    if (!hasHeader_) {
        return Json();
    }
    const auto value = [this](RecordField field) { return file_.Value(field); };
    Json header = ObjectWithRoom(16);
    header["name"] = CConverter::ToUtf8(Name());
    header["attributes"] = value(PdbHeader::kAttributes);
    header["version"] = value(PdbHeader::kVersion);
    header["created"] = CalendarDate(value(PdbHeader::kCreationDate));
    header["modified"] = CalendarDate(value(PdbHeader::kModificationDate));
    header["backedUp"] = CalendarDate(value(PdbHeader::kBackupDate));
    header["modificationNumber"] = value(PdbHeader::kModificationNumber);
    header["appInfoOffset"] = value(PdbHeader::kAppInfoOffset);
    header["sortInfoOffset"] = value(PdbHeader::kSortInfoOffset);
    header["type"] = FourCharacters(Type());
    header["creator"] = FourCharacters(Creator());
    header["typeCode"] = Type();
    header["creatorCode"] = Creator();
    header["uniqueIdSeed"] = value(PdbHeader::kUniqueIdSeed);
    header["nextRecordList"] = value(PdbHeader::kNextRecordList);
    header["recordCount"] = value(PdbHeader::kRecordCount);
    return header;
}

Json CPdbFile::RecordsJson() const {
    Json list = Json::array();
    list.get_ref<Json::array_t&>().reserve(records_.size());
    for (size_t i = 0; i < records_.size(); ++i) {
        Json record = ObjectWithRoom(4);  // and "what", which the inspector adds
        record["index"] = i;
        record["offset"] = offsets_[i];
        record["size"] = records_[i].Size();
        list.push_back(std::move(record));
    }
    return list;
}
