// One conversation of the language server with an editor: the JSON-RPC messages of the
// protocol's lifecycle, the open documents with their analyses, and the answers to the
// editor's requests. It knows nothing of framing or streams: the caller hands it each
// message's body and sends what it gives back.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CAnalysis.h"
#include "LspJson.h"

class CLspConnection {
public:
    // The protocol's error codes.
    static constexpr int kParseError = -32700;
    static constexpr int kInvalidRequest = -32600;
    static constexpr int kMethodNotFound = -32601;
    static constexpr int kInvalidParams = -32602;
    static constexpr int kServerNotInitialized = -32002;

    // Handles one message body; appends the bodies of the messages to send.
    void Handle(std::string_view body, std::vector<std::string>& out);
    // Analyses the documents changed since their last diagnostics and appends those.
    // The caller does this when no more input is waiting, so that a burst of edits is
    // analysed once.
    void Flush(std::vector<std::string>& out);
    // An error answer for a message whose framing was unusable.
    static std::string FramingError(std::string_view why);

    bool Exited() const { return exited_; }
    // The exit status: 0 when shutdown came before exit (or before the input's end), else 1.
    int ExitCode() const { return shutdown_ ? 0 : 1; }

private:
    struct SDocument {
        std::string text;
        bool ours = false;                        // a quillora or palm-client document
        bool dirty = true;                        // changed since the last diagnostics
        std::optional<CAnalysis> analysis;        // of the current text
        std::shared_ptr<const CAnalysis> loaded;  // the last one of a text that loaded
    };

    // The answer to a request: its result, or an error code and message.
    struct SAnswer {
        SAnswer(JsonValue value = nullptr) : result(std::move(value)) {}
        SAnswer(int code, std::string text) : error(code), message(std::move(text)) {}
        JsonValue result;
        int error = 0;
        std::string message;
    };

    SAnswer Request(const std::string& method, const JsonValue& params);
    void Notification(const std::string& method, const JsonValue& params,
                      std::vector<std::string>& out);
    // The open document that params.textDocument.uri names, or null.
    SDocument* Find(const JsonValue& params);
    const CAnalysis& Analysed(SDocument& document);
    void Publish(const std::string& uri, SDocument& document, std::vector<std::string>& out);
    void Open(const std::string& uri, std::string text);

    JsonValue Initialize(const JsonValue& params);
    SAnswer Completion(const JsonValue& params);
    SAnswer Hover(const JsonValue& params);
    SAnswer Locations(const JsonValue& params, bool references);
    SAnswer Outline(const JsonValue& params);

    std::map<std::string, SDocument> documents_;
    bool initialized_ = false;
    bool shutdown_ = false;
    bool exited_ = false;
    bool snippets_ = false;
};
