// Every database a test writes is also read back by the inspector, whose check must find
// nothing: what the compilers write is what the handheld can rely on.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CInspector.h"

// The lines as one text, each on its own indented line.
inline std::string ListedProblems(const std::vector<std::string>& lines) {
    std::string listed;
    for (const std::string& line : lines) {
        listed += "\n  " + line;
    }
    return listed;
}

// Adds a failure listing the inspector's problems with the database at `path`, if any.
inline void ExpectInspectorFindsNothing(const std::string& path) {
    EXPECT_EQ(ListedProblems(CInspector::CheckFile(path)), "") << "quilinspect --check " << path;
}

// The same for a database image held in memory.
inline void ExpectInspectorFindsNothingIn(const std::vector<uint8_t>& image) {
    EXPECT_EQ(ListedProblems(CInspector::ProblemLines(CInspector::Inspect(image, "image"))), "");
}
