// A string pool overflow while an action expression is compiled is a refused limit of the
// reader compiling it: its error line carries that reader's limit code, no parse warning
// follows, the section fails at once, the run ends with 255 and writes no file.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "CConfCompiler.h"
#include "TempDir.h"

namespace {

// About 12.6 KB of code and texts: 50 calls, each with a 240-byte text.
std::string Big() {
    std::string expression;
    for (int i = 0; i < 50; ++i) {
        expression +=
            (i ? "; " : "") + std::string("PleaseWait(\"") + std::string(240, 'w') + "\")";
    }
    return expression;
}

std::string Repeated(int times, const std::string& text) {
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += text;
    }
    return all;
}

const std::string kMenu = "<menu name='m'><menuitem title='a'/></menu>\n";
const std::string kJournal =
    "<journal name='j' view='v'><data><jrndocument name='d'/></data></journal>\n";
const std::string kDocument =
    "<document name='d' view='v' prefix='p'><data><database name='D'/></data>"
    "<entries><entry name='x'/></entries>";
const std::string kReference =
    "<reference name='r' view='v'><data><database name='R'/></data></reference>\n";
const std::string kPool =
    "Переполнение записи строк: тексты и код действий конфигурации превышают 60000 байт.\n";

std::string Configuration(const std::string& menu, const std::string& documents,
                          const std::string& frame) {
    return "<quillora name='t'>\n" + menu + kJournal + documents + kReference + frame +
           "</quillora>\n";
}

std::string Frame(const std::string& controls) {
    return "<frame name='f' view='v'><forms><form name='f'><controls>" + controls +
           "</controls></form></forms></frame>\n";
}

struct Row {
    std::string name;
    std::string document;
    std::string tail;  // the console from the first error line to the end
};

TEST(PoolOverflowTest, AnExpressionOverflowingThePoolEndsTheRunWithTheReadersCode) {
    const std::string big = Big();
    std::string acts = "<acts>";
    for (const char* event : {"init", "save", "copy", "delete"}) {
        acts += "<" + std::string(event) + " funcs='" + big + "'/>";
    }
    acts += "</acts>";
    const std::string button =
        "<control type='button' id='1'><layout/><buttonattrs type='text'>"
        "<text text='b'/></buttonattrs><events><event type='select' func='" +
        big + "'/></events></control>";
    const Row rows[] = {
        {"action lists of the second document",
         Configuration(kMenu, Repeated(2, kDocument + acts + "</document>\n"), ""),
         "[ERROR 3600] " + kPool + "[INFO] Критическая ошибка чтения описания документов\n"},
        {"control events",
         Configuration(kMenu, kDocument + "</document>\n", Frame(Repeated(5, button))),
         "[ERROR 784] " + kPool +
             "[ERROR 3329] Неверное описание элемента Control, порядковый номер 5\n"
             "[INFO] Критическая ошибка чтения описания форм-меню\n"},
        {"list items",
         Configuration(kMenu, kDocument + "</document>\n",
                       Frame("<control type='formmenu' id='1'><layout/><items>" +
                             Repeated(5, "<item view='v' bitmapID='0' func='" + big + "'/>") +
                             "</items></control>")),
         "[ERROR 784] " + kPool +
             "[ERROR 788] Неверное или отсутствует описание атрибутов контрола id= 1\n"
             "[ERROR 3329] Неверное описание элемента Control, порядковый номер 1\n"
             "[INFO] Критическая ошибка чтения описания форм-меню\n"},
        {"menu items",
         Configuration("<menu name='m'>" + Repeated(5, "<menuitem title='a' func='" + big + "'/>") +
                           "</menu>\n",
                       kDocument + "</document>\n", ""),
         "[ERROR 1040] " + kPool +
             "[ERROR 1283] Ошибка чтения меню\n"
             "[ERROR 3073] Критическая ошибка в описании меню  m\n"
             "[INFO] Критическая ошибка чтения описания меню\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        std::ostringstream out;
        EXPECT_EQ(CConfCompiler(out).Run({dir.Write("in.xml", row.document), dir.File("out.pdb")}),
                  255);
        const std::string console = out.str();
        EXPECT_EQ(console.find("[WARNING"), std::string::npos) << console;
        const size_t error = console.find("[ERROR");
        ASSERT_NE(error, std::string::npos) << console;
        EXPECT_EQ(console.substr(error), row.tail);
        EXPECT_FALSE(dir.Exists("out.pdb"));
    }
}

}  // namespace
