#include "CRecordBuffer.h"

#include <cstring>

#include "ByteOrder.h"
#include "PalmHelper.h"

CRecordBuffer::CRecordBuffer() : data_(new uint8_t[kCapacity]()) {}

CRecordBuffer::~CRecordBuffer() = default;

bool CRecordBuffer::Check(size_t offset, size_t size) {
    if (!Fits(offset, size)) {
        overflowed_ = true;
        return false;
    }
    return true;
}

bool CRecordBuffer::Put8(size_t offset, uint8_t value) {
    if (!Check(offset, 1)) {
        return false;
    }
    data_[offset] = value;
    return true;
}

bool CRecordBuffer::Put16(size_t offset, uint16_t value) {
    if (!Check(offset, 2)) {
        return false;
    }
    ByteOrder::Store16(data_.get() + offset, value);
    return true;
}

bool CRecordBuffer::Put32(size_t offset, uint32_t value) {
    if (!Check(offset, 4)) {
        return false;
    }
    ByteOrder::Store32(data_.get() + offset, value);
    return true;
}

bool CRecordBuffer::PutBytes(size_t offset, const void* bytes, size_t size) {
    if (!Check(offset, size)) {
        return false;
    }
    if (size > 0) {
        std::memcpy(data_.get() + offset, bytes, size);
    }
    return true;
}

bool CRecordBuffer::PutString(size_t offset, std::string_view text) {
    const size_t size = PalmHelper::StringSize(text);
    if (!Check(offset, size)) {
        return false;
    }
    std::memset(data_.get() + offset, 0, size);
    std::memcpy(data_.get() + offset, text.data(), text.size());
    return true;
}

bool CRecordBuffer::PutFixedText(size_t offset, size_t fieldSize, std::string_view text) {
    if (!Check(offset, fieldSize) || text.size() + 1 > fieldSize) {
        return false;
    }
    std::memset(data_.get() + offset, 0, fieldSize);
    std::memcpy(data_.get() + offset, text.data(), text.size());
    return true;
}

void CRecordBuffer::Clear() {
    std::memset(data_.get(), 0, kCapacity);
    overflowed_ = false;
}
