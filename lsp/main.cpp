// quil-lsp: the language server of configuration and exchange documents, spoken over
// standard input and output.
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "CLspServer.h"
#include "CPlatform.h"
#include "QuilVersion.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> args = CPlatform::Arguments(argc, argv);
        if (args.size() == 1 && args[0] == "--version") {
            std::cout << "quil-lsp version " << QuilVersion::kPackage << "\n";
            return 0;
        }
        if (!args.empty() && !(args.size() == 1 && args[0] == "--stdio")) {
            const bool help = args.size() == 1 && (args[0] == "--help" || args[0] == "-h");
            (help ? std::cout : std::cerr)
                << "Usage: quil-lsp [--stdio]\n"
                   "       quil-lsp --help | --version\n"
                   "A language server (Language Server Protocol 3.17) for configuration\n"
                   "(quillora) and exchange (palm-client) documents, spoken over standard\n"
                   "input and output; an editor starts it. --stdio is accepted and changes\n"
                   "nothing.\n";
            return help ? 0 : 2;
        }
        CPlatform::PrepareBinaryStreams();
        CLspServer server(CPlatform::ReadInput, CPlatform::WriteOutput);
        return server.Run();
    } catch (const std::bad_alloc&) {
        std::cerr << "quil-lsp: out of memory\n";
        return 1;
    }
}
