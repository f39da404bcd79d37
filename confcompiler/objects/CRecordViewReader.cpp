#include "CRecordViewReader.h"

#include "CqlFrame.h"
#include "ObjectHeader.h"

CRecordViewReader::CRecordViewReader(CReadContext& context)
    : section_(context, CqlFrame::kLimitCode, "Запись форм просмотра записей") {}

CRecordViewReader::~CRecordViewReader() = default;

const uint8_t* CRecordViewReader::Read(size_t& size) {
    return section_.ReadSection<CqlFrame>("recordview", ObjectHeader::kSize, true, size);
}
