// Expected entry records and strings records, typed out by layout name and entry by entry.
#pragma once

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "CConverter.h"
#include "ExpectedBytes.h"
#include "RecordField.h"

// A record of zero bytes with fields set by their layout names.
class ExpectedRecord {
public:
    explicit ExpectedRecord(size_t size) : bytes_(size, 0) {}
    ExpectedRecord& Set(RecordField field, uint32_t value) {
        for (size_t i = 0; i < field.size; ++i) {
            bytes_.at(field.offset + i) = static_cast<uint8_t>(value >> (8 * i));
        }
        return *this;
    }
    // A UTF-8 text stored in Windows-1251 in a fixed text field (zero-terminated).
    ExpectedRecord& Text(RecordField field, std::string_view utf8) {
        const std::string narrow = CConverter::ToNarrow(utf8);
        if (narrow.size() >= field.size) {
            throw std::length_error("expected text longer than its field");
        }
        std::copy(narrow.begin(), narrow.end(), bytes_.begin() + field.offset);
        return *this;
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// The strings record: two zero bytes, then each entry (16-bit length, bytes). Each addition
// returns the reference the entry gets.
class ExpectedPool {
public:
    ExpectedPool() { bytes_.U16(0); }
    uint32_t Add(const ExpectedBytes& data) {
        const auto offset = static_cast<uint32_t>(bytes_.Size());
        bytes_.U16(static_cast<uint16_t>(data.Size())).Append(data.Bytes());
        return (8u << 16) | offset;
    }
    uint32_t Text(std::string_view utf8) { return Add(ExpectedBytes().Text(utf8)); }
    const std::vector<uint8_t>& Bytes() const { return bytes_.Bytes(); }

private:
    ExpectedBytes bytes_;
};
