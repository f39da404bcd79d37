// Any bytes written back as a document (`quilinspect --xml`): read as the inspector reads them,
// turned into a document, compiled again in memory and compared with the bytes. Whatever the
// bytes, it must answer with a document or reasons, never crash or read past them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "CDecompiler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CDecompiler::Decompile(std::span<const uint8_t>(data, size), "input");
    return 0;
}
