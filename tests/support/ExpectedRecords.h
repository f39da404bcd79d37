// Expected records of the configuration database that several test folders build: the
// strings record entry by entry, and control records field by field from their layout.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "ControlRecord.h"
#include "ExpectedBytes.h"
#include "StringReference.h"

// The strings record typed out entry by entry; each addition gives its reference.
struct ExpectedPool {
    ExpectedBytes bytes = ExpectedBytes().U16(0);
    uint32_t Add(const ExpectedBytes& data) {
        const auto reference = StringReference::Make(static_cast<uint16_t>(bytes.Size()));
        bytes.U16(static_cast<uint16_t>(data.Size())).Append(data);
        return reference;
    }
    uint32_t Text(std::string_view utf8) { return Add(ExpectedBytes().Text(utf8)); }
};

// A control record typed out field by field from its layout, starting from what a control of
// `type` with an empty `layout` holds.
struct ExpectedControl {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(ControlRecord::kSize, 0);
    explicit ExpectedControl(uint16_t type) {
        U16(ControlRecord::kEntry, 0xFFFF)
            .U16(ControlRecord::kType, type)
            .U8(ControlRecord::kEnable, 1)
            .U8(ControlRecord::kLayer, 255);
        for (RecordField target : {ControlRecord::kLeft, ControlRecord::kRight, ControlRecord::kUp,
                                   ControlRecord::kDown}) {
            U16(target, 0xFFFF);
        }
    }
    ExpectedControl& Put(RecordField field, const ExpectedBytes& value) {
        EXPECT_EQ(value.Size(), field.size);
        std::copy(value.Bytes().begin(), value.Bytes().end(), bytes.begin() + field.offset);
        return *this;
    }
    ExpectedControl& U8(RecordField field, uint8_t value) {
        return Put(field, ExpectedBytes().Raw({value}));
    }
    ExpectedControl& U16(RecordField field, uint16_t value) {
        return Put(field, ExpectedBytes().U16(value));
    }
    ExpectedControl& U32(RecordField field, uint32_t value) {
        return Put(field, ExpectedBytes().U32(value));
    }
    // Fields of the type attributes area.
    ExpectedControl& A8(RecordField field, uint8_t value) {
        return U8(field.At(ControlRecord::kTypeAttributes.offset), value);
    }
    ExpectedControl& A16(RecordField field, uint16_t value) {
        return U16(field.At(ControlRecord::kTypeAttributes.offset), value);
    }
    ExpectedControl& A32(RecordField field, uint32_t value) {
        return U32(field.At(ControlRecord::kTypeAttributes.offset), value);
    }
    operator std::optional<std::vector<uint8_t>>() const { return bytes; }
};
