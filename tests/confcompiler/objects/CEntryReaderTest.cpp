// Entries read by the entry reader: the whole run of entry records, the whole strings record,
// the console, and whether the list (and so its object) failed.
#include "CEntryReader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "CEntry.h"
#include "DataSourceBlock.h"
#include "EntryExpectations.h"
#include "TestRun.h"

namespace {

enum class Outcome { kRecords, kAbsent, kFailed };

struct Row {
    const char* label;
    std::string xml;  // the reader reads the first `entries` element
    Outcome outcome;
    std::string console;
    std::function<void(ExpectedPool&, std::vector<ExpectedRecord>&)> expect;
};

ExpectedRecord Entry(uint32_t name, uint16_t type = 1, uint16_t dbtype = 0, uint8_t mandatory = 0) {
    ExpectedRecord record(EntryRecord::kSize);
    record.Set(EntryRecord::kName, name).Set(EntryRecord::kType, type);
    record.Set(EntryRecord::kDbType, dbtype).Set(EntryRecord::kMandatory, mandatory);
    return record;
}

std::string ManyEntries(size_t count) {
    std::string xml = "<entries>";
    for (size_t i = 0; i < count; ++i) {
        xml += "<entry name=\"e" + std::to_string(i) + "\"/>";
    }
    return xml + "</entries>";
}

constexpr size_t kBlock = EntryRecord::kDataSource.offset;
using Pool = ExpectedPool;
using Records = std::vector<ExpectedRecord>;
const std::string kSourceFailed = "[ERROR 1795] Ошибка описания DataSource реквизита Цена\n";

const Row kRows[] = {
    {"no entries element", "<object/>", Outcome::kAbsent, "", [](Pool&, Records&) {}},
    {"an entries element without entries", "<entries><field/></entries>", Outcome::kRecords, "",
     [](Pool&, Records&) {}},
    {"dbtype prefixes, tried in order",
     R"x(<entries><entry name="a" dbtype="integer"/><entry name="b" dbtype="DateTime"/>
        <entry name="c" dbtype="int64"/><entry name="d" dbtype="TEXT(20)"/>
        <Entry name="e" dbtype="blob"/><entry name="f" dbtype="Real"/><entry name=""/></entries>)x",
     Outcome::kRecords, "",
     [](Pool& pool, Records& records) {
         const uint16_t codes[] = {1, 11, 12, 3, 4, 2};
         for (int i = 0; i < 6; ++i) {
             records.push_back(Entry(pool.Text(std::string(1, char('a' + i))), 1, codes[i]));
         }
         records.push_back(Entry(pool.Text("")));
     }},
    {"types and mandatory; records stay in document order",
     R"(<entries><entry name="T" type="TABLE" mandatory="TRUE"/><entry name="F" type="field"
        mandatory="yes"/><entry name="p" type="Primitive"/><entry name="v" type="valueList"/>
        <entry name="d" type="database"/><entry name="r" type="record"/></entries>)",
     Outcome::kRecords, "",
     [](Pool& pool, Records& records) {
         const uint16_t types[] = {3, 1, 1, 2, 16, 17};
         for (int i = 0; i < 6; ++i) {
             records.push_back(Entry(pool.Text(std::string(1, "TFpvdr"[i])), types[i], 0, i == 0));
         }
     }},
    {"a data source lies at offset 16",
     R"(<entries><entry name="Цена" type="valueList"><datasource type="table"><table name="T"
        filter="a=1"/></datasource></entry></entries>)",
     Outcome::kRecords, "",
     [](Pool& pool, Records& records) {
         records.push_back(Entry(pool.Text("Цена"), 2));
         records.back().Set(DataSourceBlock::kKind.At(kBlock), 2);
         records.back().Set(DataSourceBlock::kTableName.At(kBlock), pool.Text("T"));
         records.back().Set(DataSourceBlock::kFilter.At(kBlock), pool.Text("a=1"));
     }},
    {"INT is no keyword", R"(<entries><entry name="n" dbtype="INT"/></entries>)", Outcome::kFailed,
     "[ERROR 1793] Незвестный тип: INT\n", [](Pool& pool, Records&) { pool.Text("n"); }},
    {"an empty dbtype fails", R"(<entries><entry name="n" dbtype=""/></entries>)", Outcome::kFailed,
     "[ERROR 1793] Незвестный тип: \n", [](Pool& pool, Records&) { pool.Text("n"); }},
    {"an unknown type is reported with the entry's name",
     R"(<entries><entry name="Сумма" type="money"/></entries>)", Outcome::kFailed,
     "[ERROR 1794] Неверное значение типа Entry->Type:  Сумма\n",
     [](Pool& pool, Records&) { pool.Text("Сумма"); }},
    {"a failed entry fails the list, the entries around it included",
     R"(<entries><entry name="a"/><entry type="field"/><entry name="c"/></entries>)",
     Outcome::kFailed, "[ERROR 1793] Отсутствует обязательный реквизит: entry name.\n",
     [](Pool& pool, Records&) { pool.Text("a"); }},
    {"a failed data source fails its entry",
     R"(<entries><entry name="Цена"><datasource/></entry></entries>)", Outcome::kFailed,
     "[ERROR 513] Не найден обязательный реквизит datasource type\n" + kSourceFailed,
     [](Pool& pool, Records&) { pool.Text("Цена"); }},
    {"a static source whose second item has no view",
     R"(<entries><entry name="Цена"><datasource type="static"><item value="a" view="b"/>
        <item value="c"/></datasource></entry></entries>)",
     Outcome::kFailed,
     "[ERROR 516] Не найден обязательный реквизит datasource view\n" + kSourceFailed,
     [](Pool& pool, Records&) { pool.Text("Цена"); }},
    {"1666 entries fit", ManyEntries(1666), Outcome::kRecords, "",
     [](Pool& pool, Records& records) {
         for (int i = 0; i < 1666; ++i) {
             records.push_back(Entry(pool.Text("e" + std::to_string(i))));
         }
     }},
    {"1667 entries are refused before any is read", ManyEntries(1667), Outcome::kFailed,
     "[ERROR 1808] Слишком много реквизитов entry (больше 1666): entries\n",
     [](Pool&, Records&) {}},
};

TEST(CEntryReaderTest, EntriesBecomeRecordsOrFailTheirObject) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.label);
        TestRun run;
        ASSERT_TRUE(run.Load("<object>" + row.xml + "</object>")) << run.Document().LastError();
        ExpectedPool pool;
        Records records;
        row.expect(pool, records);
        ExpectedBytes expected;
        for (const ExpectedRecord& record : records) {
            expected.Append(record.Bytes());
        }

        CEntryReader reader(run.Context());
        size_t size = 1;
        uint16_t count = 1;
        const uint8_t* data = reader.Read(
            run.Document().FindNode(run.Document().GetFirstNode(), "entries"), size, count);
        EXPECT_EQ(data == nullptr, row.outcome != Outcome::kRecords);
        EXPECT_EQ(reader.Failed(), row.outcome == Outcome::kFailed);
        EXPECT_EQ(count, records.size());
        EXPECT_EQ(data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>(size, 0xEE),
                  expected.Bytes());
        EXPECT_EQ(run.PoolBytes(), pool.Bytes());
        EXPECT_EQ(run.Console(), row.console);
        EXPECT_EQ(run.Context().LimitExceeded(),
                  row.console.find("ERROR 1808") != std::string::npos);
    }
    EXPECT_EQ(CEntry::TypeCode("tables"), 0);
    EXPECT_EQ(CEntry::DbTypeCode(" INTEGER"), -1);
}

}  // namespace
