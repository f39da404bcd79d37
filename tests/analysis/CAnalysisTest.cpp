// The document analysis: each semantic check finds its mistake at the place of the mistake,
// and the documents the suite compiles without a warning give no finding at all.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "CAnalysis.h"
#include "CLintCommand.h"
#include "TempDir.h"

namespace {

// A small configuration that compiles without a warning; the rows below each put one mistake
// in it. Line numbers in the rows count from 1 at "<?xml".
const std::string kBase = R"~(<?xml version="1.0" encoding="UTF-8"?>
<quillora name="T" screenWidth="160" screenHeight="160">
<menu name="Main"><menuitem title="Заказы" func='OpenJournal("Orders", "Список")'/></menu>
<journal name="Orders" view="Orders">
<data><jrndocument name="Order"/></data>
<forms><form name="Список" layers="1" menuname="Main" firstNav="1"><controls>
<control type="table" id="1"><layout x="0" y="0" w="160" h="100" down="2"/><tableattrs font="0"/></control>
<control type="button" id="2"><layout x="0" y="110" w="50" h="16" up="1"/><buttonattrs type="text"><text text="Новый" font="stdFont"/></buttonattrs>
<events><event type="select" func="SetCurrentDateTime(1)"/></events></control>
</controls></form></forms>
</journal>
<document name="Order" view="Order" prefix="O">
<data><database name="QL_Orders"/></data>
<inheritances><inheritance name="Order"/></inheritances>
<entries><entry name="docDate" type="field" dbtype="DATE" view="Date"/></entries>
<forms><form name="Card" layers="1" firstNav="1"><controls>
<control type="datetime" id="1" entry="docDate"><layout x="0" y="0" w="100" h="12"/><datetimeattrs title="Date"/></control>
</controls></form></forms>
</document>
<reference name="Clients" view="Clients">
<data><database name="QL_Clients"/></data>
<entries><entry name="name" type="field" dbtype="TEXT" view="Name"/></entries>
<forms><form name="List" layers="1"><controls>
<control type="table" id="1"><layout x="0" y="0" w="160" h="100"/><tableattrs font="0"/></control>
</controls></form></forms>
</reference>
</quillora>
)~";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// The findings as lines "LINE:COLUMN CODE" (1-based, columns in UTF-16 units).
std::vector<std::string> Found(const CAnalysis& analysis) {
    std::vector<std::string> found;
    for (const SFinding& finding : analysis.Findings()) {
        found.push_back(std::to_string(finding.range.start.line + 1) + ":" +
                        std::to_string(finding.range.start.character + 1) + " " + finding.code);
    }
    return found;
}

std::string ReadSource(const std::string& path) {
    std::ifstream in(QUIL_SOURCE_DIR "/" + path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(CAnalysisTest, EachCheckFindsItsMistakeAtItsPlace) {
    struct Row {
        std::string from;
        std::string to;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {R"~(entry="docDate")~", R"~(entry="docDateX")~", {"17:40 L1"}},
        {R"~(menuname="Main")~", R"~(menuname="nomenu")~", {"6:49 L2"}},
        {R"~(layers="1" menuname="Main" firstNav="1")~",
         R"~(layers="1" menuname="Main" firstNav="9")~",
         {"6:65 L3"}},
        {R"~(down="2")~", R"~(down="7")~", {"7:72 L3"}},
        // The second id 1; the first control's `down` now names no control.
        {R"~(type="button" id="2")~", R"~(type="button" id="1")~", {"8:28 L4", "7:72 L3"}},
        {R"~(SetCurrentDateTime(1))~", R"~(SetCurrentDateTime(5))~", {"9:55 L5"}},
        {R"~(SetCurrentDateTime(1))~", R"~(SetCurrentDatetime(1))~", {"9:36 L6"}},
        {R"~(OpenJournal("Orders")~", R"~(OpenJournal("Ordrs")~", {"3:63 L7"}},
        {R"~("Список")')~", R"~("Спсок")')~", {"3:73 L8"}},
        // A character beyond the BMP is two code units.
        {R"~(Заказы" func='OpenJournal("Orders")~",
         R"~(Заказы😀" func='OpenJournal("Ordrs")~",
         {"3:65 L7"}},
        {R"~(jrndocument name="Order")~", R"~(jrndocument name="Ordr")~", {"5:26 L9"}},
        {R"~(inheritance name="Order")~", R"~(inheritance name="Nothing")~", {"14:34 L10"}},
        {R"~(view="Name"/>)~", R"~(view="Name"/><entry name="Name" view="N"/>)~", {"22:82 L11"}},
        {R"~(<layout x="0" y="0" w="100")~", R"~(<layout x="80" y="0" w="100")~", {"17:49 L12"}},
        {R"~(y="110")~", R"~(y="90")~", {"8:31 L13"}},
        {R"~(<events><event type="select" func="SetCurrentDateTime(1)"/></events>)~",
         R"~(<evnts><event type="select" func="SetCurrentDateTime(1)"/></evnts>)~",
         {"9:2 L14"}},
        {R"~(menuname="Main")~", R"~(menuName="Main")~", {"6:39 L15"}},
        {R"~(font="stdFont")~", R"~(font="stdfnt")~", {"8:125 L16"}},
        {R"~(w="100" h="12"/>)~", R"~(w="100" h="12" layer="2"/>)~", {"17:91 L17"}},
        // The compiler's own messages keep their codes, on the attribute they quote.
        {R"~(func="SetCurrentDateTime(1)")~",
         R"~(func="SetCurrentDateTime(1")~",
         {"9:36 772", "9:36 772"}},
    };
    EXPECT_EQ(Found(CAnalysis::Run(kBase, "base.xml")), std::vector<std::string>{});
    for (const Row& row : rows) {
        const CAnalysis analysis = CAnalysis::Run(Replaced(kBase, row.from, row.to), "t.xml");
        EXPECT_TRUE(analysis.Loaded());
        EXPECT_EQ(Found(analysis), row.expected) << row.to;
    }
}

TEST(CAnalysisTest, WarningFreeDocumentsGiveNoFinding) {
    const std::string examples[] = {"examples/configuration.xml", "examples/exchange.xml"};
    for (const std::string& path : examples) {
        const CAnalysis analysis = CAnalysis::Run(ReadSource(path), path);
        EXPECT_TRUE(analysis.Loaded()) << path;
        EXPECT_EQ(Found(analysis), std::vector<std::string>{}) << path;
    }
}

namespace {

const char* KindText(ENameKind kind) {
    static const char* const kNames[] = {"entry",     "menu",  "control",    "document", "journal",
                                         "reference", "frame", "recordview", "form"};
    return kNames[static_cast<int>(kind)];
}

// Names as "KIND NAME SCOPE LINE:COLUMN def|use".
std::vector<std::string> NameLines(const CAnalysis& analysis) {
    std::vector<std::string> lines;
    for (const SNameUse& use : analysis.Names()) {
        lines.push_back(std::string(KindText(use.kind)) + " " + use.name + " " + use.scope + " " +
                        std::to_string(use.range.start.line + 1) + ":" +
                        std::to_string(use.range.start.character + 1) + "-" +
                        std::to_string(use.range.end.character + 1) +
                        (use.definition ? " def" : " use"));
    }
    return lines;
}

// The outline as indented "NAME (DETAIL) LINE-LINE".
void Outline(const std::vector<SSymbol>& symbols, const std::string& indent,
             std::vector<std::string>& lines) {
    for (const SSymbol& symbol : symbols) {
        lines.push_back(indent + symbol.name + " (" + symbol.detail + ") " +
                        std::to_string(symbol.range.start.line + 1) + "-" +
                        std::to_string(symbol.range.end.line + 1));
        Outline(symbol.children, indent + "  ", lines);
    }
}

}  // namespace

TEST(CAnalysisTest, NamesAndOutline) {
    const CAnalysis analysis = CAnalysis::Run(kBase, "base.xml");
    const std::vector<std::string> names = {
        "menu Main  3:13-17 def",
        "journal Orders  4:16-22 def",
        "document Order  5:26-31 use",
        "form Список journal:Orders 6:20-26 def",
        "menu Main  6:49-53 use",
        "control 1 journal:Orders/Список 7:27-28 def",
        "control 2 journal:Orders/Список 7:72-73 use",
        "control 2 journal:Orders/Список 8:28-29 def",
        "control 1 journal:Orders/Список 8:71-72 use",
        "control 1 journal:Orders/Список 6:65-66 use",
        "document Order  12:17-22 def",
        "entry docDate document:Order 15:23-30 def",
        "document Order  14:34-39 use",
        "form Card document:Order 16:20-24 def",
        "control 1 document:Order/Card 17:30-31 def",
        "entry docDate document:Order 17:40-47 use",
        "control 1 document:Order/Card 16:47-48 use",
        "reference Clients  20:18-25 def",
        "entry name reference:Clients 22:23-27 def",
        "form List reference:Clients 23:20-24 def",
        "control 1 reference:Clients/List 24:27-28 def",
        "journal Orders  3:63-69 use",
        "form Список journal:Orders 3:73-79 use",
        "control 1 journal:Orders/Список 9:55-56 use",
    };
    EXPECT_EQ(NameLines(analysis), names);
    std::vector<std::string> outline;
    Outline(analysis.Symbols(), "", outline);
    const std::vector<std::string> expected = {
        "Main () 3-3",
        "  Заказы (menuitem) 3-3",
        "Orders (Orders) 4-11",
        "  Список () 6-10",
        "    1 (table #0) 7-7",
        "    2 (button #1) 8-9",
        "Order (Order) 12-19",
        "  docDate (field) 15-15",
        "  Card () 16-18",
        "    1 (datetime #0) 17-17",
        "Clients (Clients) 20-26",
        "  name (field) 22-22",
        "  List () 23-25",
        "    1 (table #0) 24-24",
    };
    EXPECT_EQ(outline, expected);
}

}  // namespace
