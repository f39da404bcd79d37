// The control records of one form read back (ControlRecord.h, ControlAttributes.h, and the
// item table of a formmenu, ControlItemRecord.h): each control with its fields, its type's
// attributes, its item list and its actions. Checks that the type is known, that the entry
// index names an entry of the object, that navigation targets name a control of the form or
// none, and every string and code reference (through CStringPool).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CByteReader.h"
#include "CProblemList.h"
#include "CStringPool.h"
#include "InspectJson.h"

class CControlInspector {
public:
    // Controls of the section record `record` (database record `index`).
    CControlInspector(CByteReader record, int index, CStringPool& pool, CProblemList& problems);
    virtual ~CControlInspector();

    // The control record at `at`, control number `index` of a form of `controlCount` controls;
    // `names` are the object's entries in entry-index order. Messages name the control with
    // `here`, and its attributes with `object` (both outlive the call).
    Json Read(size_t at, size_t index, size_t controlCount, const std::vector<std::string>& names,
              const std::string& object, const std::string& here);

    // A control index as the document shows it: null for none.
    static Json Index(uint16_t value);

private:
    // The type's attributes; a formmenu's item list goes to `items`.
    Json Attributes(size_t at, uint16_t type, Json& items);

    CByteReader record_;
    int index_;
    CStringPool& pool_;
    CProblemList& problems_;
    const std::string* object_ = nullptr;
    const std::string* here_ = nullptr;
};
