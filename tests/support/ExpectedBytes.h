// Expected database bytes, written out field by field from the record layouts.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "CConverter.h"
#include "PdbLayout.h"

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
    // Windows-1251 text in a fixed field: the text, then zeros up to the field's size.
    ExpectedBytes& NarrowField(std::string_view narrow, size_t fieldSize) {
        bytes_.insert(bytes_.end(), narrow.begin(), narrow.end());
        return Zeros(fieldSize - narrow.size());
    }
    ExpectedBytes& Append(const std::vector<uint8_t>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
        return *this;
    }

    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    operator const std::vector<uint8_t>&() const { return bytes_; }

    // A database header typed out field by field: the name in a 32-byte field, attributes and
    // version 0, the three dates, zero offsets, type and creator as their four file bytes, and
    // one record entry per record size (the first record right after the list).
    static ExpectedBytes PdbHeader(std::string_view name, std::initializer_list<uint8_t> date,
                                   std::initializer_list<uint8_t> type,
                                   std::initializer_list<uint8_t> creator,
                                   std::initializer_list<size_t> recordSizes) {
        ExpectedBytes header;
        header.bytes_.insert(header.bytes_.end(), name.begin(), name.end());
        header.Zeros(32 - name.size());
        header.U16(0).U16(0);                  // attributes, version
        header.Raw(date).Raw(date).Raw(date);  // creation, modification, last backup
        header.U32(0).U32(0).U32(0);           // modification number, app info, sort info
        header.Raw(type).Raw(creator);
        header.U32(0).U32(0);  // unique-ID seed, next record list
        header.U16(static_cast<uint16_t>(recordSizes.size()));
        uint32_t offset =
            static_cast<uint32_t>(PdbHeader::kSize + PdbRecordEntry::kSize * recordSizes.size());
        for (size_t size : recordSizes) {
            header.U32(offset).U32(0);
            offset += static_cast<uint32_t>(size);
        }
        return header;
    }

private:
    std::vector<uint8_t> bytes_;
};
