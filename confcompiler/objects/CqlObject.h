// What documents, references, journals, frames and record views read alike: the name and view
// of the header, the entry records and the forms' control records of the data block, and the
// `init` action list. Each kind of object adds its own fields around these steps.
//
// The header is built in its own record buffer of the kind's size, the data block in the
// reader's buffer (60000 bytes); offsets written into either count from the start of the
// section record, whose data offset the section reader gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ObjectReader.h"

class CqlObject : public ObjectReader {
public:
    // The texts and codes of one kind of object.
    struct Kind {
        int nameCode;             // error when `name` is missing
        const char* nameMissing;  // its message (no detail)
        int viewCode;             // error when `view` is missing
        const char* viewMissing;  // its message (detail: the name)
        int limitCode;            // every refused limit of the object
        const char* nameLabel;    // "<label> длиннее 31 байт:" for a long name
        const char* viewLabel;    // the same for a long view
        const char* dataWhat;     // the data block in the line about its size
    };

    // The messages about an object's database name.
    struct DatabaseMessages {
        int noDescriptionCode;      // warning: no `data` or no `database` child
        const char* noDescription;  // (detail: the object's name)
        int noNameCode;             // warning: `database` without `name`
        const char* noName;         // (detail: the object's name)
        int tooLongCode;            // error: the name (given or default) has over 31 bytes
        const char* tooLong;        // (detail: the object's name)
    };

    ~CqlObject() override;

    // The header of the last successful Read, and the data block.
    const uint8_t* Header() const { return header_.Data(); }
    const uint8_t* GetData(size_t& size) const {
        size = buffer_.Size();
        return buffer_.Data();
    }
    // The object's name as read (Windows-1251).
    const std::string& Name() const { return name_; }

protected:
    CqlObject(CReadContext& context, const Kind& kind, size_t headerSize);

    // Reads `name` and `view` into the header. False after the error line when either is
    // missing or does not fit its field.
    bool ReadNameAndView(XmlNode element);
    // Stores the data offset and appends the entry records of the child `entries`. False when
    // an entry fails or a limit is refused.
    bool ReadEntries(XmlNode element);
    // Appends the control records of all forms (placed right after the entries) and stores the
    // form count and table. False when a form fails (its reason is reported) or a limit is
    // refused.
    bool ReadForms(XmlNode element, bool useCommonEntries);
    // Stores in `field` the code reference of the action list `event` of the object (no
    // control list). False when a limit is refused.
    bool ReadAction(XmlNode element, std::string_view event, RecordField field);
    // Stores the code reference of the action list `init`; false when a limit is refused.
    bool ReadInit(XmlNode element);
    // True when the header and the data block were built whole.
    bool Complete() const { return !header_.Failed() && !buffer_.Failed(); }

    // Stores the database name in `field`: `name` of the child `database` of the child `data`,
    // or "QL_" + the object's name (after a warning) when either element or the attribute is
    // missing. False after the error when the name does not fit the field.
    bool ReadDatabaseName(XmlNode element, RecordField field, const DatabaseMessages& messages);

    // Starts reading one object whose data block will lie at `dataOffset`.
    void Start(uint16_t dataOffset);

    const Kind& kind_;
    CRecordBuffer header_;
    Subject headerSubject_;
    std::string name_;
    uint16_t dataOffset_ = 0;
};
