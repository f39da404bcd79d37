// The one writer of configuration records. A reader assembles each record (or data block, or
// pool entry) in a CRecordBuffer: a zero-filled byte area of fixed capacity (60000 bytes
// unless a smaller record size is given) that grows as it is written, so untouched bytes read
// as zero and memory follows what is written.
//
// Contract:
// - Size() is the end of the furthest byte written or reserved; appends go there.
// - Every write is checked against the capacity. A write that does not fit writes nothing,
//   returns false and sets the failure mark, which stays set (a reader checks Failed() once,
//   after building the record). With a read context, refusals are reported as error lines
//   with the buffer's code: each refused fixed text, and the first write past the capacity.
// - Integers are stored little-endian through ByteOrder; texts are stored as given
//   (Windows-1251).
// - FixedText never truncates: a text that does not fit its field with its terminator is
//   refused with a line naming the text. PoolText/PoolBytes add to the run's string pool and
//   store the 4-byte reference; a refusal of the pool fails the buffer too.
// - Every refusal that the buffer reports counts as a refused limit of the run
//   (CReadContext::LimitExceeded).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "CXMLDOM.h"
#include "ConfigurationLayout.h"
#include "RecordField.h"

class CReadContext;

class CRecordBuffer {
public:
    static constexpr size_t kCapacity = ConfigurationLayout::kMaxRecordSize;

    // A buffer whose refusals are not reported (its owner reports them).
    explicit CRecordBuffer(size_t capacity = kCapacity);
    // A buffer whose first refusal is reported through `context` with `code`; `what` (UTF-8,
    // a text that outlives the buffer, such as a literal) names the record in the line about a
    // record that outgrows the capacity.
    CRecordBuffer(CReadContext& context, int code, std::string_view what,
                  size_t capacity = kCapacity);
    virtual ~CRecordBuffer();
    CRecordBuffer(const CRecordBuffer&) = delete;
    CRecordBuffer& operator=(const CRecordBuffer&) = delete;

    size_t Capacity() const { return capacity_; }
    size_t Size() const { return size_; }
    bool Failed() const { return failed_; }
    bool Overflowed() const { return failed_; }
    // The object the record belongs to (Windows-1251), shown as the detail of a reported
    // overflow.
    void SetSubject(std::string_view subject) { subject_ = subject; }
    // The element the record is built from: a refusal reported for the buffer (or for the pool
    // when the buffer adds to it) concerns that element, for the location of its line.
    void SetNode(XmlNode node) { node_ = node; }

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
    // set) without a line; FixedText reports it.
    bool PutFixedText(size_t offset, size_t fieldSize, std::string_view text);

    // The same, by field of a record layout.
    bool Put8(RecordField field, uint8_t value) { return Put8(field.offset, value); }
    bool Put16(RecordField field, uint16_t value) { return Put16(field.offset, value); }
    bool Put32(RecordField field, uint32_t value) { return Put32(field.offset, value); }
    // Text in a fixed field; a text that does not fit is refused with the error line
    // "<label> длиннее N байт: <text>" (N = field size - 1), about `node` or else the
    // buffer's own.
    bool FixedText(RecordField field, std::string_view text, std::string_view label,
                   XmlNode node = nullptr);
    // Adds the text (padded) to the string pool and stores its reference in the field.
    bool PoolText(RecordField field, std::string_view text);
    // Adds the bytes to the string pool as one entry and stores its reference in the field.
    bool PoolBytes(RecordField field, std::span<const uint8_t> bytes);

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

    // Empties the buffer (all bytes zero again) and clears the failure mark.
    void Clear();

    // True when [offset, offset + size) lies inside the capacity.
    bool Fits(size_t offset, size_t size) const {
        return offset <= capacity_ && size <= capacity_ - offset;
    }

private:
    // Makes [offset, offset + size) writable; false (and the failure reported) when it does
    // not fit.
    bool Claim(size_t offset, size_t size);
    void Refuse();

    std::vector<uint8_t> bytes_;
    uint8_t none_ = 0;  // what Data() points to while nothing is written
    size_t size_ = 0;
    size_t capacity_;
    bool failed_ = false;
    CReadContext* context_ = nullptr;
    int code_ = 0;
    std::string_view what_;
    std::string subject_;
    XmlNode node_ = nullptr;
};
