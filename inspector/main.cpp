// quilinspect: reads the databases of quilconf and quilxdb back, reports, checks and draws
// them (CInspectorProgram).
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "CInspectorProgram.h"
#include "CPlatform.h"

int main(int argc, char** argv) {
    // Whatever goes wrong inside ends the run with a line and a status, never with a signal.
    try {
        CPlatform::PrepareConsole();
        const std::vector<std::string> args = CPlatform::Arguments(argc, argv);
        return CInspectorProgram::Run(args, std::cout, std::cerr);
    } catch (const std::exception& failure) {
        std::cout.flush();
        std::cerr << "quilinspect: " << failure.what() << "\n";
        return CInspectorProgram::kFailed;
    }
}
