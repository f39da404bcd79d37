// The string pool of one run: texts and byte blocks that records refer to by 32-bit string
// references (StringReference). The driver owns one pool per run and hands it to every reader
// through the read context; at the end it is written as the strings record.
//
// The strings record: two zero bytes, then the entries back to back in the order of addition,
// each a 16-bit length n followed by its n bytes. A text takes its padded size. Every addition
// makes a new entry; nothing is ever removed or changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "CRecordBuffer.h"
#include "ConfigurationLayout.h"
#include "StringReference.h"

class CLog;

class CStringsReader {
public:
    static constexpr size_t kCapacity = ConfigurationLayout::kMaxRecordSize;
    static constexpr uint16_t kRecordIndex = StringReference::kRecordIndex;

    // Refusals are reported to `log`.
    explicit CStringsReader(CLog& log);
    virtual ~CStringsReader();
    CStringsReader(const CStringsReader&) = delete;
    CStringsReader& operator=(const CStringsReader&) = delete;

    // Appends an entry (16-bit length, then the bytes) and returns its reference. An entry
    // that would take the pool past its capacity is refused: the first refusal prints one
    // error line with `code` (the code of the reader that was adding), the pool is marked as
    // overflowed and 0 is returned; every later addition is refused silently. `where` goes in
    // front of that line ("FILE:LINE: " of the element being read, or nothing).
    uint32_t AddBytes(const void* data, size_t size, int code = 0, std::string_view where = {});
    // AddBytes of the text, its terminator and the pad byte (StringSize bytes).
    uint32_t AddString(std::string_view text, int code = 0, std::string_view where = {});

    // The strings record: the pool up to its used length. Null when the pool overflowed.
    const uint8_t* BuildRecord(size_t& size) const;
    bool Overflowed() const { return overflowed_; }
    size_t UsedLength() const { return record_.Size(); }

    // The console of the run (the expression compiler prints its lexical warnings there).
    CLog& Log() { return log_; }

private:
    CLog& log_;
    CRecordBuffer record_;
    bool overflowed_ = false;
};
