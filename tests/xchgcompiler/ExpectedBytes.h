// Expected database bytes, written out field by field from the record layouts.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "CConverter.h"

class ExpectedBytes {
public:
    ExpectedBytes& U16(uint16_t value) {
        bytes_.push_back(static_cast<uint8_t>(value & 0xFF));
        bytes_.push_back(static_cast<uint8_t>(value >> 8));
        return *this;
    }
    ExpectedBytes& U32(uint32_t value) { return U16(value & 0xFFFF).U16(value >> 16); }
    ExpectedBytes& Raw(std::initializer_list<uint8_t> bytes) {
        bytes_.insert(bytes_.end(), bytes);
        return *this;
    }
    ExpectedBytes& Zeros(size_t count) {
        bytes_.insert(bytes_.end(), count, 0);
        return *this;
    }
    // A UTF-8 text stored in Windows-1251: its bytes, a zero, and a second zero when the
    // count so far is odd.
    ExpectedBytes& Text(std::string_view utf8) { return NarrowText(CConverter::ToNarrow(utf8)); }
    ExpectedBytes& NarrowText(std::string_view narrow) {
        bytes_.insert(bytes_.end(), narrow.begin(), narrow.end());
        bytes_.push_back(0);
        if ((narrow.size() + 1) % 2 != 0) {
            bytes_.push_back(0);
        }
        return *this;
    }
    ExpectedBytes& Append(const std::vector<uint8_t>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
        return *this;
    }

    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    operator const std::vector<uint8_t>&() const { return bytes_; }

    // The header of the exchange settings database with `records` record entries whose
    // record sizes are given; the records themselves follow separately.
    static ExpectedBytes Header(std::initializer_list<size_t> recordSizes) {
        ExpectedBytes header;
        const std::string_view name = "QL_PalmClientTransferDB";
        for (char c : name) {
            header.bytes_.push_back(static_cast<uint8_t>(c));
        }
        header.Zeros(32 - name.size());
        header.U16(0).U16(0);                  // attributes, version
        header.Raw({0x00, 0x0C, 0x30, 0x4B});  // creation date 1261440000
        header.Raw({0x00, 0x0C, 0x30, 0x4B});  // modification date
        header.Raw({0x00, 0x0C, 0x30, 0x4B});  // last backup date
        header.U32(0).U32(0).U32(0);           // modification, app info, sort info
        header.Raw({0x41, 0x54, 0x41, 0x44});  // type
        header.Raw({0x5F, 0x4E, 0x52, 0x54});  // creator
        header.U32(0).U32(0);                  // unique-ID seed, next record list
        header.U16(static_cast<uint16_t>(recordSizes.size()));
        uint32_t offset = static_cast<uint32_t>(78 + 8 * recordSizes.size());
        for (size_t size : recordSizes) {
            header.U32(offset).U32(0);
            offset += static_cast<uint32_t>(size);
        }
        return header;
    }

private:
    std::vector<uint8_t> bytes_;
};
