#include "PalmHelper.h"

#include <cstring>

#include "ByteOrder.h"
#include "PaddedText.h"

uint16_t PalmHelper::Swap16(uint16_t value) {
    uint8_t bytes[2];
    ByteOrder::Store16(bytes, value);
    uint16_t result;
    std::memcpy(&result, bytes, sizeof result);
    return result;
}

uint32_t PalmHelper::Swap32(uint32_t value) {
    uint8_t bytes[4];
    ByteOrder::Store32(bytes, value);
    uint32_t result;
    std::memcpy(&result, bytes, sizeof result);
    return result;
}

uint16_t PalmHelper::SwapBits(uint16_t value, int /*bitCount*/) {
    return value;
}

size_t PalmHelper::StringSize(std::string_view text) {
    return PaddedText::Size(text);
}
