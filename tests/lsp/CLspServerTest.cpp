// The server's loop over framed bytes: what it answers and its exit status for inputs that
// arrive whole or in pieces, with broken headers, too large bodies and bursts of edits.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CLspServer.h"
#include "CMessageFraming.h"

namespace {

std::string Framed(const std::string& body) {
    return CMessageFraming::Frame(body);
}

const std::string kInitialize =
    Framed(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})");
const std::string kShutdown = Framed(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})");
const std::string kExit = Framed(R"({"jsonrpc":"2.0","method":"exit"})");
const std::string kUnknown = Framed(R"({"jsonrpc":"2.0","id":3,"method":"nothing"})");

std::string Change(int version, const std::string& text) {
    return Framed(
        R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"u","version":)" +
        std::to_string(version) + R"(},"contentChanges":[{"text":)" + nlohmann::json(text).dump() +
        "}]}}");
}

const std::string kOpen = Framed(
    R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"u","languageId":"xml","version":1,"text":"<quillora>"}}})");

struct Case {
    const char* name;
    std::string input;
    size_t piece;  // bytes handed over per read
    int status;
    // The answers: "id:code" for an error, "id" for a result, "diagnostics:N" for a
    // publication with N diagnostics.
    std::vector<std::string> answers;
};

std::vector<std::string> Summary(const std::string& output) {
    CMessageFraming framing;
    framing.Feed(output);
    std::vector<std::string> answers;
    std::string body;
    while (framing.Next(body) == CMessageFraming::EResult::Message) {
        const nlohmann::json message = nlohmann::json::parse(body);
        const std::string id = message.contains("id") ? message["id"].dump() : "";
        if (message.contains("error")) {
            answers.push_back(id + ":" + message["error"]["code"].dump());
        } else if (message.contains("result")) {
            answers.push_back(id);
        } else {
            answers.push_back("diagnostics:" +
                              std::to_string(message["params"]["diagnostics"].size()));
        }
    }
    return answers;
}

}  // namespace

TEST(CLspServerTest, FramedConnections) {
    // Refused at its header, before the body arrives.
    const std::string large =
        "Content-Length: " + std::to_string(CMessageFraming::kMaxBody + 1) + "\r\n\r\n{}";
    const std::vector<Case> cases = {
        {"whole", kInitialize + kUnknown + kShutdown + kExit, 1 << 20, 0, {"1", "3:-32601", "2"}},
        {"byte by byte", kInitialize + kUnknown + kShutdown + kExit, 1, 0, {"1", "3:-32601", "2"}},
        {"exit first", kInitialize + kExit + kShutdown, 7, 1, {"1"}},
        {"end of input", kInitialize, 64, 1, {"1"}},
        {"end after shutdown", kInitialize + kShutdown, 64, 0, {"1", "2"}},
        {"before initialize", kUnknown + kInitialize, 64, 1, {"3:-32002", "1"}},
        {"no length",
         "Content-Type: x\r\n\r\n" + kInitialize + "Content-Length: 1x\r\n\r\n" + kShutdown,
         64,
         0,
         {"null:-32700", "1", "null:-32700", "2"}},
        {"header too long",
         std::string(5000, 'a') + "\r\n\r\n" + kInitialize,
         4096,
         1,
         {"null:-32700", "1"}},
        {"body too large", kInitialize + large + kShutdown, 1 << 16, 1, {"1", "null:-32700"}},
        {"not JSON", Framed("{\"id\":") + kInitialize, 64, 1, {"null:-32700", "1"}},
        // Edits that arrive together are analysed once, after the last.
        {"burst of edits",
         kInitialize + kOpen + Change(2, "<quillora") + Change(3, "<quillora/"),
         1 << 20,
         1,
         {"1", "diagnostics:1"}},
        {"edits one by one",
         kInitialize + kOpen + Change(2, "<palm-client"),
         1,
         1,
         {"1", "diagnostics:1", "diagnostics:1"}},
    };
    for (const Case& c : cases) {
        size_t at = 0;
        std::string output;
        CLspServer server(
            [&](char* buffer, size_t size) {
                const size_t count = std::min({size, c.piece, c.input.size() - at});
                std::copy_n(c.input.data() + at, count, buffer);
                at += count;
                return count;
            },
            [&](std::string_view bytes) {
                output.append(bytes);
                return true;
            });
        EXPECT_EQ(server.Run(), c.status) << c.name;
        EXPECT_EQ(Summary(output), c.answers) << c.name;
    }
}
