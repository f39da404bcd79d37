// quilconf --lint: the findings on the console in the form of --locations (with the column),
// or as JSON, and the exit statuses; no database is written.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "CLintCommand.h"
#include "TempDir.h"

namespace {

const std::string kSections =
    "<journal name='j' view='v'><data><jrndocument name='d'/></data></journal>\n"
    "<document name='d' view='v' prefix='p'><data><database name='D'/></data>\n"
    "<entries><entry name='x'/></entries><forms><form name='f' menuname='none'>\n"
    "<controls/></form></forms></document>\n"
    "<reference name='r' view='v'><data><database name='R'/></data></reference>\n";

TEST(CLintCommandTest, PrintsTheFindingsAndEndsWithTheStatus) {
    struct Row {
        std::string name;
        std::string document;  // written to IN; none when empty
        std::vector<std::string> arguments;
        int status;
        std::string output;  // IN stands for the file's path
    };
    const Row rows[] = {
        {"a warning of a check",
         "<quillora>\n<menu name='m'><menuitem title='a'/></menu>\n" + kSections + "</quillora>\n",
         {"--lint", "IN"},
         0,
         "IN:5:69: [WARNING L2] menuname `none` names no menu; the form shows no menu\n"},
        {"the option after the file",
         "<quillora><menu name='m'><menuitem title='a'/></menu>" + kSections + "</quillora>",
         {"IN", "--lint"},
         0,
         "IN:3:69: [WARNING L2] menuname `none` names no menu; the form shows no menu\n"},
        {"not well-formed",
         "<quillora>\n<menu>\n</quillora>\n",
         {"--lint", "IN"},
         1,
         "IN:3:1: [ERROR] Opening and ending tag mismatch: menu line 2 and quillora, line 3, "
         "column 12\n"},
        {"no such file", "", {"--lint", "IN"}, 1, "IN:1:1: [ERROR] Не удается прочитать файл\n"},
        {"a failed mandatory section",
         "<quillora name='t'>\n<menu name='m'/>\n</quillora>\n",
         {"--lint", "IN"},
         255,
         "IN:1:1: [ERROR] Критическая ошибка чтения описания журналов документов\n"},
        {"an exchange description",
         "<palm-client>\n<exchange name='a' view='b'>\n<post><bogus/></post>\n</exchange>\n"
         "</palm-client>\n",
         {"--lint", "IN"},
         255,
         "IN:3:7: [ERROR] XML validation error: bogus\n"},
        {"two files",
         "",
         {"--lint", "IN", "IN"},
         2,
         "[ERROR 0] Синтаксис: quilconf --lint [--json] ФАЙЛ_КОНФИГУРАЦИИ\n"},
    };
    for (const Row& row : rows) {
        TempDir dir;
        const std::string path = dir.File("in.xml");
        if (!row.document.empty()) {
            dir.Write("in.xml", row.document);
        }
        std::vector<std::string> arguments;
        for (const std::string& argument : row.arguments) {
            arguments.push_back(argument == "IN" ? path : argument);
        }
        std::ostringstream out;
        EXPECT_EQ(CLintCommand::Run(arguments, out), row.status) << row.name;
        std::string expected = row.output;
        for (size_t at; (at = expected.find("IN:")) != std::string::npos;) {
            expected.replace(at, 2, path);
        }
        EXPECT_EQ(out.str(), expected) << row.name;
        EXPECT_EQ(dir.EntryCount(), row.document.empty() ? 0u : 1u) << row.name;
    }
}

TEST(CLintCommandTest, JsonHoldsTheSameFindings) {
    TempDir dir;
    dir.Write("in.xml", "<quillora>\n<menu name='m'><menuitem title='a'/></menu>\n" + kSections +
                            "</quillora>\n");
    std::ostringstream out;
    ASSERT_EQ(CLintCommand::Run({"--lint", "--json", dir.File("in.xml")}, out), 0);
    const nlohmann::json expected = nlohmann::json::array({{
        {"file", dir.File("in.xml")},
        {"range",
         {{"start", {{"line", 4}, {"character", 68}}}, {"end", {{"line", 4}, {"character", 72}}}}},
        {"severity", "warning"},
        {"code", "L2"},
        {"source", "quil-lint"},
        {"message", "menuname `none` names no menu; the form shows no menu"},
    }});
    EXPECT_EQ(nlohmann::json::parse(out.str()), expected);
}

}  // namespace
