// `quilconf --functions` in its three formats, read back and compared with the catalogue's
// own table: every function once, in id order, with its argument kinds and block size.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "CConfCompiler.h"
#include "CFunctionCatalogue.h"
#include "CFunctionList.h"
#include "TextLines.h"

namespace {

using Catalogue = CFunctionCatalogue;

std::string Listed(const std::vector<std::string>& args, int& status) {
    std::ostringstream out;
    status = CConfCompiler(out).Run(args);
    return out.str();
}

TEST(FunctionListTest, JsonHoldsEveryFunctionWithItsKinds) {
    int status = -1;
    const nlohmann::json list = nlohmann::json::parse(Listed({"--functions", "--json"}, status));
    EXPECT_EQ(status, 0);
    const auto functions = Catalogue::Functions();
    ASSERT_EQ(list.size(), functions.size());
    for (size_t i = 0; i < functions.size(); ++i) {
        const Catalogue::Function& function = functions[i];
        nlohmann::json kinds = nlohmann::json::array();
        for (size_t n = 0; n < Catalogue::ArgumentCount(function); ++n) {
            kinds.push_back(CFunctionList::KindKey(Catalogue::Kind(function, n)));
        }
        EXPECT_EQ(list[i], (nlohmann::json{{"id", function.id},
                                           {"name", function.name},
                                           {"arguments", kinds},
                                           {"block", Catalogue::BlockSize(function)},
                                           {"description", function.description}}));
        EXPECT_FALSE(function.description.empty()) << function.name;
    }
}

TEST(FunctionListTest, MarkdownAndConsoleRowsFollowTheCatalogue) {
    int status = -1;
    const std::vector<std::string> markdown = Lines(Listed({"--functions", "--markdown"}, status));
    EXPECT_EQ(status, 0);
    const std::vector<std::string> console = Lines(Listed({"--functions"}, status));
    EXPECT_EQ(status, 0);
    const auto functions = Catalogue::Functions();
    ASSERT_EQ(markdown.size(), functions.size() + 2);  // the head and its rule
    ASSERT_EQ(console.size(), functions.size() + 3);   // two lines of legend, the head
    for (size_t i = 0; i < functions.size(); ++i) {
        const Catalogue::Function& function = functions[i];
        const std::string arguments = CFunctionList::Arguments(function);
        EXPECT_EQ(markdown[i + 2], "| " + std::to_string(function.id) + " | `" +
                                       std::string(function.name) + "` | " + arguments + " | " +
                                       std::to_string(Catalogue::BlockSize(function)) + " | " +
                                       std::string(function.description) + " |");
        const std::string call =
            std::string(function.name) + "(" + (arguments == "-" ? "" : arguments) + ")";
        const std::string& line = console[i + 3];
        EXPECT_EQ(std::stoi(line.substr(0, 4)), function.id) << line;
        EXPECT_EQ(line.substr(6, call.size()), call) << line;
    }
}

TEST(FunctionListTest, AnotherFormatIsAWrongCall) {
    int status = -1;
    EXPECT_EQ(Listed({"--functions", "--xml"}, status),
              "[ERROR 0] Синтаксис: quilconf --functions [--json | --markdown]\n");
    EXPECT_EQ(status, 2);
    Listed({"--functions", "--json", "--markdown"}, status);
    EXPECT_EQ(status, 2);
}

}  // namespace
