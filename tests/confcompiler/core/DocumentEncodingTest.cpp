// Documents declared in Windows-1251 under its usual names, and documents and databases with
// Cyrillic file names: the same texts and the same bytes on every system.
#include <gtest/gtest.h>
#include <libxml/tree.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "CConfCompiler.h"
#include "CConverter.h"
#include "CXmlPolicy.h"
#include "TempDir.h"

#ifndef _WIN32
#include <iconv.h>
#endif

namespace {

using Bytes = std::vector<uint8_t>;

// The system's own reading of Windows-1251 text as UTF-8: iconv, or Windows' code page 1251.
std::string SystemUtf8(const std::string& narrow) {
#ifdef _WIN32
    const int size = static_cast<int>(narrow.size());
    std::wstring wide(narrow.size(), L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(1251, MB_ERR_INVALID_CHARS, narrow.data(), size, wide.data(), size)));
    return CPlatform::Utf8(wide);
#else
    iconv_t converter = iconv_open("UTF-8", "WINDOWS-1251");
    std::string in = narrow;
    std::string out(narrow.size() * 3, '\0');
    char* inAt = in.data();
    char* outAt = out.data();
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    const size_t result = iconv(converter, &inAt, &inLeft, &outAt, &outLeft);
    iconv_close(converter);
    out.resize(result == static_cast<size_t>(-1) ? 0 : out.size() - outLeft);
    return out;
#endif
}

// The attribute `v` of the document's root as libxml2 reads it under the shared policy, or
// the reason it could not.
std::string LoadedValue(const std::string& document) {
    CXmlPolicy policy;
    xmlSAXHandler sax;
    CXmlPolicy::PrepareHandler(sax, CXmlPolicy::Mode::Tree);
    if (!policy.ParseMemory(document, sax)) {
        return "failed: " + policy.GetFailure().reason;
    }
    const xmlDocPtr tree = policy.TakeDocument();
    xmlChar* value = xmlGetProp(xmlDocGetRootElement(tree), BAD_CAST "v");
    const std::string text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    xmlFreeDoc(tree);
    return text;
}

TEST(DocumentEncodingTest, Windows1251UnderEveryNameReadsAsTheSystemReadsIt) {
    // Every byte that an attribute may hold as it is: printable ASCII but the quote and the
    // markup characters, and the upper half but 0x98, which has no character.
    std::string bytes;
    for (int byte = 0x20; byte <= 0xFF; ++byte) {
        if (byte != '\'' && byte != '<' && byte != '&' && byte != 0x98) {
            bytes += static_cast<char>(byte);
        }
    }
    const std::string expected = SystemUtf8(bytes);
    ASSERT_EQ(CConverter::ToNarrow(expected), bytes);
    for (const char* name :
         {"windows-1251", "WINDOWS-1251", "Windows-1251", "cp1251", "CP1251", "x-cp1251", "cp-1251",
          "win-1251", "win1251", "windows1251", "ms-cyrl"}) {
        EXPECT_EQ(LoadedValue("<?xml version='1.0' encoding='" + std::string(name) + "'?><r v='" +
                              bytes + "'/>"),
                  expected)
            << name;
    }
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(Utf8Path(path), std::ios::binary);
    Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() >= 48) {
        std::fill(bytes.begin() + 36, bytes.begin() + 48, 0);  // the three header dates
    }
    return bytes;
}

// examples/configuration.xml in Windows-1251, in a folder and under a file name in Cyrillic,
// compiles to the database of the UTF-8 original, in a run and through the program, into a
// database with a Cyrillic name.
TEST(DocumentEncodingTest, TheExampleInWindows1251UnderCyrillicNamesCompilesTheSame) {
    TempDir dir;
    const std::string folder = dir.Path() + "/Конфигурации торгового агента";
    std::filesystem::create_directory(Utf8Path(folder));
    std::ostringstream original;
    original << std::ifstream(QUIL_SOURCE_DIR "/examples/configuration.xml").rdbuf();
    std::string text = original.str();
    text.replace(text.find("UTF-8"), 5, "windows-1251");
    const std::string source = folder + "/Заказы и оплаты.xml";
    std::ofstream(Utf8Path(source), std::ios::binary) << CConverter::ToNarrow(text);

    std::ostringstream log;
    ASSERT_EQ(CConfCompiler(log).Run(
                  {QUIL_SOURCE_DIR "/examples/configuration.xml", dir.File("utf8.pdb")}),
              0)
        << log.str();
    const Bytes expected = ReadFile(dir.File("utf8.pdb"));
    ASSERT_EQ(CConfCompiler(log).Run({source, folder + "/База.pdb"}), 0) << log.str();
    EXPECT_EQ(ReadFile(folder + "/База.pdb"), expected);

    int status = -1;
    const std::string output = RunCommand(
        Quoted(QUILCONF_PATH) + " " + Quoted(source) + " " + Quoted(folder + "/Ещё одна.pdb"),
        status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("Конфигурация сохранена"), std::string::npos) << output;
    EXPECT_EQ(ReadFile(folder + "/Ещё одна.pdb"), expected);
}

}  // namespace
