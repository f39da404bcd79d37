// The disassembler: action code back to expression text, the round trip over the whole
// catalogue, the notation of control indexes, and refusal of bytes that are no action code.
#include <gtest/gtest.h>

#include <array>

#include "ActionTestSupport.h"
#include "CDisassembler.h"
#include "CListControl.h"
#include "CStringsReader.h"
#include "CatalogueTable.h"

namespace {

const std::array<int16_t, 2> kFormIds{7, 40};

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
    const CListControl controls(kFormIds);
    for (const ExpectedFunction& function : kExpectedFunctions) {
        const std::string text = std::string(function.name) + "()";
        SCOPED_TRACE(text);
        const Compiled first = CompileFresh(text, &controls);
        ASSERT_EQ(first.status, 0);
        const std::string shown = Disassemble(first, &controls);
        const Compiled second = CompileFresh(shown, &controls);
        ASSERT_EQ(second.status, 0) << shown;
        EXPECT_EQ(second.pool, first.pool);
    }
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
    EXPECT_EQ(DisassembleText("Exit()", nullptr, nullptr), "Exit(0)");
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
    EXPECT_EQ(DisassembleText("SetFilterSQL()", nullptr, nullptr), "SetFilterSQL(#none)");
}

TEST(CDisassemblerTest, ControlArgumentsAreShownAsIdsWithTheFormsList) {
    const std::array<int16_t, 5> ids{5, 9, 12, -5, 9};
    const CListControl controls(ids);
    EXPECT_EQ(DisassembleText("SetFilterSQL(12, \"x\")", &controls, &controls),
              "SetFilterSQL(12, \"x\")");
    EXPECT_EQ(DisassembleText("SetBezNDS(-5)", &controls, &controls), "SetBezNDS(-5)");
    EXPECT_EQ(DisassembleText("SetBezNDS(77)", &controls, &controls), "SetBezNDS(0)");
    EXPECT_EQ(DisassembleText("SetFilterSQL()", &controls, &controls), "SetFilterSQL(0)");
    // Indexes that no id leads to keep the index notation: a later duplicate, outside the list.
    EXPECT_EQ(DisassembleText("setbeznds(4)", &controls, &controls), "SetBezNDS(#4)");
    EXPECT_EQ(DisassembleText("setbeznds(5)", &controls, &controls), "SetBezNDS(#5)");
    EXPECT_EQ(DisassembleText("setbeznds(0)", &controls, &controls), "SetBezNDS(5)");
}

TEST(CDisassemblerTest, LeftOutStringArgumentsAreLeftOutAgain) {
    EXPECT_EQ(DisassembleText("Report()", nullptr, nullptr), "Report()");
    EXPECT_EQ(DisassembleText("TableIncField(\"t\")", nullptr, nullptr),
              "TableIncField(\"t\", 0, 0)");
    EXPECT_EQ(DisassembleText("UpdateBasisDocument(\"a\")", nullptr, nullptr),
              "UpdateBasisDocument(\"a\")");
    EXPECT_EQ(DisassembleText("GenerateRecordControls(1)", nullptr, nullptr),
              "GenerateRecordControls(1, 0, 0, 0)");
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

TEST(CDisassemblerErrorTest, StringReferencesMustNameATextOfThePool) {
    const Bytes pool =
        Cat({EmptyPool(), TextEntry("ab"), Entry({'x', '"', 0, 0}), Entry({'n', 'o'})});
    const Bytes report{0x06, 0x00, 0x04, 0x00};
    EXPECT_EQ(ErrorOf(Cat({report, Ref(2)}), pool), "");
    EXPECT_NE(ErrorOf(Cat({report, Ref(4)}), pool), "");                    // inside an entry
    EXPECT_NE(ErrorOf(Cat({report, Ref(8)}), pool), "");                    // a text with a quote
    EXPECT_NE(ErrorOf(Cat({report, Ref(14)}), pool), "");                   // no terminating zero
    EXPECT_NE(ErrorOf(Cat({report, Ref(18)}), pool), "");                   // past the end
    EXPECT_NE(ErrorOf(Cat({report, {0x02, 0x00, 0x07, 0x00}}), pool), "");  // other record
    // A left-out string followed by a given argument is no code of this compiler.
    EXPECT_NE(ErrorOf({0x0A, 0x00, 0x08, 0x00, 0, 0, 0, 0, 0x02, 0x00, 0x08, 0x00}, pool), "");
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
