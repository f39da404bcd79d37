// The command-line check of one action expression (`quilconf --expr EXPRESSION [--controls
// ID,ID,...]`): compiles it against an empty string pool and prints what the configuration
// database would hold.
//
// On success: the action code as upper-case hexadecimal bytes separated by single blanks;
// then one line "string OFFSET: TEXT" (OFFSET decimal) per text the compilation added to the
// pool, in order; then the disassembly: with a control list, control arguments as the ids of
// the list (0 for no control), so that the text compiles back to the same bytes with that
// list; without one, as indexes ("#N", "#none"). Exit 0.
// On failure: the warnings an action list prints for a faulty expression. Exit 1.
// A --controls value that is not a comma list of integers: an error line, exit 2.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CExpressionCheck {
public:
    static constexpr int kSuccess = 0;
    static constexpr int kFailure = 1;
    static constexpr int kUsageError = 2;

    // `expressionUtf8` and `controlIds` come from the command line (UTF-8). Everything is
    // printed to `out`; the expression is compiled against an empty pool of its own. Returns
    // the exit status.
    static int Run(std::string_view expressionUtf8, const std::optional<std::string>& controlIds,
                   std::ostream& out);

    // Parses "ID,ID,..." (blanks around an id allowed; an empty text is an empty list). Each
    // id is a decimal integer from -32768 to 65535, kept as its low 16 bits, as an `id`
    // attribute would be. False on anything else, with `error` (UTF-8) saying what.
    static bool ParseControlIds(std::string_view text, std::vector<int16_t>& ids,
                                std::string& error);

    // Upper-case hexadecimal bytes separated by single blanks.
    static std::string HexBytes(const uint8_t* data, size_t size);
};
