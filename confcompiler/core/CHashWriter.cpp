#include "CHashWriter.h"

CHashWriter::CHashWriter() : block_{}, size_(kSize) {}

CHashWriter::~CHashWriter() = default;

const uint8_t* CHashWriter::Build(size_t& size) const {
    size = size_;
    return block_;
}
