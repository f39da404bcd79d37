// An action expression that overflows the string pool is a refused limit of the reader that
// compiles it: that reader's code, no parse warning, the section's critical line, status 255,
// no file.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

#include "CConfCompiler.h"
#include "TempDir.h"

namespace {

TEST(PoolOverflowTest, AnExpressionEndsTheRunWithItsReadersLimitCode) {
    // 50 calls with a text each: about 12.6 KB of code and texts.
    std::string big = "PleaseWait(\"" + std::string(240, 'w') + "\")";
    for (const std::string call = big; big.size() < 50 * 256;) {
        big += "; " + call;
    }
    const auto five = [&big](std::string element) {
        element.replace(element.find('F'), 1, big);
        return element + element + element + element + element;
    };
    const std::string document =
        "<document name='d' view='v' prefix='p'><data><database name='D'/>"
        "</data><entries><entry name='x'/></entries>";
    const std::string sections =
        "<journal name='j' view='v'><data><jrndocument name='d'/></data>"
        "</journal>" +
        document +
        "</document><reference name='r' view='v'>"
        "<data><database name='R'/></data></reference><frame name='f' view='v'>"
        "<forms><form name='f'><controls>";
    const std::string close = "</controls></form></forms></frame>";
    const std::string menu = "<menu name='m'><menuitem title='a'/></menu>";
    const std::string pool =
        "] Переполнение записи строк: тексты и код действий конфигурации "
        "превышают 60000 байт.\n";
    const std::string frames = "[INFO] Критическая ошибка чтения описания форм-меню\n";
    const std::pair<std::string, std::string> rows[] = {
        {menu + "<journal name='j' view='v'><data><jrndocument name='d'/></data></journal>" +
             document + "<acts><init funcs='" + big + "'/><save funcs='" + big +
             "'/><copy funcs='" + big + "'/><delete funcs='" + big + "'/></acts></document>" +
             document + "<acts><init funcs='" + big + "'/></acts></document>",
         "[ERROR 3600" + pool + "[INFO] Критическая ошибка чтения описания документов\n"},
        {menu + sections +
             five("<control type='button' id='1'><layout/><buttonattrs type='text'>"
                  "<text text='b'/></buttonattrs><events><event type='select' "
                  "func='F'/></events></control>") +
             close,
         "[ERROR 784" + pool +
             "[ERROR 3329] Неверное описание элемента Control, порядковый номер 5\n" + frames},
        {menu + sections + "<control type='formmenu' id='1'><layout/><items>" +
             five("<item view='v' bitmapID='0' func='F'/>") + "</items></control>" + close,
         "[ERROR 784" + pool +
             "[ERROR 788] Неверное или отсутствует описание атрибутов контрола id= 1\n"
             "[ERROR 3329] Неверное описание элемента Control, порядковый номер 1\n" +
             frames},
        {"<menu name='m'>" + five("<menuitem title='a' func='F'/>") + "</menu>" + sections + close,
         "[ERROR 1040" + pool +
             "[ERROR 1283] Ошибка чтения меню\n[ERROR 3073] Критическая ошибка в "
             "описании меню  m\n[INFO] Критическая ошибка чтения описания меню\n"},
    };
    for (const auto& [configuration, tail] : rows) {
        SCOPED_TRACE(tail);
        TempDir dir;
        std::ostringstream out;
        const std::string in =
            dir.Write("in.xml", "<quillora name='t'>" + configuration + "</quillora>");
        EXPECT_EQ(CConfCompiler(out).Run({in, dir.File("out.pdb")}), 255);
        EXPECT_EQ(out.str().find("[WARNING"), std::string::npos) << out.str();
        EXPECT_EQ(out.str().substr(out.str().find("[ERROR")), tail);
        EXPECT_FALSE(dir.Exists("out.pdb"));
    }
}

}  // namespace
