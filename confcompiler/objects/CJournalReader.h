// The document journals section: every `journal` element, read by CqlJournal (JournalRecord.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "CSectionRecord.h"

class CJournalReader {
public:
    explicit CJournalReader(CReadContext& context);
    virtual ~CJournalReader();

    // The section record and its size; null when there is no journal or one fails.
    const uint8_t* Read(size_t& size);

private:
    CSectionRecord section_;
};
