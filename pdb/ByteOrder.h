// Little-endian storage of integers: the one place where both databases decide byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ByteOrder {
public:
    static void Store16(uint8_t* at, uint16_t value) {
        at[0] = static_cast<uint8_t>(value);
        at[1] = static_cast<uint8_t>(value >> 8);
    }
    static void Store32(uint8_t* at, uint32_t value) {
        Store16(at, static_cast<uint16_t>(value));
        Store16(at + 2, static_cast<uint16_t>(value >> 16));
    }
    static uint16_t Load16(const uint8_t* at) {
        return static_cast<uint16_t>(at[0] | (at[1] << 8));
    }
    static uint32_t Load32(const uint8_t* at) {
        return static_cast<uint32_t>(Load16(at)) | (static_cast<uint32_t>(Load16(at + 2)) << 16);
    }
    static void Append16(std::vector<uint8_t>& out, uint16_t value) {
        out.push_back(static_cast<uint8_t>(value));
        out.push_back(static_cast<uint8_t>(value >> 8));
    }
    static void Append32(std::vector<uint8_t>& out, uint32_t value) {
        Append16(out, static_cast<uint16_t>(value));
        Append16(out, static_cast<uint16_t>(value >> 16));
    }
};
