// quilconf --locations: every error and warning about a node of the document begins with
// "FILE:LINE: ", the line of that node; apart from those prefixes the console is the same
// as without the option. A document that cannot be loaded gives one reason line either way,
// in quilconf and in quilxdb.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "CConfCompiler.h"
#include "CExchangeCompiler.h"
#include "ConsoleLine.h"
#include "TempDir.h"
#include "TextLines.h"

namespace {

const std::string kSections =
    "<journal name='j' view='v'><data><jrndocument name='d'/></data></journal>\n"
    "<document name='d' view='v' prefix='p'><data><database name='D'/></data>\n"
    "<entries><entry name='x'/></entries></document>\n"
    "<reference name='r' view='v'><data><database name='R'/></data></reference>\n";

// A frame whose button has a faulty expression, an unknown event and a lexical error.
const std::string kFaultyEvents =
    "<quillora name='t'>\n<menu name='m'><menuitem title='a'/></menu>\n" + kSections +
    "<frame name='f' view='v'><forms><form name='f'><controls>\n"
    "<control type='button' id='1'><layout/>\n"
    "<buttonattrs type='text'><text text='b'/></buttonattrs><events>\n"
    "<event type='select' func='OK('/>\n"
    "<event type='selekt' func='OK()'/>\n"
    "<event type='update' func='Close(\"x)'/>\n"
    "</events></control></controls></form></forms></frame>\n</quillora>\n";

// Menu items whose strings overflow the string pool.
std::string PoolOverflow() {
    std::string items;
    for (int i = 0; i < 300; ++i) {
        items += "<menuitem title='a' func='PleaseWait(\"" + std::string(240, 'w') + "\")'/>\n";
    }
    return "<quillora>\n<menu name='m'>\n" + items + "</menu>\n" + kSections + "</quillora>\n";
}

struct Expected {
    std::string message;  // a part of the line
    std::string marker;   // a part of the document line it must name
};

struct Row {
    std::string name;
    std::string document;
    std::vector<std::string> arguments;  // "IN" and "OUT" stand for the files
    std::vector<Expected> expected;
};

TEST(LocationsTest, LinesAboutNodesNameTheirLine) {
    const Row rows[] = {
        {"faulty events, option first",
         kFaultyEvents,
         {"--locations", "IN", "OUT"},
         {{"[WARNING 772] Ошибка разбора:  OK(", "func='OK('"},
          {"[WARNING 772] Неверное определение функции:  OK", "func='OK('"},
          {"[ERROR 773] Неверное значение control->event->type:  selekt", "selekt"},
          {"[WARNING 1] ", "Close("},
          {"[WARNING 772] Ошибка разбора:  Close(", "Close("}}},
        {"pool overflow, option last",
         PoolOverflow(),
         {"IN", "OUT", "--locations"},
         {{"[ERROR 1040] Переполнение записи строк", "<menuitem"},
          {"[ERROR 1283] Ошибка чтения меню", "<menuitem"},
          {"[ERROR 3073] Критическая ошибка в описании меню", "<menu name='m'>"}}},
        {"root name too long, option between",
         "<?xml version='1.0'?>\n\n<quillora\n name='" + std::string(64, 'n') + "'/>\n",
         {"IN", "--locations", "OUT"},
         {{"[ERROR 0] Имя конфигурации длиннее 63 байт:", "name='nnn"}}},
        {"not well-formed",
         "<quillora>\n<a>\n</b></quillora>\n",
         {"--locations", "IN"},
         {{"[INFO] Opening and ending tag mismatch", "</b>"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        dir.Write("in.xml", row.document);
        const std::string in = dir.File("in.xml");
        std::vector<std::string> with;
        std::vector<std::string> without;
        for (const std::string& argument : row.arguments) {
            const std::string actual = argument == "IN"    ? in
                                       : argument == "OUT" ? dir.File("out.pdb")
                                                           : argument;
            with.push_back(actual);
            if (argument != "--locations") {
                without.push_back(actual);
            }
        }
        std::ostringstream located;
        std::ostringstream plain;
        const int status = CConfCompiler(located).Run(with);
        EXPECT_EQ(CConfCompiler(plain).Run(without), status);

        const std::vector<std::string> document = Lines(row.document);
        std::string stripped;
        for (std::string line : Lines(located.str())) {
            if (line.rfind(in + ":", 0) == 0) {
                const size_t colon = line.find(": ", in.size() + 1);
                ASSERT_NE(colon, std::string::npos) << line;
                const size_t number = std::stoul(line.substr(in.size() + 1));
                ASSERT_GE(number, 1u);
                ASSERT_LE(number, document.size()) << line;
                const std::string message = line.substr(colon + 2);
                for (const Expected& expected : row.expected) {
                    if (message.find(expected.message) != std::string::npos) {
                        EXPECT_NE(document[number - 1].find(expected.marker), std::string::npos)
                            << line;
                    }
                }
                line = message;
            }
            stripped += line + "\n";
        }
        EXPECT_EQ(stripped, plain.str());
        for (const Expected& expected : row.expected) {
            EXPECT_NE(located.str().find(":" + std::string(" ") + expected.message),
                      std::string::npos)
                << expected.message << "\n"
                << located.str();
        }
    }
}

TEST(LocationsTest, ExpressionChecksHaveNoDocumentToLocate) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--locations", "--expr", "OK()"},
          std::vector<std::string>{"--expr", "OK()", "--locations"}}) {
        std::ostringstream out;
        EXPECT_EQ(CConfCompiler(out).Run(arguments), 2);
        EXPECT_EQ(out.str(),
                  "[ERROR 0] Синтаксис: quilconf --expr ВЫРАЖЕНИЕ [--controls ID,ID,...]\n");
    }
}

// A document that cannot be loaded, in both compilers: the reason is exactly one line, with
// and without --locations; quilconf prints it after its load line, quilxdb before "Parse
// result code". ROOT stands for the program's root element, ITEM for an element it accepts.
TEST(LoadFailureLineTest, TheReasonIsExactlyOneLine) {
    const std::pair<std::string, std::string> rows[] = {
        // file name, document ("-": none)
        {"in.xml", "-"},
        {"in.xml", "<?xml version='1.0'?>\n<ROOT>\n  <ITEM></b>\n</ROOT>\n"},
        {"in.xml", "<ROOT>\n  <ITEM name='x' name='y'/>\n</ROOT>"},
        {"in.xml", ""},
        {"in.xml", "   \n"},
        {"in.xml", "<ROOT>"},
        {"in.xml", "<ROOT/><b/>"},
        {"in.xml", "<ROOT>&undefined;</ROOT>"},
        {"in.xml", "<ROOT><p:ITEM/></ROOT>"},
        {"in.xml", "<ROOT>\x01</ROOT>"},
        {"in.xml", "<?xml version='1.0' encoding='no-such-encoding'?><ROOT/>"},
        {"in.xml", "<ROOT>\xC3\x28</ROOT>"},
        {"in.xml", "<ROOT>\n<ITEM name='\xCA\xEE\xED\xF4'/>\n</ROOT>"},  // libxml2 breaks it
        {"in.xml", "<?xml version='1.0' encoding='windows-1251'?><ROOT>\x98</ROOT>"},
        {"in.xml", "<!DOCTYPE ROOT [<!ENTITY s SYSTEM 'file:///a\r\nb'>]>\n<ROOT>&s;</ROOT>"},
        {"in.xml", "<!DOCTYPE ROOT [<!ENTITY % e SYSTEM 'x.dtd'> %e;]><ROOT name='&s;'/>"},
        {"in.xml", "<!DOCTYPE ROOT SYSTEM 'absent.dtd'><ROOT>&s;</ROOT>"},
#ifndef _WIN32  // no line break in a Windows file name
        {"in\r\nput.xml", "<ROOT>"},
        {"in\nput.xml", "-"},
#endif
    };
    for (const auto& [file, document] : rows) {
        for (const bool locations : {false, true}) {
            SCOPED_TRACE(document + (locations ? " --locations" : ""));
            TempDir dir;
            const std::string in = dir.File(file);
            const auto write = [&](const std::string& root, const std::string& item) {
                std::string text = document;
                for (const auto& [name, value] :
                     {std::pair{"ROOT", root}, std::pair{"ITEM", item}}) {
                    for (size_t at; (at = text.find(name)) != std::string::npos;) {
                        text.replace(at, 4, value);
                    }
                }
                if (text != "-") {
                    dir.Write(file, text);
                }
            };
            const std::vector<std::string> arguments =
                locations ? std::vector<std::string>{"quilxdb", "--locations", in, dir.Path()}
                          : std::vector<std::string>{"quilxdb", in, dir.Path()};

            write("quillora", "menu");
            std::ostringstream conf;
            EXPECT_EQ(CConfCompiler(conf).Run({arguments.begin() + 1, arguments.end()}), 1);
            std::vector<std::string> lines = Lines(conf.str());
            ASSERT_EQ(lines.size(), 5u) << conf.str();
            EXPECT_EQ(lines[3], "[INFO] Не удается загрузить указанный документ ");
            EXPECT_TRUE(lines[4].rfind("[INFO] ", 0) == 0 ||
                        (locations && lines[4].rfind(ConsoleLine::Joined(in) + ":", 0) == 0))
                << lines[4];

            write("palm-client", "exchange name='e' view='v'");
            std::vector<const char*> argv;
            for (const std::string& argument : arguments) {
                argv.push_back(argument.c_str());
            }
            std::ostringstream xdb;
            EXPECT_EQ(CExchangeCompiler::Run(argv, xdb), 1);
            lines = Lines(xdb.str());
            ASSERT_EQ(lines.size(), 6u) << xdb.str();
            EXPECT_NE(lines[2].find("Parse error at line "), std::string::npos) << lines[2];
            EXPECT_EQ(lines[4].rfind("Parse result code: ", 0), 0u) << lines[4];
            EXPECT_EQ(conf.str().find('\r') + xdb.str().find('\r'), 2 * std::string::npos);
        }
    }
}

}  // namespace
