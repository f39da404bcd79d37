// A database turned back into the document that compiles to it (quilinspect --xml): the
// configuration database into a `quillora` document (CConfigurationDecompiler), the exchange
// settings database into a `palm-client` document (CExchangeDecompiler).
//
// Every generated document is compiled again in memory and its database compared with the
// one read, header dates aside. A database is reproduced when the check of the inspector
// finds no problem, no pool entry is left that no record names, nothing had to be left out
// or changed, and the comparison finds the same bytes. Otherwise the reasons say what and
// where; the document is still made, with a comment at each place it does not reproduce
// (and the reasons that have no place in it at its start), for --force.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CDecompiler {
public:
    struct Result {
        bool reproduced = false;
        // The document; empty when the file is no database of the two compilers.
        std::string text;
        // Why it is not reproduced: "record R, offset O: ..." (or "file, offset O: ...").
        std::vector<std::string> reasons;
    };

    // `path` is named in the document's first comment with the record count; without
    // `withOrigin` there is no such comment (two documents then compare by content alone).
    static Result Decompile(std::span<const uint8_t> file, const std::string& path,
                            bool withOrigin = true);

    // The database that a generated document compiles to, or false ("configuration" or
    // "exchange") with the compiler's line that says why in `why`, when given.
    static bool Compile(std::string_view kind, std::string_view xml, std::vector<uint8_t>& image,
                        std::string* why = nullptr);

    // Where two database files differ, header dates aside: the header or the record count
    // ("file, offset O: ..."), else the first differing byte of each record that differs
    // ("record R, offset O: ...", one line each); empty when they agree.
    static std::string Difference(std::span<const uint8_t> expected,
                                  std::span<const uint8_t> actual);
};
