// The function catalogue as the integrators read it: `quilconf --functions` prints it as a
// console table, as JSON (--json) or as the Markdown table of the language guide (--markdown),
// always from the catalogue itself, so that no copy can fall behind it.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "CFunctionCatalogue.h"

class CFunctionList {
public:
    enum class Format { Console, Json, Markdown };

    // The format named by the option (empty: the console table), or false for another word.
    static bool ParseFormat(std::string_view option, Format& format);

    // Every function of the catalogue in id order, in that format.
    static void Write(Format format, std::ostream& out);

    // The name of an argument kind: in Russian for people ("число", "строка", "элемент"),
    // in English for JSON ("number", "string", "control").
    static std::string_view KindName(CFunctionCatalogue::ArgumentKind kind);
    static std::string_view KindKey(CFunctionCatalogue::ArgumentKind kind);

    // The argument list as people read it: "элемент, число", or "-" for none.
    static std::string Arguments(const CFunctionCatalogue::Function& function);
};
