#include "CRecordBuffer.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "ByteOrder.h"
#include "PalmHelper.h"

CRecordBuffer::CRecordBuffer(size_t capacity) : capacity_(capacity) {}

CRecordBuffer::~CRecordBuffer() = default;

void CRecordBuffer::Refuse() {
    const bool first = !failed_;
    failed_ = true;
    if (first && onOverflow_) {
        onOverflow_();
    }
}

bool CRecordBuffer::Claim(size_t offset, size_t size) {
    if (!Fits(offset, size)) {
        Refuse();
        return false;
    }
    const size_t end = offset + size;
    if (end > bytes_.size()) {
        // Grow geometrically from a first step that holds a control record or an action
        // code at once, never past the capacity; new bytes are zero.
        constexpr size_t kFirstGrowth = 128;
        bytes_.resize(std::min(capacity_, std::max({end, 2 * bytes_.size(), kFirstGrowth})), 0);
    }
    size_ = std::max(size_, end);
    return true;
}

bool CRecordBuffer::Put8(size_t offset, uint8_t value) {
    if (!Claim(offset, 1)) {
        return false;
    }
    bytes_[offset] = value;
    return true;
}

bool CRecordBuffer::Put16(size_t offset, uint16_t value) {
    if (!Claim(offset, 2)) {
        return false;
    }
    ByteOrder::Store16(bytes_.data() + offset, value);
    return true;
}

bool CRecordBuffer::Put32(size_t offset, uint32_t value) {
    if (!Claim(offset, 4)) {
        return false;
    }
    ByteOrder::Store32(bytes_.data() + offset, value);
    return true;
}

bool CRecordBuffer::PutBytes(size_t offset, const void* bytes, size_t size) {
    if (!Claim(offset, size)) {
        return false;
    }
    if (size > 0) {
        std::memcpy(bytes_.data() + offset, bytes, size);
    }
    return true;
}

bool CRecordBuffer::PutString(size_t offset, std::string_view text) {
    const size_t size = PalmHelper::StringSize(text);
    if (!Claim(offset, size)) {
        return false;
    }
    std::memset(bytes_.data() + offset, 0, size);
    std::memcpy(bytes_.data() + offset, text.data(), text.size());
    return true;
}

bool CRecordBuffer::PutFixedText(size_t offset, size_t fieldSize, std::string_view text) {
    if (text.size() >= fieldSize) {
        failed_ = true;
        return false;
    }
    if (!Claim(offset, fieldSize)) {
        return false;
    }
    std::memset(bytes_.data() + offset, 0, fieldSize);
    std::memcpy(bytes_.data() + offset, text.data(), text.size());
    return true;
}

size_t CRecordBuffer::Reserve(size_t size) {
    const size_t offset = size_;
    Claim(offset, size);
    return offset;
}

void CRecordBuffer::Clear() {
    std::fill(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(size_), 0);
    size_ = 0;
    failed_ = false;
}
