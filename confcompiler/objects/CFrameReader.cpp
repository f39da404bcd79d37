#include "CFrameReader.h"

#include "CqlFrame.h"
#include "ObjectHeader.h"

CFrameReader::CFrameReader(CReadContext& context)
    : section_(context, CqlFrame::kLimitCode, "Запись форм-меню") {}

CFrameReader::~CFrameReader() = default;

const uint8_t* CFrameReader::Read(size_t& size) {
    return section_.ReadSection<CqlFrame>("frame", ObjectHeader::kSize, true, size);
}
