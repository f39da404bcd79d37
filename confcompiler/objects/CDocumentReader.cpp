#include "CDocumentReader.h"

#include "CEntryReader.h"
#include "CqlDocument.h"
#include "DocumentRecord.h"

CDocumentReader::CDocumentReader(CReadContext& context)
    : context_(context), section_(context, CqlDocument::kLimitCode, "Запись документов") {}

CDocumentReader::~CDocumentReader() = default;

const uint8_t* CDocumentReader::Read(size_t& size) {
    size = 0;
    const int count = section_.ReadObjects<CqlDocument>("document", DocumentRecord::kHeadersOffset,
                                                        DocumentHeader::kSize);
    if (count <= 0) {
        return nullptr;
    }
    CRecordBuffer& record = section_.Record();
    record.Put16(DocumentRecord::kCount, static_cast<uint16_t>(count));

    const CXMLDOM& document = context_.Document();
    if (const XmlNode common = document.FindNode(document.GetFirstNode(), "commonEntries");
        common != nullptr) {
        CEntryReader entries(context_);
        size_t entriesSize = 0;
        uint16_t entryCount = 0;
        const uint8_t* records = entries.Read(common, entriesSize, entryCount);
        record.Put16(DocumentRecord::kCommonEntryCount, entryCount);
        if (records == nullptr || entriesSize == 0) {
            return nullptr;
        }
        record.Put16(DocumentRecord::kCommonEntriesOffset, static_cast<uint16_t>(record.Size()));
        section_.SetNode(common);
        record.AppendBytes(records, entriesSize);
    }
    if (record.Failed()) {
        return nullptr;
    }
    size = record.Size();
    return record.Data();
}
