// Record 0 of the configuration database: the configuration's name, its developer, the
// client's screen size and the record indices of the section records.
#pragma once

#include <cstddef>
#include <cstdint>

#include "CXMLDOM.h"

class CInfoReader {
public:
    static constexpr size_t kRecordSize = 146;
    static constexpr size_t kTextField = 64;
    static constexpr uint16_t kNoRecord = 0xFFFF;

    // Results of Read.
    static constexpr int kOk = 0;
    static constexpr int kNoRoot = 1;
    static constexpr int kTooLong = -1;

    CInfoReader();
    virtual ~CInfoReader();

    // Reads the root element `quillora`. kNoRoot when there is none; kTooLong (after an error
    // line) when `name` or `developer` does not fit its 64-byte field.
    int Read(const CXMLDOM& document);
    // The record image with the current index fields; size 0 until Read succeeded.
    const uint8_t* Build(size_t& size);

    void SetReferenceRecord(uint16_t index);
    void SetDocumentRecord(uint16_t index);
    void SetMenuRecord(uint16_t index);
    void SetRecordViewRecord(uint16_t index);
    void SetFrameRecord(uint16_t index);
    void SetJournalRecord(uint16_t index);

private:
    uint8_t record_[kRecordSize];
    uint8_t output_[kRecordSize];
    size_t size_ = 0;
};
