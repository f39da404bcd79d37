// quilconf on documents built to exhaust it: refused at loading, quickly and in little
// memory, and never ended by a signal when memory runs out.
#include <gtest/gtest.h>

#include "CXMLDOM.h"
#include "EntityExpansion.h"
#include "MeasuredRun.h"
#include "TempDir.h"

namespace {

TEST(QuilconfHostileInputTest, RefusedAtLoadingQuicklyAndInLittleMemory) {
    TempDir dir;
    dir.Write("ten.xml", EntityExpansion("quillora", 10));
    dir.Write("hundred.xml", EntityExpansion("quillora", 100));
    const std::string expansion = "Entity expansion exceeds 8388608 bytes, line 3";
    struct Case {
        std::string input;
        std::string reason;  // how the reason line begins
        long capKb;          // an address-space cap on the run, 0 for none
    };
    const Case cases[] = {
        {dir.File("ten.xml"), expansion, 0},
        {dir.File("hundred.xml"), expansion, 0},
#ifndef _WIN32  // Windows has no endless file like /dev/zero, nor address-space caps
        {"/dev/zero", "Document is empty, line 1", 0},
#endif
#if !defined(QUIL_ADDRESS_SANITIZER) && !defined(_WIN32)
        {"/dev/zero", "Document is empty, line 1", 256 * 1024},
        {dir.File("hundred.xml"), expansion, 256 * 1024},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        MeasuredRun::Of({QUILCONF_PATH, c.input, dir.File("out.pdb")}, c.capKb)
            .ExpectRefused({"[INFO] Не удается загрузить указанный документ \n[INFO] " + c.reason});
        EXPECT_FALSE(dir.Exists("out.pdb"));
    }
}

#ifndef QUIL_ADDRESS_SANITIZER
TEST(QuilconfHostileInputTest, RunningOutOfMemoryIsNoSignal) {
    TempDir dir;
    MeasuredRun::ExpectNoSignalUnderCaps(
        {QUILCONF_PATH, QUIL_SOURCE_DIR "/examples/configuration.xml", dir.File("out.pdb")});
}
#endif

// Entities that build markup keep working within the bound: ten references that expand to
// 100,000 elements in all.
TEST(QuilconfHostileInputTest, ModestExpansionsLoad) {
    CXMLDOM dom;
    ASSERT_TRUE(dom.LoadMemory(EntityExpansion("quillora", 10, 100))) << dom.LastError();
    int count = 0;
    for (XmlNode x = dom.FindNode(dom.GetFirstNode(), "x"); x != nullptr;
         x = dom.FindNextSibling(x, "x")) {
        ++count;
    }
    EXPECT_EQ(count, 10 * 100 * 100);
}

// The first error may come while the parser converts its input (a byte that the declared
// code page lacks); the load fails there and says why. Found by fuzz_configuration.
TEST(QuilconfHostileInputTest, AnEncodingErrorWhileReadingFailsTheLoad) {
    for (const char* document : {
#ifndef _WIN32  // iconv's code pages
             "<?xml version='1.0' encoding='windows-1250'?><a>\x81</a>",
#endif
             "<?xml version='1.0' encoding='windows-1251'?><a>\x98</a>"}) {
        CXMLDOM dom;
        EXPECT_FALSE(dom.LoadMemory(document));
        EXPECT_EQ(dom.LastError().rfind("Input conversion failed", 0), 0u) << dom.LastError();
    }
}

}  // namespace
