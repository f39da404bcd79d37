// The entry name list: each row builds the list of the document's `document` element and
// checks the positions of names, the counts and the console.
#include "CListEntry.h"

#include <gtest/gtest.h>

#include "CConverter.h"
#include "TestRun.h"

namespace {

std::string Entries(int count, std::string_view type, std::string_view prefix = "n") {
    std::string entries;
    for (int i = 0; i < count; ++i) {
        entries += "<entry name='" + std::string(prefix) + std::to_string(i) + "' type='" +
                   std::string(type) + "'/>";
    }
    return entries;
}

struct Row {
    std::string name;
    std::string common;   // children of commonEntries
    std::string entries;  // children of the document's entries
    bool useCommon;
    int result;
    int tables;
    std::vector<std::pair<std::string, uint16_t>> positions;
    std::string console = {};
};

const std::string k31(31, 'a');
const std::string k32(32, 'a');

const std::vector<Row> kRows = {
    {"table names after the others",
     "",
     "<entry name='T' type='TABLE'/><entry name='F'/>",
     false,
     2,
     1,
     {{"F", 0}, {"t", 1}, {"", 0xFFFF}, {"X", 0xFFFF}}},
    {"common entries first in each group",
     "<entry name='CT' type='table'/><entry name='C' type='field'/>",
     "<entry name='T' type='table'/><entry name='F' type='tables'/><entry/>",
     true,
     5,
     2,
     {{"C", 0}, {"F", 1}, {"CT", 3}, {"T", 4}}},
    {"common entries only with the flag",
     "<entry name='C'/>",
     "<entry name='F'/>",
     false,
     1,
     0,
     {{"F", 0}, {"C", 0xFFFF}}},
    {"100 names in each group",
     Entries(50, "field"),
     Entries(50, "x", "m") + Entries(100, "table", "t"),
     true,
     200,
     100,
     {{"m49", 99}, {"t0", 100}, {"t99", 199}}},
    {"101 other names",
     Entries(1, "field", "c"),
     Entries(100, "field"),
     true,
     -1,
     0,
     {{"c0", 0xFFFF}},
     "[ERROR 1808] Слишком много имён реквизитов entry (больше 100): n99\n"},
    {"101 table names",
     "",
     Entries(101, "table"),
     false,
     -1,
     0,
     {},
     "[ERROR 1808] Слишком много имён табличных реквизитов entry (больше 100): n100\n"},
    {"31-byte name", "", "<entry name='" + k31 + "'/>", false, 1, 0, {{k31, 0}}},
    {"32-byte name",
     "",
     "<entry name='Ж'/><entry name='" + k32 + "'/>",
     false,
     -1,
     0,
     {{"Ж", 0xFFFF}},
     "[ERROR 1808] Имя реквизита entry длиннее 31 байт: " + k32 + "\n"},
};

TEST(CListEntryTest, BuildsTheNamesOfEachRow) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        TestRun run("<quillora><commonEntries>" + row.common +
                    "</commonEntries><document><entries>" + row.entries +
                    "</entries></document></quillora>");
        CListEntry list(run.Context());
        const XmlNode document = run.Document().FindNode(run.Document().GetFirstNode(), "document");
        EXPECT_EQ(list.Build(document, row.useCommon), row.result);
        EXPECT_EQ(list.Count(), row.result < 0 ? 0 : row.result);
        EXPECT_EQ(list.TableCount(), row.tables);
        for (const auto& [name, position] : row.positions) {
            EXPECT_EQ(list.IndexOf(CConverter::ToNarrow(name)), position) << name;
        }
        EXPECT_EQ(run.Console(), row.console);
        EXPECT_EQ(run.Context().LimitExceeded(), row.result < 0);
    }
}

}  // namespace
