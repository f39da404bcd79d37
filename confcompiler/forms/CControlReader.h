// Reads the `controls` element of one form: each `control` child, in document order, becomes
// one 68-byte control record, and the records lie one after the other.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ObjectReader.h"

class CControlReader : public ObjectReader {
public:
    // Message code of the control list reader, and of the form limits.
    static constexpr int kCode = 0x0D01;
    static constexpr int kLimitCode = 0x0D10;
    // The most controls one form (and one object) can have: 60000 bytes of records.
    static constexpr size_t kMaxControls = 882;

    explicit CControlReader(CReadContext& context);
    ~CControlReader() override;

    // The control records of `form`, whose object element is `object` (its entries, and with
    // the flag the document's common entries, are what the controls' `entry` attributes
    // name). Sets `size` (68 per control) and `count`; null when a control is invalid, the
    // form has no `controls` element, or a limit is refused.
    const uint8_t* Read(XmlNode form, XmlNode object, size_t& size, uint16_t& count,
                        bool useCommonEntries);
};
