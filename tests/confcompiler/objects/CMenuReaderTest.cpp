// The menus record, whole, for small documents: directory, blocks, item records in pre-order
// with their parents, shortcuts, titles, action code in the pool, the console lines, and the
// limits that refuse a menu.
#include "CMenuReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CConverter.h"
#include "ExpectedBytes.h"
#include "MenuRecord.h"
#include "TestRun.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace Item = MenuItemRecord;

struct ItemRow {
    uint16_t id;
    std::string title;  // UTF-8
    uint16_t parent;
    uint8_t kind;
    uint8_t shortcut = 0;
    uint32_t code = 0;
};

Bytes ItemRecord(const ItemRow& item) {
    ExpectedBytes bytes;
    bytes.U16(item.id)
        .NarrowField(CConverter::ToNarrow(item.title), Item::kTitle.size)
        .U16(item.parent)
        .Raw({item.shortcut, item.kind})
        .Zeros(Item::kReserved.size)
        .U32(item.code);
    EXPECT_EQ(bytes.Size(), Item::kSize);
    return bytes;
}

Bytes Block(const std::vector<ItemRow>& items) {
    ExpectedBytes block;
    block.U16(MenuBlock::kMenuType).U16(static_cast<uint16_t>(items.size()));
    for (const ItemRow& item : items) {
        block.Append(ItemRecord(item));
    }
    return block;
}

Bytes Record(const std::vector<Bytes>& blocks) {
    ExpectedBytes record;
    record.U16(static_cast<uint16_t>(blocks.size()));
    size_t offset = MenuRecord::kHeaderSize + blocks.size() * MenuDirectoryEntry::kSize;
    for (size_t i = 0; i < blocks.size(); ++i) {
        record.U16(static_cast<uint16_t>(i + 1)).U16(static_cast<uint16_t>(offset));
        offset += blocks[i].size();
    }
    for (const Bytes& block : blocks) {
        record.Append(block);
    }
    return record;
}

// The action code of Exit(n), and the strings record holding the given entries.
Bytes Exit(uint8_t n) {
    return {0x04, 0x00, 0x4A, 0x00, n, 0x00};
}
Bytes Pool(const std::vector<Bytes>& entries = {}) {
    ExpectedBytes pool;
    pool.Zeros(2);
    for (const Bytes& entry : entries) {
        pool.U16(static_cast<uint16_t>(entry.size())).Append(entry);
    }
    return pool;
}
constexpr uint32_t Ref(uint16_t offset) {
    return 0x00080000u | offset;
}

ItemRow Separator(uint16_t id, uint16_t parent = 0) {
    return {id, "", parent, Item::kSeparator};
}

std::string Repeat(size_t count, const std::string& text) {
    std::string all;
    for (size_t i = 0; i < count; ++i) {
        all += text;
    }
    return all;
}

// `count` menus m0, m1, ... with no items.
std::string Menus(size_t count) {
    std::string body;
    for (size_t i = 0; i < count; ++i) {
        body += "<menu name='m" + std::to_string(i) + "'/>";
    }
    return body;
}

std::vector<ItemRow> Separators(size_t count) {
    std::vector<ItemRow> items;
    for (size_t i = 1; i <= count; ++i) {
        items.push_back(Separator(static_cast<uint16_t>(2000 + i)));
    }
    return items;
}

struct Row {
    std::string name;
    std::string body;  // the document between <quillora> and </quillora>
    Bytes record;      // empty: the section fails
    Bytes pool;
    std::string console;
    bool limit = false;
};

const std::string kFailedMenu = "[ERROR 3073] Критическая ошибка в описании меню  ";

std::vector<Row> Rows() {
    const std::string title19 = "Переиндексация базы";
    const std::string name31(31, 'n');
    return {
        {"two menus",
         "<menu name='A'><submenu title='Файл'>"
         "<menuitem title='Открыть' shortcut='N' func='Exit(1)'/>"
         "<menuitem title='Закрыть' func='Exit(2)'/></submenu><separator/></menu>"
         "<other/><menu name='B'><menuitem title='Выход'/></menu>",
         Record({Block({{2001, "Файл", 0, Item::kSubmenu},
                        {2002, "Открыть", 2001, Item::kMenuItem, 'N', Ref(2)},
                        {2003, "Закрыть", 2001, Item::kMenuItem, 0, Ref(10)},
                        Separator(2004)}),
                 Block({{2001, "Выход", 0, Item::kMenuItem}})}),
         Pool({Exit(1), Exit(2)}), ""},
        {"a menu without items", "<menu name='E'><!-- none --> text <![CDATA[x]]></menu>",
         Record({{0x66, 0x00, 0x00, 0x00}}), Pool(), ""},
        {"parents",
         "<menu name='P'><menuitem title='a'><MenuItem title='b'/>"
         "<group><menuitem title='c'/></group></menuitem>"
         "<q:menuitem title='q'><menuitem title='d'/></q:menuitem>"
         "<separator title='t'><submenu title='e'/></separator><?separator?>"
         "<submenu title='f'><?separator?></submenu></menu>",
         Record({Block({{2001, "a", 0, Item::kMenuItem},
                        {2002, "b", 2001, Item::kMenuItem},
                        {2003, "c", 2001, Item::kMenuItem},
                        {2004, "d", 0, Item::kMenuItem},
                        Separator(2005),
                        {2006, "e", 2005, Item::kSubmenu},
                        Separator(2007),
                        {2008, "f", 0, Item::kSubmenu},
                        Separator(2009, 2008)})}),
         Pool(), ""},
        {"shortcuts",
         "<menu name='S'><menuitem title='a' shortcut='Ctrl+A'/>"
         "<menuitem title='b' shortcut='Ж'/><menuitem title='c' shortcut=''/>"
         "<submenu title='d' shortcut='D'/></menu>",
         Record({Block({{2001, "a", 0, Item::kMenuItem, 'C'},
                        {2002, "b", 0, Item::kMenuItem, 0xC6},
                        {2003, "c", 0, Item::kMenuItem},
                        {2004, "d", 0, Item::kSubmenu}})}),
         Pool(), "[WARNING 1029] Недопустимое значение menuitem->shortcut:  Ctrl+A\n"},
        {"missing titles, ignored type and parent",
         "<menu name='T' type='7'><submenu/><menuitem parent='2005' type='1' func='Exit(3)'/>"
         "<menuitem title='' parent='x'/></menu>",
         Record({Block({{2001, "", 0, Item::kSubmenu},
                        {2002, "", 0, Item::kMenuItem, 0, Ref(2)},
                        {2003, "", 0, Item::kMenuItem}})}),
         Pool({Exit(3)}),
         "[WARNING 1025] Отсутствует реквизит menuitem->title\n"
         "[WARNING 1025] Отсутствует реквизит menuitem->title\n"},
        {"a faulty func stops the compilation",
         "<menu name='F'><menuitem title='a' func='Exit(1)'/>"
         "<menuitem title='b' func='SetFieldString(3, \"x\")'/></menu>",
         {},
         Pool({Exit(1)}),
         "[WARNING 1027] Ошибка разбора:  SetFieldString(3, \"x\")\n"
         "[WARNING 1027] Неверное определение функции:  SetFieldString\n"
         "[ERROR 1283] Ошибка чтения меню\n" +
             kFailedMenu + "F\n"},
        {"no menu", "<q:menu name='x'/><document/>", {}, Pool(), ""},
        {"a title of 19 bytes", "<menu name='L'><menuitem title='" + title19 + "'/></menu>",
         Record({Block({{2001, title19, 0, Item::kMenuItem}})}), Pool(), ""},
        {"a title of 20 bytes",
         "<menu name='L'><menuitem title='" + title19 + "!'/></menu>",
         {},
         Pool(),
         "[ERROR 1040] Заголовок пункта меню длиннее 19 байт: " + title19 +
             "!\n[ERROR 1283] Ошибка чтения меню\n" + kFailedMenu + "L\n",
         true},
        {"50 menus", Menus(50), Record(std::vector<Bytes>(50, Block({}))), Pool(), ""},
        {"51 menus",
         Menus(51),
         {},
         Pool(),
         "[ERROR 3088] Слишком много меню (больше 50): m50\n",
         true},
        {"1874 items", "<menu name='I'>" + Repeat(1874, "<separator/>") + "</menu>",
         Record({Block(Separators(1874))}), Pool(), ""},
        {"1875 items",
         "<menu name='I'>" + Repeat(1875, "<separator/>") + "</menu>",
         {},
         Pool(),
         "[ERROR 1296] Слишком много пунктов меню (больше 1874): I\n" + kFailedMenu + "I\n",
         true},
        {"a name of 31 bytes", "<menu name='" + name31 + "'/>", Record({Block({})}), Pool(), ""},
        {"a name of 32 bytes",
         "<menu name='" + name31 + "n'/>",
         {},
         Pool(),
         "[ERROR 3088] Имя меню длиннее 31 байт: " + name31 + "n\n",
         true},
        {"a record over 60000 bytes",
         "<menu name='A'>" + Repeat(1000, "<separator/>") + "</menu><menu name='B'>" +
             Repeat(900, "<separator/>") + "</menu>",
         {},
         Pool(),
         "[ERROR 3088] Запись меню превышает 60000 байт: B\n",
         true},
    };
}

TEST(CMenuReaderTest, TheMenusRecordOfEachDocument) {
    for (const Row& row : Rows()) {
        TestRun run;
        ASSERT_TRUE(run.Load("<?xml version='1.0' encoding='UTF-8'?><quillora xmlns:q='urn:q'>" +
                             row.body + "</quillora>"))
            << row.name;
        CMenuReader reader(run.Context());
        size_t size = 1;
        const uint8_t* record = reader.Read(size);
        EXPECT_EQ(record ? Bytes(record, record + size) : Bytes(), row.record) << row.name;
        EXPECT_EQ(record == nullptr, size == 0) << row.name;
        EXPECT_EQ(run.PoolBytes(), row.pool) << row.name;
        EXPECT_EQ(run.Console(), row.console) << row.name;
        EXPECT_EQ(run.Context().LimitExceeded(), row.limit) << row.name;
    }
}

}  // namespace
