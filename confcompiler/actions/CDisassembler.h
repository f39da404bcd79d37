// Turns action code back into expression text, in the catalogue's spelling: calls separated
// by "; ", arguments by ", ", numbers as signed decimals, strings in double quotes with the
// text of their pool entry.
//
// Control arguments hold control indexes, not the ids written in the configuration. Without
// a control list an index is shown as "#N" (N the 0-based position in the form) and the
// index 0xFFFF, no control, as "#none"; "#" is no lexeme of the action language, so such a
// text is never mistaken for an id. Given the form's control list, an index is shown as the
// id of the control at that position, which compiles back to the same index with that list;
// 0xFFFF is then shown as 0 (the id that never names a control). An index that no id leads to
// (outside the list, or a later duplicate of an id) is still shown as "#N".
//
// A call written with fewer arguments than its layout has its missing slots filled with
// "nothing" (string reference 0, number 0, control 0xFFFF); from the first string slot that
// holds reference 0 on, such trailing slots are left out again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CListControl;

class CDisassembler {
public:
    // `pool` is the strings record (CStringsReader::BuildRecord); it must outlive this object.
    CDisassembler(const uint8_t* pool, size_t poolSize);
    virtual ~CDisassembler();

    // Show control arguments as ids of this list (null: as indexes).
    void SetControls(const CListControl* controls) { controls_ = controls; }

    // Disassembles action code (its length word first, `size` bytes available). Returns 0 and
    // sets `text` (Windows-1251); returns 1 and sets `error` (UTF-8) when the bytes are not
    // action code: truncated, an unknown function id, a string reference naming no text.
    int Disassemble(const uint8_t* code, size_t size, std::string& text, std::string& error) const;
    // The same for the action code that a code reference names in the pool.
    int DisassembleReference(uint32_t codeRef, std::string& text, std::string& error) const;

    // The bytes of the pool entry that `reference` names; false when it names none.
    bool PoolEntry(uint32_t reference, const uint8_t*& data, size_t& size) const;
    // The text of a pool entry (up to its terminating zero); false when the reference names no
    // entry or the entry holds no terminated text.
    bool PoolText(uint32_t reference, std::string& text) const;

private:
    std::string ControlText(uint16_t index) const;

    const uint8_t* pool_;
    size_t poolSize_;
    const CListControl* controls_ = nullptr;
};
