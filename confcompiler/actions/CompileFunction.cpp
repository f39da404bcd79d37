// Placeholder until the expression compiler lands.
#include "CStringsReader.h"

int CStringsReader::CompileFunction(const CListControl*, std::string_view, uint32_t& codeRef,
                                    char* nameBuffer, size_t nameSize) {
    codeRef = 0;
    if (nameBuffer && nameSize > 0) {
        nameBuffer[0] = 0;
    }
    return 1;
}
