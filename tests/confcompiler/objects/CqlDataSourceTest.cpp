// Data sources of every kind read into the block at its place in an entry record: the whole
// record, the whole strings record and the console of each row.
#include "CqlDataSource.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "CConverter.h"
#include "DataSourceBlock.h"
#include "EntryExpectations.h"
#include "EntryRecord.h"
#include "TestRun.h"

namespace {

namespace DS = DataSourceBlock;

struct Expected {
    ExpectedRecord record{EntryRecord::kSize};
    ExpectedPool pool;
    bool poolOverflowed = false;
    // A field of the block, where the entry record holds the block.
    Expected& Set(RecordField field, uint32_t value) {
        record.Set(field.At(EntryRecord::kDataSource.offset), value);
        return *this;
    }
};

struct Row {
    std::string xml;  // the datasource element
    int result;       // 0, or the code of the one error line
    std::string message;
    std::function<void(Expected&)> expect;
};

std::string StaticOfOneValue(size_t length) {
    return R"(<datasource type="static"><item value=")" + std::string(length, 'a') +
           R"(" view="v"/></datasource>)";
}

const std::string kRead = "Ошибка чтения описания datasource";
const std::string kMissing = "Не найден обязательный реквизит datasource ";
void NoKind(Expected&) {}
void ListKind(Expected& e) {
    e.Set(DS::kKind, 1);
}
void TableKind(Expected& e) {
    e.Set(DS::kKind, 2);
}

const Row kRows[] = {
    // Three items, a value of 3 letters takes 4 bytes, of 4 letters 6, an empty one 2; other
    // children are no items.
    {R"(<datasource type="Static"><item value="abc" view="один"/><!-- c --><note value="n"/>
        <Item value="abcd" view="два"/><q:item xmlns:q="q" value="q" view="q"/>
        <item value="" view="три"/></datasource>)",
     0, "",
     [](Expected& e) {
         const uint32_t values =
             e.pool.Add(ExpectedBytes().Raw({'a', 'b', 'c', 0, 'a', 'b', 'c', 'd', 0, 0, 0, 0}));
         const uint32_t views = e.pool.Add(ExpectedBytes().Text("один").Text("два").Text("три"));
         e.Set(DS::kKind, 1).Set(DS::kItemCount, 3).Set(DS::kValues, values);
         e.Set(DS::kViews, views);
     }},
    // The second field without default; a field's dbtype is kept as text.
    {R"x(<datasource type="create"><field name="код" dbtype="varchar(20)" view="Код" default="1"/>
        <field name="n" dbtype="INT" view="v"/></datasource>)x",
     0, "",
     [](Expected& e) {
         ExpectedBytes fields;
         fields.U16(2).Text("код").Text("varchar(20)").Text("Код").Text("1");
         fields.Text("n").Text("INT").Text("v").Raw({0, 0});
         e.Set(DS::kKind, 1).Set(DS::kFields, e.pool.Add(fields));
     }},
    // Without filter the filter refers to an empty text.
    {R"(<datasource type="TABLE"><table name="Товары"/></datasource>)", 0, "",
     [](Expected& e) {
         const uint32_t name = e.pool.Text("Товары");
         e.Set(DS::kKind, 2).Set(DS::kTableName, name).Set(DS::kFilter, e.pool.Text(""));
     }},
    // present leaves bytes 8 to 15 zero, even with a filter.
    {R"(<datasource type="present"><table name="T" filter="f"/></datasource>)", 0, "",
     [](Expected& e) { e.Set(DS::kKind, 2).Set(DS::kTableName, e.pool.Text("T")); }},
    {"<datasource/>", 513, kMissing + "type", NoKind},
    {R"(<datasource type="list"/>)", 513, kMissing + "type", NoKind},
    {R"(<datasource type="static"><items/></datasource>)", 514, kRead, ListKind},
    {R"(<datasource type="static"><item view="v"/></datasource>)", 515, kMissing + "value",
     ListKind},
    // The first item's texts were read, but no list reaches the pool.
    {R"(<datasource type="static"><item value="a" view="b"/><item value="c"/></datasource>)", 516,
     kMissing + "view", ListKind},
    {R"(<datasource type="table"><field/></datasource>)", 517, kRead, TableKind},
    {R"(<datasource type="table"><table filter="f"/></datasource>)", 518, kMissing + "value",
     TableKind},
    {R"(<datasource type="present"/>)", 519, kRead, TableKind},
    {R"(<datasource type="present"><table/></datasource>)", 520, kMissing + "value", TableKind},
    {R"(<datasource type="create"><item/></datasource>)", 521, kRead, ListKind},
    {R"(<datasource type="create"><field dbtype="d" view="v"/></datasource>)", 522,
     kMissing + "name", ListKind},
    {R"(<datasource type="create"><field name="n" view="v"/></datasource>)", 523,
     kMissing + "dbtype", ListKind},
    {R"(<datasource type="create"><field name="n" dbtype="d"/></datasource>)", 524,
     kMissing + "view", ListKind},
    {StaticOfOneValue(60000), 528, "Список значений источника данных превышает 60000 байт: Цена",
     ListKind},
    // A list of 60000 bytes fits its buffer but not the pool.
    {StaticOfOneValue(59999), 528,
     "Переполнение записи строк: тексты и код действий конфигурации превышают 60000 байт.",
     [](Expected& e) {
         e.Set(DS::kKind, 1).Set(DS::kItemCount, 1);
         e.poolOverflowed = true;
     }},
};

TEST(CqlDataSourceTest, EachKindFillsItsBlockAndPool) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.xml.substr(0, 80));
        TestRun run;
        ASSERT_TRUE(run.Load(row.xml)) << run.Document().LastError();
        CRecordBuffer record(EntryRecord::kSize);
        record.Reserve(EntryRecord::kSize);
        Expected expected;
        row.expect(expected);

        EXPECT_EQ(CqlDataSource(run.Context())
                      .Read(run.Document().FindNode(run.Document().GetFirstNode(), "datasource"),
                            record, EntryRecord::kDataSource, CConverter::ToNarrow("Цена")),
                  row.result);
        EXPECT_EQ(std::vector<uint8_t>(record.Bytes().begin(), record.Bytes().end()),
                  expected.record.Bytes());
        EXPECT_EQ(run.PoolBytes(),
                  expected.poolOverflowed ? std::vector<uint8_t>{} : expected.pool.Bytes());
        EXPECT_EQ(
            run.Console(),
            row.result ? "[ERROR " + std::to_string(row.result) + "] " + row.message + "\n" : "");
        EXPECT_EQ(run.Context().LimitExceeded(),
                  row.message.find(" 60000 байт") != std::string::npos);
    }
    EXPECT_EQ(CqlDataSource::KindCode("creates"), 0);
}

}  // namespace
