// Control records: each row reads one `control` element placed first in a form whose controls
// have the ids 5, 7 and 9, in a document whose entries are T (table) and F, and compares the
// whole 68-byte record, the whole strings record and the console.
#include "CControl.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "CListControl.h"
#include "CListEntry.h"
#include "ControlAttributes.h"
#include "ControlItemRecord.h"
#include "ControlKeywords.h"
#include "ExpectedBytes.h"
#include "ExpectedRecords.h"
#include "StringReference.h"
#include "TestRun.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace R = ControlRecord;

using Pool = ExpectedPool;
using Record = ExpectedControl;
static_assert(R::kTypeAttributes.offset == 28);

ExpectedBytes Item(uint16_t kind, uint16_t bitmap = 0, uint32_t view = 0, uint32_t code = 0) {
    return ExpectedBytes().U16(kind).U16(bitmap).U32(view).U32(code);
}
const ExpectedBytes kSeparator = Item(ControlItemRecord::kSeparator);
const ExpectedBytes kOk = ExpectedBytes().Raw({0x02, 0x00, 0x01, 0x00});
const ExpectedBytes kExit5 = ExpectedBytes().Raw({0x04, 0x00, 0x4A, 0x00, 0x05, 0x00});

std::string Control(std::string_view type, std::string_view inner, std::string_view layout = "") {
    return "<control id='5' type='" + std::string(type) + "'><layout " + std::string(layout) +
           "/>" + std::string(inner) + "</control>";
}
std::string Separators(int count) {
    std::string items;
    for (int i = 0; i < count; ++i) {
        items += "<separator/>";
    }
    return "<items>" + items + "</items>";
}
const std::string kFaulty778 =
    "[WARNING 778] Ошибка разбора:  OK(\n[WARNING 778] Неверное определение функции:  OK\n";
const std::string k788 = "[ERROR 788] Неверное или отсутствует описание атрибутов контрола id= 5\n";

struct Row {
    std::string name;
    std::string control;
    std::function<std::optional<Bytes>(Pool&)> expect;  // nullopt: the control is invalid
    std::string console = {};
};

const std::vector<Row> kRows = {
    {"defaults and a static without text", Control("static", "<staticattrs/>"),
     [](Pool& p) { return Record(1).A32(StaticAttributes::kText, p.Text("")); }},
    {"layout",
     "<control type='Static' entry='t'><layout x='-3' y='4' w='100' h='12' layer='300' "
     "enable='yes' left='9' right='0' up='4' down='7' resize='StretchX MoveY'/>"
     "<staticattrs text='Итог' font='BOLDFONT'/></control>",
     [](Pool& p) {
         return Record(1)
             .U16(R::kEntry, 1)
             .U16(R::kX, 0xFFFD)
             .U16(R::kY, 4)
             .U16(R::kW, 100)
             .U16(R::kH, 12)
             .U8(R::kLayer, 44)
             .U8(R::kEnable, 0)
             .U16(R::kLeft, 2)
             .U16(R::kDown, 1)
             .U8(R::kResize, 6)
             .A32(StaticAttributes::kText, p.Text("Итог"))
             .A16(StaticAttributes::kFont, 1);
     }},
    {"Cyrillic resize keywords, enable TRUE, layer 0",
     Control("STATIC", "<staticattrs font='nofont'/>",
             "layer='0' enable='TRUE' resize='ВЕРТРАСТЯГИВАНИЕ,горизперемещениеmovexmovex'"),
     [](Pool& p) {
         return Record(1)
             .U8(R::kLayer, 0)
             .U8(R::kResize, 3)
             .A32(StaticAttributes::kText, p.Text(""));
     }},
    {"unknown type", Control("Text", "<staticattrs/>"), [](Pool&) { return std::nullopt; },
     "[ERROR 769] Отсутствует реквизит control->type\n"},
    {"no layout", "<control type='static'><staticattrs/></control>",
     [](Pool&) { return std::nullopt; }, "[ERROR 770] Отсутствует реквизит control->layout\n"},
    {"field flags",
     Control("field",
             "<fieldattrs maxChars='-2' font='symbol11FONT' underlined='yes' singleLine='false' "
             "numeric='true' justification='rightAlign'/>"),
     [](Pool&) {
         return Record(2)
             .A16(FieldAttributes::kMaxChars, 0xFFFE)
             .A16(FieldAttributes::kFont, 4)
             .A8(FieldAttributes::kFlags, 0xA0);
     }},
    {"value list",
     Control("valueList", "<valuelistattrs font='fntAppFontCustomBase' maxVisibleCount='6'/>"),
     [](Pool&) {
         return Record(3)
             .A16(ValueListAttributes::kFont, 128)
             .A16(ValueListAttributes::kMaxVisibleCount, 6);
     }},
    {"table font is a number", Control("table", "<tableattrs font='boldFont'/>"),
     [](Pool&) { return Record(7); }},
    {"table font 1", Control("table", "<tableattrs font='1'/>"),
     [](Pool&) { return Record(7).A16(TableAttributes::kFont, 1); }},
    {"datetime", Control("datetime", "<datetimeattrs kind='7' title='Дата'/>"),
     [](Pool& p) {
         return Record(16)
             .A16(DateTimeAttributes::kKind, 2)
             .A32(DateTimeAttributes::kTitle, p.Text("Дата"));
     }},
    {"bitmap", Control("bitmap", "<bitmapattrs bitmapID='1200'/>"),
     [](Pool&) { return Record(9).A16(BitmapAttributes::kBitmapId, 1200); }},
    {"checkbox", Control("checkbox", "<checkboxattrs text='Да' font='ledFont' group='258'/>"),
     [](Pool& p) {
         return Record(6)
             .A32(CheckBoxAttributes::kText, p.Text("Да"))
             .A16(CheckBoxAttributes::kFont, 6)
             .A8(CheckBoxAttributes::kGroup, 2);
     }},
    {"text button, frame absent",
     Control("button",
             "<buttonattrs type='TEXT'><text text='OK' font='mediumFont'/></buttonattrs>"),
     [](Pool& p) {
         return Record(4)
             .A8(ButtonAttributes::kContentKind, 1)
             .A8(ButtonAttributes::kFrameType, 1)
             .A32(ButtonAttributes::kText, p.Text("OK"))
             .A16(ButtonAttributes::kTextFont, 8);
     }},
    {"text button, rectangle frame",
     Control("button",
             "<buttonattrs type='text' frameType='rectangleButtonFrame'><text/></buttonattrs>"),
     [](Pool& p) {
         return Record(4)
             .A8(ButtonAttributes::kContentKind, 1)
             .A8(ButtonAttributes::kFrameType, 3)
             .A32(ButtonAttributes::kText, p.Text(""));
     }},
    {"text button, frame in other case",
     Control("button",
             "<buttonattrs type='text' frameType='BoldButtonFrame'><text/></buttonattrs>"),
     [](Pool& p) {
         return Record(4)
             .A8(ButtonAttributes::kContentKind, 1)
             .A8(ButtonAttributes::kFrameType, 1)
             .A32(ButtonAttributes::kText, p.Text(""));
     }},
    {"graph button, frame in other case",
     Control("button",
             "<buttonattrs type='graph' frameType='standardbuttonframe'><graph "
             "bitmapID='3'/></buttonattrs>"),
     [](Pool&) {
         return Record(4).A8(ButtonAttributes::kContentKind, 2).A16(ButtonAttributes::kBitmapId, 3);
     }},
    {"text button without text",
     Control("button", "<buttonattrs type='text'><graph/></buttonattrs>"),
     [](Pool&) { return std::nullopt; }, k788},
    {"button without content kind", "<control type='button'><layout/><buttonattrs/></control>",
     [](Pool&) { return std::nullopt; },
     "[ERROR 788] Неверное или отсутствует описание атрибутов контрола id= \n"},
    {"graph pushbutton",
     Control("pushbutton",
             "<pushbuttonattrs type='graph' group='300'><graph "
             "selectedBitmapID='4'/></pushbuttonattrs>"),
     [](Pool&) {
         return Record(5)
             .A8(ButtonAttributes::kContentKind, 2)
             .A8(ButtonAttributes::kGroup, 44)
             .A16(ButtonAttributes::kSelectedBitmapId, 4);
     }},
    {"events",
     Control("static",
             "<staticattrs/><events><event type='select' func='OK()'/><event type='SELECT' "
             "func='Exit(5)'/><event type='update' func='OK('/><event type='init'/>"
             "<event type='click' func='OK()'/><event type='recordDeleted' "
             "func='SetFilterSQL(9, \"x\")'/></events>"),
     [](Pool& p) {
         Record record(1);
         record.A32(StaticAttributes::kText, p.Text(""));
         record.U32(R::kSelect, p.Add(kOk)).U32(R::kSelect, p.Add(kExit5));
         const uint32_t x = p.Text("x");
         return record.U32(R::kRecordDeleted,
                           p.Add(ExpectedBytes().Raw({0x08, 0, 0x62, 0, 2, 0}).U32(x)));
     },
     "[WARNING 772] Ошибка разбора:  OK(\n[WARNING 772] Неверное определение функции:  OK\n"
     "[ERROR 773] Неверное значение control->event->type:  click\n"},
    {"a failing second select keeps the first",
     Control("bitmap",
             "<bitmapattrs/><events><event type='select' func='OK()'/><event type='select' "
             "func='OK('/></events>"),
     [](Pool& p) { return Record(9).U32(R::kSelect, p.Add(kOk)); },
     "[WARNING 772] Ошибка разбора:  OK(\n[WARNING 772] Неверное определение функции:  OK\n"},
    {"formmenu items, a faulty one dropped",
     Control("formmenu",
             "<items><item bitmapID='3' view='Один' func='OK()'/><item view='Два' func='OK('/>"
             "<Separator/><!-- x --><item/><q:item xmlns:q='urn:q'/></items>"),
     [](Pool& p) {
         const uint32_t one = p.Text("Один");
         const uint32_t ok = p.Add(kOk);
         p.Text("Два");
         const uint32_t empty = p.Text("");
         const uint32_t table = p.Add(ExpectedBytes()
                                          .Append(Item(1, 3, one, ok))
                                          .Append(kSeparator)
                                          .Append(Item(1, 0, empty)));
         return Record(8).U16(R::kItemCount, 3).U32(R::kItemTable, table);
     },
     "[WARNING 775] Отсутствует реквизит control->items->item->bitmapid\n" + kFaulty778 +
         "[WARNING 774] Неизвестный тэг control->items-> #comment\n"
         "[WARNING 775] Отсутствует реквизит control->items->item->bitmapid\n"
         "[WARNING 776] Отсутствует реквизит control->items->item->view\n"
         "[WARNING 774] Неизвестный тэг control->items-> q:item\n"},
    {"items of other names only", Control("formmenu", "<items><entry/><Items/></items>"),
     [](Pool& p) { return Record(8).U32(R::kItemTable, p.Add(ExpectedBytes())); },
     "[WARNING 774] Неизвестный тэг control->items-> entry\n"
     "[WARNING 774] Неизвестный тэг control->items-> Items\n"},
    {"formmenu keeps its items against select and update",
     Control("formmenu", Separators(1) +
                             "<events><event type='Select' func='OK()'/><event type='update'/>"
                             "<event type='init' func='Exit(5)'/></events>"),
     [](Pool& p) {
         const uint32_t table = p.Add(kSeparator);
         return Record(8)
             .U16(R::kItemCount, 1)
             .U32(R::kItemTable, table)
             .U32(R::kInit, p.Add(kExit5));
     },
     "[WARNING 771] Событие недопустимо для formmenu:  Select\n"
     "[WARNING 771] Событие недопустимо для formmenu:  update\n"},
    {"formmenu without items", Control("formmenu", ""), [](Pool&) { return std::nullopt; }, k788},
    {"4999 items fill the pool", Control("formmenu", Separators(4999)),
     [](Pool& p) {
         ExpectedBytes table;
         for (int i = 0; i < 4999; ++i) {
             table.Append(kSeparator);
         }
         return Record(8).U16(R::kItemCount, 4999).U32(R::kItemTable, p.Add(table));
     }},
    {"5000 items are within the limit but not within the pool",
     Control("formmenu", Separators(5000)),
     [](Pool& p) {
         p.bytes = ExpectedBytes();  // an overflowed pool is no record
         return std::nullopt;
     },
     "[ERROR 784] Переполнение записи строк: тексты и код действий конфигурации превышают 60000 "
     "байт.\n" +
         k788},
    {"5001 items", Control("formmenu", Separators(5001)), [](Pool&) { return std::nullopt; },
     "[ERROR 784] Слишком много пунктов formmenu (больше 5000): 5\n" + k788},
};

TEST(CControlTest, ReadsEachRowIntoTheWholeRecord) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        TestRun run(
            "<quillora><document><entries><entry name='T' type='table'/><entry name='F'/>"
            "</entries><form><controls>" +
            row.control +
            "<control id='7'/><control id='9'/></controls></form></document></quillora>");
        const CXMLDOM& document = run.Document();
        const XmlNode controls = document.FindNode(document.GetFirstNode(), "controls");
        CListControl ids;
        ASSERT_EQ(ids.Build(document, controls), 3);
        CListEntry entries(run.Context());
        ASSERT_EQ(entries.Build(document.FindNode(document.GetFirstNode(), "document"), false), 2);

        Pool pool;
        const std::optional<Bytes> expected = row.expect(pool);
        CControl control(run.Context());
        size_t size = 1;
        const uint8_t* record =
            control.Read(document.FindChild(controls, "control"), &entries, &ids, size);
        if (expected) {
            ASSERT_NE(record, nullptr);
            EXPECT_EQ(Bytes(record, record + size), *expected);
        } else {
            EXPECT_EQ(record, nullptr);
            EXPECT_EQ(size, 0u);
        }
        EXPECT_EQ(run.PoolBytes(), pool.bytes.Bytes());
        EXPECT_EQ(run.Console(), row.console);
        EXPECT_EQ(run.Context().LimitExceeded(),
                  row.console.find("Слишком много") != std::string::npos ||
                      row.console.find("Переполнение записи строк") != std::string::npos);
    }
}

TEST(CControlTest, KeywordTables) {
    EXPECT_EQ(ControlKeywords::TypeCode("DATETIME"), 16);
    EXPECT_EQ(ControlKeywords::TypeCode(""), 0);
    EXPECT_EQ(ControlKeywords::FontId("Symbol11font"), 4);
    EXPECT_EQ(ControlKeywords::Alignment("CENTERALIGN"), 1);
    EXPECT_EQ(ControlKeywords::ContentKind("Graph"), 2);
    EXPECT_EQ(ControlKeywords::FrameType(2, "noButtonFrame"), 0);
    EXPECT_EQ(ControlKeywords::FrameType(1, "noButtonFrame"), 0);
    EXPECT_EQ(ControlKeywords::FrameType(1, "nobuttonframe"), 1);
    EXPECT_EQ(ControlKeywords::ResizeFlags("stretchymovex"), 9);
    EXPECT_EQ(
        ControlKeywords::ResizeFlags(CConverter::ToNarrow("вертрастягивание горизрастягивание")),
        12);
    EXPECT_EQ(ControlKeywords::ResizeFlags(CConverter::ToNarrow("Вертперемещение")), 0);
}

}  // namespace
