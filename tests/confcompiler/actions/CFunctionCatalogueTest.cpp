// The function catalogue, entry by entry, against the independently typed table: ids, names,
// block sizes, argument offsets, the control-argument functions, and a call of every function
// compiled to the bytes its layout prescribes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "ActionTestSupport.h"
#include "CFunctionCatalogue.h"
#include "CListControl.h"
#include "CParser.h"
#include "CatalogueTable.h"

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

bool IsControlFunction(std::string_view name) {
    return std::find(kExpectedControlFunctions.begin(), kExpectedControlFunctions.end(), name) !=
           kExpectedControlFunctions.end();
}

// A call of `function` with correctly typed arguments, and the bytes it must compile to in an
// empty pool when the control with id 40 is the second control of the form.
struct TypedCall {
    std::string text;
    Bytes pool;      // the whole strings record afterwards
    int codeOffset;  // where the code's entry starts
};

TypedCall MakeTypedCall(const ExpectedFunction& function, std::string_view writtenName) {
    TypedCall call;
    call.text = std::string(writtenName) + "(";
    Bytes strings;
    Bytes block;
    int offset = 2;
    const std::vector<std::string> kinds = ArgumentKinds(function);
    for (size_t k = 0; k < kinds.size(); ++k) {
        if (k > 0) {
            call.text += ", ";
        }
        if (kinds[k] == "num") {
            const int value = 1000 + static_cast<int>(k);  // 0x03E8 + k
            call.text += std::to_string(value);
            Put16(block, value);
        } else if (kinds[k] == "str") {
            const std::string text = "s" + std::to_string(k);
            call.text += "\"" + text + "\"";
            const Bytes entry = TextEntry(text);
            strings.insert(strings.end(), entry.begin(), entry.end());
            const Bytes reference = Ref(offset);
            block.insert(block.end(), reference.begin(), reference.end());
            offset += static_cast<int>(entry.size());
        } else {
            call.text += "40";
            Put16(block, 1);  // the index of id 40
        }
    }
    call.text += ")";
    Bytes code;
    Put16(code, 2 + static_cast<int>(block.size()));
    Put16(code, function.id);
    code.insert(code.end(), block.begin(), block.end());
    call.pool = Cat({EmptyPool(), strings, Entry(code)});
    call.codeOffset = offset;
    return call;
}

const std::array<int16_t, 2> kFormIds{7, 40};

TEST(CFunctionCatalogueTest, HoldsExactlyTheClientsFunctionsWithTheirSpelling) {
    ASSERT_EQ(kExpectedFunctions.size(), 126u);
    EXPECT_EQ(CFunctionCatalogue::Functions().size(), 126u);
    std::set<uint16_t> ids;
    for (const ExpectedFunction& expected : kExpectedFunctions) {
        SCOPED_TRACE(expected.name);
        EXPECT_TRUE(ids.insert(expected.id).second);
        const CFunctionCatalogue::Function* function = CFunctionCatalogue::FindById(expected.id);
        ASSERT_NE(function, nullptr);
        EXPECT_EQ(function->name, expected.name);
        EXPECT_EQ(CFunctionCatalogue::ArgumentCount(*function), ArgumentKinds(expected).size());
    }
    EXPECT_EQ(CFunctionCatalogue::FindById(0), nullptr);
    EXPECT_EQ(CFunctionCatalogue::FindById(9), nullptr);
    EXPECT_EQ(CFunctionCatalogue::FindById(259), nullptr);
}

TEST(CFunctionCatalogueTest, LookupIgnoresLetterCaseAndKnowsEveryName) {
    for (const ExpectedFunction& expected : kExpectedFunctions) {
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(CParser::LookupFunction(expected.name), expected.id);
        EXPECT_EQ(CParser::LookupFunction(Lower(expected.name)), expected.id);
        EXPECT_EQ(CParser::LookupFunction(Upper(expected.name)), expected.id);
    }
    EXPECT_EQ(CParser::LookupFunction("SetLayer"), 10);
    EXPECT_EQ(CParser::LookupFunction("DISCOUNT"), 37);
    EXPECT_EQ(CParser::LookupFunction("DeleteProduct"), 39);
}

TEST(CFunctionCatalogueTest, LookupGivesZeroForEverythingElse) {
    for (std::string_view name : {"LoadColumnsNames", "loadcolumnsnames", "", "(", ")", ",", ";",
                                  "5", "-", "\"OK\"", "OKAY", "O", "Report2", "Exit "}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(CParser::LookupFunction(name), 0);
    }
    // The result depends on the name alone.
    EXPECT_EQ(CParser::LookupFunction("Exit"), 74);
    EXPECT_EQ(CParser::LookupFunction("Nope"), 0);
    EXPECT_EQ(CParser::LookupFunction("Exit"), 74);
}

TEST(CFunctionCatalogueTest, BlockSizesAndOffsetsFollowTheLayouts) {
    for (const ExpectedFunction& expected : kExpectedFunctions) {
        SCOPED_TRACE(expected.name);
        const std::vector<std::string> kinds = ArgumentKinds(expected);
        int offset = 0;
        uint16_t sum = 0;
        for (size_t n = 0; n < kinds.size(); ++n) {
            EXPECT_EQ(CParser::ArgumentOffset(expected.id, static_cast<int>(n)), offset) << n;
            offset += KindWidth(kinds[n]);
            sum = static_cast<uint16_t>(sum + KindWidth(kinds[n]));
        }
        EXPECT_EQ(CParser::ArgumentBlockSize(expected.id), sum);
        EXPECT_EQ(CParser::ArgumentOffset(expected.id, 0), 0);
        for (int n = std::max<int>(1, static_cast<int>(kinds.size())) + 1; n < 8; ++n) {
            EXPECT_EQ(CParser::ArgumentOffset(expected.id, n), -1) << n;
        }
        if (expected.id != 161 && !kinds.empty()) {
            EXPECT_EQ(CParser::ArgumentOffset(expected.id, static_cast<int>(kinds.size())), -1);
        }
    }
}

TEST(CFunctionCatalogueTest, SetProductsRestKoefReportsAnOffsetPastItsOnlyArgument) {
    EXPECT_EQ(CParser::ArgumentOffset(161, 0), 0);
    EXPECT_EQ(CParser::ArgumentOffset(161, 1), 2);
    EXPECT_EQ(CParser::ArgumentOffset(161, 2), -1);
    EXPECT_EQ(CParser::ArgumentBlockSize(161), 2);
    // The argument check treats it like the end of the layout.
    EXPECT_EQ(CodeOf(CompileFresh("SetProductsRestKoef(3)")),
              (Bytes{0x04, 0x00, 0xA1, 0x00, 0x03, 0x00}));
    EXPECT_NE(CompileFresh("SetProductsRestKoef(3, 4)").status, 0);
    EXPECT_NE(CompileFresh("SetProductsRestKoef(\"x\")").status, 0);
}

TEST(CFunctionCatalogueTest, UnknownIdsHaveNoLayout) {
    for (int id : {0, 9, 11, 259, 0xFFFF}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(CParser::ArgumentBlockSize(static_cast<uint16_t>(id)), 0);
        EXPECT_EQ(CParser::ArgumentOffset(static_cast<uint16_t>(id), 0), 0);
        EXPECT_EQ(CParser::ArgumentOffset(static_cast<uint16_t>(id), 1), -1);
    }
}

TEST(CFunctionCatalogueTest, ControlArgumentFunctionsAreTheNineteenSpelledExactly) {
    int count = 0;
    for (const ExpectedFunction& expected : kExpectedFunctions) {
        SCOPED_TRACE(expected.name);
        const bool control = IsControlFunction(expected.name);
        count += control ? 1 : 0;
        EXPECT_EQ(CFunctionCatalogue::IsControlArgumentFunction(expected.name), control);
        EXPECT_EQ(ArgumentKinds(expected).size() > 0 && ArgumentKinds(expected)[0] == "ctl",
                  control);
        EXPECT_FALSE(CFunctionCatalogue::IsControlArgumentFunction(Lower(expected.name)) &&
                     Lower(expected.name) != expected.name);
    }
    EXPECT_EQ(count, 19);
    EXPECT_FALSE(CFunctionCatalogue::IsControlArgumentFunction("setfiltersql"));
    EXPECT_FALSE(CFunctionCatalogue::IsControlArgumentFunction("LoadColumnsNames"));
}

TEST(CFunctionCatalogueTest, TheLongestNameWins) {
    const std::pair<std::string_view, size_t> cases[] = {
        {"Report1(5)", 7},
        {"Report(5)", 6},
        {"RefSingleSelect4(", 16},
        {"RefSingleSelect(", 15},
        {"LaunchAppAndWait(", 16},
        {"launchapp(", 9},
        {"CalcFieldIf2(", 12},
        {"CalcFieldIf(", 11},
        {"CalcField(", 9},
        {"TblRedrawCurrentRecord()", 22},
        {"TblRedraw()", 9},
        {"OpenRecordViewNew(", 17},
        {"OpenRecordView(", 14},
        {"BindField2(", 10},
        {"BindField(", 9},
        {"AppendFieldStringE(", 18},
        {"AppendFieldString(", 17},
        {"BackspaceFieldStringE(", 21},
        {"BackspaceFieldString(", 20},
        {"SetFieldStringE(", 15},
        {"SetFieldString(", 14},
        {"NewDocument1(", 12},
        {"NewDocument(", 11},
        {"OKAY", 2},
        {"LoadColumnsNames()", 16},
        {"loadcolumnsnamesX", 16},
        {"Velmora", 0},
        {"(OK)", 0},
        {"", 0},
    };
    for (const auto& [text, length] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(CFunctionCatalogue::LongestNameAt(text), length);
    }
}

TEST(CFunctionCatalogueTest, EveryFunctionCompilesACallWithTypedArguments) {
    const CListControl controls(kFormIds);
    for (const ExpectedFunction& expected : kExpectedFunctions) {
        SCOPED_TRACE(expected.name);
        const TypedCall call = MakeTypedCall(expected, expected.name);
        const Compiled compiled = CompileFresh(call.text, &controls);
        ASSERT_EQ(compiled.status, 0) << call.text;
        EXPECT_EQ(compiled.reference, 0x00080000u | static_cast<uint32_t>(call.codeOffset));
        EXPECT_EQ(compiled.pool, call.pool) << call.text;
        EXPECT_EQ(compiled.log, "");
    }
}

TEST(CFunctionCatalogueTest, EveryFunctionAlsoCompilesWrittenInOtherLetterCase) {
    // Written in other letter case a control function keeps the control id as a plain number.
    const CListControl controls(kFormIds);
    for (const ExpectedFunction& expected : kExpectedFunctions) {
        SCOPED_TRACE(expected.name);
        const std::string upper = Upper(expected.name);
        TypedCall call = MakeTypedCall(expected, upper);
        const bool control = IsControlFunction(expected.name);
        if (control && upper != expected.name) {
            const size_t at = (call.codeOffset + 2) + 2 + 2;  // entry length, L, id
            call.pool[at] = 40;
            call.pool[at + 1] = 0;
        }
        const Compiled compiled = CompileFresh(call.text, &controls);
        ASSERT_EQ(compiled.status, 0) << call.text;
        EXPECT_EQ(compiled.pool, call.pool) << call.text;
    }
}

TEST(CFunctionCatalogueTest, EveryFunctionRefusesOneArgumentTooMany) {
    const CListControl controls(kFormIds);
    for (const ExpectedFunction& expected : kExpectedFunctions) {
        SCOPED_TRACE(expected.name);
        const TypedCall call = MakeTypedCall(expected, expected.name);
        const std::string open = call.text.substr(0, call.text.size() - 1);
        const std::string separator = ArgumentKinds(expected).empty() ? "" : ", ";
        for (const std::string extra : {"7", "\"extra\""}) {
            const Compiled compiled = CompileFresh(open + separator + extra + ")", &controls);
            EXPECT_NE(compiled.status, 0) << open + separator + extra + ")";
            EXPECT_EQ(compiled.reference, 0u);
            EXPECT_EQ(compiled.name, expected.name);
            EXPECT_EQ(compiled.log, "");
        }
    }
}

TEST(CFunctionCatalogueTest, EveryFunctionRefusesAnArgumentOfTheWrongKind) {
    const CListControl controls(kFormIds);
    for (const ExpectedFunction& expected : kExpectedFunctions) {
        const std::vector<std::string> kinds = ArgumentKinds(expected);
        for (size_t wrong = 0; wrong < kinds.size(); ++wrong) {
            std::string text = std::string(expected.name) + "(";
            for (size_t k = 0; k < kinds.size(); ++k) {
                if (k > 0) {
                    text += ", ";
                }
                const bool number = kinds[k] != "str";
                text += (number != (k == wrong)) ? "12" : "\"t\"";
            }
            text += ")";
            SCOPED_TRACE(text);
            const Compiled compiled = CompileFresh(text, &controls);
            EXPECT_NE(compiled.status, 0);
            EXPECT_EQ(compiled.name, expected.name);
        }
    }
}

TEST(CFunctionCatalogueTest, EveryFunctionCalledWithoutArgumentsGetsAnEmptyBlock) {
    for (const ExpectedFunction& expected : kExpectedFunctions) {
        SCOPED_TRACE(expected.name);
        Bytes code;
        Put16(code, 2);
        Put16(code, expected.id);
        const Compiled compiled = CompileFresh(std::string(expected.name) + "()");
        ASSERT_EQ(compiled.status, 0);
        EXPECT_EQ(compiled.pool, Cat({EmptyPool(), Entry(code)}));
        EXPECT_EQ(compiled.log, "");
    }
}

TEST(CFunctionCatalogueTest, EveryFunctionCalledWithItsFirstArgumentGetsOnlyThatSlot) {
    // The control with id 40 is the second control of the form.
    const CListControl controls(kFormIds);
    for (const ExpectedFunction& expected : kExpectedFunctions) {
        const std::vector<std::string> kinds = ArgumentKinds(expected);
        if (kinds.empty()) {
            continue;
        }
        Bytes code;
        Put16(code, 2 + static_cast<int>(KindWidth(kinds[0])));
        Put16(code, expected.id);
        std::string text = std::string(expected.name) + "(";
        Bytes strings;
        if (kinds[0] == "str") {
            text += "\"f\"";
            strings = TextEntry("f");
            code = Cat({code, Ref(2)});
        } else if (kinds[0] == "ctl") {
            text += "40";
            Put16(code, 1);
        } else {
            text += "-3";
            Put16(code, 0xFFFD);
        }
        text += ")";
        SCOPED_TRACE(text);
        const Compiled compiled = CompileFresh(text, &controls);
        ASSERT_EQ(compiled.status, 0);
        EXPECT_EQ(compiled.pool, Cat({EmptyPool(), strings, Entry(code)}));
    }
}

}  // namespace
