// The fixed working buffer in which a reader assembles one record (60000 bytes, zeroed).
// Every write is checked against the capacity: a write that would pass it writes nothing,
// marks the buffer as overflowed and returns false, and the reader reports and fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

class CRecordBuffer {
public:
    static constexpr size_t kCapacity = 60000;

    CRecordBuffer();
    virtual ~CRecordBuffer();
    CRecordBuffer(const CRecordBuffer&) = delete;
    CRecordBuffer& operator=(const CRecordBuffer&) = delete;

    uint8_t* Data() { return data_.get(); }
    const uint8_t* Data() const { return data_.get(); }
    size_t Capacity() const { return kCapacity; }
    bool Overflowed() const { return overflowed_; }

    // Checked writes at an absolute offset (little-endian integers).
    bool Put8(size_t offset, uint8_t value);
    bool Put16(size_t offset, uint16_t value);
    bool Put32(size_t offset, uint32_t value);
    bool PutBytes(size_t offset, const void* bytes, size_t size);
    // The text, its terminator and the pad byte (StringSize bytes); false when it does not fit.
    bool PutString(size_t offset, std::string_view text);
    // Text in a fixed field of `fieldSize` bytes: the field is zeroed and the text copied in;
    // false (nothing written) when the text with its terminator does not fit the field.
    bool PutFixedText(size_t offset, size_t fieldSize, std::string_view text);
    // Zeroes the whole buffer and clears the overflow mark.
    void Clear();

    // True when [offset, offset + size) lies inside the buffer.
    static bool Fits(size_t offset, size_t size) {
        return offset <= kCapacity && size <= kCapacity - offset;
    }

private:
    bool Check(size_t offset, size_t size);

    std::unique_ptr<uint8_t[]> data_;
    bool overflowed_ = false;
};
