// quilconf: compiles a configuration document into the client's configuration database.
#include <iostream>
#include <string>
#include <vector>

#include "CConfCompiler.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    CConfCompiler compiler(std::cout);
    return compiler.Run(args);
}
