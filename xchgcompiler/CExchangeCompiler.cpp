#include "CExchangeCompiler.h"

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "CExchangeLog.h"
#include "CPlatform.h"
#include "CSaxReader.h"
#include "CSettingsTable.h"
#include "ConsoleLine.h"
#include "ExchangeContentHandler.h"
#include "QuilVersion.h"

namespace {

constexpr const char* kHelp =
    "Usage:\n"
    "\tquilxdb.exe filename [output_directory]\n"
    "\tVersion 5.2\n"
    "\n"
    "Compiles the exchange description `filename` (root element palm-client) into the\n"
    "exchange settings database QL_PalmClientTransferDB.pdb and lists the settings read.\n"
    "\n"
    "  output_directory  the directory the database is written to: an existing directory,\n"
    "                    with or without its trailing separator (\"out\" or \"out/\"). Any\n"
    "                    other text is put in front of the file name as it is (\"out/day-\"\n"
    "                    writes out/day-QL_PalmClientTransferDB.pdb). Without it the file\n"
    "                    is created in the current directory.\n"
    "  --locations       put FILE:LINE: in front of every error about a line of the\n"
    "                    description; may stand before or after the file names\n"
    "  --help            show this text\n"
    "  --version         show the version\n"
    "\n"
    "Exit status: 0 when the database was written, 1 on any error.\n";

}  // namespace

std::string CExchangeCompiler::OutputPrefix(const std::string& argument) {
    std::error_code ignored;
    if (!argument.empty() && argument.back() != '/' &&
        std::filesystem::is_directory(CPlatform::Path(argument), ignored)) {
        return argument + "/";
    }
    return argument;
}

int CExchangeCompiler::Run(std::span<const char* const> arguments, std::ostream& console) {
    // The program name, then the arguments without the option, which may stand anywhere.
    std::vector<std::string_view> args;
    bool locations = false;
    for (const char* argument : arguments.subspan(arguments.empty() ? 0 : 1)) {
        if (std::string_view(argument) == kLocationsOption) {
            locations = true;
        } else {
            args.emplace_back(argument);
        }
    }
    if (args.empty()) {
        console << kUsage << std::flush;
        return 0;
    }
    const std::string_view first = args[0];
    if (first == "--help") {
        console << kHelp << std::flush;
        return 0;
    }
    if (first == "--version") {
        console << "quilxdb version " << QuilVersion::kPackage << "\n" << std::flush;
        return 0;
    }
    const std::string path(first);
    const std::string outputPrefix = args.size() >= 2 ? OutputPrefix(std::string(args[1])) : "";
    // Replacing the description with the database would lose the description.
    const std::string target = outputPrefix + CSettingsTable::kFileName;
    if (CPlatform::SameFile(path, target)) {
        CExchangeLog(console).Line({}, "The database file is the input document: " + target);
        return 1;
    }

    // The path as the console shows it: on one line, whatever it holds.
    const std::string shownPath = ConsoleLine::Joined(path);
    console << "\nParsing document: " << shownPath << "\n" << std::flush;

    ExchangeContentHandler handler(console);
    if (locations) {
        handler.ShowLocations(shownPath);
    }
    const CSaxReader::Result result = CSaxReader::ParseFile(path, handler);
    if (handler.Failed()) {
        // The handler has printed the one line that explains it.
        return 1;
    }
    if (result.code != 0) {
        handler.Log().Line(handler.Log().Location(result.line),
                           "Parse error at line " + std::to_string(result.line) + ", column " +
                               std::to_string(result.column) + ": " + result.reason);
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
