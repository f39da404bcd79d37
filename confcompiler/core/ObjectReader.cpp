#include "ObjectReader.h"

#include "CStringsReader.h"

ObjectReader::ObjectReader(CReadContext& context, int code, std::string_view what, size_t capacity)
    : context_(context), code_(code), buffer_(capacity), subject_{what, {}, nullptr} {
    Report(buffer_, subject_);
}

ObjectReader::~ObjectReader() = default;

void ObjectReader::Report(CRecordBuffer& buffer, const Subject& subject) {
    buffer.SetOverflowHandler([this, &buffer, &subject] {
        context_.TooLarge(code_, subject.what, buffer.Capacity(), subject.name, subject.node);
    });
}

bool ObjectReader::FixedText(CRecordBuffer& buffer, RecordField field, std::string_view text,
                             std::string_view label, XmlNode node) {
    if (text.size() >= field.size) {
        // Every refused text is reported: each is a fault of its own in the document.
        context_.TooLong(code_, label, field.size - 1, text, node);
    }
    return buffer.PutFixedText(field, text);
}

bool ObjectReader::PoolText(CRecordBuffer& buffer, RecordField field, std::string_view text,
                            XmlNode node) {
    const uint32_t reference = context_.Pool().AddString(text, code_, context_.Location(node));
    if (reference == 0) {
        buffer.Fail();
        return false;
    }
    return buffer.Put32(field, reference);
}

bool ObjectReader::PoolBytes(CRecordBuffer& buffer, RecordField field,
                             std::span<const uint8_t> bytes, XmlNode node) {
    const uint32_t reference =
        context_.Pool().AddBytes(bytes.data(), bytes.size(), code_, context_.Location(node));
    if (reference == 0) {
        buffer.Fail();
        return false;
    }
    return buffer.Put32(field, reference);
}
