#include "CExchangeCompiler.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>

#include "CSaxReader.h"
#include "ExchangeContentHandler.h"

namespace {

constexpr const char* kHelp =
    "Usage:\n"
    "\tquilxdb.exe filename [output_directory]\n"
    "\tVersion 5.2\n"
    "\n"
    "Compiles the exchange description `filename` (root element palm-client) into the\n"
    "exchange settings database QL_PalmClientTransferDB.pdb and lists the settings read.\n"
    "\n"
    "  output_directory  text put in front of the file name; give a directory with its\n"
    "                    trailing separator (\"out/\"). Without it the file is created in\n"
    "                    the current directory.\n"
    "  --help            show this text\n"
    "  --version         show the version\n"
    "\n"
    "Exit status: 0 when the database was written, 1 on any error.\n";

}  // namespace

int CExchangeCompiler::Run(std::span<const char* const> arguments, std::ostream& console) {
    if (arguments.size() < 2) {
        console << kUsage << std::flush;
        return 0;
    }
    const std::string_view first = arguments[1];
    if (first == "--help") {
        console << kHelp << std::flush;
        return 0;
    }
    if (first == "--version") {
        console << "quilxdb version " << kVersion << "\n" << std::flush;
        return 0;
    }
    const std::string path(first);
    const std::string outputPrefix = arguments.size() >= 3 ? arguments[2] : "";

    console << "\nParsing document: " << path << "\n" << std::flush;

    ExchangeContentHandler handler(console);
    const CSaxReader::Result result = CSaxReader::ParseFile(path, handler);
    if (handler.Failed()) {
        // The handler has printed the one line that explains it.
        return 1;
    }
    if (result.code != 0) {
        console << "Parse error at line " << result.line << ", column " << result.column << ": "
                << result.reason << "\n";
    }
    char codeLine[64];
    std::snprintf(codeLine, sizeof codeLine, "\nParse result code: %08x\n\n",
                  static_cast<unsigned>(result.code));
    console << codeLine << std::flush;
    if (result.code != 0) {
        return 1;
    }

    handler.Table().Dump(console);
    console.flush();
    const bool written = handler.Table().WriteTransferDatabase(outputPrefix, console);
    console.flush();
    return written ? 0 : 1;
}
