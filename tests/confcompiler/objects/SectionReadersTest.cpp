// The section readers of journals, documents, references, frames and record views: one table
// per reader, each row a small document whose whole section record (typed out from the
// layouts), whole strings record and console are compared.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "CControl.h"
#include "CDocumentReader.h"
#include "CEntry.h"
#include "CFrameReader.h"
#include "CJournalReader.h"
#include "CRecordViewReader.h"
#include "CReferenceReader.h"
#include "ControlAttributes.h"
#include "DocumentRecord.h"
#include "EntryExpectations.h"
#include "EntryRecord.h"
#include "FormHeader.h"
#include "JournalRecord.h"
#include "ReferenceRecord.h"
#include "TestRun.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace D = DocumentHeader;

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}
Bytes U16(uint16_t value) {
    return ExpectedBytes().U16(value);
}
std::string Repeat(size_t count, const std::string& text) {
    std::string all;
    for (size_t i = 0; i < count; ++i) {
        all += text;
    }
    return all;
}
// Padded texts one after the other, as the pool's lists hold them.
ExpectedBytes Texts(std::initializer_list<std::string_view> texts) {
    ExpectedBytes bytes;
    for (std::string_view text : texts) {
        bytes.Text(text);
    }
    return bytes;
}

// The first 80 bytes of an object header, in a zero header of `size` bytes.
ExpectedRecord Header(size_t size, std::string_view name, uint16_t entries, uint16_t offset,
                      uint16_t forms, uint32_t table, std::string_view view = "v") {
    ExpectedRecord header(size);
    header.Text(ObjectHeader::kName, name).Text(ObjectHeader::kView, view);
    header.Set(ObjectHeader::kEntryCount, entries).Set(ObjectHeader::kDataOffset, offset);
    return header.Set(ObjectHeader::kFormCount, forms).Set(ObjectHeader::kFormTable, table);
}
// The entry record of an entry without a data source.
Bytes Entry(uint32_t name, uint16_t type = CEntry::kField, uint16_t dbtype = 0) {
    ExpectedRecord entry(EntryRecord::kSize);
    entry.Set(EntryRecord::kName, name).Set(EntryRecord::kType, type);
    return entry.Set(EntryRecord::kDbType, dbtype).Bytes();
}
// A bitmap control with an empty layout, and its record with the entry index `entry`.
std::string BitmapXml(int id, std::string_view entry = "") {
    return "<control type='bitmap' id='" + std::to_string(id) + "' entry='" + std::string(entry) +
           "'><layout/><bitmapattrs bitmapID='" + std::to_string(id) + "'/></control>";
}
Bytes Bitmap(uint16_t id, uint16_t entry = 0xFFFF) {
    namespace C = ControlRecord;
    ExpectedRecord record(C::kSize);
    record.Set(C::kEntry, entry).Set(C::kType, ControlType::kBitmap).Set(C::kEnable, 1);
    record.Set(C::kLayer, 255).Set(C::kLeft, 0xFFFF).Set(C::kRight, 0xFFFF);
    record.Set(C::kUp, 0xFFFF).Set(C::kDown, 0xFFFF);
    return record.Set(BitmapAttributes::kBitmapId.At(C::kTypeAttributes.offset), id).Bytes();
}
// The header of a form without `layers`, `firstNav`, menu or action lists.
ExpectedBytes Form(std::string_view name, uint16_t controls, uint16_t offset) {
    ExpectedRecord form(FormHeader::kSize);
    form.Text(FormHeader::kName, name).Set(FormHeader::kControlCount, controls);
    form.Set(FormHeader::kControlsOffset, offset).Set(FormHeader::kFirstControl, 0xFFFF);
    return ExpectedBytes().Append(form.Bytes());
}
const ExpectedBytes kOk = ExpectedBytes().Raw({0x02, 0x00, 0x01, 0x00});  // OK()
const ExpectedBytes kExit5 = ExpectedBytes().Raw({0x04, 0x00, 0x4A, 0x00, 0x05, 0x00});

struct Row {
    std::string name;
    std::string body;  // between <quillora> and </quillora>
    // The section record, adding the expected pool entries in order; null: the section fails.
    std::function<Bytes(ExpectedPool&)> expect = nullptr;
    std::string console = {};
    bool limit = false;  // a refused limit
};

template <class Reader>
void Check(const Row& row) {
    SCOPED_TRACE(row.name);
    TestRun run;
    ASSERT_TRUE(run.Load("<quillora>" + row.body + "</quillora>"));
    ExpectedPool pool;
    const auto expected = row.expect ? std::optional(row.expect(pool)) : std::nullopt;
    Reader reader(run.Context());
    size_t size = 0;
    const uint8_t* record = reader.Read(size);
    if (expected) {
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(Bytes(record, record + size), *expected);
        EXPECT_EQ(run.PoolBytes(), pool.Bytes());
    } else {
        EXPECT_EQ(record, nullptr);
    }
    EXPECT_EQ(run.Console(), row.console);
    EXPECT_EQ(run.Context().LimitExceeded(), row.limit);
}

const std::string n29(29, 'n');
const std::string n31(31, 'n');
const std::string n32(32, 'n');
const std::string kDb = "<data><database name='Db'/></data>";
const std::string kX = "<entries><entry name='x'/></entries>";

std::string DocXml(const std::string& name, const std::string& inner,
                   const std::string& attributes = "prefix='P'") {
    return "<document name='" + name + "' view='v' " + attributes + ">" + inner + "</document>";
}
ExpectedRecord DocHeader(const std::string& name, uint16_t offset, uint16_t forms, uint32_t table,
                         uint32_t fields, const std::string& database = "Db") {
    ExpectedRecord header = Header(D::kSize, name, 1, offset, forms, table);
    header.Text(D::kDatabaseName, database).Text(D::kPrefix, "P").Set(D::kHasJournal, 1);
    return header.Set(D::kFieldDescription, fields);
}
struct Doc {
    ExpectedRecord header;
    Bytes data;
};
// A document whose only entry is x, without forms: its pool entries, header and data block.
Doc Plain(ExpectedPool& pool, const std::string& name, uint16_t offset,
          const std::string& database = "Db") {
    const Bytes x = Entry(pool.Text("x"));
    const uint32_t table = pool.Add({});
    const uint32_t fields = pool.Add(ExpectedBytes().U16(1).Append(Texts({"x", "", "", ""})));
    return {DocHeader(name, offset, 0, table, fields, database), x};
}
const std::string k259 = "[WARNING 259] Не задано описание БД документа  ";
const std::string k261 = "[ERROR 261] Длина имени БД документа превышает 32 символа. Документ:  ";

TEST(SectionReadersTest, Documents) {
    const Row rows[] = {
        {"no document", "<menu name='m'/>"},
        {"two documents: data from 294, no common entries; a database name of 31 bytes; three "
         "inheritances, one without name",
         DocXml("A", "<data><database name='" + n31 + "'/></data>" + kX) +
             DocXml("B",
                    kDb + kX + "<acts><delete funcs='OK()'/><copy funcs='Exit(5)'/></acts>" +
                        "<inheritances><inheritance name='ab'/><inheritance/>"
                        "<inheritance name='abc'/></inheritances>",
                    "prefix='ЗКЗ' pdaCreate='true' hasJournal='FALSE'"),
         [](ExpectedPool& pool) {
             const Doc a = Plain(pool, "A", 294, n31);
             const uint32_t list = pool.Add(Texts({"ab", "abc"}));
             Doc b = Plain(pool, "B", 294 + 36);
             b.header.Text(D::kPrefix, "ЗКЗ").Set(D::kPdaCreate, 1).Set(D::kHasJournal, 0);
             b.header.Set(D::kInheritanceCount, 2).Set(D::kInheritances, list);
             b.header.Set(D::kCopy, pool.Add(kExit5)).Set(D::kDelete, pool.Add(kOk));
             return Cat(
                 {U16(2), U16(0), U16(0), a.header.Bytes(), b.header.Bytes(), a.data, b.data});
         },
         "[WARNING 265] Отсутствует реквизит inheritance->name документа:  B\n"},
        {"common entries: first in the names, table count and field description; at the end",
         "<commonEntries><entry name='c' dbtype='INTEGER' view='C'/><entry name='t' "
         "type='table'/></commonEntries>" +
             DocXml("A", kDb + kX + "<form name='F'><controls>" + BitmapXml(1, "x") +
                             "</controls></form>"),
         [](ExpectedPool& pool) {
             const uint32_t x = pool.Text("x");
             const uint32_t table = pool.Add(Form("F", 1, 150 + 36));
             const ExpectedBytes fields =
                 ExpectedBytes().U16(2).Append(Texts({"c", "INTEGER", "C", "", "x", "", "", ""}));
             ExpectedRecord a = DocHeader("A", 150, 1, table, pool.Add(fields));
             a.Set(D::kTableEntryCount, 1);
             const Bytes c = Entry(pool.Text("c"), CEntry::kField, 1);
             return Cat({U16(1), U16(2), U16(150 + 36 + 68), a.Bytes(), Entry(x), Bitmap(1, 1), c,
                         Entry(pool.Text("t"), CEntry::kTable)});
         }},
        {"a database name of 32 bytes",
         DocXml("A", "<data><database name='" + n32 + "'/></data>" + kX), nullptr, k261 + "A\n"},
        {"no data, no database, no database name: the default name",
         DocXml("A", kX) + DocXml("B", "<data/>" + kX) +
             DocXml("C", "<data><database/></data>" + kX),
         [](ExpectedPool& pool) {
             const Doc a = Plain(pool, "A", 438, "QL_A");
             const Doc b = Plain(pool, "B", 474, "QL_B");
             const Doc c = Plain(pool, "C", 510, "QL_C");
             return Cat({U16(3), U16(0), U16(0), a.header.Bytes(), b.header.Bytes(),
                         c.header.Bytes(), a.data, b.data, c.data});
         },
         k259 + "A\n" + k259 + "B\n" +
             "[WARNING 260] Отсутствует реквизит Document->Data->Database Name C\n"},
        {"a default name over 31 bytes", DocXml(n29, kX), nullptr,
         k259 + n29 + "\n" + k261 + n29 + "\n"},
        {"only table entries: a field description of 2 bytes",
         DocXml("A", kDb + "<entries><entry name='t' type='TABLE'/></entries>"),
         [](ExpectedPool& pool) {
             const Bytes t = Entry(pool.Text("t"), CEntry::kTable);
             const uint32_t table = pool.Add({});
             ExpectedRecord a = DocHeader("A", 150, 0, table, pool.Add(ExpectedBytes().U16(0)));
             return Cat({U16(1), U16(0), U16(0), a.Set(D::kTableEntryCount, 1).Bytes(), t});
         }},
        {"no entries", DocXml("A", kDb), nullptr, "[ERROR 264] Ошибка чтения документа GetDS  A\n"},
        {"a name of 32 bytes", DocXml(n32, kDb + kX), nullptr,
         "[ERROR 272] Имя документа длиннее 31 байт: " + n32 + "\n", true},
        {"a prefix of 4 bytes", DocXml("A", kDb + kX, "prefix='ЗКЗК'"), nullptr,
         "[ERROR 272] Префикс документа длиннее 3 байт: ЗКЗК\n", true},
    };
    for (const Row& row : rows) {
        Check<CDocumentReader>(row);
    }
}

std::string RefXml(const std::string& name, const std::string& inner) {
    return "<reference name='" + name + "' view='v'>" + inner + "</reference>";
}
Bytes RefHeader(const std::string& name, uint16_t entries, uint16_t offset, uint16_t forms,
                uint32_t table, const std::string& database, uint32_t init = 0) {
    ExpectedRecord header = Header(ReferenceHeader::kSize, name, entries, offset, forms, table);
    return header.Text(ReferenceHeader::kDatabaseName, database)
        .Set(ObjectHeader::kInit, init)
        .Bytes();
}
const std::string k2053 =
    "[ERROR 2053] Длина имени БД справочника превышает 32 символа. Справочник:  ";

TEST(SectionReadersTest, References) {
    const Row rows[] = {
        {"no reference", "<document/>"},
        {"two references: data from 226; no database: the default name",
         RefXml("A", kDb + kX) + RefXml("B", "<data/><acts><init funcs='OK()'/></acts>"),
         [](ExpectedPool& pool) {
             const Bytes x = Entry(pool.Text("x"));
             const Bytes a = RefHeader("A", 1, 226, 0, pool.Add({}), "Db");
             const uint32_t table = pool.Add({});
             return Cat(
                 {U16(2), a, RefHeader("B", 0, 226 + 36, 0, table, "QL_B", pool.Add(kOk)), x});
         },
         "[WARNING 2051] Не задано описание БД справочника  B\n"},
        {"a database name of 31 bytes; controls behind the entries",
         RefXml("A", "<data><database name='" + n31 + "'/></data>" + kX +
                         "<form name='F'><controls>" + BitmapXml(1, "x") + "</controls></form>"),
         [](ExpectedPool& pool) {
             const Bytes x = Entry(pool.Text("x"));
             const Bytes a = RefHeader("A", 1, 114, 1, pool.Add(Form("F", 1, 114 + 36)), n31);
             return Cat({U16(1), a, x, Bitmap(1, 0)});
         }},
        {"a database name of 32 bytes", RefXml("A", "<data><database name='" + n32 + "'/></data>"),
         nullptr, k2053 + "A\n"},
        {"no database name, a default name over 31 bytes", RefXml(n29, "<data><database/></data>"),
         nullptr,
         "[WARNING 2052] Отсутствует реквизит Reference->Data->Database Name " + n29 + "\n" +
             k2053 + n29 + "\n"},
        {"a name of 32 bytes", RefXml(n32, ""), nullptr,
         "[ERROR 2064] Имя справочника длиннее 31 байт: " + n32 + "\n", true},
    };
    for (const Row& row : rows) {
        Check<CReferenceReader>(row);
    }
}

std::string JournalXml(const std::string& name, const std::string& inner) {
    return "<journal name='" + name + "' view='v'>" + inner + "</journal>";
}
Bytes JournalHead(const std::string& name, uint16_t entries, uint16_t offset, uint16_t forms,
                  uint32_t table, uint16_t count, uint32_t documents, uint32_t init = 0) {
    ExpectedRecord header = Header(JournalHeader::kSize, name, entries, offset, forms, table);
    header.Set(JournalHeader::kDocumentCount, count).Set(JournalHeader::kDocuments, documents);
    return header.Set(ObjectHeader::kInit, init).Bytes();
}
const std::string v32 = "Представление журнала заказов ..";  // 32 bytes in Windows-1251
const std::string k3844 = "[WARNING 3844] Отсутствует реквизит document->name журнала  J\n";

TEST(SectionReadersTest, Journals) {
    const Row rows[] = {
        {"no journal", "<document/>"},
        {"two journals: data from 178; padded document names, also below `data`",
         JournalXml("A", "<data><jrndocument name='ab'/><jrndocument name='abc'/></data>" + kX) +
             JournalXml("B",
                        "<data><group><jrndocument name='Заказ'/></group></data>"
                        "<acts><init funcs='OK()'/></acts>"),
         [](ExpectedPool& pool) {
             const uint32_t names = pool.Add(Texts({"ab", "abc"}));
             const Bytes x = Entry(pool.Text("x"));
             const Bytes a = JournalHead("A", 1, 178, 0, pool.Add({}), 2, names);
             const uint32_t order = pool.Add(Texts({"Заказ"}));
             const uint32_t table = pool.Add({});
             return Cat(
                 {U16(2), a, JournalHead("B", 0, 178 + 36, 0, table, 1, order, pool.Add(kOk)), x});
         }},
        {"two entries and a form of three controls: a block of 276 bytes",
         JournalXml("J",
                    "<data><jrndocument name='d'/></data><entries><entry name='a'/><entry "
                    "name='b'/></entries><form name='F'><controls>" +
                        BitmapXml(1, "b") + BitmapXml(2) + BitmapXml(3) + "</controls></form>"),
         [](ExpectedPool& pool) {
             const uint32_t names = pool.Add(Texts({"d"}));
             const Bytes a = Entry(pool.Text("a"));
             const Bytes b = Entry(pool.Text("b"));
             const Bytes block = Cat({a, b, Bitmap(1, 1), Bitmap(2), Bitmap(3)});
             EXPECT_EQ(block.size(), 276u);
             const uint32_t table = pool.Add(Form("F", 3, 90 + 72));
             return Cat({U16(1), JournalHead("J", 2, 90, 1, table, 1, names), block});
         }},
        {"no jrndocument: kept without documents",
         JournalXml("J", "<data><document name='d'/></data>"),
         [](ExpectedPool& pool) {
             return Cat({U16(1), JournalHead("J", 0, 90, 0, pool.Add({}), 0, 0)});
         },
         "[ERROR 3843] Отсутствует описание документов для журнала  J\n"},
        {"no jrndocument with a name: an empty list",
         JournalXml("J", "<data><jrndocument/><jrndocument/></data>"),
         [](ExpectedPool& pool) {
             const uint32_t names = pool.Add({});
             return Cat({U16(1), JournalHead("J", 0, 90, 0, pool.Add({}), 0, names)});
         },
         k3844 + k3844},
        {"a name of 32 bytes", JournalXml(n32, ""), nullptr,
         "[ERROR 3856] Имя журнала длиннее 31 байт: " + n32 + "\n", true},
        {"a view of 32 bytes", "<journal name='J' view='" + v32 + "'/>", nullptr,
         "[ERROR 3856] Представление журнала длиннее 31 байт: " + v32 + "\n", true},
    };
    for (const Row& row : rows) {
        Check<CJournalReader>(row);
    }
}

TEST(SectionReadersTest, FramesAndRecordViews) {
    const auto empty = [](ExpectedPool&) { return Bytes{}; };
    const std::string k2320 = "[ERROR 2320] Имя формы-меню длиннее 31 байт: " + n32 + "\n";
    const Row frames[] = {
        {"no frame: an empty record", "<recordview name='R' view='v'/>", empty},
        {"one frame with one entry: 118 bytes", "<frame name='F' view='v'>" + kX + "</frame>",
         [](ExpectedPool& pool) {
             const Bytes x = Entry(pool.Text("x"));
             return Cat({U16(1), Header(80, "F", 1, 82, 0, pool.Add({})).Bytes(), x});
         }},
        {"the first frame and its siblings; a form without controls",
         "<frame name='A' view='v'><form name='E'><controls/></form></frame>"
         "<group><frame name='B' view='v'/></group><frame name='C' view='v'/>",
         [](ExpectedPool& pool) {
             const Bytes a = Header(80, "A", 0, 162, 1, pool.Add(Form("E", 0, 162))).Bytes();
             return Cat({U16(2), a, Header(80, "C", 0, 162, 0, pool.Add({})).Bytes()});
         }},
        {"a form without controls element", "<frame name='F' view='v'><form name='E'/></frame>",
         nullptr, "[WARNING 3329] Не найдено controls\n"},
        {"a name of 32 bytes", "<frame name='" + n32 + "' view='v'/>", nullptr, k2320, true},
        {"751 headers: a record over 60000 bytes", Repeat(751, "<frame name='f' view='v'/>"),
         nullptr, "[ERROR 2320] Запись форм-меню превышает 60000 байт\n", true},
    };
    const Row recordViews[] = {
        {"no record view: an empty record", "<frame name='F' view='v'/>", empty},
        {"one record view with one form of two controls: 218 bytes",
         "<recordview name='R' view='Карточка'><form name='K'><controls>" + BitmapXml(1) +
             BitmapXml(2) + "</controls></form><acts><init funcs='OK()'/></acts></recordview>",
         [](ExpectedPool& pool) {
             ExpectedRecord header =
                 Header(80, "R", 0, 82, 1, pool.Add(Form("K", 2, 82)), "Карточка");
             return Cat({U16(1), header.Set(ObjectHeader::kInit, pool.Add(kOk)).Bytes(), Bitmap(1),
                         Bitmap(2)});
         }},
        {"no view", "<recordview name='R'/>", nullptr,
         "[ERROR 2306] Отсутствует реквизит frame->view формы-меню:  R\n"},
        {"a name of 32 bytes", "<recordview name='" + n32 + "' view='v'/>", nullptr, k2320, true},
    };
    for (const Row& row : frames) {
        Check<CFrameReader>(row);
    }
    for (const Row& row : recordViews) {
        Check<CRecordViewReader>(row);
    }
}

}  // namespace
