// The database inspector on any bytes: the whole document, the text report and the drawing of
// every form. Whatever the bytes, it must report, never crash or read past them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "CFormDrawing.h"
#include "CInspector.h"
#include "CTextReport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Json document = CInspector::Inspect(std::span<const uint8_t>(data, size), "input");
    CTextReport::Write(document);
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
