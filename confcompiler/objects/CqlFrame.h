// One frame (form-menu) or record view: its 80-byte header (ObjectHeader.h) and its data
// block. The element's own name is not looked at, so `frame` and `recordview` read alike.
#pragma once

#include <cstdint>

#include "CqlObject.h"

class CqlFrame : public CqlObject {
public:
    // Message codes; 0x0910 for every refused limit of frames and record views.
    static constexpr int kNameMissing = 0x0901;
    static constexpr int kViewMissing = 0x0902;
    static constexpr int kLimitCode = 0x0910;

    explicit CqlFrame(CReadContext& context);
    ~CqlFrame() override;

    // Reads the element whose data block will lie at `dataOffset`; the header, or null when
    // the frame fails.
    const uint8_t* Read(XmlNode element, uint16_t dataOffset);
};
