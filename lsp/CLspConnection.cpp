#include "CLspConnection.h"

#include "AsciiCase.h"
#include "CCompletion.h"
#include "CHover.h"
#include "CLineIndex.h"
#include "QuilVersion.h"

namespace {

JsonValue ErrorMessage(const JsonValue& id, int code, std::string_view message) {
    return JsonValue{
        {"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}};
}

// The name of the document's first element, found lexically (comments, the XML declaration
// and a document type skipped); empty when there is none yet.
std::string_view RootName(std::string_view text) {
    for (size_t i = text.find('<'); i != std::string_view::npos; i = text.find('<', i)) {
        if (text.substr(i, 4) == "<!--") {
            const size_t end = text.find("-->", i + 4);
            i = end == std::string_view::npos ? text.size() : end + 3;
            continue;
        }
        if (i + 1 < text.size() && (text[i + 1] == '?' || text[i + 1] == '!')) {
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < text.size() && CCursorContext::NameCharacter(text[end])) {
            ++end;
        }
        return text.substr(i + 1, end - i - 1);
    }
    return {};
}

bool Ours(std::string_view text) {
    const std::string_view root = RootName(text);
    if (root == "palm-client") {
        return true;
    }
    // quilconf matches element names without regard to ASCII letter case.
    return AsciiCase::Equal(root, "quillora");
}

JsonValue Diagnostic(const SFinding& finding) {
    JsonValue diagnostic{{"range", ToJson(finding.range)},
                         {"severity", static_cast<int>(finding.severity)},
                         {"message", finding.message}};
    if (!finding.code.empty()) {
        diagnostic["code"] = finding.code;
    }
    if (!finding.source.empty()) {
        diagnostic["source"] = finding.source;
    }
    return diagnostic;
}

// The protocol's symbol kinds.
int SymbolKind(ESymbolKind kind) {
    switch (kind) {
        case ESymbolKind::Menu:
            return 2;  // Module
        case ESymbolKind::MenuItem:
            return 12;  // Function
        case ESymbolKind::Journal:
        case ESymbolKind::Document:
        case ESymbolKind::RecordView:
        case ESymbolKind::Reference:
        case ESymbolKind::Frame:
            return 5;  // Class
        case ESymbolKind::Form:
            return 19;  // Object
        case ESymbolKind::Control:
            return 8;  // Field
        case ESymbolKind::Entry:
            return 7;  // Property
    }
    return 13;  // Variable
}

JsonValue Symbol(const SSymbol& symbol) {
    JsonValue children = JsonValue::array();
    for (const SSymbol& child : symbol.children) {
        children.push_back(Symbol(child));
    }
    JsonValue json{{"name", symbol.name.empty() ? std::string("?") : symbol.name},
                   {"kind", SymbolKind(symbol.kind)},
                   {"range", ToJson(symbol.range)},
                   {"selectionRange", ToJson(symbol.selection)}};
    if (!symbol.detail.empty()) {
        json["detail"] = symbol.detail;
    }
    if (!children.empty()) {
        json["children"] = std::move(children);
    }
    return json;
}

bool Contains(const SRange& range, const SPosition& position) {
    return range.start <= position && position <= range.end;
}

const JsonValue* Member(const JsonValue& object, const char* name) {
    if (!object.is_object()) {
        return nullptr;
    }
    const auto found = object.find(name);
    return found == object.end() ? nullptr : &*found;
}

const JsonValue& Position(const JsonValue& params) {
    static const JsonValue none;
    const JsonValue* position = Member(params, "position");
    return position != nullptr ? *position : none;
}

}  // namespace

std::string CLspConnection::FramingError(std::string_view why) {
    return Serialized(ErrorMessage(nullptr, kParseError, "Unusable message: " + std::string(why)));
}

void CLspConnection::Handle(std::string_view body, std::vector<std::string>& out) {
    const JsonValue message = JsonValue::parse(body, nullptr, false);
    if (message.is_discarded()) {
        out.push_back(Serialized(ErrorMessage(nullptr, kParseError, "Parse error")));
        return;
    }
    const JsonValue* version = Member(message, "jsonrpc");
    const JsonValue* method = Member(message, "method");
    const JsonValue* id = Member(message, "id");
    if (method == nullptr && id != nullptr &&
        (Member(message, "result") != nullptr || Member(message, "error") != nullptr)) {
        return;  // an answer to a request of ours; none is sent
    }
    const bool idValid = id != nullptr && (id->is_number_integer() || id->is_string());
    if (version == nullptr || *version != "2.0" || method == nullptr || !method->is_string() ||
        (id != nullptr && !idValid)) {
        out.push_back(Serialized(
            ErrorMessage(idValid ? *id : JsonValue(nullptr), kInvalidRequest, "Invalid request")));
        return;
    }
    const JsonValue* found = Member(message, "params");
    // Requests without parameters (shutdown) may also send null.
    const JsonValue params = found != nullptr && !found->is_null() ? *found : JsonValue::object();
    const std::string& name = method->get_ref<const std::string&>();
    if (id == nullptr) {
        Notification(name, params, out);
        return;
    }
    SAnswer answer;
    if (!initialized_ && name != "initialize") {
        answer.error = kServerNotInitialized;
        answer.message = "The server is not initialized";
    } else if (shutdown_) {
        answer.error = kInvalidRequest;
        answer.message = "The server is shut down";
    } else if (!params.is_object()) {
        answer.error = kInvalidParams;
        answer.message = "Params must be an object";
    } else {
        answer = Request(name, params);
    }
    if (answer.error != 0) {
        out.push_back(Serialized(ErrorMessage(*id, answer.error, answer.message)));
    } else {
        out.push_back(
            Serialized(JsonValue{{"jsonrpc", "2.0"}, {"id", *id}, {"result", answer.result}}));
    }
}

CLspConnection::SAnswer CLspConnection::Request(const std::string& method,
                                                const JsonValue& params) {
    if (method == "initialize") {
        if (initialized_) {
            return {kInvalidRequest, "The server is already initialized"};
        }
        initialized_ = true;
        return {Initialize(params)};
    }
    if (method == "shutdown") {
        shutdown_ = true;
        return SAnswer();
    }
    if (method == "textDocument/completion") {
        return Completion(params);
    }
    if (method == "textDocument/hover") {
        return Hover(params);
    }
    if (method == "textDocument/definition") {
        return Locations(params, false);
    }
    if (method == "textDocument/references") {
        return Locations(params, true);
    }
    if (method == "textDocument/documentSymbol") {
        return Outline(params);
    }
    return {kMethodNotFound, "Unknown method " + method};
}

void CLspConnection::Notification(const std::string& method, const JsonValue& params,
                                  std::vector<std::string>& out) {
    if (method == "exit") {
        exited_ = true;
        return;
    }
    if (!initialized_ || shutdown_) {
        return;  // notifications before initialize or after shutdown are dropped
    }
    const JsonValue* document = Member(params, "textDocument");
    const JsonValue* uri = document != nullptr ? Member(*document, "uri") : nullptr;
    if (uri == nullptr || !uri->is_string()) {
        return;  // initialized, $/cancelRequest, $/setTrace and the like need no answer
    }
    const std::string& name = uri->get_ref<const std::string&>();
    if (method == "textDocument/didOpen") {
        const JsonValue* text = Member(*document, "text");
        if (text != nullptr && text->is_string()) {
            Open(name, text->get<std::string>());
        }
    } else if (method == "textDocument/didChange") {
        const JsonValue* changes = Member(params, "contentChanges");
        if (changes == nullptr || !changes->is_array() || documents_.count(name) == 0) {
            return;
        }
        // Full synchronisation: each change holds the whole text; the last one counts.
        for (auto change = changes->rbegin(); change != changes->rend(); ++change) {
            const JsonValue* text = Member(*change, "text");
            if (text != nullptr && text->is_string() && Member(*change, "range") == nullptr) {
                Open(name, text->get<std::string>());
                break;
            }
        }
    } else if (method == "textDocument/didSave") {
        const JsonValue* text = Member(params, "text");
        if (text != nullptr && text->is_string()) {
            Open(name, text->get<std::string>());
        } else if (const auto found = documents_.find(name); found != documents_.end()) {
            found->second.dirty = true;
        }
    } else if (method == "textDocument/didClose") {
        if (documents_.erase(name) > 0) {
            out.push_back(Serialized(
                JsonValue{{"jsonrpc", "2.0"},
                          {"method", "textDocument/publishDiagnostics"},
                          {"params", {{"uri", name}, {"diagnostics", JsonValue::array()}}}}));
        }
    }
}

void CLspConnection::Open(const std::string& uri, std::string text) {
    SDocument& document = documents_[uri];
    document.text = std::move(text);
    document.ours = Ours(document.text);
    document.dirty = true;
    document.analysis.reset();
}

void CLspConnection::Flush(std::vector<std::string>& out) {
    for (auto& [uri, document] : documents_) {
        if (document.dirty) {
            Publish(uri, document, out);
        }
    }
}

const CAnalysis& CLspConnection::Analysed(SDocument& document) {
    if (!document.analysis) {
        document.analysis = CAnalysis::Run(document.text, "");
        if (document.analysis->Loaded()) {
            document.loaded = std::make_shared<const CAnalysis>(*document.analysis);
        }
    }
    return *document.analysis;
}

void CLspConnection::Publish(const std::string& uri, SDocument& document,
                             std::vector<std::string>& out) {
    document.dirty = false;
    JsonValue diagnostics = JsonValue::array();
    if (document.ours) {
        for (const SFinding& finding : Analysed(document).Findings()) {
            diagnostics.push_back(Diagnostic(finding));
        }
    }
    out.push_back(Serialized(JsonValue{{"jsonrpc", "2.0"},
                                       {"method", "textDocument/publishDiagnostics"},
                                       {"params", {{"uri", uri}, {"diagnostics", diagnostics}}}}));
}

CLspConnection::SDocument* CLspConnection::Find(const JsonValue& params) {
    const JsonValue* document = Member(params, "textDocument");
    const JsonValue* uri = document != nullptr ? Member(*document, "uri") : nullptr;
    if (uri == nullptr || !uri->is_string()) {
        return nullptr;
    }
    const auto found = documents_.find(uri->get<std::string>());
    return found == documents_.end() ? nullptr : &found->second;
}

JsonValue CLspConnection::Initialize(const JsonValue& params) {
    const JsonValue* capabilities = Member(params, "capabilities");
    const JsonValue* text =
        capabilities != nullptr ? Member(*capabilities, "textDocument") : nullptr;
    const JsonValue* completion = text != nullptr ? Member(*text, "completion") : nullptr;
    const JsonValue* item = completion != nullptr ? Member(*completion, "completionItem") : nullptr;
    const JsonValue* snippets = item != nullptr ? Member(*item, "snippetSupport") : nullptr;
    snippets_ = snippets != nullptr && snippets->is_boolean() && snippets->get<bool>();
    return JsonValue{{"capabilities",
                      {{"positionEncoding", "utf-16"},
                       {"textDocumentSync",
                        {{"openClose", true}, {"change", 1}, {"save", {{"includeText", false}}}}},
                       {"completionProvider", {{"triggerCharacters", {"<", " ", "\"", "("}}}},
                       {"hoverProvider", true},
                       {"definitionProvider", true},
                       {"referencesProvider", true},
                       {"documentSymbolProvider", true}}},
                     {"serverInfo", {{"name", "quil-lsp"}, {"version", QuilVersion::kPackage}}}};
}

CLspConnection::SAnswer CLspConnection::Completion(const JsonValue& params) {
    SDocument* document = Find(params);
    SPosition position;
    if (document == nullptr || !PositionFrom(Position(params), position)) {
        return {kInvalidParams, "Unknown document or position"};
    }
    if (!document->ours) {
        return {JsonValue::array()};
    }
    const CLineIndex lines(document->text);
    const size_t offset = lines.Offset(position);
    // Names come from the last analysis of a text that loaded: while a tag is being typed the
    // document is rarely well-formed.
    Analysed(*document);
    const CCompletion completion(document->text, offset, position, document->loaded.get(),
                                 snippets_);
    return {completion.Items()};
}

CLspConnection::SAnswer CLspConnection::Hover(const JsonValue& params) {
    SDocument* document = Find(params);
    SPosition position;
    if (document == nullptr || !PositionFrom(Position(params), position)) {
        return {kInvalidParams, "Unknown document or position"};
    }
    if (!document->ours) {
        return SAnswer();
    }
    const CLineIndex lines(document->text);
    return {CHover::At(document->text, lines, position, Analysed(*document))};
}

CLspConnection::SAnswer CLspConnection::Locations(const JsonValue& params, bool references) {
    SDocument* document = Find(params);
    SPosition position;
    if (document == nullptr || !PositionFrom(Position(params), position)) {
        return {kInvalidParams, "Unknown document or position"};
    }
    if (!document->ours) {
        return SAnswer();
    }
    const JsonValue& uri = params["textDocument"]["uri"];
    const std::vector<SNameUse>& names = Analysed(*document).Names();
    const SNameUse* at = nullptr;
    for (const SNameUse& use : names) {
        if (Contains(use.range, position)) {
            at = &use;
            break;
        }
    }
    if (at == nullptr) {
        return {references ? JsonValue::array() : JsonValue(nullptr)};
    }
    bool declarations = true;
    if (const JsonValue* context = Member(params, "context")) {
        const JsonValue* include = Member(*context, "includeDeclaration");
        declarations = include == nullptr || !include->is_boolean() || include->get<bool>();
    }
    JsonValue locations = JsonValue::array();
    for (const SNameUse& use : names) {
        if (use.kind != at->kind || use.name != at->name || use.scope != at->scope) {
            continue;
        }
        if (references ? (!use.definition || declarations) : use.definition) {
            locations.push_back(JsonValue{{"uri", uri}, {"range", ToJson(use.range)}});
        }
    }
    return {locations};
}

CLspConnection::SAnswer CLspConnection::Outline(const JsonValue& params) {
    SDocument* document = Find(params);
    if (document == nullptr) {
        return {kInvalidParams, "Unknown document"};
    }
    JsonValue symbols = JsonValue::array();
    if (document->ours) {
        for (const SSymbol& symbol : Analysed(*document).Symbols()) {
            symbols.push_back(Symbol(symbol));
        }
    }
    return {symbols};
}
