#include "CPdb.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>

#include "ByteOrder.h"

namespace {

// Header field offsets.
constexpr size_t kNameOffset = 0;
constexpr size_t kNameSize = 32;
constexpr size_t kCreationDate = 36;
constexpr size_t kModificationDate = 40;
constexpr size_t kBackupDate = 44;
constexpr size_t kAppInfoOffset = 52;
constexpr size_t kType = 60;
constexpr size_t kCreator = 64;
constexpr size_t kRecordCount = 76;

// Seconds between 1904-01-01 and 1970-01-01.
constexpr int64_t kPalmEpochToUnix = 2082844800;

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

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
    ByteOrder::Store32(header_ + kCreationDate, date);
    ByteOrder::Store32(header_ + kModificationDate, date);
    ByteOrder::Store32(header_ + kBackupDate, date);
    ByteOrder::Store32(header_ + kType, type);
    ByteOrder::Store32(header_ + kCreator, creator);
}

uint32_t CPdb::PalmSeconds(int64_t unixSeconds) {
    return static_cast<uint32_t>(unixSeconds + kPalmEpochToUnix);
}

void CPdb::SetName(std::string_view name) {
    std::memset(header_ + kNameOffset, 0, kNameSize);
    std::memcpy(header_ + kNameOffset, name.data(), std::min(name.size(), kNameSize));
}

bool CPdb::AddRecord(const void* data, size_t size) {
    if (records_.size() >= kMaxRecords) {
        return false;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    records_.emplace_back(bytes, bytes + (size == 0 ? 0 : size));
    return true;
}

bool CPdb::ReplaceRecord(const void* data, size_t index) {
    if (index >= records_.size()) {
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
    ByteOrder::Store32(head.data() + kAppInfoOffset, 0);
    ByteOrder::Store16(head.data() + kRecordCount, static_cast<uint16_t>(count));

    uint32_t offset = static_cast<uint32_t>(kHeaderSize + kEntrySize * count);
    for (const auto& record : records_) {
        ByteOrder::Append32(head, offset);
        ByteOrder::Append32(head, 0);  // attributes and unique id
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
    console << "Creating PDB-file: " << path << "\n" << std::flush;
    const auto failCreate = [&]() {
        console << "Error creating " << path << " file\n" << std::flush;
        return false;
    };

    struct stat target;
    if (path.empty() || (::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode))) {
        return failCreate();
    }

    std::string temp = DirectoryOf(path) + "/.quil-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return failCreate();
    }
    // A plain create would give 0666 less the process's umask.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);

    // The rename makes the complete file appear at once; the file is not forced to disk
    // first (no fsync), which would cost more than the whole compilation of a small input.
    // The header and the record list, then the records as they are held: the database is
    // not copied whole once more to be written.
    const std::vector<uint8_t> head = HeaderAndRecordList(0);
    bool ok = WriteAll(fd, head.data(), head.size());
    for (const auto& record : records_) {
        ok = ok && WriteAll(fd, record.data(), record.size());
    }
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        console << "Error writing " << path << " file\n" << std::flush;
        return false;
    }
    return true;
}
