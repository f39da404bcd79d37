// The whole configuration compile in memory, from the document's bytes to the database image:
// loading, every section reader, the action compiler and the string pool, with the console
// thrown away.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "CConfCompiler.h"
#include "NullStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    NullStream console;
    CConfCompiler compiler(console);
    std::vector<uint8_t> image;
    compiler.CompileMemory(std::string_view(reinterpret_cast<const char*>(data), size), image);
    return 0;
}
