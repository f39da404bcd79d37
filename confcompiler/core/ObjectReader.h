// Base of the readers that assemble a record or data block: the read context of the run, a
// record buffer, and what the buffers' refusals are reported with. The reader reports them:
// each refused fixed text, each text or block the pool refuses, and the first write past a
// buffer's capacity (through the buffer's overflow handler, so the line comes where the fault
// is met). Each reported refusal counts as a refused limit of the run
// (CReadContext::LimitExceeded). The common failure path reports, then hands back null.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "CReadContext.h"
#include "CRecordBuffer.h"
#include "RecordField.h"

class ObjectReader {
public:
    // `code` is the code of every refusal the reader reports; `what` and `capacity` are those
    // of the reader's own buffer.
    ObjectReader(CReadContext& context, int code, std::string_view what,
                 size_t capacity = CRecordBuffer::kCapacity);
    virtual ~ObjectReader();
    ObjectReader(const ObjectReader&) = delete;
    ObjectReader& operator=(const ObjectReader&) = delete;

    // The object the reader's buffer belongs to (Windows-1251), shown as the detail of the
    // line about its overflow.
    void SetSubject(std::string_view subject) { subject_.name = subject; }
    // The element the reader's buffer is built from: the line about its overflow, and the
    // pool's refusal of what the reader adds for it, concern that element.
    void SetNode(XmlNode node) { subject_.node = node; }

protected:
    // What one buffer's overflow is reported with: "<what> превышает N байт: <name>" about
    // `node` (N the buffer's capacity).
    struct Subject {
        std::string_view what;  // UTF-8, a text that outlives the buffer (a literal)
        std::string name;
        XmlNode node = nullptr;
    };

    const CXMLDOM& Document() const { return context_.Document(); }

    // Makes `buffer` report its first write past the capacity as described by `subject`; both
    // must live as long as the buffer is written.
    void Report(CRecordBuffer& buffer, const Subject& subject);
    // A temporary subject would be gone before the buffer overflows.
    void Report(CRecordBuffer& buffer, Subject&& subject) = delete;

    // Text in a fixed field of `buffer`; a text that does not fit is refused with the error
    // line "<label> длиннее N байт: <text>" (N = field size - 1) about `node`.
    bool FixedText(CRecordBuffer& buffer, RecordField field, std::string_view text,
                   std::string_view label, XmlNode node);
    // Adds the text (padded) to the string pool and stores its reference in the field of
    // `buffer`; the pool's refusal concerns `node`. A refusal fails the buffer.
    bool PoolText(CRecordBuffer& buffer, RecordField field, std::string_view text, XmlNode node);
    // Adds the bytes to the string pool as one entry and stores its reference in the field.
    bool PoolBytes(CRecordBuffer& buffer, RecordField field, std::span<const uint8_t> bytes,
                   XmlNode node);

    // The same into the reader's buffer, about `node` or else the buffer's element.
    bool FixedText(RecordField field, std::string_view text, std::string_view label,
                   XmlNode node = nullptr) {
        return FixedText(buffer_, field, text, label, node != nullptr ? node : subject_.node);
    }
    bool PoolText(RecordField field, std::string_view text) {
        return PoolText(buffer_, field, text, subject_.node);
    }
    bool PoolBytes(RecordField field, std::span<const uint8_t> bytes) {
        return PoolBytes(buffer_, field, bytes, subject_.node);
    }

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
    const int code_;
    CRecordBuffer buffer_;

private:
    Subject subject_;
};
