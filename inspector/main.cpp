// quilinspect: reads the databases of quilconf and quilxdb back, reports, checks and draws
// them (CInspectorProgram).
#include <iostream>
#include <string>
#include <vector>

#include "CInspectorProgram.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return CInspectorProgram::Run(args, std::cout, std::cerr);
}
