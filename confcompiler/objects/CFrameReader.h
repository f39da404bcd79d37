// The frames (form-menus) section: every `frame` element, read by CqlFrame (ObjectHeader.h
// headers). Without any frame the record is empty.
#pragma once

#include <cstddef>
#include <cstdint>

#include "CSectionRecord.h"

class CFrameReader {
public:
    explicit CFrameReader(CReadContext& context);
    virtual ~CFrameReader();

    // The section record and its size; an empty record (size 0) without frames; null when one
    // fails.
    const uint8_t* Read(size_t& size);

private:
    CSectionRecord section_;
};
