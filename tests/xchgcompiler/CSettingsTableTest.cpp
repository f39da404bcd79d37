#include "CSettingsTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>

#include "CConverter.h"
#include "CPdb.h"
#include "InspectorCheck.h"
#include "TempDir.h"
#include "TransferDatabaseBytes.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string W(std::string_view utf8) {
    return CConverter::ToNarrow(utf8);
}

struct Built {
    bool ok = false;
    std::string console;
    std::vector<Bytes> records;
    Bytes image;
};

Built Build(const CSettingsTable& table) {
    CPdb pdb(CSettingsTable::kDatabaseType, CSettingsTable::kDatabaseCreator,
             CSettingsTable::kDatabaseDate);
    pdb.SetName(CSettingsTable::kDatabaseName);
    std::ostringstream console;
    Built built;
    built.ok = table.BuildDatabase(pdb, console);
    built.console = console.str();
    for (size_t i = 0; i < pdb.RecordCount(); ++i) {
        built.records.push_back(pdb.Record(i));
    }
    built.image = pdb.Image();
    if (built.ok) {
        ExpectInspectorFindsNothingIn(built.image);
    }
    return built;
}

std::string DumpOf(const CSettingsTable& table) {
    std::ostringstream console;
    table.Dump(console);
    return console.str();
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

// ---- The index record and the database file ------------------------------------------------

TEST(SettingsTableDatabase, EmptyTableWritesOnlyTheIndexRecord) {
    CSettingsTable table;
    TempDir dir;
    std::ostringstream console;
    ASSERT_TRUE(table.WriteTransferDatabase(dir.Path() + "/", console));
    const std::string file = dir.Path() + "/QL_PalmClientTransferDB.pdb";
    EXPECT_EQ(console.str(), "Creating PDB-file: " + file + "\n");

    const ExpectedBytes expected = TransferHeader({4}).Raw({0x07, 0x00, 0x00, 0x00});
    EXPECT_EQ(ReadFile(file), expected.Bytes());
}

TEST(SettingsTableDatabase, OutputPrefixIsGluedToTheFileName) {
    CSettingsTable table;
    TempDir dir;
    std::ostringstream console;
    ASSERT_TRUE(table.WriteTransferDatabase(dir.Path() + "/pre_", console));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() + "/pre_QL_PalmClientTransferDB.pdb"));
}

TEST(SettingsTableDatabase, UncreatableFileIsReportedAndLeavesNothing) {
    CSettingsTable table;
    std::ostringstream console;
    EXPECT_FALSE(table.WriteTransferDatabase("/nonexistent-quilxdb-dir/", console));
    EXPECT_EQ(console.str(),
              "Creating PDB-file: /nonexistent-quilxdb-dir/QL_PalmClientTransferDB.pdb\n"
              "Error creating /nonexistent-quilxdb-dir/QL_PalmClientTransferDB.pdb file\n"
              "No such file or directory\n");
}

TEST(SettingsTableDatabase, ExchangeWithAllGroupsEmptyAddsNoRecord) {
    CSettingsTable table;
    ASSERT_TRUE(table.AddExchange("abc", "view"));
    // A URL without entries still gives no record.
    table.SetPostDocumentsUrl("u1");
    table.SetPostTablesUrl("u2");
    table.SetPostFilesUrl("u3");
    table.SetGetTablesUrl("u4");
    table.SetGetDbsUrl("u5");
    table.SetGetFilesUrl("u6");
    const Built built = Build(table);
    ASSERT_TRUE(built.ok);
    ASSERT_EQ(built.records.size(), 1u);
    ExpectedBytes index;
    index.U16(7).U16(1).Raw({'a', 'b', 'c', 0}).Raw({'v', 'i', 'e', 'w', 0, 0});
    for (int i = 0; i < 7; ++i) {
        index.Raw({0xFF, 0xFF});
    }
    EXPECT_EQ(built.records[0], index.Bytes());
}

TEST(SettingsTableDatabase, TwoExchangesNumberTheirRecordsInOrder) {
    CSettingsTable table;
    ASSERT_TRUE(table.AddExchange("one", "v1"));
    ASSERT_TRUE(table.AddGetFile("f", "t"));
    ASSERT_TRUE(table.AddExchange("two", "v2"));
    ASSERT_TRUE(table.AddPostDocument("d"));
    ASSERT_TRUE(table.AddGetTable("g"));
    const Built built = Build(table);
    ASSERT_TRUE(built.ok);
    ASSERT_EQ(built.records.size(), 4u);

    ExpectedBytes index;
    index.U16(7).U16(2);
    index.Text("one").Text("v1");
    for (uint16_t slot : {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 1}) {
        index.U16(slot);
    }
    index.Text("two").Text("v2");
    for (uint16_t slot : {2, 0xFFFF, 0xFFFF, 0xFFFF, 3, 0xFFFF, 0xFFFF}) {
        index.U16(slot);
    }
    EXPECT_EQ(built.records[0], index.Bytes());

    // get files of "one": no URL, one file.
    EXPECT_EQ(built.records[1], ExpectedBytes().U16(0).U16(1).Text("f").Text("t").Bytes());
    // post documents of "two": no URL, one document at offset 2 + 2 + 2.
    EXPECT_EQ(built.records[2],
              ExpectedBytes().U16(0).U16(1).U16(6).Text("d").U16(0).U16(0).U16(0).Bytes());
    // get tables of "two": no URL.
    EXPECT_EQ(built.records[3], ExpectedBytes().U16(0).U16(1).Text("g").Bytes());

    ExpectedBytes image = TransferHeader(
        {index.Size(), built.records[1].size(), built.records[2].size(), built.records[3].size()});
    for (const Bytes& record : built.records) {
        image.Append(record);
    }
    EXPECT_EQ(built.image, image.Bytes());
}

TEST(SettingsTableDatabase, TextsArePaddedToEvenSizes) {
    CSettingsTable table;
    ASSERT_TRUE(table.AddExchange("", "ab"));
    ASSERT_TRUE(table.AddGetDb("abc"));
    ASSERT_TRUE(table.AddGetDb("abcd"));
    const Built built = Build(table);
    ASSERT_TRUE(built.ok);
    // The empty name takes two zero bytes, "ab" three bytes and a pad.
    EXPECT_EQ(built.records[0], (ExpectedBytes()
                                     .U16(7)
                                     .U16(1)
                                     .Raw({0, 0})
                                     .Raw({'a', 'b', 0, 0})
                                     .U16(0xFFFF)
                                     .U16(0xFFFF)
                                     .U16(0xFFFF)
                                     .U16(0xFFFF)
                                     .U16(0xFFFF)
                                     .U16(1)
                                     .U16(0xFFFF)
                                     .Bytes()));
    // Odd length: text and one zero; even length: text and two zeros.
    EXPECT_EQ(built.records[1], Bytes({0, 0, 2, 0, 'a', 'b', 'c', 0, 'a', 'b', 'c', 'd', 0, 0}));
}

TEST(SettingsTableDatabase, GroupRecordsOfOneExchangeInFixedOrder) {
    CSettingsTable table;
    ASSERT_TRUE(table.AddExchange(W("Обмен"), "v"));
    // Added out of record order on purpose.
    ASSERT_TRUE(table.AddGetFile("g.txt", ""));
    ASSERT_TRUE(table.SetGetFilesUrl("gf"));
    ASSERT_TRUE(table.AddGetDb("db1"));
    ASSERT_TRUE(table.SetGetDbsUrl("gd"));
    ASSERT_TRUE(table.AddGetTable("a/t"));
    ASSERT_TRUE(table.SetGetTablesUrl(""));
    ASSERT_TRUE(table.AddPostFile("p.jpg", "image", true));
    ASSERT_TRUE(table.AddPostFile("q", "text", false));
    ASSERT_TRUE(table.SetPostFilesUrl("pf"));
    ASSERT_TRUE(table.AddPostTable(W("Визиты")));
    ASSERT_TRUE(table.SetPostTablesUrl("pt"));
    ASSERT_TRUE(table.AddPostDocument("d1"));
    ASSERT_TRUE(table.AddSendFlag("s", "0x1", "1"));
    ASSERT_TRUE(table.AddHeadField("h1"));
    ASSERT_TRUE(table.AddHeadField("h2"));
    ASSERT_TRUE(table.AddTableField("t1"));
    ASSERT_TRUE(table.AddPostDocument("d2"));
    ASSERT_TRUE(table.SetPostDocumentsUrl("pd"));

    const Built built = Build(table);
    ASSERT_TRUE(built.ok);
    ASSERT_EQ(built.records.size(), 7u);

    ExpectedBytes index;
    index.U16(7).U16(1).Raw({0xCE, 0xE1, 0xEC, 0xE5, 0xED, 0x00}).Text("v");
    for (uint16_t slot : {1, 2, 3, 0xFFFF, 4, 5, 6}) {
        index.U16(slot);
    }
    EXPECT_EQ(built.records[0], index.Bytes());

    // Post documents: url "pd" (4), count, two offsets; blocks start at 4 + 2 + 4 = 10.
    ExpectedBytes d1;
    d1.Text("d1").U16(1).Text("s").Text("0x1").Text("1").U16(2).Text("h1").Text("h2");
    d1.U16(1).Text("t1");
    ExpectedBytes documents;
    documents.Text("pd").U16(2).U16(10).U16(static_cast<uint16_t>(10 + d1.Size()));
    documents.Append(d1).Text("d2").U16(0).U16(0).U16(0);
    EXPECT_EQ(built.records[1], documents.Bytes());

    // Post tables: each name followed by a 16-bit zero.
    EXPECT_EQ(built.records[2], ExpectedBytes()
                                    .Text("pt")
                                    .U16(1)
                                    .Raw({0xC2, 0xE8, 0xE7, 0xE8, 0xF2, 0xFB, 0x00, 0x00})
                                    .U16(0)
                                    .Bytes());
    // Post files: name, type, delete flag.
    EXPECT_EQ(built.records[3], ExpectedBytes()
                                    .Text("pf")
                                    .U16(2)
                                    .Text("p.jpg")
                                    .Text("image")
                                    .U16(1)
                                    .Text("q")
                                    .Text("text")
                                    .U16(0)
                                    .Bytes());
    // Get tables with an empty URL; get dbs; get files with an empty type.
    EXPECT_EQ(built.records[4], ExpectedBytes().Text("").U16(1).Text("a/t").Bytes());
    EXPECT_EQ(built.records[5], ExpectedBytes().Text("gd").U16(1).Text("db1").Bytes());
    EXPECT_EQ(built.records[6],
              ExpectedBytes().Text("gf").U16(1).Text("g.txt").Raw({0, 0}).Bytes());
}

TEST(SettingsTableDatabase, DocumentBlocksMustStartWithinSixteenBitOffsets) {
    // Block offsets: 2 (no url) + 2 + 2 * 2 = 8; the first block is the padded name + 6.
    // A name of 65519 bytes pads to 65520, so the second block starts at 65534: the offsets
    // allow it, but the record then holds 65546 bytes and its size refuses it.
    CSettingsTable fits;
    ASSERT_TRUE(fits.AddExchange("x", "v"));
    ASSERT_TRUE(fits.AddPostDocument(std::string(65519, 'n')));
    ASSERT_TRUE(fits.AddPostDocument("last"));
    const Built ok = Build(fits);
    EXPECT_FALSE(ok.ok);
    EXPECT_EQ(ok.console,
              "Post documents of exchange x do not fit in one record: 65546 bytes, at most "
              "65535\n");

    // Two bytes more and the second block would start at 65536.
    CSettingsTable tooBig;
    ASSERT_TRUE(tooBig.AddExchange(W("Большой"), "v"));
    ASSERT_TRUE(tooBig.AddPostDocument(std::string(65521, 'n')));
    ASSERT_TRUE(tooBig.AddPostDocument("last"));
    const Built refused = Build(tooBig);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.console,
              "Post documents of exchange Большой do not fit in one record: a document would "
              "start beyond byte 65535\n");
    EXPECT_TRUE(refused.records.empty());

    // A single document's block starts at once, so the offsets never refuse it; only the
    // size of the whole record can.
    CSettingsTable single;
    ASSERT_TRUE(single.AddExchange("x", "v"));
    ASSERT_TRUE(single.AddPostDocument(std::string(65519, 'n')));
    EXPECT_TRUE(Build(single).ok);
    CSettingsTable singleTooBig;
    ASSERT_TRUE(singleTooBig.AddExchange("x", "v"));
    ASSERT_TRUE(singleTooBig.AddPostDocument(std::string(70000, 'n')));
    EXPECT_EQ(Build(singleTooBig).console,
              "Post documents of exchange x do not fit in one record: 70014 bytes, at most "
              "65535\n");

    // Nothing is written when the database cannot be built.
    TempDir dir;
    std::ostringstream console;
    EXPECT_FALSE(tooBig.WriteTransferDatabase(dir.Path() + "/", console));
    EXPECT_EQ(console.str().find("Creating PDB-file"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(SettingsTableDatabase, NoRecordMayExceedSixteenBits) {
    // Each case fills one record with a single text of even length; `fits` bytes give a record
    // of 65534 bytes (records are always even), two more give 65536.
    struct Case {
        std::string label;
        size_t fits;
        std::function<void(CSettingsTable&, const std::string&)> fill;
        std::string refusal;  // the line printed for a text two bytes longer
    };
    const Case cases[] = {
        {"exchange list", 65512,
         [](CSettingsTable& t, const std::string& text) { t.AddExchange(text, "v"); },
         "The exchange list does not fit in one record: 65536 bytes, at most 65535\n"},
        {"post documents", 65520,
         [](CSettingsTable& t, const std::string& text) {
             t.AddExchange("e", "v");
             t.AddPostDocument(text);
         },
         "Post documents of exchange e do not fit in one record: 65536 bytes, at most 65535\n"},
        {"post tables", 65526,
         [](CSettingsTable& t, const std::string& text) {
             t.AddExchange("e", "v");
             t.AddPostTable(text);
         },
         "Post tables of exchange e do not fit in one record: 65536 bytes, at most 65535\n"},
        {"post files", 65524,
         [](CSettingsTable& t, const std::string& text) {
             t.AddExchange("e", "v");
             t.AddPostFile(text, "", false);
         },
         "Post files of exchange e do not fit in one record: 65536 bytes, at most 65535\n"},
        {"get tables", 65528,
         [](CSettingsTable& t, const std::string& text) {
             t.AddExchange("e", "v");
             t.AddGetTable(text);
         },
         "Get tables of exchange e do not fit in one record: 65536 bytes, at most 65535\n"},
        {"get dbs", 65528,
         [](CSettingsTable& t, const std::string& text) {
             t.AddExchange("e", "v");
             t.AddGetDb(text);
         },
         "Get dbs of exchange e do not fit in one record: 65536 bytes, at most 65535\n"},
        {"get files", 65526,
         [](CSettingsTable& t, const std::string& text) {
             t.AddExchange("e", "v");
             t.AddGetFile(text, "");
         },
         "Get files of exchange e do not fit in one record: 65536 bytes, at most 65535\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CSettingsTable fits;
        c.fill(fits, std::string(c.fits, 'x'));
        const Built ok = Build(fits);
        ASSERT_TRUE(ok.ok) << ok.console;
        EXPECT_EQ(c.label == "exchange list" ? ok.records[0].size() : ok.records[1].size(), 65534u);

        CSettingsTable tooBig;
        c.fill(tooBig, std::string(c.fits + 2, 'x'));
        const Built refused = Build(tooBig);
        EXPECT_FALSE(refused.ok);
        EXPECT_EQ(refused.console, c.refusal);
        EXPECT_TRUE(refused.records.empty());
    }
}

// ---- Capacities ------------------------------------------------------------------------------

TEST(SettingsTableCapacity, TenExchangesFitAndTheEleventhIsRefused) {
    CSettingsTable table;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(table.AddExchange("e" + std::to_string(i), "v"));
    }
    EXPECT_FALSE(table.AddExchange("e10", "v"));
    EXPECT_EQ(table.ExchangeCount(), 10);
    const Built built = Build(table);
    ASSERT_TRUE(built.ok);
    EXPECT_EQ(built.records[0][2], 10);
}

TEST(SettingsTableCapacity, EveryListHoldsTwoHundredFiftyFiveEntries) {
    CSettingsTable table;
    ASSERT_TRUE(table.AddExchange("e", "v"));
    for (int i = 0; i < 255; ++i) {
        ASSERT_TRUE(table.AddPostTable("t"));
        ASSERT_TRUE(table.AddPostFile("f", "", false));
        ASSERT_TRUE(table.AddGetTable("g"));
        ASSERT_TRUE(table.AddGetDb("d"));
        ASSERT_TRUE(table.AddGetFile("f", ""));
        ASSERT_TRUE(table.AddPostDocument("doc"));
    }
    EXPECT_FALSE(table.AddPostTable("t"));
    EXPECT_FALSE(table.AddPostFile("f", "", false));
    EXPECT_FALSE(table.AddGetTable("g"));
    EXPECT_FALSE(table.AddGetDb("d"));
    EXPECT_FALSE(table.AddGetFile("f", ""));
    EXPECT_FALSE(table.AddPostDocument("doc"));

    for (int i = 0; i < 255; ++i) {
        ASSERT_TRUE(table.AddSendFlag("s", "1", "1"));
        ASSERT_TRUE(table.AddHeadField("h"));
        ASSERT_TRUE(table.AddTableField("t"));
    }
    EXPECT_FALSE(table.AddSendFlag("s", "1", "1"));
    EXPECT_FALSE(table.AddHeadField("h"));
    EXPECT_FALSE(table.AddTableField("t"));

    const Built built = Build(table);
    ASSERT_TRUE(built.ok);
    // Each group record counts 255 entries after its 2-byte empty URL.
    for (size_t record = 1; record <= 6; ++record) {
        EXPECT_EQ(built.records[record][2], 255) << record;
        EXPECT_EQ(built.records[record][3], 0) << record;
    }
}

TEST(SettingsTableCapacity, ListGrownToItsLimitKeepsEveryEntryInOrder) {
    // Each list grows entry by entry to 255 distinct entries; the 256th is refused and the
    // group record holds exactly the 255 in the order they came.
    using Add = std::function<bool(CSettingsTable&, const std::string&)>;
    using Entry = std::function<void(ExpectedBytes&, const std::string&)>;
    const auto text = [](ExpectedBytes& b, const std::string& t) { b.Text(t); };
    struct Case {
        std::string label;
        Add add;
        Entry entry;
        bool inDocument;
    };
    const Case cases[] = {
        {"post documents",
         [](CSettingsTable& t, const std::string& n) { return t.AddPostDocument(n); }, nullptr,
         false},
        {"post tables", [](CSettingsTable& t, const std::string& n) { return t.AddPostTable(n); },
         [](ExpectedBytes& b, const std::string& n) { b.Text(n).U16(0); }, false},
        {"post files",
         [](CSettingsTable& t, const std::string& n) { return t.AddPostFile(n, "t", true); },
         [](ExpectedBytes& b, const std::string& n) { b.Text(n).Text("t").U16(1); }, false},
        {"get tables", [](CSettingsTable& t, const std::string& n) { return t.AddGetTable(n); },
         text, false},
        {"get dbs", [](CSettingsTable& t, const std::string& n) { return t.AddGetDb(n); }, text,
         false},
        {"get files", [](CSettingsTable& t, const std::string& n) { return t.AddGetFile(n, "t"); },
         [](ExpectedBytes& b, const std::string& n) { b.Text(n).Text("t"); }, false},
        {"send flags",
         [](CSettingsTable& t, const std::string& n) { return t.AddSendFlag(n, "1", "s"); },
         [](ExpectedBytes& b, const std::string& n) { b.Text(n).Text("1").Text("s"); }, true},
        {"head fields", [](CSettingsTable& t, const std::string& n) { return t.AddHeadField(n); },
         text, true},
        {"table fields", [](CSettingsTable& t, const std::string& n) { return t.AddTableField(n); },
         text, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CSettingsTable table;
        ASSERT_TRUE(table.AddExchange("e", "v"));
        if (c.inDocument) {
            ASSERT_TRUE(table.AddPostDocument("d"));
        }
        ExpectedBytes entries;
        for (int i = 0; i < 255; ++i) {
            const std::string name = "n" + std::to_string(i);
            ASSERT_TRUE(c.add(table, name));
            if (c.entry) {
                c.entry(entries, name);
            }
        }
        EXPECT_FALSE(c.add(table, "refused"));

        ExpectedBytes expected;
        if (c.label == "post documents") {
            // Blocks of 6 bytes of counts after the padded name, from 2 + 2 + 2 * 255 on.
            expected.Text("").U16(255);
            size_t start = 514;
            ExpectedBytes blocks;
            for (int i = 0; i < 255; ++i) {
                const std::string name = "n" + std::to_string(i);
                expected.U16(static_cast<uint16_t>(start));
                blocks.Text(name).U16(0).U16(0).U16(0);
                start = 514 + blocks.Size();
            }
            expected.Append(blocks);
        } else if (c.inDocument) {
            expected.Text("").U16(1).U16(6).Text("d");
            for (const char* list : {"send flags", "head fields", "table fields"}) {
                expected.U16(c.label == list ? 255 : 0);
                if (c.label == list) {
                    expected.Append(entries);
                }
            }
        } else {
            expected.Text("").U16(255).Append(entries);
        }
        const Built built = Build(table);
        ASSERT_TRUE(built.ok) << built.console;
        ASSERT_EQ(built.records.size(), 2u);
        EXPECT_EQ(built.records[1], expected.Bytes());
    }
}

TEST(SettingsTableCapacity, NothingIsAddedWithoutAnExchangeOrDocument) {
    CSettingsTable table;
    EXPECT_FALSE(table.AddPostDocument("d"));
    EXPECT_FALSE(table.AddPostTable("t"));
    EXPECT_FALSE(table.SetGetTablesUrl("u"));
    ASSERT_TRUE(table.AddExchange("e", "v"));
    EXPECT_FALSE(table.AddSendFlag("s", "1", "1"));
    EXPECT_FALSE(table.AddHeadField("h"));
    EXPECT_FALSE(table.AddTableField("t"));
}

// ---- Send flag values ------------------------------------------------------------------------

TEST(SettingsTableSendFlag, ValueTextReadAsNumber) {
    EXPECT_EQ(CSettingsTable::SendFlagNumber("0x1F"), 0x1Fu);
    EXPECT_EQ(CSettingsTable::SendFlagNumber("0Xab"), 0xABu);
    EXPECT_EQ(CSettingsTable::SendFlagNumber("0x1g5"), 1u);
    EXPECT_EQ(CSettingsTable::SendFlagNumber("0x"), 0u);
    EXPECT_EQ(CSettingsTable::SendFlagNumber("12"), 12u);
    EXPECT_EQ(CSettingsTable::SendFlagNumber("010"), 10u);  // decimal, not octal
    EXPECT_EQ(CSettingsTable::SendFlagNumber("12abc"), 12u);
    EXPECT_EQ(CSettingsTable::SendFlagNumber("1A"), 1u);  // hexadecimal only after 0x
    EXPECT_EQ(CSettingsTable::SendFlagNumber("abc"), 0u);
    EXPECT_EQ(CSettingsTable::SendFlagNumber(""), 0u);
    EXPECT_EQ(CSettingsTable::SendFlagNumber(" 5"), 0u);
    EXPECT_EQ(CSettingsTable::SendFlagNumber("-5"), 0u);
    EXPECT_EQ(CSettingsTable::SendFlagNumber("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(CSettingsTable::SendFlagNumber("4294967296"), 0u);  // kept to 32 bits
    EXPECT_EQ(CSettingsTable::SendFlagNumber("0x1FFFFFFFF"), 0xFFFFFFFFu);
}

// ---- Dump ------------------------------------------------------------------------------------

TEST(SettingsTableDump, EmptyTablePrintsOnlyTheTitle) {
    CSettingsTable table;
    EXPECT_EQ(DumpOf(table), "CSettingsTable DUMP:\n");
}

TEST(SettingsTableDump, ExchangeWithoutEntriesPrintsHeadingsAndZeroCounts) {
    CSettingsTable table;
    ASSERT_TRUE(table.AddExchange("Empty", "v"));
    EXPECT_EQ(DumpOf(table),
              "CSettingsTable DUMP:\n"
              "\r\n**************** EXCHANGE ****************\r\n"
              "Empty"
              "\r\n**************** EXCHANGE ****************\r\n"
              "------- POST DOCUMENTS: -------\n"
              "------- POST TABLES: -------\n"
              "------- POST FILES: -------\n"
              "------- GET TABLES: -------\n"
              "Get tables count: 0\n"
              "------- GET DBS: -------\n"
              "Get dbs count: 0\n"
              "------- GET FILES: -------\n");
}

TEST(SettingsTableDump, EveryLineFormat) {
    CSettingsTable table;
    ASSERT_TRUE(table.AddExchange(W("Обмен"), "hidden view"));
    ASSERT_TRUE(table.SetPostDocumentsUrl("http://h/docs"));
    ASSERT_TRUE(table.AddPostDocument(W("Заказ")));
    ASSERT_TRUE(table.AddSendFlag("sent", "0x1F", "hidden set"));
    ASSERT_TRUE(table.AddSendFlag("done", "300", "1"));
    ASSERT_TRUE(table.AddHeadField("number"));
    ASSERT_TRUE(table.AddTableField("good"));
    ASSERT_TRUE(table.AddTableField("qty"));
    ASSERT_TRUE(table.SetPostTablesUrl(""));
    ASSERT_TRUE(table.AddPostTable("visits"));
    ASSERT_TRUE(table.SetPostFilesUrl("pf"));
    ASSERT_TRUE(table.AddPostFile("a.jpg", "image", true));
    ASSERT_TRUE(table.SetGetTablesUrl("gt"));
    ASSERT_TRUE(table.AddGetTable("ref/goods"));
    ASSERT_TRUE(table.SetGetDbsUrl("gd"));
    ASSERT_TRUE(table.AddGetDb("QL_Prices"));
    ASSERT_TRUE(table.SetGetFilesUrl("gf"));
    ASSERT_TRUE(table.AddGetFile("news.txt", "text"));
    ASSERT_TRUE(table.AddExchange("second", "v"));
    ASSERT_TRUE(table.AddGetFile("x", ""));

    EXPECT_EQ(DumpOf(table),
              "CSettingsTable DUMP:\n"
              "\r\n**************** EXCHANGE ****************\r\n"
              "Обмен"
              "\r\n**************** EXCHANGE ****************\r\n"
              "------- POST DOCUMENTS: -------\n"
              "post url: http://h/docs\n"
              "Post doc name: Заказ\n"
              "\tSend flags fields count: 2\n"
              "\t\tname: sent\n"
              "\t\tvalue: 1f\n"
              "\t\tname: done\n"
              "\t\tvalue: 12c\n"
              "\tHead fields count: 1\n"
              "\t\tname: number\n"
              "\tTable fields count: 2\n"
              "\t\tname: good\n"
              "\t\tname: qty\n"
              "------- POST TABLES: -------\n"
              "post url: \n"
              "Post table name: visits\n"
              "------- POST FILES: -------\n"
              "post url: pf\n"
              "Post file name: a.jpg\n"
              "          type: image\n"
              "        delete: 1\n"
              "------- GET TABLES: -------\n"
              "Get tables count: 1\n"
              "\turl: gt\n"
              "\tname: ref/goods\n"
              "------- GET DBS: -------\n"
              "Get dbs count: 1\n"
              "post url: gd\n"
              "\tname: QL_Prices\n"
              "------- GET FILES: -------\n"
              "post url: gf\n"
              "Post file name: news.txt\n"
              "          type: text\n"
              "\r\n**************** EXCHANGE ****************\r\n"
              "second"
              "\r\n**************** EXCHANGE ****************\r\n"
              "------- POST DOCUMENTS: -------\n"
              "------- POST TABLES: -------\n"
              "------- POST FILES: -------\n"
              "------- GET TABLES: -------\n"
              "Get tables count: 0\n"
              "------- GET DBS: -------\n"
              "Get dbs count: 0\n"
              "------- GET FILES: -------\n"
              "Post file name: x\n"
              "          type: \n");
}

TEST(SettingsTableDump, TextsWithoutAWindows1251ByteShowAsQuestionMarks) {
    CSettingsTable table;
    ASSERT_TRUE(table.AddExchange(W("Цена 中"), "v"));
    EXPECT_NE(DumpOf(table).find("\r\nЦена ?\r\n"), std::string::npos);
}
