// The semantic checks of a configuration document: mistakes the compiler accepts without a
// word but the handheld shows wrong. Each check has its own code "L" + number; its findings
// have the source "quil-lint". The compiler's own messages are not repeated here.
#pragma once

#include <vector>

#include "CAnalysis.h"
#include "CConfigurationModel.h"

class CConfigurationChecks {
public:
    // The codes.
    static constexpr const char* kUnknownEntry = "L1";
    static constexpr const char* kUnknownMenu = "L2";

    // Appends the findings of every check.
    static void Run(const CConfigurationModel& model, std::vector<SFinding>& findings);
};
