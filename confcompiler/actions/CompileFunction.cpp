// The string pool's entry point to the expression compiler: every action expression of the
// configuration is compiled here, by a fresh parser, and its code stored as one pool entry.
#include <cstring>

#include "CParser.h"
#include "CStringsReader.h"

int CStringsReader::CompileFunction(const CListControl* controls, std::string_view text,
                                    uint32_t& codeRef, char* nameBuffer, size_t nameSize, int code,
                                    std::string_view where, bool* refusedForLength) {
    codeRef = 0;
    if (nameBuffer != nullptr && nameSize > 0) {
        nameBuffer[0] = 0;
    }
    CParser parser(*this, where, code);
    CRecordBuffer output(CParser::kOutputSize);
    if (parser.Parse(controls, text, output) != 0) {
        if (refusedForLength != nullptr) {
            *refusedForLength = parser.RefusedForLength();
        }
        const std::string& name = parser.FunctionName();
        if (nameBuffer != nullptr && name.size() < nameSize) {
            std::memcpy(nameBuffer, name.c_str(), name.size() + 1);
        }
        // A string argument the pool refused ends the parse as a fault would.
        return Overflowed() ? kPoolFull : 1;
    }
    const uint32_t reference = AddBytes(output.Data(), output.Size(), code, where);
    if (reference == 0) {
        return kPoolFull;  // AddBytes has printed the error
    }
    codeRef = reference;
    return 0;
}
