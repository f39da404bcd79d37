#include "CInfoReader.h"

#include <gtest/gtest.h>

#include <sstream>

#include "CConverter.h"
#include "ExpectedBytes.h"
#include "TestRun.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Record 0 typed out from its layout.
Bytes InfoRecord(const std::string& name, const std::string& developer, uint16_t width,
                 uint16_t height, std::initializer_list<uint16_t> slots) {
    ExpectedBytes record;
    record.U16(16);
    record.NarrowField(name, 64).NarrowField(developer, 64).U16(width).U16(height);
    for (uint16_t slot : slots) {
        record.U16(slot);
    }
    return record.Bytes();
}

class CInfoReaderTest : public ::testing::Test {
protected:
    int Read(const std::string& xml) {
        EXPECT_TRUE(run_.Load(xml)) << run_.Document().LastError();
        return reader_.Read();
    }
    Bytes Built() {
        size_t size = 0;
        const uint8_t* data = reader_.Build(size);
        return Bytes(data, data + size);
    }

    TestRun run_;
    CInfoReader reader_{run_.Context()};
};

const std::string kDefaultDeveloper = CConverter::ToNarrow("Норвил АРМ");
constexpr uint16_t kNone = 0xFFFF;

TEST_F(CInfoReaderTest, RootWithoutAttributesTakesTheDefaults) {
    ASSERT_EQ(Read("<?xml version='1.0'?><quillora/>"), CInfoReader::kOk);
    EXPECT_EQ(Built(), InfoRecord("", kDefaultDeveloper, 240, 268,
                                  {kNone, kNone, kNone, kNone, kNone, kNone}));
    EXPECT_EQ(run_.Console(), "");
}

TEST_F(CInfoReaderTest, AttributesAndSlotsLandInTheirFields) {
    ASSERT_EQ(Read("<quillora name='Склад' developer='' screenHeight='320'/>"), CInfoReader::kOk);
    reader_.SetMenuRecord(2);
    reader_.SetJournalRecord(3);
    reader_.SetDocumentRecord(4);
    reader_.SetReferenceRecord(5);
    reader_.SetFrameRecord(6);
    EXPECT_EQ(Built(),
              InfoRecord(CConverter::ToNarrow("Склад"), "", 240, 320, {5, 4, 2, kNone, 6, 3}));
}

TEST_F(CInfoReaderTest, NestedRootIsFoundAndNumbersKeepTheirLowBits) {
    ASSERT_EQ(Read("<!-- c --><outer><Quillora screenWidth='-1' screenHeight='65776x'/></outer>"),
              CInfoReader::kOk);
    EXPECT_EQ(Built(), InfoRecord("", kDefaultDeveloper, 0xFFFF, 240,
                                  {kNone, kNone, kNone, kNone, kNone, kNone}));
}

TEST_F(CInfoReaderTest, MissingRootIsReported) {
    EXPECT_EQ(Read("<config name='x'/>"), CInfoReader::kNoRoot);
    EXPECT_EQ(run_.Console(), "[INFO] Отсутствует корневой элемент 'quillora'.\n");
    size_t size = 1;
    reader_.Build(size);
    EXPECT_EQ(size, 0u);
}

TEST_F(CInfoReaderTest, TextsOfSixtyFourBytesAreRefused) {
    const std::string fits(63, 'n');
    ASSERT_EQ(Read("<quillora name='" + fits + "' developer='" + fits + "'/>"), CInfoReader::kOk);
    EXPECT_EQ(Built(),
              InfoRecord(fits, fits, 240, 268, {kNone, kNone, kNone, kNone, kNone, kNone}));

    const std::string tooLong(64, 'n');
    EXPECT_EQ(Read("<quillora name='" + tooLong + "'/>"), CInfoReader::kTooLong);
    EXPECT_EQ(run_.Console(), "[ERROR 0] Имя конфигурации длиннее 63 байт: " + tooLong + "\n");
    run_.ClearConsole();
    // 64 Cyrillic letters: 128 bytes of UTF-8 in the document, 64 stored bytes.
    std::string cyrillic;
    for (int i = 0; i < 64; ++i) {
        cyrillic += "Я";
    }
    EXPECT_EQ(Read("<quillora developer='" + cyrillic + "'/>"), CInfoReader::kTooLong);
    EXPECT_EQ(run_.Console(), "[ERROR 0] Имя разработчика длиннее 63 байт: " + cyrillic + "\n");
}

}  // namespace
