// Both compilers on documents that cannot be loaded: the parser's reason is exactly one line
// (libxml2 breaks some of its messages in parts; a path may hold a break), with and without
// --locations. quilconf prints it right after its load line, quilxdb right before its
// "Parse result code" line, and nothing else follows.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "CConfCompiler.h"
#include "CExchangeCompiler.h"
#include "ConsoleLine.h"
#include "EntityExpansion.h"
#include "TempDir.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// A document that cannot be loaded; ROOT stands for the program's root element, ITEM for an
// element it accepts inside the root.
struct Row {
    std::string name;
    std::string document;
    bool written = true;  // false: no such file
    std::string file = "in.xml";
};

const Row kRows[] = {
    {"missing file", "", false},
    {"tag mismatch", "<?xml version='1.0'?>\n<ROOT>\n  <ITEM></b>\n</ROOT>\n"},
    {"attribute redefined", "<ROOT>\n  <ITEM name='x' name='y'/>\n</ROOT>"},
    {"empty", ""},
    {"blank", "   \n"},
    {"unclosed", "<ROOT>"},
    {"two roots", "<ROOT/><b/>"},
    {"undefined entity", "<ROOT>&undefined;</ROOT>"},
    {"undeclared prefix", "<ROOT><p:ITEM/></ROOT>"},
    {"forbidden character", "<ROOT>\x01</ROOT>"},
    {"unknown encoding", "<?xml version='1.0' encoding='no-such-encoding'?><ROOT/>"},
    {"broken UTF-8", "<ROOT>\xC3\x28</ROOT>"},
    {"Windows-1251 undeclared", "<ROOT>\n<ITEM name='\xCA\xEE\xED\xF4'/>\n</ROOT>"},
    {"Windows-1251 conversion", "<?xml version='1.0' encoding='windows-1251'?><ROOT>\x98</ROOT>"},
    {"external entity with a break",
     "<!DOCTYPE ROOT [<!ENTITY s SYSTEM 'file:///a\r\nb'>]>\n<ROOT>&s;</ROOT>"},
    {"external parameter entity",
     "<!DOCTYPE ROOT [<!ENTITY % ext SYSTEM 'absent.dtd'> %ext;]><ROOT name='&s;'/>"},
    {"entity of an external DTD", "<!DOCTYPE ROOT SYSTEM 'absent.dtd'><ROOT>&s;</ROOT>"},
#ifndef _WIN32  // no line break in a Windows file name
    {"path with a line break", "<ROOT>", true, "in\r\nput.xml"},
    {"missing path with a line break", "", false, "in\nput.xml"},
#endif
};

std::string Document(const Row& row, const std::string& root, const std::string& item) {
    std::string document = row.document;
    for (const auto& [name, text] : {std::pair{"ROOT", root}, std::pair{"ITEM", item}}) {
        for (size_t at; (at = document.find(name)) != std::string::npos;) {
            document.replace(at, 4, text);
        }
    }
    return document;
}

TEST(LoadFailureLineTest, TheReasonIsExactlyOneLine) {
    for (const Row& row : kRows) {
        for (const bool locations : {false, true}) {
            SCOPED_TRACE(row.name + (locations ? " --locations" : ""));
            TempDir dir;
            const std::string in = dir.File(row.file);
            const auto arguments = [&](std::vector<std::string> files) {
                if (locations) {
                    files.insert(files.begin(), "--locations");
                }
                return files;
            };
            if (row.written) {
                dir.Write(row.file, Document(row, "quillora", "menu"));
            }
            std::ostringstream conf;
            EXPECT_EQ(CConfCompiler(conf).Run(arguments({in, dir.File("out.pdb")})), 1);
            std::vector<std::string> lines = Lines(conf.str());
            ASSERT_EQ(lines.size(), 5u) << conf.str();
            EXPECT_EQ(lines[3], "[INFO] Не удается загрузить указанный документ ");
            EXPECT_TRUE(lines[4].rfind("[INFO] ", 0) == 0 ||
                        (locations && lines[4].rfind(ConsoleLine::Joined(in) + ":", 0) == 0))
                << lines[4];

            if (row.written) {
                dir.Write(row.file, Document(row, "palm-client", "exchange name='e' view='v'"));
            }
            std::vector<std::string> xdbArguments = arguments({in, dir.Path()});
            xdbArguments.insert(xdbArguments.begin(), "quilxdb");
            std::vector<const char*> argv;
            for (const std::string& argument : xdbArguments) {
                argv.push_back(argument.c_str());
            }
            std::ostringstream xdb;
            EXPECT_EQ(CExchangeCompiler::Run(argv, xdb), 1);
            lines = Lines(xdb.str());
            ASSERT_EQ(lines.size(), 6u) << xdb.str();
            EXPECT_NE(lines[2].find("Parse error at line "), std::string::npos) << lines[2];
            EXPECT_EQ(lines[3], "");
            EXPECT_EQ(lines[4].rfind("Parse result code: ", 0), 0u) << lines[4];
            EXPECT_EQ(lines[5], "");
            for (const std::string& output : {conf.str(), xdb.str()}) {
                EXPECT_EQ(output.find('\r'), std::string::npos) << output;
            }
            EXPECT_FALSE(dir.Exists("out.pdb"));
        }
    }
}

// An entity that expands past the bound, in either program: refused on one line.
TEST(LoadFailureLineTest, AnExpansionPastTheBoundIsOneLine) {
    TempDir dir;
    std::ostringstream conf;
    EXPECT_EQ(CConfCompiler(conf).Run({dir.Write("c.xml", EntityExpansion("quillora", 10))}), 1);
    const std::vector<std::string> lines = Lines(conf.str());
    ASSERT_EQ(lines.size(), 5u) << conf.str();
    EXPECT_EQ(lines[4].rfind("[INFO] Entity expansion exceeds 8388608 bytes, line 3", 0), 0u);

    const std::string path = dir.Write(
        "x.xml", EntityExpansion("palm-client", 1000, 1000, "<exchange name='e' view='v'><get>",
                                 "</get></exchange>"));
    const char* const argv[] = {"quilxdb", path.c_str()};
    std::ostringstream xdb;
    EXPECT_EQ(CExchangeCompiler::Run(argv, xdb), 1);
    EXPECT_EQ(Lines(xdb.str()).size(), 6u) << xdb.str();
}

}  // namespace
