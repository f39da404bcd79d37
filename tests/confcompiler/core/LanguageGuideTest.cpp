// The keyword and limit tables of the language guide (doc/language.md) against the compiler:
// every row's code is what the compiler gives for its word, and every word the compiler
// knows has its row.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "CControl.h"
#include "CControlReader.h"
#include "CEntry.h"
#include "CEntryReader.h"
#include "CFormReader.h"
#include "CListEntry.h"
#include "CMenuReader.h"
#include "ControlKeywords.h"
#include "CqlDataSource.h"
#include "CqlMenu.h"

namespace {

std::string Guide() {
    std::ifstream in(std::string(QUIL_SOURCE_DIR) + "/doc/language.md", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The first two cells of each body row of the table that follows `<!-- marker -->`, the
// first cell without its backquotes.
std::vector<std::pair<std::string, std::string>> Rows(const std::string& guide,
                                                      const std::string& marker) {
    std::vector<std::pair<std::string, std::string>> rows;
    std::istringstream in(guide.substr(guide.find("<!-- " + marker + " -->\n")));
    std::string line;
    std::getline(in, line);  // the marker
    std::getline(in, line);  // the head
    std::getline(in, line);  // its rule
    while (std::getline(in, line) && line.rfind("| ", 0) == 0) {
        std::vector<std::string> cells;
        std::istringstream row(line.substr(2));
        for (std::string cell; std::getline(row, cell, '|');) {
            cells.push_back(
                cell.substr(0, cell.find_last_not_of(' ') + 1).substr(cell.find_first_not_of(' ')));
        }
        std::string word = cells.at(0);
        if (word.size() > 2 && word.front() == '`' && word.back() == '`') {
            word = word.substr(1, word.size() - 2);
        }
        rows.emplace_back(word, cells.at(1));
    }
    return rows;
}

struct KeywordTable {
    std::string marker;
    std::function<int(const std::string&)> code;
    size_t words;  // how many words the compiler knows
};

TEST(LanguageGuideTest, KeywordTablesGiveTheCompilersCodes) {
    const std::string guide = Guide();
    ASSERT_FALSE(guide.empty());
    size_t fonts = 0;
    for (int id = 0; id < 256; ++id) {
        fonts += ControlKeywords::FontName(static_cast<uint16_t>(id)).empty() ? 0 : 1;
    }
    const std::vector<KeywordTable> tables = {
        {"keywords: control type",
         [](const std::string& w) { return ControlKeywords::TypeCode(w); }, 10},
        {"keywords: font", [](const std::string& w) { return ControlKeywords::FontId(w); }, fonts},
        {"keywords: alignment", [](const std::string& w) { return ControlKeywords::Alignment(w); },
         3},
        {"keywords: button content",
         [](const std::string& w) { return ControlKeywords::ContentKind(w); }, 2},
        {"keywords: frame", [](const std::string& w) { return ControlKeywords::FrameType(0, w); },
         4},
        {"keywords: event",
         [](const std::string& w) {
             for (size_t offset = 0; offset < 68; ++offset) {
                 if (ControlKeywords::EventName(offset) == w) {
                     return static_cast<int>(offset);
                 }
             }
             return -1;
         },
         7},
        {"keywords: resize", [](const std::string& w) { return ControlKeywords::ResizeFlags(w); },
         4},
        {"keywords: entry type", [](const std::string& w) { return CEntry::TypeCode(w); }, 6},
        {"keywords: dbtype", [](const std::string& w) { return CEntry::DbTypeCode(w); }, 6},
        {"keywords: datasource", [](const std::string& w) { return CqlDataSource::KindCode(w); },
         4},
    };
    for (const KeywordTable& table : tables) {
        const auto rows = Rows(guide, table.marker);
        EXPECT_EQ(rows.size(), table.words) << table.marker;
        for (const auto& [word, code] : rows) {
            EXPECT_EQ(std::to_string(table.code(word)), code) << table.marker << ": " << word;
        }
    }
    for (uint16_t code = 0; code < 32; ++code) {
        const std::string_view name = ControlKeywords::TypeName(code);
        EXPECT_TRUE(name.empty() || guide.find("| `" + std::string(name) + "` | " +
                                               std::to_string(code) + " |") != std::string::npos)
            << name;
    }
}

TEST(LanguageGuideTest, LimitsAreTheCompilersLimits) {
    const std::map<std::string, size_t> limits = {
        {"меню в конфигурации", CMenuReader::kMaxMenus},
        {"пунктов в одном меню", CqlMenu::kMaxItems},
        {"полей в одном `entries`", CEntryReader::kMaxEntries},
        {"имен полей одной группы (не-таблицы, таблицы) в объекте", CListEntry::kGroupLimit},
        {"байт в имени поля в списке имен", CListEntry::kNameLimit},
        {"элементов в форме и во всех формах объекта", CControlReader::kMaxControls},
        {"форм в объекте", CFormReader::kMaxForms},
        {"пунктов в одном `formmenu`", CControl::kMaxItems},
    };
    const auto rows = Rows(Guide(), "limits");
    ASSERT_EQ(rows.size(), limits.size());
    for (const auto& [what, value] : rows) {
        ASSERT_EQ(limits.count(what), 1u) << what;
        EXPECT_EQ(value, std::to_string(limits.at(what))) << what;
    }
}

}  // namespace
