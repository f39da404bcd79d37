// The documents section (DocumentRecord.h): every `document` element, read by CqlDocument,
// then the configuration's common entries at the end of the record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "CSectionRecord.h"

class CDocumentReader {
public:
    explicit CDocumentReader(CReadContext& context);
    virtual ~CDocumentReader();

    // The section record and its size; null when there is no document, a document fails, or
    // the common entries yield no entry record.
    const uint8_t* Read(size_t& size);

private:
    CReadContext& context_;
    CSectionRecord section_;
};
