// The semantic checks of a configuration document: mistakes the compiler accepts without a
// word but the handheld shows wrong. Each check has its own code "L" + number; its findings
// have the source "quil-lint". The compiler's own messages are not repeated here.
#pragma once

#include <vector>

#include "CAnalysis.h"
#include "CConfigurationModel.h"

class CConfigurationChecks {
public:
    // The codes, one per check.
    static constexpr const char* kUnknownEntry = "L1";         // control `entry`
    static constexpr const char* kUnknownMenu = "L2";          // form `menuname`
    static constexpr const char* kUnknownNavigation = "L3";    // `firstNav`, `up` ...
    static constexpr const char* kDuplicateId = "L4";          // control `id` twice in a form
    static constexpr const char* kUnknownControl = "L5";       // control argument of a call
    static constexpr const char* kControlFunctionCase = "L6";  // SetCurrentdatetime(3)
    static constexpr const char* kUnknownObject = "L7";        // OpenJournal("none", ...)
    static constexpr const char* kUnknownForm = "L8";          // OpenJournal("J", "none")
    static constexpr const char* kUnknownDocument = "L9";      // `jrndocument`
    static constexpr const char* kUnknownInheritance = "L10";  // `inheritance`
    static constexpr const char* kDuplicateName = "L11";       // two objects, forms, ...
    static constexpr const char* kOffScreen = "L12";           // control outside the screen
    static constexpr const char* kOverlap = "L13";             // controls on one another
    static constexpr const char* kUnknownElement = "L14";      // an element never read
    static constexpr const char* kUnknownAttribute = "L15";    // an attribute never read
    static constexpr const char* kUnknownKeyword = "L16";      // font="bold" ...
    static constexpr const char* kMissingLayer = "L17";        // layer past the form's layers

    // Appends the findings of every check.
    static void Run(const CConfigurationModel& model, std::vector<SFinding>& findings);
};
