#include "CByteReader.h"

#include <cstring>

#include "ByteOrder.h"
#include "PaddedText.h"

uint8_t CByteReader::U8(size_t offset) const {
    return Fits(offset, 1) ? bytes_[offset] : 0;
}

uint16_t CByteReader::U16(size_t offset) const {
    return Fits(offset, 2) ? ByteOrder::Load16(bytes_.data() + offset) : 0;
}

uint32_t CByteReader::U32(size_t offset) const {
    return Fits(offset, 4) ? ByteOrder::Load32(bytes_.data() + offset) : 0;
}

uint32_t CByteReader::Value(RecordField field, size_t base) const {
    if (!Fits(field, base)) {
        return 0;
    }
    switch (field.size) {
        case 1:
            return U8(base + field.offset);
        case 2:
            return U16(base + field.offset);
        default:
            return U32(base + field.offset);
    }
}

std::string CByteReader::FieldText(RecordField field, size_t base, bool& terminated) const {
    terminated = false;
    if (!Fits(field, base)) {
        return {};
    }
    const uint8_t* start = bytes_.data() + base + field.offset;
    const void* zero = std::memchr(start, 0, field.size);
    terminated = zero != nullptr;
    const size_t length = zero != nullptr
                              ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - start)
                              : field.size;
    return std::string(reinterpret_cast<const char*>(start), length);
}

bool CByteReader::PaddedText(size_t& offset, std::string& text) const {
    if (offset >= bytes_.size()) {
        return false;
    }
    const uint8_t* start = bytes_.data() + offset;
    const void* zero = std::memchr(start, 0, bytes_.size() - offset);
    if (zero == nullptr) {
        return false;
    }
    const auto length = static_cast<size_t>(static_cast<const uint8_t*>(zero) - start);
    std::string found(reinterpret_cast<const char*>(start), length);
    const size_t padded = PaddedText::Size(found);
    if (!Fits(offset, padded)) {
        return false;
    }
    offset += padded;
    text = std::move(found);
    return true;
}

CByteReader CByteReader::Part(size_t offset, size_t size) const {
    return Fits(offset, size) ? CByteReader(bytes_.subspan(offset, size)) : CByteReader();
}
