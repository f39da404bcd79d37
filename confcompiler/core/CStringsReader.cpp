#include "CStringsReader.h"

#include <cstring>
#include <memory>
#include <string>

#include "ByteOrder.h"
#include "CLog.h"
#include "PalmHelper.h"

namespace {

struct Pool {
    std::unique_ptr<uint8_t[]> data{new uint8_t[CStringsReader::kCapacity]()};
    size_t used = 2;  // the first two bytes are never written
    bool overflowed = false;
};

Pool& ThePool() {
    static Pool pool;
    return pool;
}

}  // namespace

CStringsReader::CStringsReader() = default;

CStringsReader::~CStringsReader() = default;

uint32_t CStringsReader::AddBytes(const void* data, size_t size) {
    Pool& pool = ThePool();
    if (pool.overflowed || size > kCapacity - 2 || pool.used + 2 + size > kCapacity) {
        if (!pool.overflowed) {
            pool.overflowed = true;
            CLog::Message(true,
                          "Переполнение записи строк: тексты и код действий конфигурации "
                          "превышают 60000 байт.",
                          0);
        }
        return 0;
    }
    const size_t offset = pool.used;
    ByteOrder::Store16(pool.data.get() + offset, static_cast<uint16_t>(size));
    if (size > 0) {
        std::memcpy(pool.data.get() + offset + 2, data, size);
    }
    pool.used += 2 + size;
    return (static_cast<uint32_t>(kRecordIndex) << 16) | static_cast<uint32_t>(offset);
}

uint32_t CStringsReader::AddString(std::string_view text) {
    std::string padded(PalmHelper::StringSize(text), '\0');
    std::memcpy(padded.data(), text.data(), text.size());
    return AddBytes(padded.data(), padded.size());
}

const uint8_t* CStringsReader::BuildRecord(size_t& size) {
    Pool& pool = ThePool();
    if (pool.overflowed) {
        size = 0;
        return nullptr;
    }
    size = pool.used;
    return pool.data.get();
}

bool CStringsReader::Overflowed() {
    return ThePool().overflowed;
}

size_t CStringsReader::UsedLength() {
    return ThePool().used;
}

void CStringsReader::ResetPool() {
    Pool& pool = ThePool();
    std::memset(pool.data.get(), 0, kCapacity);
    pool.used = 2;
    pool.overflowed = false;
}
