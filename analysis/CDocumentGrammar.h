// The names a configuration document (root `quillora`) is made of: for every element, where
// it may stand, its child elements and the attributes the compiler reads from it, and the
// keywords of the attributes that take keywords. The keywords come from the compiler's own
// tables (CControl, CEntry, CqlDataSource, CActsReader); the element and attribute names are
// those the readers read, gathered here in one table (a test pins it against the readers).
//
// Element names are matched as the compiler matches them, ASCII letters without regard to
// case; attribute names exactly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CDocumentGrammar {
public:
    struct Element {
        std::string_view name;
        // The elements it may stand in; empty for the root.
        std::vector<std::string_view> parents;
        std::vector<std::string_view> children;
        std::vector<std::string_view> attributes;
    };

    enum class Match {
        Exact,       // the whole value, letter case exact
        IgnoreCase,  // the whole value, ASCII letters without regard to case
        Prefix,      // the value begins with a keyword (ASCII case ignored)
        Words,       // the keywords found anywhere in the value, any number of them
    };

    struct Keywords {
        std::string_view element;
        std::string_view attribute;
        std::vector<std::string_view> values;  // UTF-8
        Match match = Match::IgnoreCase;
        // The compiler reports a value it does not know itself (the others it replaces by a
        // default without a word).
        bool reported = false;
    };

    static constexpr std::string_view kRoot = "quillora";

    // Every element, the root first.
    static const std::vector<Element>& Elements();
    // The element of that name standing in `parent` (empty for the root); null when the
    // compiler reads no such element there.
    static const Element* Find(std::string_view name, std::string_view parent);
    // Whether any element of the grammar has that name.
    static bool Known(std::string_view name);

    // Every keyword attribute.
    static const std::vector<Keywords>& AllKeywords();
    // The keywords of an attribute of an element; null when it takes no keywords.
    static const Keywords* KeywordsOf(std::string_view element, std::string_view attribute);
    // Whether a value is one the compiler understands.
    static bool Accepts(const Keywords& keywords, std::string_view value);

    // The candidate nearest to `name` (fewest edits, ASCII case ignored), when it is near
    // enough to be a misspelling; empty otherwise.
    static std::string_view Nearest(std::string_view name,
                                    const std::vector<std::string_view>& candidates);
};
