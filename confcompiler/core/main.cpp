// quilconf: compiles a configuration document into the client's configuration database.
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "CConfCompiler.h"
#include "CLog.h"
#include "CPlatform.h"

int main(int argc, char** argv) {
    // Loading reports its own allocation failures (exit status 1); one anywhere else fails
    // the run like any other error instead of ending it with a signal.
    try {
        CPlatform::PrepareConsole();
        const std::vector<std::string> args = CPlatform::Arguments(argc, argv);
        CConfCompiler compiler(std::cout);
        return compiler.Run(args);
    } catch (const std::bad_alloc&) {
        CLog log(std::cout);
        log.Error(0, "Недостаточно памяти.");
        return CConfCompiler::kFailed;
    }
}
