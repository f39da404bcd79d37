// The expression compiler: worked examples, syntax, numbers, strings, control translation,
// limits, the function name after a failure, and the order of pool entries.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "ActionTestSupport.h"
#include "CListControl.h"
#include "CParser.h"

namespace {

// The log line is the message, one blank, then the detail (the rest of the text).
const std::string kUnknown = "[WARNING 1] Неизвестная лексема: " + std::string(" ");

// The pool a successful compilation of string-free code leaves: the code as its only entry.
Bytes OnlyCode(const Bytes& code) {
    return Cat({EmptyPool(), Entry(code)});
}

void ExpectCode(std::string_view text, const Bytes& code, const CListControl* controls = nullptr) {
    SCOPED_TRACE(text);
    const Compiled compiled = CompileFresh(text, controls);
    ASSERT_EQ(compiled.status, 0);
    EXPECT_EQ(compiled.reference, 0x00080002u);
    EXPECT_EQ(compiled.pool, OnlyCode(code));
    EXPECT_EQ(compiled.log, "");
}

void ExpectSilentFailure(std::string_view text, std::string_view name,
                         const CListControl* controls = nullptr) {
    SCOPED_TRACE(text);
    const Compiled compiled = CompileFresh(text, controls);
    EXPECT_EQ(compiled.status, 1);
    EXPECT_EQ(compiled.reference, 0u);
    EXPECT_EQ(compiled.name, name);
    EXPECT_EQ(compiled.log, "");
}

void ExpectLexicalFailure(std::string_view text, std::string_view rest) {
    SCOPED_TRACE(text);
    const Compiled compiled = CompileFresh(text);
    EXPECT_EQ(compiled.status, 1);
    EXPECT_EQ(compiled.reference, 0u);
    EXPECT_EQ(compiled.name, "");
    EXPECT_EQ(compiled.log, kUnknown + std::string(rest) + "\n");
    EXPECT_EQ(compiled.pool, EmptyPool());
}

TEST(CParserWorkedExamplesTest, BytesAsDocumented) {
    ExpectCode("OK()", {0x02, 0x00, 0x01, 0x00});
    ExpectCode("Exit(5)", {0x04, 0x00, 0x4A, 0x00, 0x05, 0x00});
    ExpectCode("OK(); Close()", {0x04, 0x00, 0x01, 0x00, 0x05, 0x00});
    const Compiled report = CompileFresh("Report(\"x\")");
    ASSERT_EQ(report.status, 0);
    // "x" first (offset 2), then the code (offset 6) referring to it.
    EXPECT_EQ(report.reference, 0x00080006u);
    EXPECT_EQ(report.pool,
              Cat({EmptyPool(), TextEntry("x"), Entry(Cat({{0x06, 0x00, 0x04, 0x00}, Ref(2)}))}));
}

TEST(CParserSyntaxTest, EmptyAndBlankExpressionsCompileToAnEmptyProgram) {
    for (std::string_view text : {"", " ", "\t", " \t  \t"}) {
        ExpectCode(text, {0x00, 0x00});
    }
}

TEST(CParserSyntaxTest, SemicolonsBetweenCallsAndOneAtTheEnd) {
    ExpectCode("OK();", {0x02, 0x00, 0x01, 0x00});
    ExpectCode("OK() ; Close() ;", {0x04, 0x00, 0x01, 0x00, 0x05, 0x00});
    ExpectCode("OK();Cancel();Print()", {0x06, 0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00});
    ExpectSilentFailure(";OK()", ";");
    ExpectSilentFailure(";", ";");
    ExpectSilentFailure("OK();;Close()", ";");
    ExpectSilentFailure("OK() Close()", "OK");
    ExpectSilentFailure("OK(), Close()", "OK");
}

TEST(CParserSyntaxTest, TrailingCommaIsAcceptedLeadingOrDoubleIsNot) {
    ExpectCode("Exit(5,)", {0x04, 0x00, 0x4A, 0x00, 0x05, 0x00});
    ExpectCode("Exit( 5 , )", {0x04, 0x00, 0x4A, 0x00, 0x05, 0x00});
    ExpectSilentFailure("Exit(,5)", "Exit");
    ExpectSilentFailure("Exit(5,,)", "Exit");
    ExpectSilentFailure("Exit(,)", "Exit");
    ExpectSilentFailure("Exit(5 6)", "Exit");
}

TEST(CParserSyntaxTest, TextEndingInsideACallFails) {
    ExpectSilentFailure("OK(", "OK");
    ExpectSilentFailure("OK", "OK");
    ExpectSilentFailure("Exit(5,", "Exit");
    ExpectSilentFailure("Exit(5", "Exit");
    ExpectSilentFailure("OK(); Exit(", "Exit");
    ExpectSilentFailure("OK)", "OK");
    ExpectSilentFailure("OK(()", "OK");
}

TEST(CParserSyntaxTest, OnlyCallableNamesStandInFunctionPosition) {
    ExpectSilentFailure("LoadColumnsNames()", "LoadColumnsNames");
    ExpectSilentFailure("5()", "5");
    ExpectSilentFailure("\"OK\"()", "\"OK\"");
    ExpectSilentFailure("()", "(");
    ExpectSilentFailure("OK(LoadColumnsNames)", "OK");
    ExpectSilentFailure("Report(OK)", "Report");
}

TEST(CParserSyntaxTest, NamesIgnoreLetterCaseOnlyForLookup) {
    ExpectCode("ok()", {0x02, 0x00, 0x01, 0x00});
    ExpectCode("oK()", {0x02, 0x00, 0x01, 0x00});
    ExpectCode("SetLayer(2)", {0x04, 0x00, 0x0A, 0x00, 0x02, 0x00});
    ExpectCode("DISCOUNT()", {0x02, 0x00, 0x25, 0x00});
}

TEST(CParserSyntaxTest, NamesAreReadByTheLongestCatalogueName) {
    // OKAY is OK followed by something that is no lexeme.
    ExpectLexicalFailure("OKAY()", "AY()");
    ExpectLexicalFailure("okay()", "ay()");
    // Report1 is one name (a control function); never Report followed by 1.
    ExpectSilentFailure("Report1(\"x\")", "Report1");
    ExpectCode("TblRedrawCurrentRecord()", {0x02, 0x00, 0x3A, 0x00});
    ExpectCode("NewDocument1(3)", {0x04, 0x00, 0xB9, 0x00, 0x03, 0x00});
    ExpectCode("NewDocument()", {0x02, 0x00, 0xB1, 0x00});
    // A name runs into the next name or number without a separator.
    ExpectSilentFailure("Exit5", "Exit");
    ExpectSilentFailure("OKClose()", "OK");
}

TEST(CParserSyntaxTest, StringAndArgumentSlotsMustMatch) {
    ExpectSilentFailure("Report(5)", "Report");
    ExpectCode("Report()", {0x02, 0x00, 0x04, 0x00});
    ExpectSilentFailure("SetUnsetFilter(3)", "SetUnsetFilter");
    ExpectCode("SetUnsetFilter()", {0x02, 0x00, 0x16, 0x00});
    ExpectSilentFailure("Exit(\"5\")", "Exit");
}

TEST(CParserSyntaxTest, ShortCallsKeepOnlyTheArgumentsGiven) {
    // Nothing is added for the slots left out, and nothing is printed.
    ExpectCode("Report()", {0x02, 0x00, 0x04, 0x00});
    ExpectCode("Exit()", {0x02, 0x00, 0x4A, 0x00});
    ExpectCode("OK(); Report(); Close()", {0x06, 0x00, 0x01, 0x00, 0x04, 0x00, 0x05, 0x00});
    ExpectCode("SetFilterSQL()", {0x02, 0x00, 0x62, 0x00});
    // A control function with only its control: the index, no string slot.
    const std::array<int16_t, 2> ids{7, 40};
    const CListControl controls(ids);
    ExpectCode("SetFilterSQL(40)", {0x04, 0x00, 0x62, 0x00, 0x01, 0x00}, &controls);
    // UpdateBasisDocument: str, str, str, num; given one string, its block is that reference.
    const Compiled update = CompileFresh("UpdateBasisDocument(\"a\")");
    ASSERT_EQ(update.status, 0);
    EXPECT_EQ(update.log, "");
    EXPECT_EQ(update.pool,
              Cat({EmptyPool(), TextEntry("a"), Entry(Cat({{0x06, 0x00, 0x49, 0x00}, Ref(2)}))}));
    // TableIncField: str, num, num. The next call's id follows the string directly.
    const Compiled table = CompileFresh("TableIncField(\"t\", 9,); OK()");
    ASSERT_EQ(table.status, 0);
    EXPECT_EQ(table.pool,
              Cat({EmptyPool(), TextEntry("t"),
                   Entry(Cat({{0x0A, 0x00, 0x33, 0x00}, Ref(2), {0x09, 0x00, 0x01, 0x00}}))}));
    // GenerateRecordControls: num, num, num, num, str; two numbers give a 4-byte block.
    ExpectCode("GenerateRecordControls(1, -2)", {0x06, 0x00, 0x7E, 0x00, 0x01, 0x00, 0xFE, 0xFF});
}

TEST(CParserSyntaxTest, WideLayoutsPlaceEveryArgumentAtItsOffset) {
    // GenerateRecordControls: num at 0, 2, 4, 6; str at 8.
    const Compiled generate = CompileFresh("GenerateRecordControls(1, -2, 3, 4, \"g\")");
    ASSERT_EQ(generate.status, 0);
    EXPECT_EQ(
        CodeOf(generate),
        Cat({{0x0E, 0x00, 0x7E, 0x00, 0x01, 0x00, 0xFE, 0xFF, 0x03, 0x00, 0x04, 0x00}, Ref(2)}));
    // UpdateRefFieldByCode: four strings, then a number: the largest block, 18 bytes.
    const Compiled update = CompileFresh("UpdateRefFieldByCode(\"a\",\"b\",\"c\",\"d\",9)");
    ASSERT_EQ(update.status, 0);
    EXPECT_EQ(
        update.pool,
        Cat({EmptyPool(), TextEntry("a"), TextEntry("b"), TextEntry("c"), TextEntry("d"),
             Entry(Cat(
                 {{0x14, 0x00, 0xA5, 0x00}, Ref(2), Ref(6), Ref(10), Ref(14), {0x09, 0x00}}))}));
    ExpectCode("VelmoraTempTodo1(); VelmoraTempTodo2()", {0x04, 0x00, 0x01, 0x01, 0x02, 0x01});
    ExpectSilentFailure("VelmoraTempTodo2(1)", "VelmoraTempTodo2");
}

TEST(CParserNumberTest, NumbersKeepTheLowSixteenBitsOfTheirExactValue) {
    const std::pair<std::string_view, uint16_t> cases[] = {
        {"0", 0x0000},          {"5", 0x0005},      {"-5", 0xFFFB},
        {"-1", 0xFFFF},         {"32767", 0x7FFF},  {"32768", 0x8000},
        {"65535", 0xFFFF},      {"65536", 0x0000},  {"65541", 0x0005},
        {"4294967301", 0x0005}, {"-65541", 0xFFFB}, {"-", 0x0000},
        {"-0", 0x0000},         {"007", 0x0007},    {"123456789012345678901234567890", 0x0AD2},
    };
    for (const auto& [lexeme, value] : cases) {
        SCOPED_TRACE(lexeme);
        EXPECT_EQ(CParser::NumberValue(lexeme), value);
        ExpectCode("Exit(" + std::string(lexeme) + ")",
                   {0x04, 0x00, 0x4A, 0x00, static_cast<uint8_t>(value & 0xFF),
                    static_cast<uint8_t>(value >> 8)});
    }
}

TEST(CParserNumberTest, SignsAndPointsAreNotPartOfNumbers) {
    ExpectLexicalFailure("Exit(+5)", "+5)");
    ExpectLexicalFailure("Exit(1.5)", ".5)");
    // "--5" is a lone "-" and then "-5": two numbers where one belongs.
    ExpectSilentFailure("Exit(--5)", "Exit");
    ExpectSilentFailure("Exit(5-3)", "Exit");
}

TEST(CParserStringTest, StringsAreOneLexemeWhateverTheyHold) {
    const Compiled compiled = CompileFresh("Report(\"a;b,c)(\")");
    ASSERT_EQ(compiled.status, 0);
    EXPECT_EQ(compiled.pool, Cat({EmptyPool(), TextEntry("a;b,c)("),
                                  Entry(Cat({{0x06, 0x00, 0x04, 0x00}, Ref(2)}))}));
    const Compiled empty = CompileFresh("Report(\"\")");
    ASSERT_EQ(empty.status, 0);
    EXPECT_EQ(empty.pool,
              Cat({EmptyPool(), TextEntry(""), Entry(Cat({{0x06, 0x00, 0x04, 0x00}, Ref(2)}))}));
    // Windows-1251 bytes are kept as they are.
    const Compiled cyrillic = CompileFresh("Report(\"\xCF\xF0\xE8\xE2\xE5\xF2\")");
    ASSERT_EQ(cyrillic.status, 0);
    EXPECT_EQ(cyrillic.pool, Cat({EmptyPool(), TextEntry("\xCF\xF0\xE8\xE2\xE5\xF2"),
                                  Entry(Cat({{0x06, 0x00, 0x04, 0x00}, Ref(2)}))}));
}

TEST(CParserStringTest, EqualStringsAreAddedEachTime) {
    const Compiled compiled = CompileFresh("SetTableSql(\"t\", \"t\")");
    ASSERT_EQ(compiled.status, 0);
    EXPECT_EQ(compiled.pool, Cat({EmptyPool(), TextEntry("t"), TextEntry("t"),
                                  Entry(Cat({{0x0A, 0x00, 0x08, 0x00}, Ref(2), Ref(6)}))}));
}

TEST(CParserStringTest, UnterminatedStringsAndLineBreaksAreNoLexemes) {
    ExpectLexicalFailure("Report(\"abc)", "\"abc)");
    ExpectLexicalFailure("Report(\")", "\")");
    // The warning stays on one line: the break is shown as a blank.
    ExpectLexicalFailure("OK();\nClose()", " Close()");
    ExpectLexicalFailure("OK();\r\nClose()", " Close()");
    ExpectLexicalFailure("OK(); % Close()", "% Close()");
    // Inside a string a line break is just a character of the string.
    const Compiled compiled = CompileFresh("Report(\"a\nb\")");
    ASSERT_EQ(compiled.status, 0);
    EXPECT_EQ(compiled.pool, Cat({EmptyPool(), TextEntry("a\nb"),
                                  Entry(Cat({{0x06, 0x00, 0x04, 0x00}, Ref(2)}))}));
}

TEST(CParserStringTest, AZeroByteEndsNothingSilently) {
    ExpectLexicalFailure(std::string_view("OK()\0Close()", 12), std::string_view("\0Close()", 8));
    ExpectLexicalFailure(std::string_view("Report(\"a\0\")", 12), std::string_view("\"a\0\")", 5));
}

TEST(CParserStringTest, StringsOfAFailingExpressionStayInThePool) {
    const Compiled compiled = CompileFresh("Report(\"kept\"); Exit(\"x\")");
    EXPECT_EQ(compiled.status, 1);
    EXPECT_EQ(compiled.name, "Exit");
    EXPECT_EQ(compiled.pool, Cat({EmptyPool(), TextEntry("kept"), TextEntry("x")}));
}

TEST(CParserControlTest, ControlIdsBecomeIndexesForControlFunctionsSpelledExactly) {
    const std::array<int16_t, 4> ids{5, 9, 12, -5};
    const CListControl controls(ids);
    const Compiled compiled = CompileFresh("SetFilterSQL(12, \"x\")", &controls);
    ASSERT_EQ(compiled.status, 0);
    EXPECT_EQ(compiled.pool, Cat({EmptyPool(), TextEntry("x"),
                                  Entry(Cat({{0x08, 0x00, 0x62, 0x00, 0x02, 0x00}, Ref(2)}))}));
    const Compiled lower = CompileFresh("setfiltersql(12, \"x\")", &controls);
    ASSERT_EQ(lower.status, 0);
    EXPECT_EQ(CodeOf(lower), Cat({{0x08, 0x00, 0x62, 0x00, 0x0C, 0x00}, Ref(2)}));
    ExpectCode("SetBezNDS(-5)", {0x04, 0x00, 0x6E, 0x00, 0x03, 0x00}, &controls);
    ExpectCode("SetBezNDS(65531)", {0x04, 0x00, 0x6E, 0x00, 0x03, 0x00}, &controls);
    ExpectCode("SetBezNDS(5)", {0x04, 0x00, 0x6E, 0x00, 0x00, 0x00}, &controls);
    // Unknown ids and id 0 name no control, without a message.
    ExpectCode("SetBezNDS(77)", {0x04, 0x00, 0x6E, 0x00, 0xFF, 0xFF}, &controls);
    ExpectCode("SetBezNDS(0)", {0x04, 0x00, 0x6E, 0x00, 0xFF, 0xFF}, &controls);
    ExpectCode("SetBezNDS(-)", {0x04, 0x00, 0x6E, 0x00, 0xFF, 0xFF}, &controls);
    // Only the first argument is a control.
    ExpectCode("ScrollField(9, 12)", {0x06, 0x00, 0x06, 0x00, 0x01, 0x00, 0x0C, 0x00}, &controls);
}

TEST(CParserControlTest, WithoutAControlListAControlIdFails) {
    ExpectSilentFailure("SetFilterSQL(12, \"x\")", "SetFilterSQL");
    ExpectSilentFailure("OK(); SetFieldString(3, \"x\")", "SetFieldString");
    ExpectCode("setbeznds(12)", {0x04, 0x00, 0x6E, 0x00, 0x0C, 0x00});
    // A string in the control slot is simply of the wrong kind.
    ExpectSilentFailure("SetBezNDS(\"x\")", "SetBezNDS");
}

TEST(CParserControlTest, AnEmptyFormListGivesNoControl) {
    const CListControl none;
    ExpectCode("SetBezNDS(12)", {0x04, 0x00, 0x6E, 0x00, 0xFF, 0xFF}, &none);
}

TEST(CParserFailureTest, TheFunctionNameIsTheLastOneReached) {
    ExpectSilentFailure("OK(); Print(1)", "Print");
    ExpectSilentFailure("Print(1); OK()", "Print");
    ExpectSilentFailure("oK(); pRiNt(1)", "pRiNt");
    ExpectSilentFailure("OK(); 7()", "7");
    const Compiled lexical = CompileFresh("OK(); Print(1); ?");
    EXPECT_EQ(lexical.name, "");
}

TEST(CParserFailureTest, NothingOfTheCodeIsStoredAfterAFailure) {
    const Compiled compiled = CompileFresh("OK(); Close(); Exit(");
    EXPECT_EQ(compiled.status, 1);
    EXPECT_EQ(compiled.pool, EmptyPool());
}

TEST(CParserFailureTest, NameBufferTooSmallGetsNoPartialName) {
    CapturedLog log;
    CStringsReader& reader = log.Pool();
    uint32_t reference = 1;
    std::array<char, 5> name{'x', 'x', 'x', 'x', 'x'};
    EXPECT_NE(CActsReader::CompileCode(reader, nullptr, "Print(1)", reference, name.data(), 5), 0);
    EXPECT_EQ(std::string(name.data()), "");
    EXPECT_EQ(reference, 0u);
    std::array<char, 6> fits{};
    EXPECT_NE(CActsReader::CompileCode(reader, nullptr, "Print(1)", reference, fits.data(), 6), 0);
    EXPECT_EQ(std::string(fits.data()), "Print");
    EXPECT_NE(CActsReader::CompileCode(reader, nullptr, "Print(1)", reference, nullptr, 0), 0);
}

TEST(CParserLimitTest, TwoHundredFiftySixLexemesAreTheMost) {
    // "OK();" is 4 lexemes; 64 calls are 256 lexemes with the last ";".
    std::string text;
    Bytes code;
    Put16(code, 128);
    for (int i = 0; i < 64; ++i) {
        text += "OK();";
        Put16(code, 1);
    }
    ExpectCode(text, code);
    const std::string over = text + "OK()";
    const Compiled compiled = CompileFresh(over);
    EXPECT_EQ(compiled.status, 1);
    EXPECT_EQ(compiled.name, "");
    EXPECT_EQ(compiled.log,
              "[WARNING 1] Слишком много лексем (больше 256), лишние начиная с:  OK()\n");
    EXPECT_EQ(compiled.pool, EmptyPool());
}

TEST(CParserLimitTest, ALexemeOfTwoHundredFiftyFiveCharactersIsTheLongest) {
    const std::string fits(253, 'a');  // with its quotes 255 characters
    const Compiled compiled = CompileFresh("Report(\"" + fits + "\")");
    ASSERT_EQ(compiled.status, 0);
    EXPECT_EQ(compiled.pool,
              Cat({EmptyPool(), TextEntry(fits), Entry(Cat({{0x06, 0x00, 0x04, 0x00}, Ref(2)}))}));
    const std::string tooLong = "\"" + std::string(254, 'a') + "\")";
    const Compiled failed = CompileFresh("Report(" + tooLong);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.name, "");
    // A text refused for its length is shown in part: its first 64 characters and its length.
    EXPECT_EQ(failed.log, "[WARNING 1] Слишком длинная лексема (больше 255 символов):  " +
                              tooLong.substr(0, 64) + "... (257 байт)\n");
    EXPECT_EQ(failed.pool, EmptyPool());
    // Numbers are lexemes too.
    const std::string digits(256, '1');
    const Compiled number = CompileFresh("Exit(" + digits + ")");
    EXPECT_EQ(number.status, 1);
    EXPECT_EQ(number.log, "[WARNING 1] Слишком длинная лексема (больше 255 символов):  " +
                              digits.substr(0, 64) + "... (257 байт)\n");
    ExpectCode("Exit(" + std::string(255, '0') + ")", {0x04, 0x00, 0x4A, 0x00, 0x00, 0x00});
}

TEST(CParserLimitTest, TheLongestExpressionFitsTheOutput) {
    // 256 lexemes of the widest code per lexeme: calls of UpdateRefFieldByCode.
    std::string text;
    int lexemes = 0;
    while (lexemes + 14 <= 256) {
        text += "UpdateRefFieldByCode(\"\",\"\",\"\",\"\",1);";
        lexemes += 14;
    }
    const Compiled compiled = CompileFresh(text);
    ASSERT_EQ(compiled.status, 0);
    // 18 calls of 14 lexemes, each an id and an 18-byte block.
    EXPECT_EQ(CodeOf(compiled).size(), 2u + 18u * (2u + 18u));
}

TEST(CParserTest, AParserCompilesAgainFromAFreshState) {
    CapturedLog log;
    CParser parser(log.Pool());
    std::array<uint8_t, 64> output{};
    size_t length = 99;
    EXPECT_EQ(parser.Parse(nullptr, "Print(1)", output.data(), output.size(), length), 1);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(parser.FunctionName(), "Print");
    EXPECT_EQ(parser.Parse(nullptr, "Exit(5)", output.data(), output.size(), length), 0);
    EXPECT_EQ(Bytes(output.begin(), output.begin() + static_cast<long>(length)),
              (Bytes{0x04, 0x00, 0x4A, 0x00, 0x05, 0x00}));
    EXPECT_EQ(parser.FunctionName(), "Exit");
}

TEST(CParserTest, TooSmallAnOutputIsAFailureNotAnOverrun) {
    CapturedLog log;
    CParser parser(log.Pool());
    std::array<uint8_t, 6> output{};
    size_t length = 0;
    EXPECT_EQ(parser.Parse(nullptr, "Exit(5)", output.data(), output.size(), length), 0);
    EXPECT_EQ(parser.Parse(nullptr, "Exit(5); OK()", output.data(), output.size(), length), 1);
    EXPECT_EQ(parser.Parse(nullptr, "Exit(5)", output.data(), 5, length), 1);
    EXPECT_EQ(length, 0u);
}

}  // namespace
