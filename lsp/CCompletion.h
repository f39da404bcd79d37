// The completions at a cursor: element names the parent allows, attribute names of the
// element, keyword values, action functions with their arguments as a snippet, and the names
// the document defines (entries, control ids, menus, documents) where an attribute takes one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "CAnalysis.h"
#include "CCursorContext.h"
#include "LspJson.h"

class CCompletion {
public:
    // `names` is the last analysis of the document that loaded (null when none did): the
    // names come from its outline. `snippets`: the editor takes snippet insert texts.
    CCompletion(std::string_view text, size_t offset, const SPosition& position,
                const CAnalysis* names, bool snippets);

    // The protocol's CompletionItem list.
    JsonValue Items() const;

private:
    // One item: its label, kind (the protocol's CompletionItemKind), detail and the text it
    // puts in place of the word being typed (a snippet when `snippet`).
    struct SItem {
        std::string label;
        int kind = 0;
        std::string detail;
        std::string documentation;
        std::string insert;
        bool snippet = false;
    };

    void ElementItems(std::vector<SItem>& items) const;
    void AttributeItems(std::vector<SItem>& items) const;
    void ValueItems(std::vector<SItem>& items) const;
    void ExpressionItems(std::vector<SItem>& items) const;
    void NameItems(ESymbolKind kind, bool nested, std::vector<SItem>& items) const;
    // The innermost symbol of that kind around the cursor in the outline, or null.
    const SSymbol* Around(ESymbolKind kind) const;

    std::string_view text_;
    size_t offset_;
    SPosition position_;
    const CAnalysis* names_;
    bool snippets_;
    CCursorContext context_;
};
