// Where the lines of a document's UTF-8 text begin, to turn an editor's position (0-based
// line, column in UTF-16 code units) into a byte offset. (The analysis' CDocumentText goes
// the other way, from offsets to positions.)
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "CAnalysis.h"

class CLineIndex {
public:
    explicit CLineIndex(std::string_view text);

    // The byte offset of the position; a column past the line's end gives the line's end, a
    // line past the last gives the text's end. A position inside a character's UTF-16 pair
    // gives that character's start.
    size_t Offset(const SPosition& position) const;
    // The UTF-16 code units of a piece of the text.
    static uint32_t Units(std::string_view piece);

private:
    std::string_view text_;
    std::vector<size_t> starts_;  // the byte offset of each line's first character
};
