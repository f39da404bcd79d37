// One reference (catalogue): its 112-byte header (ReferenceRecord.h) and its data block.
#pragma once

#include <cstdint>

#include "CqlObject.h"

class CqlReference : public CqlObject {
public:
    // Message codes; 0x0810 for every refused limit of references.
    static constexpr int kNameMissing = 0x0801;
    static constexpr int kViewMissing = 0x0802;
    static constexpr int kNoDatabase = 0x0803;
    static constexpr int kNoDatabaseName = 0x0804;
    static constexpr int kDatabaseNameTooLong = 0x0805;
    static constexpr int kLimitCode = 0x0810;

    explicit CqlReference(CReadContext& context);
    ~CqlReference() override;

    // Reads the `reference` element whose data block will lie at `dataOffset`; the header, or
    // null when the reference fails.
    const uint8_t* Read(XmlNode element, uint16_t dataOffset);
};
