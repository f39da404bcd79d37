#include "CRecordBuffer.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "ByteOrder.h"
#include "CReadContext.h"
#include "CStringsReader.h"
#include "PalmHelper.h"

CRecordBuffer::CRecordBuffer(size_t capacity) : capacity_(capacity) {}

CRecordBuffer::CRecordBuffer(CReadContext& context, int code, std::string_view what,
                             size_t capacity)
    : capacity_(capacity), context_(&context), code_(code), what_(what) {}

CRecordBuffer::~CRecordBuffer() = default;

void CRecordBuffer::Refuse() {
    if (!failed_ && context_ != nullptr) {
        context_->TooLarge(code_, what_, capacity_, subject_, node_);
    }
    failed_ = true;
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

bool CRecordBuffer::FixedText(RecordField field, std::string_view text, std::string_view label,
                              XmlNode node) {
    if (text.size() >= field.size) {
        // Every refused text is reported: each is a fault of its own in the document.
        if (context_ != nullptr) {
            context_->TooLong(code_, label, field.size - 1, text, node != nullptr ? node : node_);
        }
        failed_ = true;
        return false;
    }
    return PutFixedText(field.offset, field.size, text);
}

bool CRecordBuffer::PoolText(RecordField field, std::string_view text) {
    if (context_ == nullptr) {
        failed_ = true;
        return false;
    }
    const uint32_t reference = context_->Pool().AddString(text, code_, context_->Location(node_));
    if (reference == 0) {
        failed_ = true;
        return false;
    }
    return Put32(field, reference);
}

bool CRecordBuffer::PoolBytes(RecordField field, std::span<const uint8_t> bytes) {
    if (context_ == nullptr) {
        failed_ = true;
        return false;
    }
    const uint32_t reference =
        context_->Pool().AddBytes(bytes.data(), bytes.size(), code_, context_->Location(node_));
    if (reference == 0) {
        failed_ = true;
        return false;
    }
    return Put32(field, reference);
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
