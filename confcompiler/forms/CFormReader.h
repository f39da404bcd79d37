// Reads all forms of one object (document, reference, journal, frame or record view): the
// control records of all its forms as one block, which the caller places in its data block at
// the base offset it gives, and the 56-byte form headers (FormHeader.h), stored together in
// the string pool as the object's form table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "CListMenu.h"
#include "ObjectReader.h"

class CFormReader : public ObjectReader {
public:
    // The most forms one object can have: 60000 bytes of headers.
    static constexpr size_t kMaxForms = 1071;

    explicit CFormReader(CReadContext& context);
    ~CFormReader() override;

    // The control records of all forms of `object`; `size` their total length, `formCount`
    // the number of forms. `baseOffset` is where the caller places the block in its section
    // record; the flag adds the document's common entries to the entries controls can name.
    // Null when a form fails (the form table is then not stored) or a limit is refused.
    const uint8_t* Read(XmlNode object, size_t& size, uint16_t& formCount, uint16_t baseOffset,
                        bool useCommonEntries);
    // The string reference of the form table stored by the last successful Read.
    uint32_t GetFormTable() const { return formTable_; }

private:
    // Reads one form: appends its control records and its header. False when it fails.
    bool ReadForm(XmlNode form, XmlNode object, uint16_t baseOffset, bool useCommonEntries);

    CRecordBuffer headers_;
    Subject headersSubject_;
    CListMenu menus_;
    uint32_t formTable_ = 0;
    // Control records read so far for this object.
    size_t controlCount_ = 0;
};
