// The disassembler: action code back to expression text, the round trip over the whole
// catalogue and over short calls, the notation of control indexes, the split of code whose
// calls end before their last argument, and refusal of bytes that are no action code.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "ActionTestSupport.h"
#include "CDisassembler.h"
#include "CListControl.h"
#include "CStringsReader.h"
#include "CatalogueTable.h"

namespace {

const std::array<int16_t, 2> kFormIds{7, 40};

// A form whose control at index k has the id 1000 + k, for k below 512: the id of a call
// that follows a short call, read as a control index, then still names a control.
std::vector<int16_t> ManyIds() {
    std::vector<int16_t> ids;
    for (int k = 0; k < 512; ++k) {
        ids.push_back(static_cast<int16_t>(1000 + k));
    }
    return ids;
}

// Disassembles the code of a successful compilation with the pool it left.
std::string Disassemble(const Compiled& compiled, const CListControl* controls) {
    CDisassembler disassembler(compiled.pool.data(), compiled.pool.size());
    disassembler.SetControls(controls);
    std::string text;
    std::string error;
    EXPECT_EQ(disassembler.DisassembleReference(compiled.reference, text, error), 0) << error;
    return text;
}

std::string DisassembleText(std::string_view expression, const CListControl* compileWith,
                            const CListControl* showWith) {
    const Compiled compiled = CompileFresh(expression, compileWith);
    EXPECT_EQ(compiled.status, 0) << expression;
    return Disassemble(compiled, showWith);
}

// Disassembles raw code against a pool; returns the error text ("" when it succeeded).
std::string ErrorOf(const Bytes& code, const Bytes& pool = EmptyPool()) {
    CDisassembler disassembler(pool.data(), pool.size());
    std::string text;
    std::string error;
    if (disassembler.Disassemble(code.data(), code.size(), text, error) == 0) {
        return "";
    }
    EXPECT_FALSE(error.empty());
    return error;
}

// Disassembles raw code against a pool; returns the text (and fails the test on an error).
std::string TextOf(const Bytes& code, const Bytes& pool) {
    CDisassembler disassembler(pool.data(), pool.size());
    std::string text;
    std::string error;
    EXPECT_EQ(disassembler.Disassemble(code.data(), code.size(), text, error), 0) << error;
    return text;
}

// Compiles `text`, disassembles it with the same control list, compiles the result again and
// expects the same pool (strings and code, byte for byte). Returns the disassembled text.
std::string RoundTrip(const std::string& text, const CListControl& controls) {
    SCOPED_TRACE(text);
    const Compiled first = CompileFresh(text, &controls);
    EXPECT_EQ(first.status, 0);
    if (first.status != 0) {
        return "";
    }
    const std::string shown = Disassemble(first, &controls);
    const Compiled second = CompileFresh(shown, &controls);
    EXPECT_EQ(second.status, 0) << shown;
    EXPECT_EQ(second.pool, first.pool) << shown;
    EXPECT_EQ(second.reference, first.reference) << shown;
    return shown;
}

// A call of every function with typed arguments, written as the disassembler writes it.
std::string TypedCall(const ExpectedFunction& function) {
    std::string text = std::string(function.name) + "(";
    const std::vector<std::string> kinds = ArgumentKinds(function);
    for (size_t k = 0; k < kinds.size(); ++k) {
        if (k > 0) {
            text += ", ";
        }
        if (kinds[k] == "num") {
            text += std::to_string(k == 0 ? -300 : 1000 + static_cast<int>(k));
        } else if (kinds[k] == "str") {
            text += "\"s" + std::to_string(k) + " ;,()\"";
        } else {
            text += "40";
        }
    }
    return text + ")";
}

TEST(CDisassemblerRoundTripTest, EveryFunctionCompilesBackToTheSameBytes) {
    const CListControl controls(kFormIds);
    for (const ExpectedFunction& function : kExpectedFunctions) {
        const std::string text = TypedCall(function);
        SCOPED_TRACE(text);
        const Compiled first = CompileFresh(text, &controls);
        ASSERT_EQ(first.status, 0);
        const std::string shown = Disassemble(first, &controls);
        EXPECT_EQ(shown, text);
        const Compiled second = CompileFresh(shown, &controls);
        ASSERT_EQ(second.status, 0);
        EXPECT_EQ(second.pool, first.pool);
        EXPECT_EQ(second.reference, first.reference);
    }
}

TEST(CDisassemblerRoundTripTest, EveryFunctionWithoutArgumentsCompilesBackToTheSameBytes) {
    const CListControl controls(ManyIds());
    for (const ExpectedFunction& function : kExpectedFunctions) {
        const std::string text = std::string(function.name) + "()";
        EXPECT_EQ(RoundTrip(text, controls), text);
        // Followed by another call, whose id may be read as a first argument.
        RoundTrip(text + "; OK()", controls);
        RoundTrip(text + "; Close(); Report()", controls);
    }
}

// A call of `function` with only its first argument, and nothing when it takes none.
std::string FirstArgumentCall(const ExpectedFunction& function) {
    const std::vector<std::string> kinds = ArgumentKinds(function);
    std::string text = std::string(function.name) + "(";
    if (!kinds.empty()) {
        text += kinds[0] == "str" ? "\"f\"" : kinds[0] == "ctl" ? "1001" : "-3";
    }
    return text + ")";
}

TEST(CDisassemblerRoundTripTest, EveryFunctionWithOnlyItsFirstArgumentCompilesBackToTheSameBytes) {
    const CListControl controls(ManyIds());
    for (const ExpectedFunction& function : kExpectedFunctions) {
        const std::string text = FirstArgumentCall(function);
        EXPECT_EQ(RoundTrip(text, controls), text);
        RoundTrip(text + "; OK()", controls);
        RoundTrip(text + "; Close(); Exit(3)", controls);
    }
}

TEST(CDisassemblerRoundTripTest, SequencesOfShortCallsCompileBackToTheSameBytes) {
    const CListControl controls(ManyIds());
    // Nothing that follows can be read as a further argument: shown as written.
    for (const std::string text :
         {"Report(); Close()", "UpdateBasisDocument(\"a\"); Exit(3)", "OK(); Report(); Close()",
          "Report(); Report(); Report(\"x\")", "SetTableSql(\"a\"); SetTableSql(); OK()",
          "UpdateRefFieldByCode(\"a\", \"b\"); RefMultiSelect(\"c\"); Close()",
          "GenerateRecordControls(1, 2, 3, 4); Report()"}) {
        EXPECT_EQ(RoundTrip(text, controls), text);
    }
    // The id after a short call is read as its next number or control: the same bytes.
    EXPECT_EQ(RoundTrip("ScrollField(); OK()", controls), "ScrollField(1001)");
    EXPECT_EQ(RoundTrip("ScrollField(); Close(); Report()", controls), "ScrollField(1005, 4)");
    EXPECT_EQ(RoundTrip("Exit(); OK(); Close()", controls), "Exit(1); Close()");
    EXPECT_EQ(RoundTrip("TableIncField(\"t\"); OK(); Close()", controls),
              "TableIncField(\"t\", 1, 5)");
    EXPECT_EQ(RoundTrip("GenerateRecordControls(); Exit(5); OK()", controls),
              "GenerateRecordControls(74, 5, 1)");
}

TEST(CDisassemblerRoundTripTest, AllCallsOfTheCatalogueInOneExpression) {
    // Every function once, in one program (split to respect the lexeme limit).
    const CListControl controls(kFormIds);
    std::string text;
    size_t lexemes = 0;
    auto check = [&]() {
        SCOPED_TRACE(text);
        const Compiled first = CompileFresh(text, &controls);
        ASSERT_EQ(first.status, 0);
        const std::string shown = Disassemble(first, &controls);
        EXPECT_EQ(shown, text);
        EXPECT_EQ(CompileFresh(shown, &controls).pool, first.pool);
    };
    for (const ExpectedFunction& function : kExpectedFunctions) {
        const size_t arguments = ArgumentKinds(function).size();
        const size_t cost = 4 + (arguments == 0 ? 0 : 2 * arguments - 1);
        if (lexemes + cost > 256) {
            check();
            text.clear();
            lexemes = 0;
        }
        if (!text.empty()) {
            text += "; ";
        }
        text += TypedCall(function);
        lexemes += cost;
    }
    check();
}

TEST(CDisassemblerTest, UsesTheCatalogueSpelling) {
    EXPECT_EQ(DisassembleText("ok(); CLOSE()", nullptr, nullptr), "OK(); Close()");
    EXPECT_EQ(DisassembleText("SetLayer(2)", nullptr, nullptr), "setlayer(2)");
    EXPECT_EQ(DisassembleText("", nullptr, nullptr), "");
    EXPECT_EQ(DisassembleText("Exit(5,)", nullptr, nullptr), "Exit(5)");
}

TEST(CDisassemblerTest, NumbersAreShownAsSignedValues) {
    EXPECT_EQ(DisassembleText("Exit(-5)", nullptr, nullptr), "Exit(-5)");
    EXPECT_EQ(DisassembleText("Exit(65535)", nullptr, nullptr), "Exit(-1)");
    EXPECT_EQ(DisassembleText("Exit(32768)", nullptr, nullptr), "Exit(-32768)");
    EXPECT_EQ(DisassembleText("Exit(65541)", nullptr, nullptr), "Exit(5)");
    EXPECT_EQ(DisassembleText("Exit(-)", nullptr, nullptr), "Exit(0)");
    EXPECT_EQ(DisassembleText("Exit()", nullptr, nullptr), "Exit()");
}

TEST(CDisassemblerTest, ControlArgumentsAreShownAsIndexesWithoutAList) {
    const std::array<int16_t, 4> ids{5, 9, 12, -5};
    const CListControl controls(ids);
    EXPECT_EQ(DisassembleText("SetFilterSQL(12, \"x\")", &controls, nullptr),
              "SetFilterSQL(#2, \"x\")");
    EXPECT_EQ(DisassembleText("SetBezNDS(77)", &controls, nullptr), "SetBezNDS(#none)");
    EXPECT_EQ(DisassembleText("SetBezNDS(-5)", &controls, nullptr), "SetBezNDS(#3)");
    // Written in other letter case the number was stored as it is; the client reads an index.
    EXPECT_EQ(DisassembleText("setbeznds(12)", nullptr, nullptr), "SetBezNDS(#12)");
    EXPECT_EQ(DisassembleText("SetFilterSQL()", nullptr, nullptr), "SetFilterSQL()");
    EXPECT_EQ(DisassembleText("ScrollField(); OK()", nullptr, nullptr), "ScrollField(#1)");
}

TEST(CDisassemblerTest, ControlArgumentsAreShownAsIdsWithTheFormsList) {
    const std::array<int16_t, 5> ids{5, 9, 12, -5, 9};
    const CListControl controls(ids);
    EXPECT_EQ(DisassembleText("SetFilterSQL(12, \"x\")", &controls, &controls),
              "SetFilterSQL(12, \"x\")");
    EXPECT_EQ(DisassembleText("SetBezNDS(-5)", &controls, &controls), "SetBezNDS(-5)");
    EXPECT_EQ(DisassembleText("SetBezNDS(77)", &controls, &controls), "SetBezNDS(0)");
    EXPECT_EQ(DisassembleText("SetFilterSQL()", &controls, &controls), "SetFilterSQL()");
    EXPECT_EQ(DisassembleText("SetFilterSQL(77)", &controls, &controls), "SetFilterSQL(0)");
    // Indexes that no id leads to keep the index notation: a later duplicate, outside the list.
    EXPECT_EQ(DisassembleText("setbeznds(4)", &controls, &controls), "SetBezNDS(#4)");
    EXPECT_EQ(DisassembleText("setbeznds(5)", &controls, &controls), "SetBezNDS(#5)");
    EXPECT_EQ(DisassembleText("setbeznds(0)", &controls, &controls), "SetBezNDS(5)");
}

TEST(CDisassemblerTest, ShortCallsAreShownWithTheArgumentsGiven) {
    EXPECT_EQ(DisassembleText("Report()", nullptr, nullptr), "Report()");
    EXPECT_EQ(DisassembleText("TableIncField(\"t\")", nullptr, nullptr), "TableIncField(\"t\")");
    EXPECT_EQ(DisassembleText("UpdateBasisDocument(\"a\")", nullptr, nullptr),
              "UpdateBasisDocument(\"a\")");
    EXPECT_EQ(DisassembleText("GenerateRecordControls(1)", nullptr, nullptr),
              "GenerateRecordControls(1)");
    EXPECT_EQ(DisassembleText("OK(); Report(); Close()", nullptr, nullptr),
              "OK(); Report(); Close()");
    EXPECT_EQ(DisassembleText("UpdateBasisDocument(\"a\"); Exit(3)", nullptr, nullptr),
              "UpdateBasisDocument(\"a\"); Exit(3)");
}

TEST(CDisassemblerTest, EachCallTakesTheMostArgumentsThatLeaveARestOfCalls) {
    const Bytes pool = Cat({EmptyPool(), TextEntry("t")});
    // TableIncField (str, num, num), then 01 00 05 00: taken as its two numbers.
    EXPECT_EQ(TextOf(Cat({{0x0A, 0x00, 0x33, 0x00}, Ref(2), {0x01, 0x00, 0x05, 0x00}}), pool),
              "TableIncField(\"t\", 1, 5)");
    // Then 01 00 4A 00 0B 00: taking two numbers would leave 0B 00, no id; so it takes one,
    // and 4A 00 0B 00 is Exit(11).
    EXPECT_EQ(
        TextOf(Cat({{0x0C, 0x00, 0x33, 0x00}, Ref(2), {0x01, 0x00, 0x4A, 0x00, 0x0B, 0x00}}), pool),
        "TableIncField(\"t\", 1); Exit(11)");
    // Report's slot would reach past the end: the 4A 00 after it is Exit's id.
    EXPECT_EQ(TextOf({0x06, 0x00, 0x04, 0x00, 0x4A, 0x00, 0x07, 0x00}, pool), "Report(); Exit(7)");
    // The bytes after Report read as a reference to "t"; nothing of it is a call.
    EXPECT_EQ(TextOf(Cat({{0x06, 0x00, 0x04, 0x00}, Ref(2)}), pool), "Report(\"t\")");
}

TEST(CDisassemblerTest, AReferenceAfterAShortCallCanBeReadAsCalls) {
    // Nothing marks where a short call ends, so the same bytes can have two splits. Here
    // Exit takes Report's id as its number, and the reference 02 00 08 00 to the pool's first
    // entry reads as Cancel and SetTableSql. The code bytes are the same either way; the text
    // shown is the split with the most arguments first.
    const Compiled compiled = CompileFresh("Exit(); Report(\"r\"); Exit(3)");
    ASSERT_EQ(compiled.status, 0);
    EXPECT_EQ(CodeOf(compiled),
              Cat({{0x0C, 0x00, 0x4A, 0x00, 0x04, 0x00}, Ref(2), {0x4A, 0x00, 0x03, 0x00}}));
    const std::string shown = Disassemble(compiled, nullptr);
    EXPECT_EQ(shown, "Exit(4); Cancel(); SetTableSql(); Exit(3)");
    EXPECT_EQ(CodeOf(CompileFresh(shown)), CodeOf(compiled));
}

TEST(CDisassemblerTest, LongCodeIsSplitInLinearTime) {
    // 32767 calls of OK, the most a length word allows, and a string reference after each
    // Report in a second program: both are split without recursion or retries.
    Bytes many;
    Put16(many, 0xFFFE);
    for (int k = 0; k < 0x7FFF; ++k) {
        Put16(many, 1);
    }
    std::string text;
    std::string error;
    const Bytes pool = Cat({EmptyPool(), TextEntry("t")});
    CDisassembler disassembler(pool.data(), pool.size());
    ASSERT_EQ(disassembler.Disassemble(many.data(), many.size(), text, error), 0) << error;
    EXPECT_EQ(text.size(), 0x7FFFu * 4 + (0x7FFFu - 1) * 2);
    EXPECT_EQ(text.substr(0, 10), "OK(); OK()");
    // Reports that take no argument but the last, which takes the reference to "t".
    Bytes reports;
    Put16(reports, 0xFFFE);
    for (int k = 0; k < 0x7FFD; ++k) {
        Put16(reports, 4);
    }
    reports = Cat({reports, Ref(2)});
    ASSERT_EQ(disassembler.Disassemble(reports.data(), reports.size(), text, error), 0) << error;
    EXPECT_TRUE(text.ends_with("Report(); Report(); Report(\"t\")")) << text.substr(0, 40);
    // The same with a last byte that no split explains: an error naming where it stops.
    many.back() = 0x09;
    EXPECT_NE(disassembler.Disassemble(many.data(), many.size(), text, error), 0);
}

TEST(CDisassemblerErrorTest, TruncatedCodeIsRefused) {
    EXPECT_NE(ErrorOf({}), "");
    EXPECT_NE(ErrorOf({0x02}), "");
    EXPECT_NE(ErrorOf({0x04, 0x00, 0x4A, 0x00}), "");              // length beyond the data
    EXPECT_NE(ErrorOf({0x03, 0x00, 0x01, 0x00, 0x01}), "");        // half an id
    EXPECT_NE(ErrorOf({0x03, 0x00, 0x4A, 0x00, 0x05, 0x00}), "");  // block cut by the length
    EXPECT_EQ(ErrorOf({0x02, 0x00, 0x01, 0x00, 0xEE}), "");        // bytes after the length
}

TEST(CDisassemblerErrorTest, UnknownFunctionIdsAreRefused) {
    EXPECT_NE(ErrorOf({0x02, 0x00, 0x00, 0x00}), "");
    EXPECT_NE(ErrorOf({0x02, 0x00, 0x09, 0x00}), "");
    EXPECT_NE(ErrorOf({0x02, 0x00, 0x03, 0x01}), "");
}

TEST(CDisassemblerErrorTest, StringSlotsMustNameATextOfThePool) {
    // Entries at offsets 2 (text "abcd"), 9 (text "ab"), 15 (a text with a quote), 21 ("p")
    // and 32 (no terminating zero); the pool ends at 36. Ids 9, 11, 15, 32 and 36 are unknown,
    // so the bytes of these references cannot be read as calls either.
    const Bytes pool =
        Cat({EmptyPool(), Entry({'a', 'b', 'c', 'd', 0}), TextEntry("ab"), Entry({'x', '"', 0, 0}),
             Entry({'p', 0, 0, 0, 0, 0, 0, 0, 0}), Entry({'n', 'o'})});
    ASSERT_EQ(pool.size(), 36u);
    const Bytes report{0x06, 0x00, 0x04, 0x00};
    EXPECT_EQ(TextOf(Cat({report, Ref(2)}), pool), "Report(\"abcd\")");
    EXPECT_EQ(TextOf(Cat({report, Ref(9)}), pool), "Report(\"ab\")");
    EXPECT_EQ(TextOf(Cat({report, Ref(21)}), pool), "Report(\"p\")");
    EXPECT_NE(ErrorOf(Cat({report, Ref(11)}), pool), "");                   // inside an entry
    EXPECT_NE(ErrorOf(Cat({report, Ref(15)}), pool), "");                   // a text with a quote
    EXPECT_NE(ErrorOf(Cat({report, Ref(32)}), pool), "");                   // no terminating zero
    EXPECT_NE(ErrorOf(Cat({report, Ref(36)}), pool), "");                   // past the end
    EXPECT_NE(ErrorOf(Cat({report, {0x0B, 0x00, 0x07, 0x00}}), pool), "");  // other record
    // Reference 0 names nothing: SetTableSql takes no string here, and 00 00 is no id.
    EXPECT_NE(ErrorOf({0x0A, 0x00, 0x08, 0x00, 0, 0, 0, 0, 0x02, 0x00, 0x08, 0x00}, pool), "");
    // A reference that names no text but whose bytes are calls is read as those calls.
    EXPECT_EQ(TextOf(Cat({report, Ref(10)}), pool), "Report(); setlayer(8)");
}

TEST(CDisassemblerErrorTest, MalformedCodeGivesAnErrorNamingWhereItStops) {
    // An unknown id in the middle.
    EXPECT_EQ(ErrorOf({0x06, 0x00, 0x01, 0x00, 0x09, 0x00, 0x05, 0x00}),
              "не код действий: неизвестный код функции 9 в смещении 4");
    // A block cut at the very end: Report's reference would need four bytes, and 09 00 is
    // no call.
    EXPECT_EQ(ErrorOf({0x04, 0x00, 0x04, 0x00, 0x09, 0x00}),
              "не код действий: неизвестный код функции 9 в смещении 4");
    // Exit's number cut by the length word, leaving half of it.
    EXPECT_EQ(ErrorOf({0x03, 0x00, 0x4A, 0x00, 0x05, 0x00}),
              "не код действий: обрывок вызова в смещении 4");
    // Of the readings, the one that gets furthest is named: Exit(9) reaches offset 6.
    EXPECT_EQ(ErrorOf({0x06, 0x00, 0x4A, 0x00, 0x09, 0x00, 0x0B, 0x00}),
              "не код действий: неизвестный код функции 11 в смещении 6");
}

TEST(CDisassemblerErrorTest, ArbitraryBytesGiveTextOrAnErrorNeverACrash) {
    // Bytes drawn mostly from known ids, small numbers and the pool's reference bytes, so that
    // many prefixes are valid and the split has to backtrack; the sanitizer build checks that
    // nothing is read outside the code or the pool.
    const Bytes pool = Cat({EmptyPool(), TextEntry("t"), Entry({'q', '"', 0, 0}), TextEntry("")});
    const uint8_t alphabet[] = {0x00, 0x01, 0x02, 0x04, 0x05, 0x06, 0x08, 0x09, 0x0A,
                                0x33, 0x49, 0x4A, 0x62, 0x7E, 0xA5, 0xFF, 0x0B, 0x07};
    std::mt19937 random(12345);
    CDisassembler disassembler(pool.data(), pool.size());
    int splits = 0;
    for (int round = 0; round < 20000; ++round) {
        const size_t length = random() % 24;
        Bytes code;
        Put16(code, static_cast<int>(length));
        for (size_t k = 0; k < length; ++k) {
            code.push_back(alphabet[random() % sizeof(alphabet)]);
        }
        if (random() % 8 == 0 && !code.empty()) {
            code.pop_back();  // the length word then claims one byte too many
        }
        std::string text;
        std::string error;
        const int status = disassembler.Disassemble(code.data(), code.size(), text, error);
        ASSERT_TRUE(status == 0 || status == 1);
        if (status == 0) {
            ++splits;
            EXPECT_EQ(text.empty(), length == 0);
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
    EXPECT_GT(splits, 100);
}

TEST(CDisassemblerErrorTest, ReferencesOfTheCodeItselfAreChecked) {
    const Bytes pool = Cat({EmptyPool(), Entry({0x02, 0x00, 0x01, 0x00})});
    CDisassembler disassembler(pool.data(), pool.size());
    std::string text;
    std::string error;
    EXPECT_EQ(disassembler.DisassembleReference(0x00080002, text, error), 0);
    EXPECT_EQ(text, "OK()");
    EXPECT_NE(disassembler.DisassembleReference(0, text, error), 0);
    EXPECT_NE(disassembler.DisassembleReference(0x00080004, text, error), 0);
    CDisassembler empty(nullptr, 0);
    EXPECT_NE(empty.DisassembleReference(0x00080002, text, error), 0);
}

}  // namespace
