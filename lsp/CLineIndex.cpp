#include "CLineIndex.h"

#include <algorithm>

namespace {

// Length in bytes of the UTF-8 sequence that begins with `lead`, and in UTF-16 code units of
// its character; a stray byte counts as one of each.
void Widths(unsigned char lead, size_t& bytes, uint32_t& units) {
    bytes = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    units = bytes == 4 ? 2 : 1;
}

bool LineEnd(char c) {
    return c == '\n' || c == '\r';
}

}  // namespace

CLineIndex::CLineIndex(std::string_view text) : text_(text) {
    starts_.push_back(0);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
            starts_.push_back(i + 1);
        }
    }
}

size_t CLineIndex::Offset(const SPosition& position) const {
    if (position.line >= starts_.size()) {
        return text_.size();
    }
    size_t offset = starts_[position.line];
    uint32_t column = 0;
    while (offset < text_.size() && !LineEnd(text_[offset])) {
        size_t bytes = 0;
        uint32_t units = 0;
        Widths(static_cast<unsigned char>(text_[offset]), bytes, units);
        if (column + units > position.character) {
            break;
        }
        column += units;
        offset = std::min(text_.size(), offset + bytes);
    }
    return offset;
}

uint32_t CLineIndex::Units(std::string_view piece) {
    uint32_t count = 0;
    for (size_t i = 0; i < piece.size();) {
        size_t bytes = 0;
        uint32_t units = 0;
        Widths(static_cast<unsigned char>(piece[i]), bytes, units);
        count += units;
        i += bytes;
    }
    return count;
}
