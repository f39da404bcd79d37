// The process-wide string pool: texts and byte blocks that records refer to by 32-bit string
// references (low 16 bits the entry's offset, high 16 bits the strings record's index, 8).
// Written last, as the strings record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

class CListControl;

class CStringsReader {
public:
    static constexpr size_t kCapacity = 60000;
    static constexpr uint16_t kRecordIndex = 8;

    CStringsReader();
    virtual ~CStringsReader();

    // Appends an entry (16-bit length, then the bytes) and returns its reference. An entry
    // that would take the pool past its capacity is refused: an error line is printed (once),
    // the pool is marked as overflowed and 0 is returned.
    uint32_t AddBytes(const void* data, size_t size);
    // AddBytes of the text, its terminator and the pad byte (StringSize bytes).
    uint32_t AddString(std::string_view text);

    // Compiles one action expression (Windows-1251 text) against the form's controls (or
    // none), stores the action code as one pool entry and sets `codeRef` to its reference.
    // On failure returns non-zero, stores no code, and copies the name of the function the
    // compiler had reached into `nameBuffer` when it is shorter than `nameSize`.
    int CompileFunction(const CListControl* controls, std::string_view text, uint32_t& codeRef,
                        char* nameBuffer, size_t nameSize);

    // The strings record: the pool up to its used length. Null when the pool overflowed.
    static const uint8_t* BuildRecord(size_t& size);
    static bool Overflowed();
    static size_t UsedLength();
    // Starts again from an empty pool (the used length back at 2).
    static void ResetPool();
};
