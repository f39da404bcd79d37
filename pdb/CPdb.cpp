#include "CPdb.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <iostream>

#include "ByteOrder.h"
#include "CAtomicFile.h"
#include "ConsoleLine.h"
#include "PdbLayout.h"

namespace {

// Seconds between 1904-01-01 and 1970-01-01.
constexpr int64_t kPalmEpochToUnix = 2082844800;

}  // namespace

CPdb::CPdb() {
    FillHeader(kConfigurationType, kConfigurationCreator, PalmSeconds(std::time(nullptr)));
}

CPdb::CPdb(uint32_t type, uint32_t creator, uint32_t date) {
    FillHeader(type, creator, date);
}

CPdb::~CPdb() = default;

void CPdb::FillHeader(uint32_t type, uint32_t creator, uint32_t date) {
    std::memset(header_, 0, sizeof header_);
    ByteOrder::Store32(header_ + PdbHeader::kCreationDate.offset, date);
    ByteOrder::Store32(header_ + PdbHeader::kModificationDate.offset, date);
    ByteOrder::Store32(header_ + PdbHeader::kBackupDate.offset, date);
    ByteOrder::Store32(header_ + PdbHeader::kType.offset, type);
    ByteOrder::Store32(header_ + PdbHeader::kCreator.offset, creator);
}

uint32_t CPdb::PalmSeconds(int64_t unixSeconds) {
    return static_cast<uint32_t>(unixSeconds + kPalmEpochToUnix);
}

void CPdb::SetName(std::string_view name) {
    std::memset(header_ + PdbHeader::kName.offset, 0, PdbHeader::kName.size);
    std::memcpy(header_ + PdbHeader::kName.offset, name.data(),
                std::min(name.size(), PdbHeader::kName.size));
}

bool CPdb::AddRecord(const void* data, size_t size) {
    if (records_.size() >= kMaxRecords) {
        return false;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    records_.emplace_back(bytes, bytes + (size == 0 ? 0 : size));
    return true;
}

bool CPdb::ReplaceRecord(const void* data, size_t size, size_t index) {
    if (index >= records_.size() || size < records_[index].size()) {
        return false;
    }
    std::vector<uint8_t>& record = records_[index];
    if (!record.empty()) {
        std::memcpy(record.data(), data, record.size());
    }
    return true;
}

std::vector<uint8_t> CPdb::HeaderAndRecordList(size_t reserve) const {
    const size_t count = records_.size();
    std::vector<uint8_t> head;
    head.reserve(std::max(reserve, kHeaderSize + kEntrySize * count));
    head.assign(header_, header_ + kHeaderSize);
    ByteOrder::Store32(head.data() + PdbHeader::kAppInfoOffset.offset, 0);
    ByteOrder::Store16(head.data() + PdbHeader::kRecordCount.offset, static_cast<uint16_t>(count));

    uint32_t offset = static_cast<uint32_t>(kHeaderSize + kEntrySize * count);
    for (const auto& record : records_) {
        ByteOrder::Append32(head, offset);  // PdbRecordEntry::kDataOffset
        ByteOrder::Append32(head, 0);       // its attributes and unique id
        offset += static_cast<uint32_t>(record.size());
    }
    return head;
}

std::vector<uint8_t> CPdb::Image() const {
    size_t size = kHeaderSize + kEntrySize * records_.size();
    for (const auto& record : records_) {
        size += record.size();
    }
    std::vector<uint8_t> image = HeaderAndRecordList(size);  // one allocation of the final size
    for (const auto& record : records_) {
        image.insert(image.end(), record.begin(), record.end());
    }
    return image;
}

bool CPdb::Write(const std::string& path) const {
    return Write(path, std::cout);
}

bool CPdb::Write(const std::string& path, std::ostream& console) const {
    // The path is shown on one line whatever it holds.
    const std::string shown = ConsoleLine::Joined(path);
    console << "Creating PDB-file: " << shown << "\n" << std::flush;
    const CAtomicFile::Result result = CAtomicFile::Replace(path, Image());
    if (result.outcome == CAtomicFile::Outcome::Written) {
        return true;
    }
    console << (result.outcome == CAtomicFile::Outcome::NotCreated ? "Error creating "
                                                                   : "Error writing ")
            << shown << " file\n"
            << result.reason << "\n"
            << std::flush;
    return false;
}
