// What a reader needs for one run, in a test: a console captured in a string, a fresh string
// pool, a document (loaded from text on demand) and the read context over them.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "CLog.h"
#include "CReadContext.h"
#include "CStringsReader.h"
#include "CXMLDOM.h"

class TestRun {
public:
    TestRun() : log_(console_), pool_(log_), context_(document_, pool_, log_) {}
    explicit TestRun(std::string_view xml) : TestRun() { Load(xml); }

    // Loads the document (any earlier one is replaced); false when it does not load.
    bool Load(std::string_view xml) { return document_.LoadMemory(xml); }

    CReadContext& Context() { return context_; }
    CStringsReader& Pool() { return pool_; }
    CLog& Log() { return log_; }
    const CXMLDOM& Document() const { return document_; }
    // Everything printed so far, and forgetting it.
    std::string Console() const { return console_.str(); }
    void ClearConsole() { console_.str(""); }
    // The strings record as it stands.
    std::vector<uint8_t> PoolBytes() const {
        size_t size = 0;
        const uint8_t* data = pool_.BuildRecord(size);
        return data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
    }

private:
    std::ostringstream console_;
    CLog log_;
    CStringsReader pool_;
    CXMLDOM document_;
    CReadContext context_;
};
