#include "CStringsReader.h"

#include <cstring>
#include <string>

#include "CLog.h"
#include "PalmHelper.h"

CStringsReader::CStringsReader(CLog& log) : log_(log), record_(kCapacity) {
    record_.Reserve(StringsRecord::kLeadSize);  // never the offset of an entry
}

CStringsReader::~CStringsReader() = default;

uint32_t CStringsReader::AddBytes(const void* data, size_t size, int code, std::string_view where) {
    if (overflowed_ || !record_.CanAppend(StringsRecord::kLengthSize + size)) {
        if (!overflowed_) {
            overflowed_ = true;
            log_.Line(true, code, where,
                      "Переполнение записи строк: тексты и код действий конфигурации "
                      "превышают 60000 байт.",
                      nullptr);
        }
        return 0;
    }
    const auto offset = static_cast<uint16_t>(record_.Size());
    record_.Append16(static_cast<uint16_t>(size));
    record_.AppendBytes(data, size);
    return StringReference::Make(offset);
}

uint32_t CStringsReader::AddString(std::string_view text, int code, std::string_view where) {
    std::string padded(PalmHelper::StringSize(text), '\0');
    std::memcpy(padded.data(), text.data(), text.size());
    return AddBytes(padded.data(), padded.size(), code, where);
}

const uint8_t* CStringsReader::BuildRecord(size_t& size) const {
    if (overflowed_) {
        size = 0;
        return nullptr;
    }
    size = record_.Size();
    return record_.Data();
}
