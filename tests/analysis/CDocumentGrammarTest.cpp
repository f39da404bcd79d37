// The grammar holds every name the readers ask the document for, and its keywords are the
// compiler's.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

#include "CControl.h"
#include "CDocumentGrammar.h"
#include "ControlKeywords.h"

namespace {

// The names the reader sources pass to the document's lookups (elements and attributes).
std::set<std::string> NamesTheReadersRead() {
    const std::regex lookup(
        R"re((GetAttribute\w*|FindChild|FindNode|FindNextSibling|FindEvent|ReadAction)\((?:[^;"]*?),\s*"(\w+)")re");
    std::set<std::string> names;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(QUIL_SOURCE_DIR "/confcompiler")) {
        if (entry.path().extension() != ".cpp") {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        for (std::sregex_iterator match(text.begin(), text.end(), lookup), end; match != end;
             ++match) {
            names.insert((*match)[2]);
        }
    }
    return names;
}

TEST(CDocumentGrammarTest, HoldsEveryNameTheReadersRead) {
    std::set<std::string> grammar;
    for (const CDocumentGrammar::Element& element : CDocumentGrammar::Elements()) {
        grammar.insert(std::string(element.name));
        grammar.insert(element.attributes.begin(), element.attributes.end());
    }
    const std::set<std::string> read = NamesTheReadersRead();
    EXPECT_GT(read.size(), 50u);
    std::set<std::string> missing;
    for (const std::string& name : read) {
        if (!grammar.contains(name)) {
            missing.insert(name);
        }
    }
    EXPECT_EQ(missing, std::set<std::string>{});
}

TEST(CDocumentGrammarTest, PlacesKeywordsAndSuggestions) {
    struct Row {
        std::string element, parent;
        bool known;
    };
    const Row rows[] = {
        {"quillora", "", true},       {"Control", "controls", true}, {"item", "items", true},
        {"item", "datasource", true}, {"item", "controls", false},   {"open", "acts", true},
        {"events", "form", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CDocumentGrammar::Find(row.element, row.parent) != nullptr, row.known)
            << row.element << " in " << row.parent;
    }
    const CDocumentGrammar::Keywords* fonts = CDocumentGrammar::KeywordsOf("staticattrs", "font");
    ASSERT_NE(fonts, nullptr);
    EXPECT_EQ(fonts->values, ControlKeywords::FontNames());
    const CDocumentGrammar::Keywords* resize = CDocumentGrammar::KeywordsOf("layout", "resize");
    ASSERT_NE(resize, nullptr);
    EXPECT_TRUE(CDocumentGrammar::Accepts(*resize, "stretchX movey"));
    EXPECT_FALSE(CDocumentGrammar::Accepts(*resize, "stretchx moevy"));
    EXPECT_TRUE(CDocumentGrammar::Accepts(*resize, "вертрастягивание"));
    EXPECT_EQ(CDocumentGrammar::Nearest("menuName", {"name", "menuname", "layers"}), "menuname");
    EXPECT_EQ(CDocumentGrammar::Nearest("colour", {"name", "menuname"}), "");
}

}  // namespace
