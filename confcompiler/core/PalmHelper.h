// Encoding helpers shared by every record of the configuration database.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

class PalmHelper {
public:
    // The value in the database's byte order (little-endian), as it must lie in memory.
    static uint16_t Swap16(uint16_t value);
    static uint32_t Swap32(uint32_t value);
    // Bit fields are packed least significant bit first: unchanged.
    static uint16_t SwapBits(uint16_t value, int bitCount);
    // Bytes a text takes in a data block or the string pool: the text, its terminator and at
    // most one zero pad byte, always even.
    static size_t StringSize(std::string_view text);
};
