// Forms of one object: each row reads the forms of the `document` of a small configuration
// (two menus before it) at base offset 100 and compares the control records, the whole form
// table in the pool, and the console.
#include "CFormReader.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ControlAttributes.h"
#include "ExpectedRecords.h"
#include "FormHeader.h"
#include "TestRun.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A bitmap control adds nothing to the pool, so the form table is the pool's first entry.
std::string Bitmaps(int count, int firstId = 1) {
    std::string controls;
    for (int i = 0; i < count; ++i) {
        controls += "<control type='bitmap' id='" + std::to_string(firstId + i) +
                    "'><layout/><bitmapattrs/></control>";
    }
    return "<controls>" + controls + "</controls>";
}

struct Header {
    std::string name;
    uint16_t controls;
    uint16_t offset;
    uint16_t layers = 0;
    uint16_t menu = 0;
    uint16_t first = 0xFFFF;
};

ExpectedBytes FormTable(const std::vector<Header>& headers) {
    ExpectedBytes table;
    for (const Header& h : headers) {
        table.NarrowField(h.name, FormHeader::kName.size)
            .U16(h.controls)
            .U16(h.offset)
            .U16(h.layers)
            .U16(h.menu)
            .U16(h.first)
            .Zeros(FormHeader::kSize - FormHeader::kReserved.offset);
    }
    return table;
}

TEST(CFormReaderTest, FormsOfAnObject) {
    struct Case {
        const char* name;
        std::string forms;
        std::optional<std::vector<Header>> table;  // none: Read fails
        int controls = 0;
        std::string console = "";
    };
    const std::string form31(31, 'f');
    const Case cases[] = {
        {"no form", "", std::vector<Header>{}},
        {"second form's controls after the first's",
         "<form name='a' layers='2' menuname='M2' firstNav='2'>" + Bitmaps(2) +
             "</form><form name='b' menuname='none' firstNav='0'>" + Bitmaps(1) + "</form>",
         std::vector<Header>{{"a", 2, 100, 2, 2, 1}, {"b", 1, 100 + 2 * 68}}, 3},
        {"forms under `forms` ignored when a direct form exists",
         "<forms><form name='x'>" + Bitmaps(1) + "</form></forms><form name='d'>" + Bitmaps(1) +
             "</form>",
         std::vector<Header>{{"d", 1, 100}}, 1},
        {"forms under `forms`", "<forms><form name='x'>" + Bitmaps(1) + "</form></forms>",
         std::vector<Header>{{"x", 1, 100}}, 1},
        {"firstNav naming no control", "<form name='n' firstNav='7'>" + Bitmaps(1) + "</form>",
         std::vector<Header>{{"n", 1, 100}}, 1},
        {"a form without controls fails", "<form name='e'/>", std::nullopt, 0,
         "[WARNING 3329] Не найдено controls\n"},
        {"the third control invalid",
         "<form name='t'><controls><control type='bitmap'><layout/><bitmapattrs/></control>"
         "<control type='bitmap'><layout/><bitmapattrs/></control><control type='text'/>"
         "</controls></form>",
         std::nullopt, 0,
         "[ERROR 769] Отсутствует реквизит control->type\n"
         "[ERROR 3329] Неверное описание элемента Control, порядковый номер 3\n"},
        {"a name of 31 bytes", "<form name='" + form31 + "'>" + Bitmaps(1) + "</form>",
         std::vector<Header>{{form31, 1, 100}}, 1},
        {"a name of 32 bytes", "<form name='" + form31 + "g'>" + Bitmaps(1) + "</form>",
         std::nullopt, 0, "[ERROR 3344] Имя формы длиннее 31 байт: " + form31 + "g\n"},
        {"883 controls in one form", "<form name='big'>" + Bitmaps(883) + "</form>", std::nullopt,
         0, "[ERROR 3344] Слишком много элементов control в форме (больше 882): big\n"},
        {"883 controls in one object",
         "<form name='p'>" + Bitmaps(500) + "</form><form name='q'>" + Bitmaps(383) + "</form>",
         std::nullopt, 0,
         "[ERROR 3344] Слишком много элементов control в формах объекта (больше 882): D\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestRun run("<quillora><menu name='m1'/><menu name='m2'/><document name='D'>" + c.forms +
                    "</document></quillora>");
        CFormReader reader(run.Context());
        size_t size = 99;
        uint16_t count = 99;
        const XmlNode object = run.Document().FindNode(run.Document().GetFirstNode(), "document");
        const uint8_t* records = reader.Read(object, size, count, 100, false);
        EXPECT_EQ(run.Console(), c.console);
        if (!c.table) {
            EXPECT_EQ(records, nullptr);
            EXPECT_EQ(run.PoolBytes(), Bytes({0, 0}));  // no form table stored
            continue;
        }
        ASSERT_NE(records, nullptr);
        Bytes expected;
        for (int i = 0; i < c.controls; ++i) {
            const Bytes control = ExpectedControl(9).bytes;
            expected.insert(expected.end(), control.begin(), control.end());
        }
        EXPECT_EQ(Bytes(records, records + size), expected);
        EXPECT_EQ(count, c.table->size());
        ExpectedPool pool;
        EXPECT_EQ(reader.GetFormTable(), pool.Add(FormTable(*c.table)));
        EXPECT_EQ(run.PoolBytes(), pool.bytes.Bytes());
    }
}

}  // namespace
