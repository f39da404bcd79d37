#include "CCompletion.h"

#include <algorithm>

#include "AsciiCase.h"
#include "CDocumentGrammar.h"
#include "CFunctionCatalogue.h"
#include "CFunctionList.h"
#include "CLineIndex.h"

namespace {

// The protocol's CompletionItemKind values used here.
constexpr int kFunction = 3;
constexpr int kProperty = 10;
constexpr int kEnum = 13;
constexpr int kReference = 18;
constexpr int kClass = 7;

using Catalogue = CFunctionCatalogue;

bool Contains(const SRange& range, const SPosition& position) {
    return range.start <= position && position <= range.end;
}

// The call the cursor is in the arguments of, in an action expression: the function's name
// and the 0-based argument; false when the cursor is outside any call's parentheses or
// inside a quoted text.
bool OpenCall(std::string_view expression, std::string_view& function, size_t& argument) {
    bool quoted = false;
    bool open = false;
    for (size_t i = 0; i < expression.size(); ++i) {
        const char c = expression[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted) {
        } else if (c == '(') {
            size_t end = i;
            while (end > 0 && expression[end - 1] == ' ') {
                --end;
            }
            size_t start = end;
            while (start > 0 && CCursorContext::NameCharacter(expression[start - 1])) {
                --start;
            }
            function = expression.substr(start, end - start);
            argument = 0;
            open = true;
        } else if (c == ')') {
            open = false;
        } else if (c == ',' && open) {
            ++argument;
        }
    }
    return open && !quoted;
}

std::string Snippet(const Catalogue::Function& function) {
    std::string text = std::string(function.name) + "(";
    const size_t count = Catalogue::ArgumentCount(function);
    for (size_t n = 0; n < count; ++n) {
        const Catalogue::ArgumentKind kind = Catalogue::Kind(function, n);
        const std::string placeholder =
            "${" + std::to_string(n + 1) + ":" + std::string(CFunctionList::KindName(kind)) + "}";
        text += n > 0 ? ", " : "";
        text += kind == Catalogue::ArgumentKind::String ? "\"" + placeholder + "\"" : placeholder;
    }
    return text + ")$0";
}

// The grammar's element for the element at `depth` of the open elements (its parent the one
// before it); null for an element the compiler does not read there.
const CDocumentGrammar::Element* GrammarAt(const std::vector<std::string>& open, size_t depth) {
    return CDocumentGrammar::Find(open[depth], depth == 0 ? std::string_view() : open[depth - 1]);
}

}  // namespace

CCompletion::CCompletion(std::string_view text, size_t offset, const SPosition& position,
                         const CAnalysis* names, bool snippets)
    : text_(text),
      offset_(offset),
      position_(position),
      names_(names),
      snippets_(snippets),
      context_(text, offset) {}

const SSymbol* CCompletion::Around(ESymbolKind kind) const {
    if (names_ == nullptr) {
        return nullptr;
    }
    const SSymbol* found = nullptr;
    const std::vector<SSymbol>* level = &names_->Symbols();
    for (bool deeper = true; deeper;) {
        deeper = false;
        for (const SSymbol& symbol : *level) {
            if (Contains(symbol.range, position_)) {
                if (symbol.kind == kind) {
                    found = &symbol;
                }
                level = &symbol.children;
                deeper = true;
                break;
            }
        }
    }
    return found;
}

void CCompletion::NameItems(ESymbolKind kind, bool nested, std::vector<SItem>& items) const {
    if (names_ == nullptr) {
        return;
    }
    const auto add = [&](const SSymbol& symbol, std::string detail) {
        if (!symbol.name.empty()) {
            items.push_back({symbol.name, kReference, std::move(detail), {}, symbol.name});
        }
    };
    if (!nested) {
        for (const SSymbol& symbol : names_->Symbols()) {
            if (symbol.kind == kind) {
                add(symbol, symbol.detail);
            }
        }
        return;
    }
    if (kind == ESymbolKind::Control) {
        if (const SSymbol* form = Around(ESymbolKind::Form)) {
            for (const SSymbol& control : form->children) {
                if (control.kind == ESymbolKind::Control) {
                    add(control, control.detail);
                }
            }
        }
        return;
    }
    // Entries: the object's own, and a document's common entries after them.
    for (const ESymbolKind object :
         {ESymbolKind::Document, ESymbolKind::Reference, ESymbolKind::Journal, ESymbolKind::Frame,
          ESymbolKind::RecordView}) {
        const SSymbol* owner = Around(object);
        if (owner == nullptr) {
            continue;
        }
        for (const SSymbol& entry : owner->children) {
            if (entry.kind == ESymbolKind::Entry) {
                add(entry, entry.detail);
            }
        }
        if (object == ESymbolKind::Document) {
            for (const SSymbol& symbol : names_->Symbols()) {
                if (symbol.kind == ESymbolKind::Entry) {  // commonEntries
                    for (const SSymbol& entry : symbol.children) {
                        add(entry, entry.detail + " (commonEntries)");
                    }
                }
            }
        }
        return;
    }
}

void CCompletion::ExpressionItems(std::vector<SItem>& items) const {
    const std::string_view expression =
        text_.substr(context_.ValueStart(), context_.WordStart() - context_.ValueStart());
    std::string_view callee;
    size_t argument = 0;
    if (OpenCall(expression, callee, argument)) {
        const Catalogue::Function* called = Catalogue::FindByName(callee);
        if (called != nullptr && argument < Catalogue::ArgumentCount(*called) &&
            Catalogue::Kind(*called, argument) == Catalogue::ArgumentKind::Control) {
            NameItems(ESymbolKind::Control, true, items);
        }
        return;
    }
    for (const Catalogue::Function& function : Catalogue::Functions()) {
        SItem item;
        item.label = std::string(function.name);
        item.kind = kFunction;
        item.detail =
            std::string(function.name) + "(" +
            (Catalogue::ArgumentCount(function) == 0 ? std::string()
                                                     : CFunctionList::Arguments(function)) +
            ")  #" + std::to_string(function.id);
        item.documentation = std::string(function.description);
        item.snippet = snippets_;
        item.insert = snippets_ ? Snippet(function) : std::string(function.name) + "(";
        items.push_back(std::move(item));
    }
}

void CCompletion::ElementItems(std::vector<SItem>& items) const {
    const std::vector<std::string>& open = context_.Open();
    if (open.empty()) {
        items.push_back({std::string(CDocumentGrammar::kRoot),
                         kClass,
                         {},
                         {},
                         std::string(CDocumentGrammar::kRoot)});
        return;
    }
    const CDocumentGrammar::Element* parent = GrammarAt(open, open.size() - 1);
    if (parent == nullptr) {
        return;
    }
    for (const std::string_view child : parent->children) {
        items.push_back({std::string(child),
                         kClass,
                         "in " + std::string(parent->name),
                         {},
                         std::string(child)});
    }
}

void CCompletion::AttributeItems(std::vector<SItem>& items) const {
    std::vector<std::string> open = context_.Open();
    open.push_back(context_.Element());
    const CDocumentGrammar::Element* element = GrammarAt(open, open.size() - 1);
    if (element == nullptr) {
        return;
    }
    const std::vector<std::string>& written = context_.Written();
    for (const std::string_view attribute : element->attributes) {
        if (std::find(written.begin(), written.end(), attribute) != written.end()) {
            continue;
        }
        SItem item{std::string(attribute),
                   kProperty,
                   "of " + std::string(element->name),
                   {},
                   std::string(attribute)};
        if (snippets_) {
            item.insert += "=\"$1\"$0";
            item.snippet = true;
        }
        items.push_back(std::move(item));
    }
}

void CCompletion::ValueItems(std::vector<SItem>& items) const {
    const std::string& element = context_.Element();
    const std::string& attribute = context_.Attribute();
    if (attribute == "func" || attribute == "funcs") {
        ExpressionItems(items);
        return;
    }
    if (attribute == "entry" && AsciiCase::Equal(element, "control")) {
        NameItems(ESymbolKind::Entry, true, items);
        return;
    }
    if (attribute == "menuname") {
        NameItems(ESymbolKind::Menu, false, items);
        return;
    }
    if (attribute == "name" && AsciiCase::Equal(element, "jrndocument")) {
        NameItems(ESymbolKind::Document, false, items);
        return;
    }
    if (const CDocumentGrammar::Keywords* keywords =
            CDocumentGrammar::KeywordsOf(element, attribute)) {
        for (const std::string_view value : keywords->values) {
            items.push_back({std::string(value), kEnum, {}, {}, std::string(value)});
        }
        return;
    }
    const bool navigation =
        (AsciiCase::Equal(element, "layout") && (attribute == "left" || attribute == "right" ||
                                                 attribute == "down" || attribute == "up")) ||
        (AsciiCase::Equal(element, "form") && attribute == "firstNav");
    if (navigation) {
        NameItems(ESymbolKind::Control, true, items);
        return;
    }
}

JsonValue CCompletion::Items() const {
    std::vector<SItem> items;
    switch (context_.Place()) {
        case CCursorContext::EPlace::AttributeValue:
            ValueItems(items);
            break;
        case CCursorContext::EPlace::ElementName:
            ElementItems(items);
            break;
        case CCursorContext::EPlace::EndTagName:
            if (!context_.Open().empty()) {
                const std::string& name = context_.Open().back();
                items.push_back({name, kClass, {}, {}, name + ">"});
            }
            break;
        case CCursorContext::EPlace::AttributeName:
            AttributeItems(items);
            break;
        case CCursorContext::EPlace::Content:
            break;
    }
    // Each item replaces the word typed so far (it lies on the cursor's line).
    const size_t start = std::min(context_.WordStart(), offset_);
    SPosition from = position_;
    from.character -=
        std::min(from.character, CLineIndex::Units(text_.substr(start, offset_ - start)));
    const JsonValue range = ToJson(SRange{from, position_});
    JsonValue list = JsonValue::array();
    for (const SItem& item : items) {
        JsonValue json{{"label", item.label},
                       {"kind", item.kind},
                       {"textEdit", {{"range", range}, {"newText", item.insert}}}};
        if (!item.detail.empty()) {
            json["detail"] = item.detail;
        }
        if (!item.documentation.empty()) {
            json["documentation"] = item.documentation;
        }
        if (item.snippet) {
            json["insertTextFormat"] = 2;
        }
        list.push_back(std::move(json));
    }
    return list;
}
