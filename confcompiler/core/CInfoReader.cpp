#include "CInfoReader.h"

#include <cstring>
#include <string>

#include "ByteOrder.h"
#include "CConverter.h"
#include "CLog.h"

namespace {

constexpr size_t kFormatCode = 0;
constexpr size_t kName = 2;
constexpr size_t kDeveloper = 66;
constexpr size_t kScreenWidth = 130;
constexpr size_t kScreenHeight = 132;
constexpr size_t kReferenceRecord = 134;
constexpr size_t kDocumentRecord = 136;
constexpr size_t kMenuRecord = 138;
constexpr size_t kRecordViewRecord = 140;
constexpr size_t kFrameRecord = 142;
constexpr size_t kJournalRecord = 144;

constexpr uint16_t kFormat = 16;
constexpr uint16_t kDefaultWidth = 240;
constexpr uint16_t kDefaultHeight = 268;
constexpr const char* kDefaultDeveloper = "Норвил АРМ";

}  // namespace

CInfoReader::CInfoReader() : record_{}, output_{} {
    ByteOrder::Store16(record_ + kFormatCode, kFormat);
    const std::string developer = CConverter::ToNarrow(kDefaultDeveloper);
    std::memcpy(record_ + kDeveloper, developer.data(), developer.size());
    for (size_t slot = kReferenceRecord; slot <= kJournalRecord; slot += 2) {
        ByteOrder::Store16(record_ + slot, kNoRecord);
    }
}

CInfoReader::~CInfoReader() = default;

int CInfoReader::Read(const CXMLDOM& document) {
    size_ = 0;
    const XmlNode root = document.FindNode(document.GetFirstNode(), "quillora");
    if (root == nullptr) {
        CLog::Info("Отсутствует корневой элемент 'quillora'.");
        return kNoRoot;
    }

    // Both texts live in zero-terminated 64-byte fields: at most 63 bytes each.
    std::string name;
    document.GetAttributeText(root, "name", name);
    std::string developer = CConverter::ToNarrow(kDefaultDeveloper);
    document.GetAttribute(root, "developer", developer);
    if (name.size() >= kTextField) {
        CLog::Message(true, "Имя конфигурации длиннее 63 байт:", name, 0);
        return kTooLong;
    }
    if (developer.size() >= kTextField) {
        CLog::Message(true, "Имя разработчика длиннее 63 байт:", developer, 0);
        return kTooLong;
    }
    std::memset(record_ + kName, 0, kTextField);
    std::memcpy(record_ + kName, name.data(), name.size());
    std::memset(record_ + kDeveloper, 0, kTextField);
    std::memcpy(record_ + kDeveloper, developer.data(), developer.size());

    uint16_t width = kDefaultWidth;
    uint16_t height = kDefaultHeight;
    document.GetAttributeShortIfPresent(root, "screenWidth", width);
    document.GetAttributeShortIfPresent(root, "screenHeight", height);
    ByteOrder::Store16(record_ + kScreenWidth, width);
    ByteOrder::Store16(record_ + kScreenHeight, height);

    size_ = kRecordSize;
    return kOk;
}

const uint8_t* CInfoReader::Build(size_t& size) {
    std::memcpy(output_, record_, kRecordSize);
    size = size_;
    return output_;
}

void CInfoReader::SetReferenceRecord(uint16_t index) {
    ByteOrder::Store16(record_ + kReferenceRecord, index);
}
void CInfoReader::SetDocumentRecord(uint16_t index) {
    ByteOrder::Store16(record_ + kDocumentRecord, index);
}
void CInfoReader::SetMenuRecord(uint16_t index) {
    ByteOrder::Store16(record_ + kMenuRecord, index);
}
void CInfoReader::SetRecordViewRecord(uint16_t index) {
    ByteOrder::Store16(record_ + kRecordViewRecord, index);
}
void CInfoReader::SetFrameRecord(uint16_t index) {
    ByteOrder::Store16(record_ + kFrameRecord, index);
}
void CInfoReader::SetJournalRecord(uint16_t index) {
    ByteOrder::Store16(record_ + kJournalRecord, index);
}
