// Documents declared in Windows-1251 under its usual names, and documents and databases with
// Cyrillic file names: the same texts and the same bytes on every system.
#include <gtest/gtest.h>
#include <libxml/tree.h>

#include <fstream>
#include <sstream>

#include "CConfCompiler.h"
#include "CConverter.h"
#include "CXmlPolicy.h"
#include "TempDir.h"

#ifndef _WIN32
#include <iconv.h>
#endif

namespace {

// The system's own reading of Windows-1251 text as UTF-8: iconv, or Windows' code page 1251.
std::string SystemUtf8(std::string narrow) {
    std::string out(narrow.size() * 3, '\0');
#ifdef _WIN32
    std::wstring wide(narrow.size(), L'\0');
    const int size = static_cast<int>(narrow.size());
    wide.resize(
        MultiByteToWideChar(1251, MB_ERR_INVALID_CHARS, narrow.data(), size, &wide[0], size));
    out = CPlatform::Utf8(wide);
#else
    char* in = narrow.data();
    char* at = out.data();
    size_t inLeft = narrow.size();
    size_t outLeft = out.size();
    iconv_t converter = iconv_open("UTF-8", "WINDOWS-1251");
    const bool converted = iconv(converter, &in, &inLeft, &at, &outLeft) != size_t(-1);
    iconv_close(converter);
    out.resize(converted ? out.size() - outLeft : 0);
#endif
    return out;
}

// The attribute `v` of the document's root as libxml2 reads it under the shared policy.
std::string LoadedValue(const std::string& document) {
    CXmlPolicy policy;
    xmlSAXHandler sax;
    CXmlPolicy::PrepareHandler(sax, CXmlPolicy::Mode::Tree);
    if (!policy.ParseMemory(document, sax)) {
        return "failed: " + policy.GetFailure().reason;
    }
    const xmlDocPtr tree = policy.TakeDocument();
    xmlChar* value = xmlGetProp(xmlDocGetRootElement(tree), BAD_CAST "v");
    const std::string text = reinterpret_cast<const char*>(value);
    xmlFree(value);
    xmlFreeDoc(tree);
    return text;
}

TEST(DocumentEncodingTest, Windows1251UnderEveryNameReadsAsTheSystemReadsIt) {
    // Every byte an attribute may hold as it is but 0x98, which has no character.
    std::string bytes;
    for (int byte = 0x20; byte <= 0xFF; ++byte) {
        if (byte != '\'' && byte != '<' && byte != '&' && byte != 0x98) {
            bytes += static_cast<char>(byte);
        }
    }
    const std::string expected = SystemUtf8(bytes);
    ASSERT_EQ(CConverter::ToNarrow(expected), bytes);
    for (const std::string name : {"windows-1251", "WINDOWS-1251", "cp1251", "CP1251", "x-cp1251",
                                   "cp-1251", "win-1251", "win1251", "windows1251", "ms-cyrl"}) {
        EXPECT_EQ(
            LoadedValue("<?xml version='1.0' encoding='" + name + "'?><r v='" + bytes + "'/>"),
            expected)
            << name;
    }
}

// The database at `path` with its three header dates zeroed.
std::string Database(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(CPlatform::Path(path), std::ios::binary).rdbuf();
    std::string database = bytes.str();
    return database.size() < 48 ? database : database.replace(36, 12, 12, '\0');
}

// examples/configuration.xml in Windows-1251, in a folder and under a file name in Cyrillic,
// compiles to the database of the UTF-8 original, in a run and through the program, into a
// database with a Cyrillic name.
TEST(DocumentEncodingTest, TheExampleInWindows1251UnderCyrillicNamesCompilesTheSame) {
    TempDir dir;
    const std::string folder = dir.Path() + "/Конфигурации торгового агента";
    std::filesystem::create_directory(CPlatform::Path(folder));
    std::ostringstream original;
    original << std::ifstream(QUIL_SOURCE_DIR "/examples/configuration.xml").rdbuf();
    std::string text = original.str();
    const std::string source = folder + "/Заказы и оплаты.xml";
    std::ofstream(CPlatform::Path(source), std::ios::binary)
        << CConverter::ToNarrow(text.replace(text.find("UTF-8"), 5, "windows-1251"));

    std::ostringstream log;
    ASSERT_EQ(CConfCompiler(log).Run(
                  {QUIL_SOURCE_DIR "/examples/configuration.xml", dir.File("utf8.pdb")}),
              0);
    ASSERT_EQ(CConfCompiler(log).Run({source, folder + "/База.pdb"}), 0) << log.str();
    EXPECT_EQ(Database(folder + "/База.pdb"), Database(dir.File("utf8.pdb")));

    int status = -1;
    const std::string output = RunCommand(
        Quoted(QUILCONF_PATH) + " " + Quoted(source) + " " + Quoted(folder + "/Ещё одна.pdb"),
        status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("Конфигурация сохранена"), std::string::npos) << output;
    EXPECT_EQ(Database(folder + "/Ещё одна.pdb"), Database(dir.File("utf8.pdb")));
}

}  // namespace
