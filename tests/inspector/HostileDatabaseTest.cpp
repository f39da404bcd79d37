// Configuration databases built by hand to exhaust the inspector: offsets that overlap, loop
// and fan out, the most records of the largest sizes. Every mode of quilinspect reads each in
// bounded memory under an address-space cap, the document stays within the decoding budget,
// and no line holds a text converted twice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CControl.h"
#include "CConverter.h"
#include "CProblemList.h"
#include "CSectionRecord.h"
#include "ControlItemRecord.h"
#include "ControlRecord.h"
#include "DocumentRecord.h"
#include "FormHeader.h"
#include "InspectorDatabases.h"
#include "JournalRecord.h"
#include "MeasuredRun.h"
#include "MenuRecord.h"
#include "ObjectHeader.h"
#include "ReferenceRecord.h"
#include "StringReference.h"
#include "TempDir.h"

namespace {

void Put(Bytes& bytes, size_t at, RecordField field, uint32_t value) {
    if (bytes.size() < at + field.End()) {
        bytes.resize(at + field.End());
    }
    if (field.size == 4) {
        ByteOrder::Store32(bytes.data() + at + field.offset, value);
    } else if (field.size == 2) {
        ByteOrder::Store16(bytes.data() + at + field.offset, static_cast<uint16_t>(value));
    } else {
        bytes[at + field.offset] = static_cast<uint8_t>(value);
    }
}

// A strings record being built: each Add returns the new entry's string reference.
struct Pool {
    Bytes bytes = Bytes(2, 0);
    uint32_t Add(const Bytes& data) {
        const size_t at = bytes.size();
        bytes.resize(at + 2);
        ByteOrder::Store16(bytes.data() + at, static_cast<uint16_t>(data.size()));
        bytes.insert(bytes.end(), data.begin(), data.end());
        return uint32_t{StringReference::kRecordIndex} << 16 | static_cast<uint32_t>(at);
    }
    // Action code of `calls` calls of Report (id 4), each naming the text `text`.
    uint32_t Code(size_t calls, uint32_t text) {
        Bytes code(2 + 6 * calls);
        ByteOrder::Store16(code.data(), static_cast<uint16_t>(6 * calls));
        for (size_t k = 0; k < calls; ++k) {
            ByteOrder::Store16(code.data() + 2 + 6 * k, 4);
            ByteOrder::Store32(code.data() + 4 + 6 * k, text);
        }
        return Add(code);
    }
};

// What the crafted records share: a long text, codes naming it once, in hundreds and in
// thousands of calls, a form table of many forms and an item table of many items, all over
// the same controls.
struct Shared {
    Pool pool;
    uint32_t text, code, longCode, hugeCode, forms, items;
    static constexpr size_t kControlsAt = 44000;
    static constexpr size_t kControls = (60000 - kControlsAt) / ControlRecord::kSize;
    Shared() {
        Bytes text(8000, 'x');
        text.back() = 0;
        this->text = pool.Add(text);
        code = pool.Code(1, this->text);
        longCode = pool.Code(120, this->text);   // shown as 960 KB
        hugeCode = pool.Code(5000, this->text);  // too long to be shown
        Bytes table;
        for (size_t k = 0; k < 150; ++k) {
            Put(table, FormHeader::kSize * k, FormHeader::kControlCount, kControls);
            Put(table, FormHeader::kSize * k, FormHeader::kControlsOffset, kControlsAt);
            Put(table, FormHeader::kSize * k, FormHeader::kFirstControl, 0xFFFF);
            Put(table, FormHeader::kSize * k, FormHeader::kOpen, code);
        }
        forms = pool.Add(table);
        table.clear();
        for (size_t k = 0; k < 400; ++k) {
            Put(table, ControlItemRecord::kSize * k, ControlItemRecord::kKind,
                ControlItemRecord::kItem);
            Put(table, ControlItemRecord::kSize * k, ControlItemRecord::kView, this->text);
            Put(table, ControlItemRecord::kSize * k, ControlItemRecord::kFunc, code);
        }
        items = pool.Add(table);
    }

    // A section record whose every header names all the forms, every form the same controls
    // (static texts and form menus, every event the code).
    Bytes Objects(size_t headersAt, size_t headerSize) const {
        Bytes record;
        const size_t count = (kControlsAt - headersAt) / headerSize;
        Put(record, 0, {0, 2}, static_cast<uint32_t>(count));
        for (size_t i = 0; i < count; ++i) {
            const size_t at = headersAt + headerSize * i;
            Put(record, at, ObjectHeader::kDataOffset, kControlsAt);
            Put(record, at, ObjectHeader::kFormCount, 150);
            Put(record, at, ObjectHeader::kFormTable, forms);
            Put(record, at, ObjectHeader::kInit, longCode);
        }
        for (size_t k = 0; k < kControls; ++k) {
            const size_t at = kControlsAt + ControlRecord::kSize * k;
            const bool menu = k % 2 == 1;
            Put(record, at, ControlRecord::kType,
                menu ? ControlType::kFormMenu : ControlType::kStatic);
            Put(record, at, ControlRecord::kEntry, 0xFFFF);
            for (const RecordField target : {ControlRecord::kLeft, ControlRecord::kRight,
                                             ControlRecord::kUp, ControlRecord::kDown}) {
                Put(record, at, target, 0xFFFF);
            }
            Put(record, at + ControlRecord::kTypeAttributes.offset, {0, 4}, text);
            for (const RecordField event : {ControlRecord::kSelect, ControlRecord::kUpdate,
                                            ControlRecord::kInit, ControlRecord::kRecordDeleted}) {
                Put(record, at, event, code);
            }
            if (menu) {
                Put(record, at, ControlRecord::kItemCount, 400);
                Put(record, at, ControlRecord::kItemTable, items);
            }
        }
        return record;
    }

    // One menu of as many items as fit, each naming one of the three codes.
    Bytes Menus() const {
        Bytes record;
        const size_t block = MenuRecord::kHeaderSize + MenuDirectoryEntry::kSize;
        const size_t count = (60000 - block - MenuBlock::kHeaderSize) / MenuItemRecord::kSize;
        Put(record, 0, MenuRecord::kMenuCount, 1);
        Put(record, MenuRecord::kHeaderSize, MenuDirectoryEntry::kNumber, 1);
        Put(record, MenuRecord::kHeaderSize, MenuDirectoryEntry::kBlockOffset, block);
        Put(record, block, MenuBlock::kType, MenuBlock::kMenuType);
        Put(record, block, MenuBlock::kItemCount, static_cast<uint32_t>(count));
        for (size_t k = 0; k < count; ++k) {
            const size_t at = block + MenuBlock::kHeaderSize + MenuItemRecord::kSize * k;
            Put(record, at, MenuItemRecord::kId, static_cast<uint32_t>(2000 + k));
            Put(record, at, MenuItemRecord::kKind, MenuItemRecord::kMenuItem);
            Put(record, at, MenuItemRecord::kCode,
                k % 3 == 0   ? code
                : k % 3 == 1 ? longCode
                             : hugeCode);
        }
        return record;
    }
};

// The example's info and 16-byte records, then `records` (from record 2 on).
Bytes Database(const std::vector<Bytes>& records) {
    const Bytes& example = ExampleConfiguration();
    CPdb pdb(CPdb::kConfigurationType, CPdb::kConfigurationCreator, 0);
    pdb.SetName(CConfCompiler::kDatabaseName);
    for (size_t i = 0; i < 2; ++i) {
        pdb.AddRecord(example.data() + RecordStart(example, i),
                      RecordStart(example, i + 1) - RecordStart(example, i));
    }
    for (const Bytes& record : records) {
        pdb.AddRecord(record.data(), record.size());
    }
    return pdb.Image();
}

// Every section fans out; `records` pads the database to that many records of 64 KB.
Bytes FanOut(size_t records = 9) {
    const Shared s;
    std::vector<Bytes> list = {s.Menus(),
                               s.Objects(CSectionRecord::kCountSize, JournalHeader::kSize),
                               s.Objects(DocumentRecord::kHeadersOffset, DocumentHeader::kSize),
                               s.Objects(CSectionRecord::kCountSize, ObjectHeader::kSize),
                               s.Objects(CSectionRecord::kCountSize, ReferenceHeader::kSize),
                               s.Objects(CSectionRecord::kCountSize, ObjectHeader::kSize),
                               s.pool.bytes};
    list.resize(records - 2, Bytes(0xFFFF, 0xEE));
    return Database(list);
}

// Only the menus decode: their items name codes of one, hundreds and thousands of calls.
Bytes MenusOnly() {
    const Shared s;
    return Database({s.Menus(), {}, {}, {}, {}, {}, s.pool.bytes});
}

// The example with the length word of the second menu item's code past its entry.
Bytes DamagedMenuCode(size_t& code) {
    Bytes file = ExampleConfiguration();
    const size_t menus = RecordStart(file, 2);
    const size_t block = ByteOrder::Load16(file.data() + menus + MenuRecord::kHeaderSize +
                                           MenuDirectoryEntry::kBlockOffset.offset);
    const size_t item = block + MenuBlock::kHeaderSize + MenuItemRecord::kSize;
    code = StringReference::Offset(
        ByteOrder::Load32(file.data() + menus + item + MenuItemRecord::kCode.offset));
    ByteOrder::Store16(file.data() + RecordStart(file, StringReference::kRecordIndex) + code + 2,
                       57541);
    return file;
}

// True when `text` (UTF-8) holds Cyrillic converted to UTF-8 twice: the bytes of a Cyrillic
// letter's UTF-8 read as Windows-1251 ("Р" or "С" and a letter of the upper half's start).
bool DoubleEncoded(const std::string& text) {
    const std::string narrow = CConverter::ToNarrow(text);
    for (size_t i = 0; i + 1 < narrow.size(); ++i) {
        const auto lead = static_cast<uint8_t>(narrow[i]);
        const auto next = static_cast<uint8_t>(narrow[i + 1]);
        if ((lead == 0xD0 || lead == 0xD1) && next >= 0x80 && next <= 0xBF) {
            return true;
        }
    }
    return false;
}

TEST(HostileDatabaseTest, EveryModeStaysWithinTheBudget) {
    size_t code = 0;
    const struct {
        const char* name;
        Bytes file;
        const char* line;  // a line --check must print
    } cases[] = {
        {"fan-out", FanOut(), "decoding stopped: the database names the same bytes too often"},
        {"menus", MenusOnly(), "decoding stopped: the database names the same bytes too often"},
        {"most records", FanOut(64), "the database has 64 records, not 9"},
        {"damaged menu code", DamagedMenuCode(code), nullptr},
    };
    const std::string damaged = "record 8, offset " + std::to_string(code) +
                                ": menu 1, item 2002, action: the action " + "code at offset " +
                                std::to_string(code) + " does not decode: длина кода действий " +
                                "57541 больше данных";
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path =
            dir.Write(std::string(c.name) + ".pdb", std::string(c.file.begin(), c.file.end()));
        for (const std::vector<std::string>& mode : std::vector<std::vector<std::string>>{
                 {QUILINSPECT_PATH, path},
                 {QUILINSPECT_PATH, "--check", path},
                 {QUILINSPECT_PATH, "--json", path},
                 {QUILINSPECT_PATH, "--svg", dir.File("svg"), path},
                 {QUILINSPECT_PATH, "--xml", "--force", path, dir.File("out.xml")}}) {
            SCOPED_TRACE(mode[1]);
#if defined(_WIN32) || defined(QUIL_ADDRESS_SANITIZER)
            // No cap: Windows has none; AddressSanitizer reserves more and uses more memory.
            const MeasuredRun run = MeasuredRun::Of(mode);
#else
            const MeasuredRun run = MeasuredRun::Of(mode, 400000);
#endif
#ifndef QUIL_ADDRESS_SANITIZER
            EXPECT_LT(run.peakKb, 200 * 1024);
#endif
            EXPECT_TRUE(run.exited) << run.status;
            EXPECT_EQ(run.status, mode[1] == "--check" ? 1 : 0);
            EXPECT_FALSE(DoubleEncoded(run.output));
            // The budget counts the document's values: its text is of the same order.
            EXPECT_LT(run.output.size(), 2 * CProblemList::kMaxBytes);
            if (mode[1] == "--check") {
                const std::string line = c.line != nullptr ? c.line : damaged;
                EXPECT_NE(run.output.find(line), std::string::npos) << line << "\n"
                                                                    << run.output.substr(0, 2000);
            }
        }
    }
}

}  // namespace
