#include "CReferenceReader.h"

#include "CqlReference.h"
#include "ReferenceRecord.h"

CReferenceReader::CReferenceReader(CReadContext& context)
    : section_(context, CqlReference::kLimitCode, "Запись справочников") {}

CReferenceReader::~CReferenceReader() = default;

const uint8_t* CReferenceReader::Read(size_t& size) {
    return section_.ReadSection<CqlReference>("reference", ReferenceHeader::kSize, false, size);
}
