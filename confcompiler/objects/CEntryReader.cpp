#include "CEntryReader.h"

#include "CEntry.h"

namespace {

// What Read hands back for an `entries` element without entries: a valid, empty list.
constexpr uint8_t kNoRecords = 0;

}  // namespace

CEntryReader::CEntryReader(CReadContext& context)
    : ObjectReader(context, CEntry::kLimitCode, "Записи реквизитов entry") {}

CEntryReader::~CEntryReader() = default;

std::nullptr_t CEntryReader::Failure() {
    failed_ = true;
    buffer_.Clear();
    return nullptr;
}

const uint8_t* CEntryReader::Read(XmlNode entries, size_t& size, uint16_t& count) {
    size = 0;
    count = 0;
    failed_ = false;
    buffer_.Clear();
    if (entries == nullptr) {
        return nullptr;
    }
    SetNode(entries);
    const CXMLDOM& document = Document();

    // Counted first, so that a list that cannot be stored adds nothing to the pool.
    size_t found = 0;
    for (XmlNode entry = document.FindChild(entries, "entry"); entry != nullptr;
         entry = document.FindNextSibling(entry, "entry")) {
        ++found;
    }
    if (found > kMaxEntries) {
        context_.TooMany(CEntry::kLimitCode, "реквизитов entry", kMaxEntries,
                         objectName_.empty() ? document.GetNodeName(entries) : objectName_,
                         entries);
        return Failure();
    }

    for (XmlNode entry = document.FindChild(entries, "entry"); entry != nullptr;
         entry = document.FindNextSibling(entry, "entry")) {
        CEntry reader(context_);
        size_t recordSize = 0;
        const uint8_t* record = reader.Read(entry, recordSize);
        if (record == nullptr || !buffer_.AppendBytes(record, recordSize)) {
            return Failure();
        }
    }
    size = buffer_.Size();
    count = static_cast<uint16_t>(found);
    return size == 0 ? &kNoRecords : buffer_.Data();
}
