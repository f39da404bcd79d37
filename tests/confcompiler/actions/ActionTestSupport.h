// Helpers for the action language tests: compile an expression against a fresh string pool
// with the console captured, and build expected pool bytes by hand.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "CActsReader.h"
#include "CStringsReader.h"
#include "TestRun.h"

using Bytes = std::vector<uint8_t>;

struct Compiled {
    int status = -1;
    uint32_t reference = 0;
    std::string name;  // the function name handed back on failure
    std::string log;   // everything the console log printed
    Bytes pool;        // the strings record afterwards
};

// The run a test works in: the console captured in a string, a fresh string pool and a
// document. The latest one alive is the one PoolBytes reads.
class CapturedLog : public TestRun {
public:
    CapturedLog() : previous_(current_) { current_ = this; }
    ~CapturedLog() { current_ = previous_; }
    std::string Text() const { return Console(); }
    static CapturedLog& Current() { return *current_; }

private:
    CapturedLog* previous_;
    static inline CapturedLog* current_ = nullptr;
};

// The strings record of the current run.
inline Bytes PoolBytes() {
    return CapturedLog::Current().PoolBytes();
}

// Compiles `text` with CActsReader::CompileCode against an empty pool.
inline Compiled CompileFresh(std::string_view text, const CListControl* controls = nullptr) {
    Compiled result;
    CapturedLog log;
    std::array<char, 256> name{};
    name[0] = 'X';  // must be overwritten
    result.status =
        CActsReader::CompileCode(log.Pool(), controls, text, result.reference, name.data(), 256);
    result.name = name.data();
    result.log = log.Text();
    result.pool = PoolBytes();
    return result;
}

// The action code bytes (length word included) of a successful compilation: the last entry.
inline Bytes CodeOf(const Compiled& compiled) {
    const size_t offset = compiled.reference & 0xFFFF;
    if (compiled.reference == 0 || offset + 2 > compiled.pool.size()) {
        return {};
    }
    const size_t length = compiled.pool[offset] | (compiled.pool[offset + 1] << 8);
    return Bytes(compiled.pool.begin() + offset + 2, compiled.pool.begin() + offset + 2 + length);
}

inline void Put16(Bytes& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// The four bytes of the string reference of the pool entry at `offset`.
inline Bytes Ref(int offset) {
    return {static_cast<uint8_t>(offset & 0xFF), static_cast<uint8_t>(offset >> 8), 0x08, 0x00};
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// A pool entry: length word, then the bytes.
inline Bytes Entry(const Bytes& data) {
    Bytes out(2 + data.size());
    out[0] = static_cast<uint8_t>(data.size() & 0xFF);
    out[1] = static_cast<uint8_t>((data.size() >> 8) & 0xFF);
    std::copy(data.begin(), data.end(), out.begin() + 2);
    return out;
}

// A pool entry of a text added with AddString: the text, its zero and a pad zero when needed.
inline Bytes TextEntry(std::string_view text) {
    Bytes data(text.begin(), text.end());
    data.push_back(0);
    if (data.size() % 2 != 0) {
        data.push_back(0);
    }
    return Entry(data);
}

// The empty pool: its first two bytes.
inline Bytes EmptyPool() {
    return {0x00, 0x00};
}
