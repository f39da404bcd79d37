// One document journal: its 88-byte header (JournalRecord.h) and its data block.
#pragma once

#include <cstdint>

#include "CqlObject.h"

class CqlJournal : public CqlObject {
public:
    // Message codes; 0x0F10 for every refused limit of journals.
    static constexpr int kNameMissing = 0x0F01;
    static constexpr int kViewMissing = 0x0F02;
    static constexpr int kNoDocuments = 0x0F03;
    static constexpr int kDocumentNameMissing = 0x0F04;
    static constexpr int kLimitCode = 0x0F10;

    explicit CqlJournal(CReadContext& context);
    ~CqlJournal() override;

    // Reads the `journal` element whose data block will lie at `dataOffset`; the header, or
    // null when the journal fails.
    const uint8_t* Read(XmlNode element, uint16_t dataOffset);

private:
    // The count and list of the document kinds the journal names.
    bool ReadDocuments(XmlNode element);
};
