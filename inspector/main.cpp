// quilinspect: reads the databases of quilconf and quilxdb back, reports, checks and draws
// them (CInspectorProgram).
#include <iostream>
#include <string>
#include <vector>

#include "CInspectorProgram.h"
#include "CPlatform.h"

int main(int argc, char** argv) {
    CPlatform::PrepareConsole();
    const std::vector<std::string> args = CPlatform::Arguments(argc, argv);
    return CInspectorProgram::Run(args, std::cout, std::cerr);
}
