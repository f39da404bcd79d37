// The action language round trip in memory. The input is an expression, optionally after a
// first line that holds a control id list. The expression is compiled and shown as
// `quilconf --expr` shows it, without a control list and (when the first line is one) with
// it; a shown text that names no control by index ("#N", "#none") is compiled again with the
// same list and must give the same code, the same strings and the same text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "CExpressionCheck.h"

namespace {

// The first line of the check's output for an expression of more than 256 lexemes.
constexpr std::string_view kTooManyLexemes = "[WARNING 1] Слишком много лексем";

// The lines of the check's output.
std::vector<std::string> Lines(const std::string& output) {
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Whether the shown text names a control by index: a "#" outside the quoted strings.
bool NamesAnIndex(std::string_view text) {
    bool quoted = false;
    for (const char c : text) {
        quoted = quoted != (c == '"');
        if (c == '#' && !quoted) {
            return true;
        }
    }
    return false;
}

[[noreturn]] void Finding(const char* what, const std::string& first, const std::string& second) {
    std::fprintf(stderr, "%s\n--- first:\n%s--- second:\n%s", what, first.c_str(), second.c_str());
    std::abort();
}

void RoundTrip(std::string_view expression, const std::optional<std::string>& controls) {
    std::ostringstream first;
    if (CExpressionCheck::Run(expression, controls, first) != CExpressionCheck::kSuccess) {
        return;
    }
    // A string may hold a line break; the output is then not one item a line.
    const std::vector<std::string> shown = Lines(first.str());
    if (expression.find_first_of("\r\n") != std::string_view::npos || shown.size() < 2 ||
        NamesAnIndex(shown.back())) {
        return;
    }
    std::ostringstream second;
    if (CExpressionCheck::Run(shown.back(), controls, second) != CExpressionCheck::kSuccess) {
        // A reading that joins short calls writes more lexemes than the expression had ("f(a);
        // f(b)" is shown as "f(a, b); f()"), and may pass the 256 an expression can hold.
        if (second.str().starts_with(kTooManyLexemes)) {
            return;
        }
        Finding("the shown text does not compile", first.str(), second.str());
    }
    if (second.str() != first.str()) {
        Finding("the shown text compiles to other code, strings or text", first.str(),
                second.str());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // Neither a document nor a command line can hold a NUL.
    if (input.find('\0') != std::string_view::npos) {
        return 0;
    }
    const size_t newline = input.find('\n');
    const std::string_view expression =
        newline == std::string_view::npos ? input : input.substr(newline + 1);
    RoundTrip(expression, std::nullopt);
    if (newline != std::string_view::npos) {
        const std::string list(input.substr(0, newline));
        std::vector<int16_t> ids;
        std::string error;
        if (CExpressionCheck::ParseControlIds(list, ids, error)) {
            RoundTrip(expression, list);
        }
    }
    return 0;
}
