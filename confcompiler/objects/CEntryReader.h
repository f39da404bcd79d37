// The entry records of one data object: every `entry` child of an `entries` (or
// `commonEntries`) element, read with CEntry, back to back in document order.
//
// A failed entry fails the whole list: its error line is printed and Read hands back null
// with Failed() set, so that the object (and its section) fails instead of going on without
// the entries from the failed one onward while its controls may still name them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "EntryRecord.h"
#include "ObjectReader.h"

class CEntryReader : public ObjectReader {
public:
    // At most this many entries fit the 60000-byte buffer.
    static constexpr size_t kMaxEntries = CRecordBuffer::kCapacity / EntryRecord::kSize;
    static_assert(kMaxEntries == 1666);

    explicit CEntryReader(CReadContext& context);
    ~CEntryReader() override;

    // The object the entries belong to (its name, Windows-1251): the detail of the line about
    // too many entries. Without it the line shows the element's name.
    void SetObjectName(std::string_view objectName) { objectName_ = objectName; }

    // Reads the `entry` children of `entries`. Null with `size` and `count` 0 when `entries`
    // is null (Failed() false) and when an entry fails or there are more than kMaxEntries
    // (Failed() true, after the error line). Otherwise the records (36 bytes each, possibly
    // none), their total size and their number.
    const uint8_t* Read(XmlNode entries, size_t& size, uint16_t& count);

    bool Failed() const { return failed_; }

private:
    std::nullptr_t Failure();

    std::string objectName_;
    bool failed_ = false;
};
