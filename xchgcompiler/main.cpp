#include <iostream>
#include <new>
#include <span>

#include "CExchangeCompiler.h"

int main(int argc, char** argv) {
    // An allocation failure ends the run with the failure status, never with a signal.
    try {
        const int status = CExchangeCompiler::Run(
            std::span<const char* const>(argv, static_cast<size_t>(argc)), std::cout);
        std::cout.flush();
        return status;
    } catch (const std::bad_alloc&) {
        std::cout << "\nOut of memory\n" << std::flush;
        return 1;
    }
}
