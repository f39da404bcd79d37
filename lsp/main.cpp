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
            std::cerr << "Usage: quil-lsp [--stdio | --version]\n"
                         "Speaks the Language Server Protocol over standard input and output.\n";
            return args.size() == 1 && (args[0] == "--help" || args[0] == "-h") ? 0 : 2;
        }
        CPlatform::PrepareBinaryStreams();
        CLspServer server(CPlatform::ReadInput, CPlatform::WriteOutput);
        return server.Run();
    } catch (const std::bad_alloc&) {
        std::cerr << "quil-lsp: out of memory\n";
        return 1;
    }
}
