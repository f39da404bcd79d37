// What the editor shows over a word: for an action function its id, its arguments' kinds,
// sizes and places in the argument block and what it does; for a keyword value the code the
// compiler stores for it; for a control (its tag, or an id that names it) its index in the
// form and the size of its record.
#pragma once

#include <string_view>

#include "CAnalysis.h"
#include "CLineIndex.h"
#include "LspJson.h"

class CHover {
public:
    // The protocol's Hover, or null when there is nothing to say there.
    static JsonValue At(std::string_view text, const CLineIndex& lines, const SPosition& position,
                        const CAnalysis& analysis);
};
