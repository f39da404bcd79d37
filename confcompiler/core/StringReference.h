// A string reference names one entry of the string pool: low 16 bits the entry's offset in
// the strings record, high 16 bits the strings record's index (always 8). 0 names nothing.
#pragma once

#include <cstdint>

#include "ConfigurationLayout.h"

class StringReference {
public:
    // The index of the strings record in the configuration database.
    static constexpr uint16_t kRecordIndex = ConfigurationLayout::kStringsRecord;

    static constexpr uint32_t Make(uint16_t offset) {
        return (static_cast<uint32_t>(kRecordIndex) << 16) | offset;
    }
    static constexpr uint16_t Offset(uint32_t reference) {
        return static_cast<uint16_t>(reference & 0xFFFF);
    }
    static constexpr uint16_t Record(uint32_t reference) {
        return static_cast<uint16_t>(reference >> 16);
    }
};
