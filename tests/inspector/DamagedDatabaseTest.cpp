// Deliberately damaged databases: each is reported with the record and the byte offset of the
// bytes at fault, as a problem (damage) or a warning (a value the author probably did not mean).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>

#include "CDecompiler.h"
#include "CInspector.h"
#include "CInspectorProgram.h"
#include "CPdbFile.h"
#include "ControlRecord.h"
#include "EntryRecord.h"
#include "FormHeader.h"
#include "InfoRecord.h"
#include "InspectorCheck.h"
#include "InspectorDatabases.h"
#include "MenuRecord.h"
#include "ObjectHeader.h"
#include "StringReference.h"
#include "TempDir.h"
#include "TransferRecords.h"

namespace {

struct Expected {
    int record;  // -1: the file header or record list
    size_t offset;
    std::string message;            // a part of it
    const char* list = "problems";  // or "warnings"
};

// A damaged copy of a database: `file` is changed, the expected problem returned.
using Damage = std::function<Expected(Bytes& file)>;

uint16_t Get16(const Bytes& file, size_t at) {
    return ByteOrder::Load16(file.data() + at);
}
uint32_t Get32(const Bytes& file, size_t at) {
    return ByteOrder::Load32(file.data() + at);
}
void Put16(Bytes& file, size_t at, uint16_t value) {
    ByteOrder::Store16(file.data() + at, value);
}

// Record indexes of the example configuration.
constexpr size_t kMenus = 2;
constexpr size_t kJournals = 3;
constexpr size_t kStrings = StringReference::kRecordIndex;

// The first journal's header, its first form header (in the strings record) and first control.
size_t Journal(const Bytes& f) {
    return RecordStart(f, kJournals) + 2;
}
size_t FormTable(const Bytes& f) {
    return StringReference::Offset(Get32(f, Journal(f) + ObjectHeader::kFormTable.offset)) + 2;
}
size_t FirstControl(const Bytes& f) {
    return Get16(f, RecordStart(f, kStrings) + FormTable(f) + FormHeader::kControlsOffset.offset);
}
// The first menu's item `k`, in its record.
size_t MenuItem(const Bytes& f, size_t k) {
    const size_t block = Get16(f, RecordStart(f, kMenus) + MenuRecord::kHeaderSize +
                                      MenuDirectoryEntry::kBlockOffset.offset);
    return block + MenuBlock::kHeaderSize + MenuItemRecord::kSize * k;
}
// The slots of the first exchange of the exchange database, in its index record.
size_t ExchangeSlots(const Bytes& f) {
    size_t at = RecordStart(f, 0) + TransferIndexRecord::kHeaderSize;
    for (int text = 0; text < 2; ++text) {
        const size_t length = std::strlen(reinterpret_cast<const char*>(f.data() + at));
        at += length % 2 == 1 ? length + 1 : length + 2;
    }
    return at - RecordStart(f, 0);
}

// The largest record list, every entry pointing past the end of the file.
constexpr size_t kManyRecords = 0xFFFF;
Expected RecordsPastTheEnd(Bytes& f) {
    f.resize(PdbHeader::kSize);
    Put16(f, PdbHeader::kRecordCount.offset, kManyRecords);
    for (size_t i = 0; i < kManyRecords; ++i) {
        f.insert(f.end(), {0xF0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0});
    }
    return Expected{-1, PdbHeader::kSize, "record 0 starts at byte 4294967280, past the end"};
}

struct Case {
    const char* name;  // also the path the database is inspected under
    const Bytes& (*database)();
    Damage damage;
};

const Case kCases[] = {
    {"header cut short", ExampleConfiguration,
     [](Bytes& f) {
         f.resize(40);
         return Expected{-1, 0, "fewer than the 78-byte header"};
     }},
    {"record list cut short", ExampleConfiguration,
     [](Bytes& f) {
         f.resize(100);
         return Expected{-1, PdbHeader::kRecordCount.offset, "past the end of the file"};
     }},
    {"strings record cut short", ExampleConfiguration,
     [](Bytes& f) {
         const size_t pool = RecordStart(f, kStrings);
         size_t last = 2;
         for (size_t at = 2; pool + at < f.size(); at += 2 + Get16(f, pool + at)) {
             last = at;
         }
         f.pop_back();
         return Expected{8, last, "more than the strings record has"};
     }},
    {"record going back", ExampleConfiguration,
     [](Bytes& f) {
         const size_t entry = PdbHeader::kSize + PdbRecordEntry::kSize * 3;
         ByteOrder::Store32(f.data() + entry, static_cast<uint32_t>(RecordStart(f, 2) - 1));
         return Expected{-1, entry, "before the start of record 2"};
     }},
    {"unknown type", ExampleConfiguration,
     [](Bytes& f) {
         f[PdbHeader::kType.offset] = 'X';
         return Expected{-1, PdbHeader::kType.offset, "neither"};
     }},
    {"slot naming the strings record", ExampleConfiguration,
     [](Bytes& f) {
         Put16(f, RecordStart(f, 0) + InfoRecord::kMenuRecord.offset, 8);
         return Expected{0, InfoRecord::kMenuRecord.offset, "no section record"};
     }},
    {"data offset past its record", ExampleConfiguration,
     [](Bytes& f) {
         Put16(f, Journal(f) + ObjectHeader::kDataOffset.offset, 0xFFF0);
         return Expected{3, 2 + ObjectHeader::kDataOffset.offset, "do not lie in the record"};
     }},
    {"controls offset past its record", ExampleConfiguration,
     [](Bytes& f) {
         const size_t at = FormTable(f) + FormHeader::kControlsOffset.offset;
         Put16(f, RecordStart(f, kStrings) + at, 0xFF00);
         return Expected{8, at, "controls at offset 65280"};
     }},
    {"reference to another record", ExampleConfiguration,
     [](Bytes& f) {
         const size_t entry = Get16(f, Journal(f) + ObjectHeader::kDataOffset.offset);
         Put16(f, RecordStart(f, kJournals) + entry + EntryRecord::kName.offset + 2, 7);
         return Expected{3, entry + EntryRecord::kName.offset, "not the strings record 8"};
     }},
    {"reference to no entry", ExampleConfiguration,
     [](Bytes& f) {
         const size_t entry = Get16(f, Journal(f) + ObjectHeader::kDataOffset.offset);
         const size_t at = RecordStart(f, kJournals) + entry + EntryRecord::kName.offset;
         Put16(f, at, static_cast<uint16_t>(Get16(f, at) + 1));
         return Expected{3, entry + EntryRecord::kName.offset, "where no entry"};
     }},
    {"undecodable action code", ExampleConfiguration,
     [](Bytes& f) {
         const size_t code = StringReference::Offset(
             Get32(f, RecordStart(f, kMenus) + MenuItem(f, 1) + MenuItemRecord::kCode.offset));
         Put16(f, RecordStart(f, kStrings) + code + 4, 0xEEEE);  // the first function id
         return Expected{8, code, "does not decode"};
     }},
    {"navigation past the form's controls", ExampleConfiguration,
     [](Bytes& f) {
         const size_t at = FirstControl(f) + ControlRecord::kSize + ControlRecord::kRight.offset;
         Put16(f, RecordStart(f, kJournals) + at, 200);
         return Expected{3, at, "right names control #200", "warnings"};
     }},
    {"menu parent missing", ExampleConfiguration,
     [](Bytes& f) {
         const size_t at = MenuItem(f, 1) + MenuItemRecord::kParent.offset;
         Put16(f, RecordStart(f, kMenus) + at, 2999);
         return Expected{2, at, "no item read before it"};
     }},
    {"menu id twice", ExampleConfiguration,
     [](Bytes& f) {
         const size_t at = MenuItem(f, 2);
         Put16(f, RecordStart(f, kMenus) + at, Get16(f, RecordStart(f, kMenus) + MenuItem(f, 1)));
         return Expected{2, at, "two items with the id 2002"};
     }},
    {"bad\377.pdb, a path that is no UTF-8", ExampleConfiguration,
     [](Bytes& f) {
         f.clear();
         return Expected{-1, 0, "fewer than the 78-byte header"};
     }},
    {"records past the end", ExampleConfiguration, RecordsPastTheEnd},
    {"exchange slot naming no record", ExampleExchange,
     [](Bytes& f) {
         const size_t at =
             ExchangeSlots(f) + TransferExchangeEntry::kSlotSize * TransferExchangeEntry::kGetDbs;
         Put16(f, RecordStart(f, 0) + at, 40);
         return Expected{0, at, "no group record"};
     }},
    {"exchange group with fewer entries than its count", ExampleExchange,
     [](Bytes& f) {
         // Record 2, post tables: its URL, then the count of its one table.
         const size_t record = RecordStart(f, 2);
         const size_t url = std::strlen(reinterpret_cast<const char*>(f.data() + record));
         Put16(f, record + url + (url % 2 == 1 ? 1 : 2), 2);
         return Expected{2, RecordStart(f, 3) - record, "ends after 1 of its 2 entries"};
     }},
};

TEST(DamagedDatabaseTest, EachDamageIsReportedAtItsRecordAndOffset) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Bytes file = c.database();
        ExpectInspectorFindsNothingIn(file);
        const Expected expected = c.damage(file);
        const Json document = CInspector::Inspect(file, c.name);
        // Problems make --check fail; warnings alone do not.
        EXPECT_EQ(CInspector::ProblemLines(document).empty(), expected.list[0] == 'w');
        bool found = false;
        for (const Json& problem : document[expected.list]) {
            found = found || ((expected.record < 0 ? problem["record"].is_null()
                                                   : problem["record"] == expected.record) &&
                              problem["offset"] == expected.offset &&
                              problem["message"].get<std::string>().find(expected.message) !=
                                  std::string::npos);
        }
        EXPECT_TRUE(found) << "expected at record " << expected.record << ", offset "
                           << expected.offset << ": " << expected.message
                           << "\nfound:" << ListedProblems(CInspector::ProblemLines(document))
                           << ListedProblems(CInspector::WarningLines(document));
        EXPECT_NO_THROW(document.dump());  // every text of the document is UTF-8, the path too
    }
}

// A damaged database is not written back: --xml refuses it with exit status 1 and writes no
// file; --force writes the document with a comment at each place it does not reproduce.
TEST(DamagedDatabaseTest, ADamagedDatabaseIsNotWrittenBack) {
    TempDir dir;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Bytes file = c.database();
        const bool problem = c.damage(file).list[0] == 'p';
        const std::string path = dir.Write("damaged.pdb", std::string(file.begin(), file.end()));
        const std::string target = dir.File("damaged.xml");
        std::filesystem::remove(CPlatform::Path(target));
        std::ostringstream out;
        std::ostringstream err;
        const int status = CInspectorProgram::Run({"--xml", path, target}, out, err);
        // A doubtful value may be one that no document gives (a control index past the form).
        EXPECT_TRUE(status == 1 || (status == 0 && !problem)) << err.str();
        EXPECT_EQ(std::filesystem::exists(CPlatform::Path(target)), status == 0);
        if (problem) {
            EXPECT_TRUE(err.str().find("damaged.pdb: record ") != std::string::npos ||
                        err.str().find("damaged.pdb: file, offset ") != std::string::npos)
                << err.str();
        }
        const bool document = !CDecompiler::Decompile(file, path).text.empty();
        EXPECT_EQ(CInspectorProgram::Run({"--xml", "--force", path, target}, out, err),
                  document ? 0 : 1);
        EXPECT_EQ(std::filesystem::exists(CPlatform::Path(target)), document || status == 0);
        if (document && problem) {
            const Bytes written = dir.ReadBytes("damaged.xml");
            EXPECT_NE(std::string(written.begin(), written.end()).find("<!-- not reproduced: "),
                      std::string::npos);
        }
    }
}

// A control function spelt in lower case takes its control argument as the raw number: the
// database is sound, but #12 is no control of the form's 6, which --check warns of (and fails
// on only with --strict).
TEST(DamagedDatabaseTest, AControlIndexPastTheFormIsAWarning) {
    std::string xml = ReadExample("configuration.xml");
    const std::string call = "SetCurrentDateTime(3); SetFilterSQL(4, ";
    xml.replace(xml.find(call), call.size(), "SetCurrentDateTime(3); setfiltersql(12, ");
    std::ostringstream console;
    Bytes file;
    ASSERT_EQ(CConfCompiler(console).CompileMemory(xml, file), 0) << console.str();
    TempDir dir;
    const std::string path = dir.Write("c.pdb", std::string(file.begin(), file.end()));
    const std::string warning = path +
                                ": warning: record 8, offset 404: journal \"Заказы\", "
                                "form \"Список\", open: the action code at offset 404 names "
                                "control #12, but the form has 6 controls\n" +
                                path + ": no problems, 1 warning\n";
    for (const bool strict : {false, true}) {
        std::ostringstream out;
        std::vector<std::string> args = {"--check", path};
        if (strict) {
            args.insert(args.begin() + 1, "--strict");
        }
        EXPECT_EQ(CInspectorProgram::Run(args, out, out), strict ? 1 : 0);
        EXPECT_EQ(out.str(), warning);
    }
}

// Where each record ends is found in one step per record, whatever the offsets.
TEST(DamagedDatabaseTest, TheRecordListIsBuiltInOneStepPerRecord) {
    Bytes file;
    RecordsPastTheEnd(file);
    CProblemList problems;
    const CPdbFile pdb(file, problems);
    EXPECT_EQ(pdb.RecordCount(), kManyRecords);
    EXPECT_LE(pdb.Steps(), kManyRecords);
}

}  // namespace
