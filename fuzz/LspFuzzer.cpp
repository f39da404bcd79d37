// The language server on any text: the bytes are both a document, opened and asked for
// completion, hover, definitions, references and the outline at positions spread over it,
// and the server's raw input, framed or not.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CLspConnection.h"
#include "CLspServer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    CLspConnection connection;
    std::vector<std::string> out;
    connection.Handle(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{"capabilities":
        {"textDocument":{"completion":{"completionItem":{"snippetSupport":true}}}}}})",
                      out);
    const std::string uri = R"({"uri":"file:///f.xml")";
    connection.Handle(
        R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":)" + uri +
            R"(,"languageId":"xml","version":1,"text":)" +
            JsonValue(std::string(bytes))
                .dump(-1, ' ', false, JsonValue::error_handler_t::replace) +
            "}}}",
        out);
    connection.Flush(out);
    // Positions on every line the text has (and past it), at a few columns each.
    size_t lines = 1;
    for (const char c : bytes) {
        lines += c == '\n' ? 1 : 0;
    }
    const size_t step = lines / 16 + 1;
    int id = 1;
    for (size_t line = 0; line <= lines; line += step) {
        for (const size_t column : {size_t{0}, size_t{3}, size_t{17}, size_t{40}, size_t{200}}) {
            const std::string position = R"(,"position":{"line":)" + std::to_string(line) +
                                         R"(,"character":)" + std::to_string(column) + "}";
            for (const char* method : {"textDocument/completion", "textDocument/hover",
                                       "textDocument/definition", "textDocument/references"}) {
                connection.Handle(R"({"jsonrpc":"2.0","id":)" + std::to_string(id++) +
                                      R"(,"method":")" + method + R"(","params":{"textDocument":)" +
                                      uri + "}" + position + "}}",
                                  out);
            }
        }
    }
    connection.Handle(
        R"({"jsonrpc":"2.0","id":-1,"method":"textDocument/documentSymbol","params":{"textDocument":)" +
            uri + "}}}",
        out);
    out.clear();

    // The same bytes as the server's input, as they are and as one framed body.
    for (const std::string& input : {std::string(bytes), "Content-Length: " + std::to_string(size) +
                                                             "\r\n\r\n" + std::string(bytes)}) {
        size_t at = 0;
        CLspServer server(
            [&](char* buffer, size_t room) {
                const size_t count = std::min({room, input.size() - at, size_t{97}});
                std::copy_n(input.data() + at, count, buffer);
                at += count;
                return count;
            },
            [](std::string_view) { return true; });
        server.Run();
    }
    return 0;
}
