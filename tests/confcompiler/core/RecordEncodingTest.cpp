#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <sstream>

#include "CHashWriter.h"
#include "CLog.h"
#include "CRecordBuffer.h"
#include "CStringsReader.h"
#include "ObjectReader.h"
#include "PalmHelper.h"
#include "TestRun.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes InMemory(uint32_t value, size_t width) {
    Bytes b(width);
    std::memcpy(b.data(), &value, width);
    return b;
}

TEST(PalmHelperTest, IntegersLieLittleEndianInMemory) {
    EXPECT_EQ(InMemory(PalmHelper::Swap16(0x1234), 2), (Bytes{0x34, 0x12}));
    EXPECT_EQ(InMemory(PalmHelper::Swap32(0x00080002), 4), (Bytes{0x02, 0x00, 0x08, 0x00}));
    EXPECT_EQ(PalmHelper::SwapBits(0x8001, 16), 0x8001);
}

TEST(PalmHelperTest, StringSizeIsEvenWithTerminatorAndPad) {
    EXPECT_EQ(PalmHelper::StringSize(""), 2u);
    EXPECT_EQ(PalmHelper::StringSize("a"), 2u);
    EXPECT_EQ(PalmHelper::StringSize("ab"), 4u);
    EXPECT_EQ(PalmHelper::StringSize("abc"), 4u);
    EXPECT_EQ(PalmHelper::StringSize("name"), 6u);
}

TEST(CRecordBufferTest, WritesInsideTheCapacityAndRefusesBeyondIt) {
    CRecordBuffer buffer;
    int overflows = 0;
    buffer.SetOverflowHandler([&overflows] { ++overflows; });
    EXPECT_NE(buffer.Data(), nullptr);  // an empty block is not a failure
    EXPECT_TRUE(buffer.Put16(0, 0x1234));
    EXPECT_TRUE(buffer.Put32(2, 0x00080002));
    EXPECT_TRUE(buffer.PutString(6, "abc"));
    EXPECT_EQ(Bytes(buffer.Data(), buffer.Data() + 11),
              (Bytes{0x34, 0x12, 0x02, 0x00, 0x08, 0x00, 'a', 'b', 'c', 0, 0}));
    EXPECT_FALSE(buffer.Failed());

    EXPECT_TRUE(buffer.Put16(CRecordBuffer::kCapacity - 2, 1));
    EXPECT_FALSE(buffer.Put16(CRecordBuffer::kCapacity - 1, 1));
    EXPECT_TRUE(buffer.Failed());
    EXPECT_EQ(buffer.Data()[CRecordBuffer::kCapacity - 1], 0);  // nothing written
    EXPECT_FALSE(buffer.PutString(CRecordBuffer::kCapacity - 2, "ab"));
    EXPECT_FALSE(buffer.PutBytes(SIZE_MAX - 1, "x", 4));  // no wrap-around
    EXPECT_EQ(overflows, 1);                              // the first refusal only
    buffer.Clear();
    EXPECT_FALSE(buffer.Failed());
    EXPECT_EQ(buffer.Data()[0], 0);
    EXPECT_FALSE(buffer.PutFixedText(0, 4, "abcd"));         // a refused text is no overflow,
    EXPECT_FALSE(buffer.Put8(CRecordBuffer::kCapacity, 1));  // and one after it is not told
    EXPECT_EQ(overflows, 1);
}

TEST(CRecordBufferTest, FixedTextFieldsAreZeroFilledAndBounded) {
    CRecordBuffer buffer;
    buffer.PutBytes(0, "\xEE\xEE\xEE\xEE\xEE\xEE\xEE\xEE", 8);
    EXPECT_TRUE(buffer.PutFixedText(0, 8, "abc"));
    EXPECT_EQ(Bytes(buffer.Data(), buffer.Data() + 8), (Bytes{'a', 'b', 'c', 0, 0, 0, 0, 0}));
    EXPECT_TRUE(buffer.PutFixedText(0, 8, "1234567"));
    EXPECT_FALSE(buffer.PutFixedText(0, 8, "12345678"));  // no room for the terminator
    EXPECT_EQ(buffer.Data()[7], 0);
}

class CStringsReaderTest : public ::testing::Test {
protected:
    Bytes Record() const {
        size_t size = 0;
        const uint8_t* data = pool_.BuildRecord(size);
        return data ? Bytes(data, data + size) : Bytes{};
    }
    std::ostringstream log_;
    CLog console_{log_};
    CStringsReader pool_{console_};
};

TEST_F(CStringsReaderTest, AnEmptyPoolIsTwoZeroBytes) {
    EXPECT_EQ(Record(), (Bytes{0, 0}));
}

TEST_F(CStringsReaderTest, EntriesFollowEachOtherWithTheirLengths) {
    const uint32_t name = pool_.AddString("name");
    const uint32_t again = pool_.AddString("name");
    const uint8_t code[] = {0x02, 0x00, 0x01};
    const uint32_t block = pool_.AddBytes(code, 3);
    const uint32_t empty = pool_.AddBytes(nullptr, 0);
    EXPECT_EQ(InMemory(PalmHelper::Swap32(name), 4), (Bytes{0x02, 0x00, 0x08, 0x00}));
    EXPECT_EQ(again, 0x0008000Au);
    EXPECT_EQ(block, 0x00080012u);
    EXPECT_EQ(empty, 0x00080017u);
    EXPECT_EQ(Record(), (Bytes{0, 0,                               // never written
                               6, 0, 'n',  'a',  'm',  'e', 0, 0,  // "name"
                               6, 0, 'n',  'a',  'm',  'e', 0, 0,  // again, new entry
                               3, 0, 0x02, 0x00, 0x01,             // odd block as is
                               0, 0}));                            // empty block
    EXPECT_EQ(log_.str(), "");
}

TEST_F(CStringsReaderTest, APoolPastItsCapacityIsRefused) {
    const std::string big(29000, 'x');
    EXPECT_NE(pool_.AddString(big), 0u);
    EXPECT_NE(pool_.AddString(big), 0u);
    const size_t used = pool_.UsedLength();
    EXPECT_EQ(used, 2u + 2 * (2 + 29002));
    // Fits exactly: the pool may be filled to its last byte.
    const std::string rest(CStringsReader::kCapacity - used - 2, 'y');
    EXPECT_NE(pool_.AddBytes(rest.data(), rest.size()), 0u);
    EXPECT_EQ(pool_.UsedLength(), CStringsReader::kCapacity);
    EXPECT_FALSE(pool_.Overflowed());

    EXPECT_EQ(pool_.AddBytes(nullptr, 0), 0u);
    EXPECT_TRUE(pool_.Overflowed());
    EXPECT_EQ(pool_.AddString("more"), 0u);
    size_t size = 1;
    EXPECT_EQ(pool_.BuildRecord(size), nullptr);
    EXPECT_EQ(size, 0u);
    // One error line, however many additions were refused.
    EXPECT_EQ(log_.str(),
              "[ERROR 0] Переполнение записи строк: тексты и код действий конфигурации "
              "превышают 60000 байт.\n");
}

TEST(CHashWriterTest, SixteenZeroBytes) {
    CHashWriter hash;
    size_t size = 0;
    const uint8_t* block = hash.Build(size);
    EXPECT_EQ(Bytes(block, block + size), Bytes(16, 0));
}

}  // namespace

namespace {

// A reader with an 8-byte record, its writes opened to the rows below.
class RecordReader : public ObjectReader {
public:
    explicit RecordReader(CReadContext& context) : ObjectReader(context, 7, "Запись", 8) {}
    using ObjectReader::FixedText;
    using ObjectReader::PoolText;
    CRecordBuffer& Buffer() { return buffer_; }
};

// What each kind of write of a reader leaves in its record, in the pool and on the console.
// Each row starts from a fresh run and reader.
TEST(ObjectReaderTest, WritesRefusalsAndTheirLines) {
    const std::string longText(70, 'L');
    struct Case {
        const char* name;
        std::function<void(RecordReader&)> write;
        Bytes record;
        Bytes pool;
        bool failed;
        std::string console;
    };
    const Case cases[] = {
        {"fixed text fits",
         [](RecordReader& r) {
             r.FixedText({2, 4}, "abc", "Имя");
         },
         {0, 0, 'a', 'b', 'c', 0},
         {0, 0},
         false,
         ""},
        {"fixed text refused whole",
         [](RecordReader& r) {
             r.FixedText({0, 4}, "abcd", "Имя формы");
         },
         {},
         {0, 0},
         true,
         "[ERROR 7] Имя формы длиннее 3 байт: abcd\n"},
        {"long text shown in part",
         [&](RecordReader& r) {
             r.FixedText({0, 4}, longText, "Имя");
         },
         {},
         {0, 0},
         true,
         "[ERROR 7] Имя длиннее 3 байт: " + std::string(64, 'L') + "... (70 байт)\n"},
        {"pool text referenced",
         [](RecordReader& r) {
             r.PoolText({4, 4}, "name");
         },
         {0, 0, 0, 0, 2, 0, 8, 0},
         {0, 0, 6, 0, 'n', 'a', 'm', 'e', 0, 0},
         false,
         ""},
        {"reserved table patched",
         [](RecordReader& r) {
             CRecordBuffer& b = r.Buffer();
             const size_t table = b.Reserve(4);
             b.Append16(0xABCD);
             b.Put16(table + 2, static_cast<uint16_t>(b.Size()));
         },
         {0, 0, 6, 0, 0xCD, 0xAB},
         {0, 0},
         false,
         ""},
        {"sticky failure, one line",
         [](RecordReader& r) {
             r.SetSubject("obj");
             CRecordBuffer& b = r.Buffer();
             b.Append32(1);
             b.Append32(2);
             b.Append8(3);  // past the 8 bytes
             b.Put8(0, 9);  // still written, the mark stays
             b.Append8(4);
         },
         {9, 0, 0, 0, 2, 0, 0, 0},
         {0, 0},
         true,
         "[ERROR 7] Запись превышает 8 байт: obj\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestRun run;
        RecordReader reader(run.Context());
        c.write(reader);
        const CRecordBuffer& buffer = reader.Buffer();
        EXPECT_EQ(Bytes(buffer.Bytes().begin(), buffer.Bytes().end()), c.record);
        EXPECT_EQ(run.PoolBytes(), c.pool);
        EXPECT_EQ(buffer.Failed(), c.failed);
        EXPECT_EQ(run.Context().LimitExceeded(), c.failed);
        EXPECT_EQ(run.Console(), c.console);
    }
}

}  // namespace
