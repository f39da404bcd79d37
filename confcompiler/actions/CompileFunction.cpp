// The string pool's entry point to the expression compiler: every action expression of the
// configuration is compiled here, by a fresh parser, and its code stored as one pool entry.
#include <cstring>

#include "CParser.h"
#include "CStringsReader.h"

int CStringsReader::CompileFunction(const CListControl* controls, std::string_view text,
                                    uint32_t& codeRef, char* nameBuffer, size_t nameSize,
                                    std::string_view where, bool* refusedForLength) {
    codeRef = 0;
    if (nameBuffer != nullptr && nameSize > 0) {
        nameBuffer[0] = 0;
    }
    CParser parser(*this, where);
    CRecordBuffer output(CParser::kOutputSize);
    if (parser.Parse(controls, text, output) != 0) {
        if (refusedForLength != nullptr) {
            *refusedForLength = parser.RefusedForLength();
        }
        const std::string& name = parser.FunctionName();
        if (nameBuffer != nullptr && name.size() < nameSize) {
            std::memcpy(nameBuffer, name.c_str(), name.size() + 1);
        }
        return 1;
    }
    const uint32_t reference = AddBytes(output.Data(), output.Size(), 0, where);
    if (reference == 0) {
        return 1;  // the pool is full; AddBytes has printed the error
    }
    codeRef = reference;
    return 0;
}
