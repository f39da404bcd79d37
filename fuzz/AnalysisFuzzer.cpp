// The document analysis of quilconf --lint and the language server on any bytes: the
// compilers' in-memory runs, the checks, the outline and the names, positions included.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "CAnalysis.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CAnalysis analysis =
        CAnalysis::Run(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.xml");
    // Every range lies in order.
    for (const SFinding& finding : analysis.Findings()) {
        if (finding.range.end < finding.range.start) {
            __builtin_trap();
        }
    }
    return 0;
}
