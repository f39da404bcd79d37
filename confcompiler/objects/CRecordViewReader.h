// The record views section: every `recordview` element, read like a frame by CqlFrame. Without any
// record view the record is empty (the driver then leaves it out).
#pragma once

#include <cstddef>
#include <cstdint>

#include "CSectionRecord.h"

class CRecordViewReader {
public:
    explicit CRecordViewReader(CReadContext& context);
    virtual ~CRecordViewReader();

    // The section record and its size; an empty record (size 0) without record views; null when one
    // fails.
    const uint8_t* Read(size_t& size);

private:
    CSectionRecord section_;
};
