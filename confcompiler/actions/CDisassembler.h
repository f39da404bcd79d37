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
// A call may end before its last argument; its block then holds only the arguments given,
// and nothing marks where it ends. Such a call is recognised by what follows: the code is
// split into calls so that every call reads a known function id and a prefix of its layout,
// every string slot names a text of the pool, and the calls end exactly at the end of the
// code. Of the splits, the one that gives each call in turn the most arguments is shown:
// code whose calls all have their whole blocks is shown as written, and a short call followed
// by bytes that can be its further arguments is shown with them (the code of `Exit(); OK()`
// is shown as `Exit(1)`, which compiles to the same bytes). The bytes of a string reference
// after a short call can be read that way too, as further arguments and calls, when its
// entry's offset is a function id: the calls shown then have the same bytes, but that string
// is not named, and a string named after it would move in a pool rebuilt from the text. Given
// the order of the pool's strings (SetStringOrder: one expression compiled alone adds its
// strings in the order of its arguments), the split shown is one whose string slots name
// exactly those strings in that order, when there is one, so that the text compiles back to
// the same code and the same strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "CFunctionCatalogue.h"

class CListControl;

class CDisassembler {
public:
    // `pool` is the strings record (CStringsReader::BuildRecord); it must outlive this object.
    CDisassembler(const uint8_t* pool, size_t poolSize);
    virtual ~CDisassembler();

    // Show control arguments as ids of this list (null: as indexes).
    void SetControls(const CListControl* controls) { controls_ = controls; }
    // Prefer the split whose string slots name exactly these references, in this order.
    void SetStringOrder(std::vector<uint32_t> references) { stringOrder_ = std::move(references); }
    // The longest text Disassemble may produce: code naming one long text in many calls would
    // otherwise be shown as far more bytes than it holds.
    void SetTextLimit(size_t bytes) { textLimit_ = bytes; }

    // Disassembles action code (its length word first, `size` bytes available). Returns 0 and
    // sets `text` (Windows-1251); returns 1 and sets `error` (UTF-8) when the bytes are not
    // action code: truncated, or no split into calls explains them (the error names the
    // furthest offset that a split reaches and why no call can be read there); returns 2 with
    // `text` empty when the text would be longer than the limit (SetTextLimit).
    int Disassemble(const uint8_t* code, size_t size, std::string& text, std::string& error) const;
    // The same for the action code that a code reference names in the pool.
    int DisassembleReference(uint32_t codeRef, std::string& text, std::string& error) const;

    // The bytes of the pool entry that `reference` names; false when it names none.
    bool PoolEntry(uint32_t reference, const uint8_t*& data, size_t& size) const;
    // The text of a pool entry (up to its terminating zero); false when the reference names no
    // entry or the entry holds no terminated text.
    bool PoolText(uint32_t reference, std::string& text) const;

private:
    // True when the entry that `reference` names holds a text that a string argument can
    // have: terminated, without a double quote.
    bool IsArgumentText(uint32_t reference) const;
    // The text of an entry that IsArgumentText accepts.
    std::string ArgumentText(uint32_t reference) const;
    // The offset after the first `count` arguments of `function` read from `position`; 0 when
    // they cannot be read so (past `end`, a string slot naming no text).
    size_t ArgumentsEnd(const uint8_t* code, size_t position, size_t end,
                        const CFunctionCatalogue::Function& function, size_t count) const;
    // Why code that no split explains is no action code, naming the offset where it stops.
    std::string WhyNoSplit(const uint8_t* code, size_t end) const;
    std::string ControlText(uint16_t index) const;
    // The argument counts, by offset, of the split whose string slots name stringOrder_ in
    // order, the most arguments first; empty when no split does.
    std::vector<uint8_t> OrderedCounts(const uint8_t* code, size_t end) const;

    const uint8_t* pool_;
    size_t poolSize_;
    const CListControl* controls_ = nullptr;
    // String references of the entries that IsArgumentText accepts, ascending.
    std::vector<uint32_t> argumentTexts_;
    std::vector<uint32_t> stringOrder_;
    size_t textLimit_ = SIZE_MAX;
};
