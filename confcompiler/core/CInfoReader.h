// Record 0 of the configuration database (layout in InfoRecord.h): the configuration's name,
// its developer, the client's screen size and the record indices of the section records.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ConfigurationLayout.h"
#include "InfoRecord.h"
#include "ObjectReader.h"

class CInfoReader : public ObjectReader {
public:
    static constexpr size_t kRecordSize = InfoRecord::kSize;
    static constexpr size_t kTextField = InfoRecord::kName.size;
    static constexpr uint16_t kNoRecord = ConfigurationLayout::kNoRecord;
    // What the record holds when the root element does not say.
    static constexpr uint16_t kDefaultWidth = 240;
    static constexpr uint16_t kDefaultHeight = 268;
    static constexpr const char* kDefaultDeveloper = "Норвил АРМ";

    // Results of Read.
    static constexpr int kOk = 0;
    static constexpr int kNoRoot = 1;
    static constexpr int kTooLong = -1;

    // The client's screen as the root element gives it: `screenWidth` and `screenHeight`,
    // 240 and 268 when missing.
    static void ScreenSize(const CXMLDOM& document, XmlNode root, uint16_t& width,
                           uint16_t& height);

    explicit CInfoReader(CReadContext& context);
    ~CInfoReader() override;

    // Reads the root element `quillora`. kNoRoot when there is none; kTooLong (after an error
    // line) when `name` or `developer` does not fit its 64-byte field.
    int Read();
    // The record with the current index fields; size 0 until Read succeeded.
    const uint8_t* Build(size_t& size) const;

    void SetReferenceRecord(uint16_t index) { buffer_.Put16(InfoRecord::kReferenceRecord, index); }
    void SetDocumentRecord(uint16_t index) { buffer_.Put16(InfoRecord::kDocumentRecord, index); }
    void SetMenuRecord(uint16_t index) { buffer_.Put16(InfoRecord::kMenuRecord, index); }
    void SetRecordViewRecord(uint16_t index) {
        buffer_.Put16(InfoRecord::kRecordViewRecord, index);
    }
    void SetFrameRecord(uint16_t index) { buffer_.Put16(InfoRecord::kFrameRecord, index); }
    void SetJournalRecord(uint16_t index) { buffer_.Put16(InfoRecord::kJournalRecord, index); }

private:
    bool read_ = false;
};
