// Record 1 of the configuration database: a 16-byte block. Nothing in the configuration
// determines its content; it is written as 16 zero bytes.
#pragma once

#include <cstddef>
#include <cstdint>

class CHashWriter {
public:
    static constexpr size_t kSize = 16;

    CHashWriter();
    virtual ~CHashWriter();

    const uint8_t* Build(size_t& size) const;

private:
    uint8_t block_[kSize];
    size_t size_;
};
