// The one writer of configuration records. A reader assembles each record (or data block, or
// pool entry) in a CRecordBuffer: a zero-filled byte area of fixed capacity (60000 bytes
// unless a smaller record size is given) that grows as it is written, so untouched bytes read
// as zero and memory follows what is written.
//
// Contract:
// - Size() is the end of the furthest byte written or reserved; appends go there.
// - Every write is checked against the capacity. A write that does not fit writes nothing,
//   returns false and sets the failure mark, which stays set (a reader checks Failed() once,
//   after building the record). The buffer reports nothing itself: an overflow handler, when
//   set, is called at the first write past the capacity, before that write returns, so the
//   owner's line about it comes where the fault is met (ObjectReader reports through it).
// - Integers are stored little-endian through ByteOrder; texts are stored as given
//   (Windows-1251).
// - PutFixedText never truncates: a text that does not fit its field with its terminator is
//   refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "ConfigurationLayout.h"
#include "RecordField.h"

class CRecordBuffer {
public:
    static constexpr size_t kCapacity = ConfigurationLayout::kMaxRecordSize;

    explicit CRecordBuffer(size_t capacity = kCapacity);
    virtual ~CRecordBuffer();
    CRecordBuffer(const CRecordBuffer&) = delete;
    CRecordBuffer& operator=(const CRecordBuffer&) = delete;

    size_t Capacity() const { return capacity_; }
    size_t Size() const { return size_; }
    bool Failed() const { return failed_; }
    // Called once at the first write past the capacity (again after Clear), not for a refused
    // fixed text.
    void SetOverflowHandler(std::function<void()> handler) { onOverflow_ = std::move(handler); }

    // The bytes written so far: Size() bytes. Never null, also before anything is written:
    // readers hand out an empty block as a valid pointer, null meaning failure.
    const uint8_t* Data() const { return bytes_.empty() ? &none_ : bytes_.data(); }
    uint8_t* Data() { return bytes_.empty() ? &none_ : bytes_.data(); }
    std::span<const uint8_t> Bytes() const { return {Data(), size_}; }

    // Writes at an absolute offset.
    bool Put8(size_t offset, uint8_t value);
    bool Put16(size_t offset, uint16_t value);
    bool Put32(size_t offset, uint32_t value);
    bool PutBytes(size_t offset, const void* bytes, size_t size);
    // The text in its padded form (text, terminator, pad byte when needed).
    bool PutString(size_t offset, std::string_view text);
    // Text in a fixed field of `fieldSize` bytes: the field is zeroed and the text copied in.
    // A text that does not fit with its terminator is refused (nothing written, failure mark
    // set); the overflow handler is not called for it.
    bool PutFixedText(size_t offset, size_t fieldSize, std::string_view text);

    // The same, by field of a record layout.
    bool Put8(RecordField field, uint8_t value) { return Put8(field.offset, value); }
    bool Put16(RecordField field, uint16_t value) { return Put16(field.offset, value); }
    bool Put32(RecordField field, uint32_t value) { return Put32(field.offset, value); }
    bool PutFixedText(RecordField field, std::string_view text) {
        return PutFixedText(field.offset, field.size, text);
    }

    // Appends at Size().
    bool Append8(uint8_t value) { return Put8(size_, value); }
    bool Append16(uint16_t value) { return Put16(size_, value); }
    bool Append32(uint32_t value) { return Put32(size_, value); }
    bool AppendBytes(const void* bytes, size_t size) { return PutBytes(size_, bytes, size); }
    bool AppendBytes(std::span<const uint8_t> bytes) {
        return PutBytes(size_, bytes.data(), bytes.size());
    }
    bool AppendString(std::string_view text) { return PutString(size_, text); }
    // Reserves `size` zero bytes at the end and returns their offset, to be patched later
    // (counts, offset tables, headers). On refusal returns Size() and sets the failure mark.
    size_t Reserve(size_t size);
    // True when `size` more bytes can be appended.
    bool CanAppend(size_t size) const { return Fits(size_, size); }

    // Sets the failure mark for a part of the record refused elsewhere (by the pool); the
    // overflow handler is not called.
    void Fail() { failed_ = true; }

    // Empties the buffer (all bytes zero again) and clears the failure mark.
    void Clear();

    // True when [offset, offset + size) lies inside the capacity.
    bool Fits(size_t offset, size_t size) const {
        return offset <= capacity_ && size <= capacity_ - offset;
    }

private:
    // Makes [offset, offset + size) writable; false (and the overflow handled) when it does
    // not fit.
    bool Claim(size_t offset, size_t size);
    void Refuse();

    std::vector<uint8_t> bytes_;
    uint8_t none_ = 0;  // what Data() points to while nothing is written
    size_t size_ = 0;
    size_t capacity_;
    bool failed_ = false;
    std::function<void()> onOverflow_;
};
