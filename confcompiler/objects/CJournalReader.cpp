#include "CJournalReader.h"

#include "CqlJournal.h"
#include "JournalRecord.h"

CJournalReader::CJournalReader(CReadContext& context)
    : section_(context, CqlJournal::kLimitCode, "Запись журналов документов") {}

CJournalReader::~CJournalReader() = default;

const uint8_t* CJournalReader::Read(size_t& size) {
    return section_.ReadSection<CqlJournal>("journal", JournalHeader::kSize, false, size);
}
