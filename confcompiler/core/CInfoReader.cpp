#include "CInfoReader.h"

#include <string>

#include "CConverter.h"
#include "CLog.h"

CInfoReader::CInfoReader(CReadContext& context)
    : ObjectReader(context, 0, "Запись сведений о конфигурации", InfoRecord::kSize) {
    buffer_.Put16(InfoRecord::kFormatCode, ConfigurationLayout::kFormatCode);
    FixedText(InfoRecord::kDeveloper, CConverter::ToNarrow(kDefaultDeveloper), {});
    for (RecordField slot :
         {InfoRecord::kReferenceRecord, InfoRecord::kDocumentRecord, InfoRecord::kMenuRecord,
          InfoRecord::kRecordViewRecord, InfoRecord::kFrameRecord, InfoRecord::kJournalRecord}) {
        buffer_.Put16(slot, kNoRecord);
    }
}

CInfoReader::~CInfoReader() = default;

int CInfoReader::Read() {
    read_ = false;
    const CXMLDOM& document = Document();
    const XmlNode root = document.FindNode(document.GetFirstNode(), "quillora");
    if (root == nullptr) {
        context_.Log().Info("Отсутствует корневой элемент 'quillora'.");
        return kNoRoot;
    }

    // Both texts live in zero-terminated 64-byte fields: at most 63 bytes each.
    SetNode(root);
    std::string name;
    document.GetAttributeText(root, "name", name);
    std::string developer = CConverter::ToNarrow(kDefaultDeveloper);
    document.GetAttribute(root, "developer", developer);
    if (!FixedText(InfoRecord::kName, name, "Имя конфигурации") ||
        !FixedText(InfoRecord::kDeveloper, developer, "Имя разработчика")) {
        return kTooLong;
    }

    uint16_t width = 0;
    uint16_t height = 0;
    ScreenSize(document, root, width, height);
    buffer_.Put16(InfoRecord::kScreenWidth, width);
    buffer_.Put16(InfoRecord::kScreenHeight, height);

    read_ = true;
    return kOk;
}

void CInfoReader::ScreenSize(const CXMLDOM& document, XmlNode root, uint16_t& width,
                             uint16_t& height) {
    width = kDefaultWidth;
    height = kDefaultHeight;
    document.GetAttributeShortIfPresent(root, "screenWidth", width);
    document.GetAttributeShortIfPresent(root, "screenHeight", height);
}

const uint8_t* CInfoReader::Build(size_t& size) const {
    size = read_ ? buffer_.Size() : 0;
    return buffer_.Data();
}
