// Action lists: events by object kind, code references, the warnings of a faulty expression
// and their order, and the values read from the document.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "ActionTestSupport.h"
#include "CActsReader.h"
#include "CListControl.h"
#include "CXMLDOM.h"

namespace {

const std::string kParseFailure = "[WARNING 3585] Ошибка разбора:  ";
const std::string kFunctionFailure = "[WARNING 3585] Неверное определение функции:  ";

// The action code bytes (length word included) that a code reference names in the pool.
Bytes CodeAt(uint32_t reference) {
    const Bytes pool = PoolBytes();
    const size_t offset = reference & 0xFFFF;
    if ((reference >> 16) != 8 || offset + 2 > pool.size()) {
        return {};
    }
    const size_t length = pool[offset] | (pool[offset + 1] << 8);
    return Bytes(pool.begin() + offset + 2, pool.begin() + offset + 2 + length);
}

TEST(CActsReaderTest, EventsOfEveryObjectKindInReadingOrder) {
    using Kind = CActsReader::ObjectKind;
    auto names = [](Kind kind) {
        const auto events = CActsReader::Events(kind);
        return std::vector<std::string_view>(events.begin(), events.end());
    };
    EXPECT_EQ(names(Kind::Form), (std::vector<std::string_view>{"preopen", "open", "close"}));
    EXPECT_EQ(names(Kind::Document),
              (std::vector<std::string_view>{"init", "save", "copy", "delete"}));
    for (Kind kind : {Kind::Frame, Kind::Journal, Kind::Reference}) {
        EXPECT_EQ(names(kind), (std::vector<std::string_view>{"init"}));
    }
}

TEST(CActsReaderTest, CompiledCodeIsReferenced) {
    CapturedLog log;
    const uint32_t reference = CActsReader::Compile(log.Context(), "Exit(1)", nullptr).value();
    EXPECT_EQ(reference, 0x00080002u);
    EXPECT_EQ(CodeAt(reference), (Bytes{0x04, 0x00, 0x4A, 0x00, 0x01, 0x00}));
    EXPECT_EQ(log.Text(), "");
}

TEST(CActsReaderTest, AFaultyExpressionGivesTwoWarningsAndNoCode) {
    CapturedLog log;
    EXPECT_EQ(CActsReader::Compile(log.Context(), "SetFieldString(3, \"x\")", nullptr), 0u);
    EXPECT_EQ(log.Text(),
              kParseFailure + "SetFieldString(3, \"x\")\n" + kFunctionFailure + "SetFieldString\n");
}

TEST(CActsReaderTest, ALexicalErrorGivesThreeWarningsInOrder) {
    CapturedLog log;
    EXPECT_EQ(CActsReader::Compile(log.Context(), "OK(); Close() # x", nullptr), 0u);
    EXPECT_EQ(log.Text(), "[WARNING 1] Неизвестная лексема:  # x\n" + kParseFailure +
                              "OK(); Close() # x\n" + kFunctionFailure + "\n");
    EXPECT_EQ(PoolBytes(), EmptyPool());
}

TEST(CActsReaderTest, AnExpressionRefusedForItsLengthIsShownInPart) {
    CapturedLog log;
    std::string expression;
    for (int i = 0; i < 100; ++i) {
        expression += "OK(); ";  // 400 lexemes
    }
    EXPECT_EQ(CActsReader::Compile(log.Context(), expression, nullptr), 0u);
    const std::string rest = expression.substr(256 / 4 * 6);  // from the 65th call on
    EXPECT_EQ(log.Text(), "[WARNING 1] Слишком много лексем (больше 256), лишние начиная с:  " +
                              rest.substr(0, 64) + "... (" + std::to_string(rest.size()) +
                              " байт)\n" + kParseFailure + expression.substr(0, 64) +
                              "... (600 байт)\n" + kFunctionFailure + "\n");
}

TEST(CActsReaderTest, TheExpressionIsShownInItsOwnLetters) {
    CapturedLog log;
    // Windows-1251 text is shown decoded on the console.
    EXPECT_EQ(
        CActsReader::Compile(log.Context(), "Report(\"\xCF\xF0\xE8\xE2\xE5\xF2\", 1)", nullptr),
        0u);
    EXPECT_EQ(log.Text(),
              kParseFailure + "Report(\"Привет\", 1)\n" + kFunctionFailure + "Report\n");
}

class CActsReaderDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(log_.Load(R"xml(<?xml version="1.0" encoding="UTF-8"?>
<quillora>
  <document name="order">
    <acts>
      <init funcs='SetFieldString(3, "x")'/>
      <Save funcs="Exit(1)"/>
      <copy other="Exit(2)"/>
    </acts>
  </document>
  <form name="main">
    <controls><control id="8"/><control id="3"/></controls>
    <ACTS>
      <preopen funcs=""/>
      <open funcs="SetFieldString(3, &quot;x&quot;); TblRedraw()"/>
      <close/>
    </ACTS>
  </form>
  <journal name="j"/>
  <reference name="r"><acts/></reference>
  <frame name="f"><acts><init funcs="OKAY"/></acts></frame>
</quillora>)xml"));
    }
    XmlNode Object(std::string_view name) {
        return document_.FindNode(document_.GetFirstNode(), name);
    }
    CapturedLog log_;
    const CXMLDOM& document_ = log_.Document();
    CActsReader reader_{log_.Context()};
};

TEST_F(CActsReaderDocumentTest, AbsentElementsAndAttributesGiveZeroSilently) {
    EXPECT_EQ(reader_.Read(nullptr, nullptr), 0u);
    EXPECT_EQ(CActsReader::FindEvent(document_, Object("journal"), "init"), nullptr);
    EXPECT_EQ(CActsReader::FindEvent(document_, Object("reference"), "init"), nullptr);
    const XmlNode copy = CActsReader::FindEvent(document_, Object("document"), "copy");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(reader_.Read(copy, nullptr), 0u);
    EXPECT_EQ(reader_.ReadAll(Object("journal"), CActsReader::ObjectKind::Journal, nullptr),
              (std::vector<uint32_t>{0}));
    EXPECT_EQ(reader_.ReadAll(Object("reference"), CActsReader::ObjectKind::Reference, nullptr),
              (std::vector<uint32_t>{0}));
    EXPECT_EQ(log_.Text(), "");
    EXPECT_EQ(PoolBytes(), EmptyPool());
}

TEST_F(CActsReaderDocumentTest, DocumentEventsCompileWithoutControls) {
    const std::array<int16_t, 1> ids{3};
    const CListControl controls(ids);
    // The controls are not passed for a document, so the control function fails in init.
    const std::vector<uint32_t> references =
        reader_.ReadAll(Object("document"), CActsReader::ObjectKind::Document, &controls);
    ASSERT_EQ(references.size(), 4u);
    EXPECT_EQ(references[0], 0u);
    EXPECT_NE(references[1], 0u);
    EXPECT_EQ(references[2], 0u);
    EXPECT_EQ(references[3], 0u);
    EXPECT_EQ(CodeAt(references[1]), (Bytes{0x04, 0x00, 0x4A, 0x00, 0x01, 0x00}));
    EXPECT_EQ(log_.Text(),
              kParseFailure + "SetFieldString(3, \"x\")\n" + kFunctionFailure + "SetFieldString\n");
    // The init failed at the control id, before its string: only the code of save is stored.
    EXPECT_EQ(PoolBytes(), Cat({EmptyPool(), Entry({0x04, 0x00, 0x4A, 0x00, 0x01, 0x00})}));
}

TEST_F(CActsReaderDocumentTest, FormEventsCompileWithTheFormsControls) {
    CListControl controls;
    ASSERT_EQ(controls.Build(document_, document_.FindChild(Object("form"), "controls")), 2);
    const std::vector<uint32_t> references =
        reader_.ReadAll(Object("form"), CActsReader::ObjectKind::Form, &controls);
    ASSERT_EQ(references.size(), 3u);
    // An empty funcs is code of length 0, not "no action".
    EXPECT_EQ(references[0], 0x00080002u);
    EXPECT_EQ(CodeAt(references[0]), (Bytes{0x00, 0x00}));
    EXPECT_EQ(references[1], 0x0008000Au);  // after the empty code (4 bytes) and "x" (4)
    EXPECT_EQ(CodeAt(references[1]),
              Cat({{0x0A, 0x00, 0x7D, 0x00, 0x01, 0x00}, Ref(6), {0x39, 0x00}}));
    EXPECT_EQ(references[2], 0u);
    EXPECT_EQ(log_.Text(), "");
}

TEST_F(CActsReaderDocumentTest, ALexicalErrorInAFrameGivesThreeWarnings) {
    EXPECT_EQ(reader_.ReadAll(Object("frame"), CActsReader::ObjectKind::Frame, nullptr),
              (std::vector<uint32_t>{0}));
    EXPECT_EQ(log_.Text(), "[WARNING 1] Неизвестная лексема:  AY\n" + kParseFailure + "OKAY\n" +
                               kFunctionFailure + "\n");
}

TEST(CActsReaderLongTest, AFuncsValueIsReadInFull) {
    // Over 4095 characters but within the lexeme limits: 16 calls with 250-letter strings.
    std::string expression;
    for (int i = 0; i < 16; ++i) {
        expression += "Report(\"" + std::string(250, static_cast<char>('a' + i)) + "\"); ";
    }
    ASSERT_GT(expression.size(), 4095u);
    CapturedLog log;
    const CXMLDOM& document = log.Document();
    ASSERT_TRUE(log.Load("<document><acts><save funcs='" + expression + "'/></acts></document>"));
    CActsReader reader(log.Context());
    const XmlNode save = CActsReader::FindEvent(
        document, document.FindNode(document.GetFirstNode(), "document"), "save");
    const uint32_t reference = reader.Read(save, nullptr).value();
    ASSERT_NE(reference, 0u);
    EXPECT_EQ(CodeAt(reference).size(), 2u + 16u * 6u);
    EXPECT_EQ(log.Text(), "");
}

}  // namespace
