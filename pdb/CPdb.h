// Palm database container (PdbLayout.h): a 78-byte header, 8-byte record entries, then the
// records, every integer little-endian and no gap after the record list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "PdbLayout.h"

class CPdb {
public:
    static constexpr size_t kHeaderSize = PdbHeader::kSize;
    static constexpr size_t kEntrySize = PdbRecordEntry::kSize;
    static constexpr size_t kMaxRecords = 100;
    static constexpr uint32_t kConfigurationType = 0x4553514C;     // bytes "LQSE"
    static constexpr uint32_t kConfigurationCreator = 0x54524E4F;  // bytes "ONRT"

    // The configuration database: its type and creator, all three dates the current time.
    CPdb();
    // Any other database: its own type, creator and fixed date (seconds since 1904).
    CPdb(uint32_t type, uint32_t creator, uint32_t date);
    virtual ~CPdb();

    CPdb(const CPdb&) = delete;
    CPdb& operator=(const CPdb&) = delete;

    // Copies at most 32 bytes of the name; the rest of the field is zero.
    void SetName(std::string_view name);

    // Stores a private copy of the record. Refused (false) once kMaxRecords are held.
    bool AddRecord(const void* data, size_t size);

    // Overwrites the stored record `index` with as many bytes of `data` (`size` bytes
    // available) as it already holds; its size does not change. False, nothing changed, for an
    // index that names no record or when `size` is shorter than the record.
    bool ReplaceRecord(const void* data, size_t size, size_t index);

    size_t RecordCount() const { return records_.size(); }
    const std::vector<uint8_t>& Record(size_t index) const { return records_.at(index); }

    // The whole file as it would be written.
    std::vector<uint8_t> Image() const;

    // Prints "Creating PDB-file: <path>" and writes the file atomically (CAtomicFile): a
    // temporary file in the target's directory, renamed over the target once complete; a
    // link at the target is followed. A target that cannot be created, or is refused (not a
    // regular file, not writable for the user), prints "Error creating <path> file"; a
    // failed write, flush or rename prints "Error writing <path> file"; either is followed
    // by a line with the system's reason. On failure no file is left and an existing target
    // is untouched. `path` and the printed lines are UTF-8.
    bool Write(const std::string& path, std::ostream& console) const;
    bool Write(const std::string& path) const;

    // Seconds since 1904-01-01 00:00:00 UTC for a Unix time, truncated to 32 bits.
    static uint32_t PalmSeconds(int64_t unixSeconds);

private:
    void FillHeader(uint32_t type, uint32_t creator, uint32_t date);
    // The header and the record list as they are written, with room for `reserve` bytes.
    std::vector<uint8_t> HeaderAndRecordList(size_t reserve) const;

    uint8_t header_[kHeaderSize];
    std::vector<std::vector<uint8_t>> records_;
};
