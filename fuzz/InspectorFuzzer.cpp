// The database inspector on any bytes: the whole document on every input; the text report, the
// JSON text and the drawing of every form on one input in eight, chosen by the bytes, so that
// the same input always takes the same path. Whatever the bytes, it must report, never crash
// or read past them. (Writing the bytes back as a document is fuzz_decompiler's.) The decoding
// budget is cut to what inputs of 2 KB can need: past it the same stop is taken, sooner.
#include <cstddef>
#include <cstdint>
#include <span>

#include "CFormDrawing.h"
#include "CInspector.h"
#include "CTextReport.h"

namespace {

// FNV-1a: cheap, and spreads inputs that differ in one byte.
bool InSample(const uint8_t* data, size_t size) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 16777619u;
    }
    return hash % 8 == 0;
}

// A sound 2 KB database holds fewer than 200 items (the smallest, a list item, takes 12 bytes)
// and a few KB of values; 32 problems kept take the same paths as a thousand.
constexpr CProblemList::Budget kBudget{256, size_t{128} << 10, 32};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Json document =
        CInspector::Inspect(std::span<const uint8_t>(data, size), "input", kBudget);
    if (!InSample(data, size)) {
        return 0;
    }
    CTextReport::Write(document);
    document.dump(-1, ' ', false, Json::error_handler_t::replace);
    if (document.contains("configuration")) {
        const Json& configuration = document["configuration"];
        const int width = configuration["info"]["screenWidth"].get<int>();
        const int height = configuration["info"]["screenHeight"].get<int>();
        for (const char* section :
             {"journals", "documents", "recordViews", "references", "frames"}) {
            for (const Json& object : configuration[section]) {
                for (const Json& form : object["forms"]) {
                    CFormDrawing::Svg(form, "object", width, height, 10);
                }
            }
        }
    }
    return 0;
}
