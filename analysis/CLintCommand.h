// `quilconf --lint [--json] FILE`: the analysis of one document printed as a list of findings,
// one line each in the form of --locations with the column added
// ("FILE:LINE:COLUMN: [WARNING L12] message", both 1-based, the column counted in UTF-16
// code units as editors count), or as a JSON array. No database is written.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "CAnalysis.h"

class CLintCommand {
public:
    static constexpr const char* kOption = "--lint";
    static constexpr const char* kJsonOption = "--json";

    // Exit statuses: no finding is an error; the document cannot be loaded (or read); the
    // compiler fails or reports an error; the options are wrong.
    static constexpr int kClean = 0;
    static constexpr int kNotLoaded = 1;
    static constexpr int kErrors = 255;
    static constexpr int kUsageError = 2;

    // Whether the arguments ask for the linter.
    static bool Wanted(const std::vector<std::string>& args);
    static int Run(const std::vector<std::string>& args, std::ostream& out);

    // The findings as the console shows them, and as JSON.
    static void WriteText(const CAnalysis& analysis, const std::string& file, std::ostream& out);
    static void WriteJson(const CAnalysis& analysis, const std::string& file, std::ostream& out);
    // The exit status of an analysis.
    static int Status(const CAnalysis& analysis);
};
