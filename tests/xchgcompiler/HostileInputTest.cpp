// quilxdb on documents built to exhaust it: refused with the parse-error line, quickly and in
// little memory, and never ended by a signal when memory runs out.
#include <gtest/gtest.h>

#include <new>
#include <sstream>

#include "CSaxReader.h"
#include "EntityExpansion.h"
#include "ExchangeContentHandler.h"
#include "MeasuredRun.h"
#include "TempDir.h"

namespace {

TEST(QuilxdbHostileInputTest, RefusedQuicklyAndInLittleMemory) {
    TempDir dir;
    dir.Write("get.xml", EntityExpansion("palm-client", 1000, 1000,
                                         "<exchange name='e' view='v'><get>", "</get></exchange>"));
    const std::pair<std::string, std::string> cases[] = {
        {dir.File("get.xml"),
         "entity expansion exceeds 8388608 bytes\n\nParse result code: 00000059\n"},
#ifndef _WIN32  // Windows has no endless file like /dev/zero
        {"/dev/zero", "Document is empty\n\nParse result code: 00000004\n"},
#endif
    };
    for (const auto& [input, error] : cases) {
        SCOPED_TRACE(input);
        MeasuredRun::Of({QUILXDB_PATH, input, dir.Path() + "/"})
            .ExpectRefused({"\nParse error at line ", error});
        EXPECT_EQ(dir.EntryCount(), 1u);
    }
}

#ifndef QUIL_ADDRESS_SANITIZER
TEST(QuilxdbHostileInputTest, RunningOutOfMemoryIsNoSignal) {
    TempDir dir;
    MeasuredRun::ExpectNoSignalUnderCaps(
        {QUILXDB_PATH, QUIL_SOURCE_DIR "/examples/exchange.xml", dir.Path() + "/"});
}
#endif

// A handler that runs out of memory stops the parse with that reason.
TEST(QuilxdbHostileInputTest, AllocationFailureInTheHandlerFailsTheParse) {
    struct Exhausted : CSaxReader::Handler {
        bool StartElement(std::string_view, CSaxReader::Attributes) override {
            throw std::bad_alloc();
        }
    } handler;
    const CSaxReader::Result result = CSaxReader::ParseMemory("<a><b/></a>", handler);
    EXPECT_NE(result.code, 0);
    EXPECT_EQ(result.reason, "out of memory");
}

// The first error may come while the parser converts its input.
TEST(QuilxdbHostileInputTest, AnEncodingErrorWhileReadingFailsTheParse) {
    for (const char* document : {
#ifndef _WIN32  // iconv's code pages
             "<?xml version='1.0' encoding='windows-1250'?><palm-client>\x81</palm-client>",
#endif
             "<?xml version='1.0' encoding='windows-1251'?><palm-client>\x98</palm-client>"}) {
        CSaxReader::Handler handler;
        const CSaxReader::Result result = CSaxReader::ParseMemory(document, handler);
        EXPECT_NE(result.code, 0);
        EXPECT_EQ(result.reason.rfind("input conversion failed", 0), 0u) << result.reason;
    }
}

// Entities that build markup keep working within the bound.
TEST(QuilxdbHostileInputTest, ModestExpansionsAreRead) {
    std::ostringstream console;
    ExchangeContentHandler handler(console);
    const CSaxReader::Result result = CSaxReader::ParseMemory(
        "<!DOCTYPE palm-client [<!ENTITY t \"<table name='a'/><table name='b'/>\">]>"
        "<palm-client><exchange name='e' view='v'><get><tables>&t;&t;&t;</tables></get>"
        "</exchange></palm-client>",
        handler);
    EXPECT_EQ(result.code, 0) << result.reason;
    std::ostringstream dump;
    handler.Table().Dump(dump);
    EXPECT_NE(dump.str().find("Get tables count: 6"), std::string::npos) << dump.str();
}

}  // namespace
