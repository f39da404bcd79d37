// Bounds-checked reading of the bytes of a database held elsewhere: the one way the inspector
// reads a file. Every read first checks that it lies wholly inside the bytes; one that does
// not reads nothing and gives 0 (or no text), so no input, however short or hostile, makes
// the inspector read past its data. Callers that must tell "0" from "outside" ask Fits first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "RecordField.h"

class CByteReader {
public:
    CByteReader() = default;
    explicit CByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    size_t Size() const { return bytes_.size(); }
    std::span<const uint8_t> All() const { return bytes_; }

    // True when `size` bytes from `offset` lie inside (no overflow however large both are).
    bool Fits(size_t offset, size_t size) const {
        return offset <= bytes_.size() && size <= bytes_.size() - offset;
    }
    bool Fits(RecordField field, size_t base = 0) const {
        return base <= bytes_.size() && Fits(base + field.offset, field.size);
    }

    // Little-endian integers; 0 when they do not fit.
    uint8_t U8(size_t offset) const;
    uint16_t U16(size_t offset) const;
    uint32_t U32(size_t offset) const;
    // The integer of the field's size (1, 2 or 4 bytes) at the field moved by `base`.
    uint32_t Value(RecordField field, size_t base = 0) const;

    // The bytes of a fixed text field up to its first zero byte; `terminated` tells whether
    // the field holds that zero. Empty when the field does not fit.
    std::string FieldText(RecordField field, size_t base, bool& terminated) const;

    // The padded text at `offset` (its bytes, a zero, a pad byte when that makes an odd
    // length): on success `text` holds its bytes and `offset` moves past it. False, nothing
    // moved, when no zero ends it inside the bytes or its padding runs past them.
    bool PaddedText(size_t& offset, std::string& text) const;

    // `size` bytes from `offset`; an empty reader when they do not fit.
    CByteReader Part(size_t offset, size_t size) const;

private:
    std::span<const uint8_t> bytes_;
};
