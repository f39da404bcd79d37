// The command-line check of one expression: exact output and exit status for a few dozen
// expressions, the control id option, and nothing printed beyond the given stream.
#include <gtest/gtest.h>

#include <iostream>
#include <optional>
#include <sstream>
#include <string>

#include "ActionTestSupport.h"
#include "CExpressionCheck.h"

namespace {

struct Case {
    std::string_view expression;
    std::optional<std::string> controls;
    int status;
    std::string_view output;
};

// Warning lines: the message, one blank, the detail.
#define PARSE_FAILURE(expr, name)           \
    "[WARNING 3585] Ошибка разбора:  " expr \
    "\n"                                    \
    "[WARNING 3585] Неверное определение функции:  " name "\n"

const Case kCases[] = {
    {"OK()", std::nullopt, 0, "02 00 01 00\nOK()\n"},
    {"Exit(5)", std::nullopt, 0, "04 00 4A 00 05 00\nExit(5)\n"},
    {"OK(); Close()", std::nullopt, 0, "04 00 01 00 05 00\nOK(); Close()\n"},
    {"Report(\"x\")", std::nullopt, 0, "06 00 04 00 02 00 08 00\nstring 2: x\nReport(\"x\")\n"},
    {"", std::nullopt, 0, "00 00\n\n"},
    {" \t ", std::nullopt, 0, "00 00\n\n"},
    {"ok();", std::nullopt, 0, "02 00 01 00\nOK()\n"},
    {"Exit(5,)", std::nullopt, 0, "04 00 4A 00 05 00\nExit(5)\n"},
    {"Exit(-5)", std::nullopt, 0, "04 00 4A 00 FB FF\nExit(-5)\n"},
    {"Exit(-1)", std::nullopt, 0, "04 00 4A 00 FF FF\nExit(-1)\n"},
    {"Exit(65541)", std::nullopt, 0, "04 00 4A 00 05 00\nExit(5)\n"},
    {"Exit(4294967301)", std::nullopt, 0, "04 00 4A 00 05 00\nExit(5)\n"},
    {"Exit(-)", std::nullopt, 0, "04 00 4A 00 00 00\nExit(0)\n"},
    {"SetLayer(2)", std::nullopt, 0, "04 00 0A 00 02 00\nsetlayer(2)\n"},
    {"Report()", std::nullopt, 0, "02 00 04 00\nReport()\n"},
    {"Report(); Close()", std::nullopt, 0, "04 00 04 00 05 00\nReport(); Close()\n"},
    {"Exit(); OK()", std::nullopt, 0, "04 00 4A 00 01 00\nExit(1)\n"},
    // The reference after the short call could be read as arguments and calls; the split
    // that names the strings in their order is shown.
    {"Exit(); Report(\"r\"); Exit(3)", std::nullopt, 0,
     "0C 00 4A 00 04 00 02 00 08 00 4A 00 03 00\nstring 2: r\nExit(); Report(\"r\"); Exit(3)\n"},
    {"Exit();SetTableSql(\"a;b\", \"c,d\")", std::nullopt, 0,
     "0C 00 4A 00 08 00 02 00 08 00 08 00 08 00\nstring 2: a;b\nstring 8: c,d\n"
     "Exit(); SetTableSql(\"a;b\", \"c,d\")\n"},
    {"SetTableSql(\"a;b\", \"c,d\")", std::nullopt, 0,
     "0A 00 08 00 02 00 08 00 08 00 08 00\nstring 2: a;b\nstring 8: c,d\n"
     "SetTableSql(\"a;b\", \"c,d\")\n"},
    {"Report(\"Привет\")", std::nullopt, 0,
     "06 00 04 00 02 00 08 00\nstring 2: Привет\nReport(\"Привет\")\n"},
    {"Report(\"\")", std::nullopt, 0, "06 00 04 00 02 00 08 00\nstring 2: \nReport(\"\")\n"},
    {"GenerateRecordControls(1, 2, 3, 4, \"g\")", std::nullopt, 0,
     "0E 00 7E 00 01 00 02 00 03 00 04 00 02 00 08 00\nstring 2: g\n"
     "GenerateRecordControls(1, 2, 3, 4, \"g\")\n"},
    {"VelmoraTempTodo2()", std::nullopt, 0, "02 00 02 01\nVelmoraTempTodo2()\n"},
    {"SetFilterSQL(12, \"x\")", "5,7,12", 0,
     "08 00 62 00 02 00 02 00 08 00\nstring 2: x\nSetFilterSQL(12, \"x\")\n"},
    {"SetFilterSQL(99, \"x\")", "5,7,12", 0,
     "08 00 62 00 FF FF 02 00 08 00\nstring 2: x\nSetFilterSQL(0, \"x\")\n"},
    {"SetBezNDS(-5)", " 3 , -5 ", 0, "04 00 6E 00 01 00\nSetBezNDS(-5)\n"},
    {"SetBezNDS(-5)", "3,65531", 0, "04 00 6E 00 01 00\nSetBezNDS(-5)\n"},
    {"SetBezNDS(3)", "", 0, "04 00 6E 00 FF FF\nSetBezNDS(0)\n"},
    {"setfiltersql(12, \"x\")", std::nullopt, 0,
     "08 00 62 00 0C 00 02 00 08 00\nstring 2: x\nSetFilterSQL(#12, \"x\")\n"},
    {"SetFilterSQL(12, \"x\")", std::nullopt, 1,
     PARSE_FAILURE("SetFilterSQL(12, \"x\")", "SetFilterSQL")},
    {"Report(5)", std::nullopt, 1, PARSE_FAILURE("Report(5)", "Report")},
    {"OK(); Print(1)", std::nullopt, 1, PARSE_FAILURE("OK(); Print(1)", "Print")},
    {"Exit(,5)", std::nullopt, 1, PARSE_FAILURE("Exit(,5)", "Exit")},
    {"OK(", std::nullopt, 1, PARSE_FAILURE("OK(", "OK")},
    {";OK()", std::nullopt, 1, PARSE_FAILURE(";OK()", ";")},
    {"LoadColumnsNames()", std::nullopt, 1,
     PARSE_FAILURE("LoadColumnsNames()", "LoadColumnsNames")},
    {"OKAY()", std::nullopt, 1,
     "[WARNING 1] Неизвестная лексема:  AY()\n" PARSE_FAILURE("OKAY()", "")},
    {"Report(\"abc)", std::nullopt, 1,
     "[WARNING 1] Неизвестная лексема:  \"abc)\n" PARSE_FAILURE("Report(\"abc)", "")},
    {"Exit(1.5)", std::nullopt, 1,
     "[WARNING 1] Неизвестная лексема:  .5)\n" PARSE_FAILURE("Exit(1.5)", "")},
    {"OK();\nClose()", std::nullopt, 1,
     "[WARNING 1] Неизвестная лексема:   Close()\n" PARSE_FAILURE("OK(); Close()", "")},
    // A line break inside a string is shown as a blank: the output keeps its lines.
    {"PleaseWait(\"a\r\nb\")", std::nullopt, 0,
     "06 00 4D 00 02 00 08 00\nstring 2: a b\nPleaseWait(\"a b\")\n"},
    {"Отчёт()", std::nullopt, 1,
     "[WARNING 1] Неизвестная лексема:  Отчёт()\n" PARSE_FAILURE("Отчёт()", "")},
};

std::string RunCheck(std::string_view expression, const std::optional<std::string>& controls,
                     int& status) {
    std::ostringstream out;
    status = CExpressionCheck::Run(expression, controls, out);
    return out.str();
}

TEST(CExpressionCheckTest, PrintsCodeStringsAndDisassemblyOrTheWarnings) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.expression);
        int status = -1;
        EXPECT_EQ(RunCheck(c.expression, c.controls, status), c.output);
        EXPECT_EQ(status, c.status);
    }
}

// The disassembly compiles back to the same code and strings (with a control list it names
// controls by id), unless it names a control by index.
TEST(CExpressionCheckTest, TheDisassemblyCompilesBack) {
    for (const Case& c : kCases) {
        if (c.status != 0 || c.output.find('#') != std::string_view::npos) {
            continue;
        }
        SCOPED_TRACE(c.expression);
        int status = -1;
        const std::string first = RunCheck(c.expression, c.controls, status);
        const size_t lastLine = first.rfind('\n', first.size() - 2) + 1;
        const std::string shown = first.substr(lastLine, first.size() - 1 - lastLine);
        EXPECT_EQ(RunCheck(shown, c.controls, status), first);
        EXPECT_EQ(status, 0);
    }
}

TEST(CExpressionCheckTest, StartsFromAnEmptyPoolEachTime) {
    CapturedLog other;
    other.Pool().AddString("left over");
    int status = -1;
    const std::string first = RunCheck("Report(\"x\")", std::nullopt, status);
    EXPECT_EQ(first, "06 00 04 00 02 00 08 00\nstring 2: x\nReport(\"x\")\n");
    EXPECT_EQ(RunCheck("Report(\"x\")", std::nullopt, status), first);
}

TEST(CExpressionCheckTest, UnmappableCharactersBecomeQuestionMarks) {
    int status = -1;
    EXPECT_EQ(RunCheck("Report(\"a😀b\")", std::nullopt, status),
              "06 00 04 00 02 00 08 00\nstring 2: a?b\nReport(\"a?b\")\n");
    EXPECT_EQ(status, 0);
}

TEST(CExpressionCheckTest, AFaultyControlListIsAUsageError) {
    for (const std::string controls :
         {"a", "1,,2", ",", "1,", "70000", "-32769", "1;2", "- 1", "1 2", "0x10", "-"}) {
        SCOPED_TRACE(controls);
        int status = -1;
        const std::string output = RunCheck("OK()", controls, status);
        EXPECT_EQ(status, 2);
        EXPECT_EQ(output.rfind("[ERROR 0] Неверный список --controls", 0), 0u) << output;
        EXPECT_EQ(output.find('\n'), output.size() - 1);
    }
}

TEST(CExpressionCheckTest, ControlIdsAreParsedIntoTheirLowSixteenBits) {
    std::vector<int16_t> ids;
    std::string error;
    ASSERT_TRUE(CExpressionCheck::ParseControlIds(" 1, -2 ,65535,-32768,32767", ids, error));
    EXPECT_EQ(ids, (std::vector<int16_t>{1, -2, -1, -32768, 32767}));
    ASSERT_TRUE(CExpressionCheck::ParseControlIds("", ids, error));
    EXPECT_TRUE(ids.empty());
    EXPECT_FALSE(CExpressionCheck::ParseControlIds("1,x", ids, error));
    EXPECT_NE(error.find("2"), std::string::npos);  // names the item
    EXPECT_FALSE(CExpressionCheck::ParseControlIds("99999999999999999999", ids, error));
}

TEST(CExpressionCheckTest, NothingGoesAnywhereButTheGivenStream) {
    std::ostringstream before;
    std::streambuf* const standard = std::cout.rdbuf(before.rdbuf());
    std::ostringstream out;
    CExpressionCheck::Run("OKAY", std::nullopt, out);
    std::cout.rdbuf(standard);
    EXPECT_EQ(before.str(), "");
    EXPECT_NE(out.str(), "");
}

TEST(CExpressionCheckTest, HexBytesAreUpperCaseAndBlankSeparated) {
    const uint8_t bytes[] = {0x00, 0x0A, 0xAB, 0xFF};
    EXPECT_EQ(CExpressionCheck::HexBytes(bytes, 4), "00 0A AB FF");
    EXPECT_EQ(CExpressionCheck::HexBytes(bytes, 0), "");
}

}  // namespace
