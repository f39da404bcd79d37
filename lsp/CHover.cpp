#include "CHover.h"

#include "AsciiCase.h"
#include "CControl.h"
#include "CCursorContext.h"
#include "CDocumentGrammar.h"
#include "CEntry.h"
#include "CFunctionCatalogue.h"
#include "CFunctionList.h"
#include "ControlKeywords.h"
#include "ControlRecord.h"
#include "CqlDataSource.h"

namespace {

using Catalogue = CFunctionCatalogue;

bool Contains(const SRange& range, const SPosition& position) {
    return range.start <= position && position <= range.end;
}

std::string_view WidthName(Catalogue::ArgumentKind kind) {
    switch (kind) {
        case Catalogue::ArgumentKind::String:
            return "string reference";
        case Catalogue::ArgumentKind::Control:
            return "control index";
        case Catalogue::ArgumentKind::Number:
            break;
    }
    return "number";
}

std::string FunctionText(const Catalogue::Function& function) {
    std::string text = "**" + std::string(function.name) + "** — function id " +
                       std::to_string(function.id) + "\n\n" + std::string(function.description) +
                       "\n\n";
    const size_t count = Catalogue::ArgumentCount(function);
    if (count == 0) {
        return text + "No arguments.";
    }
    text += "Arguments (" + std::to_string(Catalogue::BlockSize(function)) + " bytes):\n";
    for (size_t n = 0; n < count; ++n) {
        const Catalogue::ArgumentKind kind = Catalogue::Kind(function, n);
        text += "\n" + std::to_string(n + 1) + ". " + std::string(CFunctionList::KindName(kind)) +
                " — " + std::string(WidthName(kind)) + ", " +
                std::to_string(Catalogue::Width(kind)) + " bytes at offset " +
                std::to_string(Catalogue::Offset(function, n));
    }
    return text;
}

// The code the compiler stores for a keyword of that attribute, or -1 when it is none.
long KeywordCode(std::string_view element, std::string_view attribute, std::string_view value) {
    const CDocumentGrammar::Keywords* keywords = CDocumentGrammar::KeywordsOf(element, attribute);
    if (keywords == nullptr || !CDocumentGrammar::Accepts(*keywords, value)) {
        return -1;
    }
    if (attribute == "font") {
        return ControlKeywords::FontId(value);
    }
    if (AsciiCase::Equal(element, "control") && attribute == "type") {
        return ControlKeywords::TypeCode(value);
    }
    if (AsciiCase::Equal(element, "entry")) {
        return attribute == "type"     ? long{CEntry::TypeCode(value)}
               : attribute == "dbtype" ? long{CEntry::DbTypeCode(value)}
                                       : -1;
    }
    if (AsciiCase::Equal(element, "datasource") && attribute == "type") {
        return CqlDataSource::KindCode(value);
    }
    if (attribute == "justification") {
        return ControlKeywords::Alignment(value);
    }
    if (attribute == "frameType") {
        return ControlKeywords::FrameType(0, value);
    }
    if (attribute == "type" && (AsciiCase::Equal(element, "buttonattrs") ||
                                AsciiCase::Equal(element, "pushbuttonattrs"))) {
        return ControlKeywords::ContentKind(value);
    }
    if (attribute == "resize") {
        return ControlKeywords::ResizeFlags(value);
    }
    return -1;
}

std::string KeywordText(std::string_view element, std::string_view attribute,
                        std::string_view value) {
    if (AsciiCase::Equal(element, "event") && attribute == "type") {
        for (size_t offset = 0; offset < ControlRecord::kSize; offset += 4) {
            if (AsciiCase::Equal(ControlKeywords::EventName(offset), value)) {
                return "**" + std::string(value) + "** — the code reference at offset " +
                       std::to_string(offset) + " of the control record";
            }
        }
        return {};
    }
    const long code = KeywordCode(element, attribute, value);
    if (code < 0) {
        return {};
    }
    return "**" + std::string(value) + "** — " + std::string(element) + " " +
           std::string(attribute) + " code " + std::to_string(code);
}

// The control symbol whose id the range is, with its form; false when none.
bool ControlAt(const std::vector<SSymbol>& symbols, const SPosition& position, bool selection,
               const SSymbol*& control, const SSymbol*& form, size_t& index) {
    for (const SSymbol& symbol : symbols) {
        if (!Contains(symbol.range, position)) {
            continue;
        }
        if (symbol.kind == ESymbolKind::Form) {
            size_t n = 0;
            for (const SSymbol& child : symbol.children) {
                if (child.kind != ESymbolKind::Control) {
                    continue;
                }
                if (Contains(selection ? child.selection : child.range, position)) {
                    control = &child;
                    form = &symbol;
                    index = n;
                    return true;
                }
                ++n;
            }
            return false;
        }
        return ControlAt(symbol.children, position, selection, control, form, index);
    }
    return false;
}

std::string ControlText(const SSymbol& control, const SSymbol& form, size_t index) {
    return "**control " + control.name + "** (" + control.detail + ") — control index " +
           std::to_string(index) + " in form \"" + form.name + "\"; its record is " +
           std::to_string(ControlRecord::kSize) + " bytes";
}

}  // namespace

JsonValue CHover::At(std::string_view text, const CLineIndex& lines, const SPosition& position,
                     const CAnalysis& analysis) {
    const size_t offset = lines.Offset(position);
    const CCursorContext context(text, offset);
    std::string contents;
    SRange range{position, position};
    if (context.Place() == CCursorContext::EPlace::AttributeValue) {
        size_t end = offset;
        while (end < text.size() && CCursorContext::NameCharacter(text[end])) {
            ++end;
        }
        const std::string_view word = text.substr(context.WordStart(), end - context.WordStart());
        range.start.character -= std::min(
            range.start.character,
            CLineIndex::Units(text.substr(context.WordStart(), offset - context.WordStart())));
        range.end.character += CLineIndex::Units(text.substr(offset, end - offset));
        const std::string& attribute = context.Attribute();
        if (attribute == "func" || attribute == "funcs") {
            if (const Catalogue::Function* function = Catalogue::FindByName(word)) {
                contents = FunctionText(*function);
            }
        } else if (!word.empty()) {
            contents = KeywordText(context.Element(), attribute, word);
        }
    }
    if (contents.empty()) {
        // A control: its id, or a name that refers to a control id.
        const SSymbol* control = nullptr;
        const SSymbol* form = nullptr;
        size_t index = 0;
        SPosition at = position;
        for (const SNameUse& use : analysis.Names()) {
            if (use.kind == ENameKind::ControlId && !use.definition &&
                Contains(use.range, position)) {
                for (const SNameUse& definition : analysis.Names()) {
                    if (definition.definition && definition.kind == use.kind &&
                        definition.name == use.name && definition.scope == use.scope) {
                        at = definition.range.start;
                        range = use.range;
                    }
                }
            }
        }
        if (ControlAt(analysis.Symbols(), at, true, control, form, index)) {
            contents = ControlText(*control, *form, index);
            if (at == position) {
                range = control->selection;
            }
        }
    }
    if (contents.empty()) {
        return nullptr;
    }
    return JsonValue{{"contents", {{"kind", "markdown"}, {"value", contents}}},
                     {"range", ToJson(range)}};
}
