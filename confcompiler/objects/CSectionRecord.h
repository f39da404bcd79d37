// Assembles one section record of journals, documents, references, frames or record views:
// the elements of the section are the first element of its name in document order and that
// element's same-named siblings; each is read by a fresh object reader, its header goes to the
// next header slot and its data block is appended behind the data blocks before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ObjectHeader.h"
#include "ObjectReader.h"

class CSectionRecord : public ObjectReader {
public:
    // The count that opens the usual section record.
    static constexpr size_t kCountSize = SectionRecord::kCount.size;

    // `limitCode` and `what` report a record past CRecordBuffer::kCapacity bytes.
    CSectionRecord(CReadContext& context, int limitCode, std::string_view what)
        : ObjectReader(context, limitCode, what) {}

    // Reads the objects named `element` with `Object` (constructed with the context; its
    // `Read(element, dataOffset)` gives the header, `GetData(size)` the data block). The
    // `headerSize` headers start at `headersOffset`; the data blocks follow them. Returns the
    // number of objects read, or -1 when one failed or the record outgrew its capacity.
    template <class Object>
    int ReadObjects(std::string_view element, size_t headersOffset, size_t headerSize) {
        const CXMLDOM& document = context_.Document();
        const XmlNode first = document.FindNode(document.GetFirstNode(), element);
        size_t count = 0;
        for (XmlNode node = first; node != nullptr;
             node = document.FindNextSibling(node, element)) {
            ++count;
        }
        if (count == 0) {
            return 0;
        }
        SetNode(first);
        const size_t headers = buffer_.Reserve(headersOffset + headerSize * count) + headersOffset;
        size_t index = 0;
        for (XmlNode node = first; node != nullptr && !buffer_.Failed();
             node = document.FindNextSibling(node, element), ++index) {
            SetNode(node);
            Object object(context_);
            const uint8_t* header = object.Read(node, static_cast<uint16_t>(buffer_.Size()));
            if (header == nullptr) {
                return -1;
            }
            size_t size = 0;
            const uint8_t* data = object.GetData(size);
            buffer_.PutBytes(headers + headerSize * index, header, headerSize);
            buffer_.AppendBytes(data, size);
        }
        return buffer_.Failed() ? -1 : static_cast<int>(count);
    }

    // The whole section of the usual shape (ObjectHeader.h): the count, the headers, the
    // data blocks. Without any element: null, or an empty record (a valid pointer, size 0)
    // when `emptyAllowed`. Null when an object fails or the record outgrows its capacity.
    template <class Object>
    const uint8_t* ReadSection(std::string_view element, size_t headerSize, bool emptyAllowed,
                               size_t& size) {
        size = 0;
        const int count = ReadObjects<Object>(element, kCountSize, headerSize);
        if (count < 0 || (count == 0 && !emptyAllowed)) {
            return nullptr;
        }
        if (count == 0) {
            static constexpr uint8_t kEmpty[1] = {0};
            return kEmpty;
        }
        buffer_.Put16(0, static_cast<uint16_t>(count));
        size = buffer_.Size();
        return buffer_.Data();
    }

    CRecordBuffer& Record() { return buffer_; }
};
