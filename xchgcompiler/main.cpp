#include <iostream>
#include <span>

#include "CExchangeCompiler.h"

int main(int argc, char** argv) {
    const int status = CExchangeCompiler::Run(
        std::span<const char* const>(argv, static_cast<size_t>(argc)), std::cout);
    std::cout.flush();
    return status;
}
