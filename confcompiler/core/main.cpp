// quilconf: compiles a configuration document into the client's configuration database.
#include <cstddef>
#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "CConfCompiler.h"
#include "CLintCommand.h"
#include "CLog.h"
#include "CPlatform.h"
#include "CXMLDOM.h"

int main(int argc, char** argv) {
    // Loading reports its own allocation failures (exit status 1); one anywhere else fails
    // the run like any other error instead of ending it with a signal.
    // With almost no memory at the start not even that exception could be thrown: the run
    // ends at once as any run that runs out of memory.
    constexpr size_t kStartingRoom = 256 << 10;
    if (!CPlatform::HasMemory(kStartingRoom)) {
        std::fputs("[ERROR 0] Недостаточно памяти.\n", stdout);
        return CConfCompiler::kFailed;
    }
    try {
        CPlatform::PrepareConsole();
        const std::vector<std::string> args = CPlatform::Arguments(argc, argv);
        if (CLintCommand::Wanted(args)) {
            return CLintCommand::Run(args, std::cout);
        }
        CConfCompiler compiler(std::cout);
        // The document's tree is left to the end of the process: freeing the tree of a large
        // configuration node by node costs a tenth of the whole run, for nothing. (It stays
        // reachable through this pointer, so leak checkers see no leak.)
        static CXMLDOM* const document = new CXMLDOM;
        return compiler.Run(args, *document);
    } catch (const std::bad_alloc&) {
        CLog log(std::cout);
        log.Error(0, "Недостаточно памяти.");
        return CConfCompiler::kFailed;
    }
}
