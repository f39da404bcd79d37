#include <iostream>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "CExchangeCompiler.h"
#include "CPlatform.h"

int main(int argc, char** argv) {
    // An allocation failure ends the run with the failure status, never with a signal.
    try {
        CPlatform::PrepareConsole();
        const std::vector<std::string> args = CPlatform::Arguments(argc, argv);
        std::vector<const char*> arguments{argc > 0 ? argv[0] : "quilxdb"};
        for (const std::string& arg : args) {
            arguments.push_back(arg.c_str());
        }
        const int status = CExchangeCompiler::Run(arguments, std::cout);
        std::cout.flush();
        return status;
    } catch (const std::bad_alloc&) {
        std::cout << "\nOut of memory\n" << std::flush;
        return 1;
    }
}
