#include "CDocumentGrammar.h"

#include <algorithm>

#include "AsciiCase.h"
#include "CActsReader.h"
#include "CControl.h"
#include "CEntry.h"
#include "ControlKeywords.h"
#include "CqlDataSource.h"

namespace {

using Names = std::vector<std::string_view>;

Names Join(Names first, const Names& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

Names Events(CActsReader::ObjectKind kind) {
    const std::span<const std::string_view> events = CActsReader::Events(kind);
    return Names(events.begin(), events.end());
}

// The child elements that hold a control's type attributes, from the control reader's table.
Names AttributeElements() {
    Names names;
    for (const std::string_view type : ControlKeywords::TypeNames()) {
        names.push_back(CControl::AttributesElement(ControlKeywords::TypeCode(type)));
    }
    return names;
}

std::vector<CDocumentGrammar::Element> BuildElements() {
    const Names objects = {"journal", "document", "recordview", "reference", "frame"};
    const Names objectParts = {"entries", "forms", "form", "acts"};
    // The menu reader reads the items under every item, through any other element.
    const Names menuItems = {"submenu", "menuitem", "separator"};
    const Names menuParents = {"menu", "submenu", "menuitem", "separator"};
    const Names documentEvents = Events(CActsReader::ObjectKind::Document);
    const Names formEvents = Events(CActsReader::ObjectKind::Form);
    std::vector<CDocumentGrammar::Element> elements = {
        {"quillora",
         {},
         Join({"menu", "commonEntries"}, objects),
         {"name", "developer", "screenWidth", "screenHeight"}},
        {"menu", {"quillora"}, menuItems, {"name"}},
        // `parent` is the schema's and has no effect (the parent is the enclosing element);
        // it is known so that no one is told it is misspelt.
        {"submenu", menuParents, menuItems, {"title", "parent"}},
        {"menuitem", menuParents, menuItems, {"title", "func", "shortcut", "parent"}},
        {"separator", Join(menuParents, {"items"}), menuItems, {}},
        {"commonEntries", {"quillora"}, {"entry"}, {}},
        {"journal", {"quillora"}, Join({"data"}, objectParts), {"name", "view"}},
        {"document",
         {"quillora"},
         Join({"data", "inheritances"}, objectParts),
         {"name", "view", "prefix", "pdaCreate", "hasJournal"}},
        {"recordview", {"quillora"}, objectParts, {"name", "view"}},
        {"reference", {"quillora"}, Join({"data"}, objectParts), {"name", "view"}},
        {"frame", {"quillora"}, objectParts, {"name", "view"}},
        {"data", {"journal", "document", "reference"}, {"database", "jrndocument"}, {}},
        {"database", {"data"}, {}, {"name"}},
        {"jrndocument", {"data"}, {}, {"name"}},
        {"inheritances", {"document"}, {"inheritance"}, {}},
        {"inheritance", {"inheritances"}, {}, {"name"}},
        {"entries", objects, {"entry"}, {}},
        {"entry",
         {"entries", "commonEntries"},
         {"datasource"},
         {"name", "type", "dbtype", "mandatory", "view", "default"}},
        {"datasource", {"entry"}, {"item", "table", "field"}, {"type"}},
        {"item", {"datasource"}, {}, {"value", "view"}},
        {"table", {"datasource"}, {}, {"name", "filter"}},
        {"field", {"datasource"}, {}, {"name", "dbtype", "view", "default"}},
        {"forms", objects, {"form"}, {}},
        {"form",
         Join({"forms"}, objects),
         {"acts", "controls"},
         {"name", "menuname", "layers", "firstNav"}},
        {"acts", Join({"form"}, objects), Join(documentEvents, formEvents), {}},
        {"controls", {"form"}, {"control"}, {}},
        {"control",
         {"controls"},
         Join({"layout", "events"}, AttributeElements()),
         {"type", "id", "entry"}},
        {"layout",
         {"control"},
         {},
         {"x", "y", "w", "h", "layer", "enable", "left", "right", "down", "up", "resize"}},
        {"events", {"control"}, {"event"}, {}},
        {"event", {"events"}, {}, {"type", "func"}},
        {"staticattrs", {"control"}, {}, {"text", "font"}},
        {"fieldattrs",
         {"control"},
         {},
         Join({"maxChars", "font", "justification"}, ControlKeywords::FieldFlagNames())},
        {"valuelistattrs", {"control"}, {}, {"font", "maxVisibleCount"}},
        {"buttonattrs", {"control"}, {"text", "graph"}, {"type", "frameType"}},
        {"pushbuttonattrs", {"control"}, {"text", "graph"}, {"type", "group"}},
        {"text", {"buttonattrs", "pushbuttonattrs"}, {}, {"text", "font"}},
        {"graph", {"buttonattrs", "pushbuttonattrs"}, {}, {"bitmapID", "selectedBitmapID"}},
        {"checkboxattrs", {"control"}, {}, {"text", "font", "group"}},
        {"tableattrs", {"control"}, {}, {"font"}},
        {"items", {"control"}, {"item", "separator"}, {}},
        {"item", {"items"}, {}, {"bitmapID", "view", "func"}},
        {"bitmapattrs", {"control"}, {}, {"bitmapID"}},
        {"datetimeattrs", {"control"}, {}, {"title"}},
    };
    // The event elements of `acts`, each with its expression.
    Names events = Join(documentEvents, formEvents);
    std::sort(events.begin(), events.end());
    events.erase(std::unique(events.begin(), events.end()), events.end());
    for (const std::string_view event : events) {
        elements.push_back({event, {"acts"}, {}, {"funcs"}});
    }
    return elements;
}

std::vector<CDocumentGrammar::Keywords> BuildKeywords() {
    using Match = CDocumentGrammar::Match;
    const Names booleans = {"true", "false"};
    std::vector<CDocumentGrammar::Keywords> keywords = {
        {"control", "type", ControlKeywords::TypeNames(), Match::IgnoreCase, true},
        {"event", "type", ControlKeywords::EventNames(), Match::IgnoreCase, true},
        {"entry", "type", CEntry::TypeNames(), Match::IgnoreCase, true},
        {"entry", "dbtype", CEntry::DbTypeNames(), Match::Prefix, true},
        {"entry", "mandatory", booleans, Match::IgnoreCase},
        {"datasource", "type", CqlDataSource::KindNames(), Match::IgnoreCase, true},
        {"document", "pdaCreate", booleans, Match::IgnoreCase},
        {"document", "hasJournal", booleans, Match::IgnoreCase},
        {"layout", "enable", booleans, Match::IgnoreCase},
        {"layout", "resize", ControlKeywords::ResizeWords(), Match::Words},
        {"fieldattrs", "justification", ControlKeywords::AlignmentNames(), Match::IgnoreCase},
        {"buttonattrs", "type", ControlKeywords::ContentKindNames(), Match::IgnoreCase, true},
        {"pushbuttonattrs", "type", ControlKeywords::ContentKindNames(), Match::IgnoreCase, true},
        {"buttonattrs", "frameType", ControlKeywords::FrameTypeNames(), Match::Exact},
    };
    for (const std::string_view element :
         {"staticattrs", "fieldattrs", "valuelistattrs", "text", "checkboxattrs"}) {
        keywords.push_back({element, "font", ControlKeywords::FontNames(), Match::IgnoreCase});
    }
    for (const std::string_view flag : ControlKeywords::FieldFlagNames()) {
        keywords.push_back({"fieldattrs", flag, booleans, Match::IgnoreCase});
    }
    return keywords;
}

size_t Distance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const bool same = AsciiCase::Lower(a[i - 1]) == AsciiCase::Lower(b[j - 1]);
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

const std::vector<CDocumentGrammar::Element>& CDocumentGrammar::Elements() {
    static const std::vector<Element> elements = BuildElements();
    return elements;
}

const CDocumentGrammar::Element* CDocumentGrammar::Find(std::string_view name,
                                                        std::string_view parent) {
    for (const Element& element : Elements()) {
        if (!AsciiCase::Equal(element.name, name)) {
            continue;
        }
        if (parent.empty() ? element.parents.empty()
                           : std::any_of(element.parents.begin(), element.parents.end(),
                                         [&](std::string_view candidate) {
                                             return AsciiCase::Equal(candidate, parent);
                                         })) {
            return &element;
        }
    }
    return nullptr;
}

bool CDocumentGrammar::Known(std::string_view name) {
    return std::any_of(Elements().begin(), Elements().end(), [&](const Element& element) {
        return AsciiCase::Equal(element.name, name);
    });
}

const std::vector<CDocumentGrammar::Keywords>& CDocumentGrammar::AllKeywords() {
    static const std::vector<Keywords> keywords = BuildKeywords();
    return keywords;
}

const CDocumentGrammar::Keywords* CDocumentGrammar::KeywordsOf(std::string_view element,
                                                               std::string_view attribute) {
    for (const Keywords& keywords : AllKeywords()) {
        if (AsciiCase::Equal(keywords.element, element) && keywords.attribute == attribute) {
            return &keywords;
        }
    }
    return nullptr;
}

bool CDocumentGrammar::Accepts(const Keywords& keywords, std::string_view value) {
    if (keywords.match == Match::Words) {
        // Every word (between blanks and commas) holds a keyword, ASCII letters folded.
        std::string lower(value);
        std::transform(lower.begin(), lower.end(), lower.begin(), AsciiCase::Lower);
        size_t at = 0;
        while ((at = lower.find_first_not_of(" \t,;|", at)) != std::string::npos) {
            const size_t end = std::min(lower.find_first_of(" \t,;|", at), lower.size());
            const std::string_view word = std::string_view(lower).substr(at, end - at);
            if (std::none_of(keywords.values.begin(), keywords.values.end(),
                             [&](std::string_view keyword) {
                                 return word.find(keyword) != std::string_view::npos;
                             })) {
                return false;
            }
            at = end;
        }
        return true;
    }
    for (const std::string_view keyword : keywords.values) {
        switch (keywords.match) {
            case Match::Exact:
                if (value == keyword) {
                    return true;
                }
                break;
            case Match::IgnoreCase:
                if (AsciiCase::Equal(value, keyword)) {
                    return true;
                }
                break;
            case Match::Prefix:
                if (AsciiCase::StartsWith(value, keyword)) {
                    return true;
                }
                break;
            case Match::Words:
                break;
        }
    }
    return false;
}

std::string_view CDocumentGrammar::Nearest(std::string_view name, const Names& candidates) {
    // A name far longer than any of the grammar's is no misspelling of one.
    constexpr size_t kLongest = 64;
    if (name.size() > kLongest) {
        return {};
    }
    std::string_view best;
    size_t bestDistance = 0;
    for (const std::string_view candidate : candidates) {
        const size_t distance = Distance(name, candidate);
        if (best.empty() || distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    // A misspelling changes at most a third of the name (and at least one character may).
    const size_t allowed = std::max<size_t>(1, std::max(name.size(), best.size()) / 3);
    return !best.empty() && bestDistance <= allowed ? best : std::string_view();
}
