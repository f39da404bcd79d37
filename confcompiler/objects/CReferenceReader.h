// The references section: every `reference` element, read by CqlReference (ReferenceRecord.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "CSectionRecord.h"

class CReferenceReader {
public:
    explicit CReferenceReader(CReadContext& context);
    virtual ~CReferenceReader();

    // The section record and its size; null when there is no reference or one fails.
    const uint8_t* Read(size_t& size);

private:
    CSectionRecord section_;
};
