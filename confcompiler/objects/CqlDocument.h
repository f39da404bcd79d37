// One document kind: its 144-byte header (DocumentRecord.h) and its data block.
#pragma once

#include <cstdint>

#include "CqlObject.h"

class CqlDocument : public CqlObject {
public:
    // Message codes; 0x0110 for every refused limit of documents.
    static constexpr int kNameMissing = 0x0101;
    static constexpr int kViewMissing = 0x0102;
    static constexpr int kPrefixMissing = 0x0103;  // also the warning about no database
    static constexpr int kNoDatabaseName = 0x0104;
    static constexpr int kDatabaseNameTooLong = 0x0105;
    static constexpr int kFormsFailed = 0x0107;
    static constexpr int kNoFieldDescription = 0x0108;
    static constexpr int kInheritanceNameMissing = 0x0109;
    static constexpr int kLimitCode = 0x0110;

    explicit CqlDocument(CReadContext& context);
    ~CqlDocument() override;

    // Reads the `document` element whose data block will lie at `dataOffset`; the header, or
    // null when the document fails.
    const uint8_t* Read(XmlNode element, uint16_t dataOffset);

    // The field description of the document: a 16-bit count, then `name`, `dbtype`, `view` and
    // `default` of each described entry as padded texts (the common entries, then the
    // document's own, leaving out the table entries). False when there is nothing to describe
    // from (no `entries` with an `entry`, a `commonEntries` without one or with table entries
    // only) or the description outgrows its 60000 bytes.
    bool GetDS(XmlNode element, CRecordBuffer& description);

private:
    bool ReadInheritances(XmlNode element);
    bool ReadFieldDescription(XmlNode element);
    // Appends the description of `first` and its following `entry` siblings; the number of
    // entries described.
    uint16_t Describe(XmlNode first, CRecordBuffer& description);
};
