// Base of the readers that assemble a record or data block: the read context of the run, a
// record buffer whose refusals are reported with the reader's code, and the common failure
// path (report, then hand back null).
#pragma once

#include <cstddef>
#include <string_view>

#include "CReadContext.h"
#include "CRecordBuffer.h"

class ObjectReader {
public:
    // `code` and `what` go to the line about a record that outgrows `capacity`.
    ObjectReader(CReadContext& context, int code, std::string_view what,
                 size_t capacity = CRecordBuffer::kCapacity);
    virtual ~ObjectReader();
    ObjectReader(const ObjectReader&) = delete;
    ObjectReader& operator=(const ObjectReader&) = delete;

protected:
    const CXMLDOM& Document() const { return context_.Document(); }

    // Reports the error and returns null, for `return Fail(...)` in a Read.
    std::nullptr_t Fail(int code, std::string_view message, XmlNode node = nullptr) {
        context_.Error(code, message, node);
        return nullptr;
    }
    std::nullptr_t Fail(int code, std::string_view message, std::string_view detail,
                        XmlNode node = nullptr) {
        context_.Error(code, message, detail, node);
        return nullptr;
    }

    CReadContext& context_;
    CRecordBuffer buffer_;
};
