// A whole editor connection against the server's connection class, message by message: each row is
// one message from the editor and every message the server answers with, compared whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "CLspConnection.h"
#include "Portable.h"
#include "TempDir.h"

namespace {

using JsonValue = nlohmann::json;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string kMistakes = QUIL_SOURCE_DIR "/tests/lsp/mistakes.xml";

// The position just past the first `anchor` in the text (ASCII lines).
JsonValue PositionAfter(const std::string& text, const std::string& anchor) {
    const size_t at = text.find(anchor);
    EXPECT_NE(at, std::string::npos) << anchor;
    const size_t end = at + anchor.size();
    const size_t lineStart = text.rfind('\n', end - 1);
    const size_t line = static_cast<size_t>(std::count(text.begin(), text.begin() + end, '\n'));
    return {{"line", line},
            {"character", end - (lineStart == std::string::npos ? 0 : lineStart + 1)}};
}

struct Row {
    std::string text;      // when not empty: the document's text from this row on
    std::string anchor;    // the request's position is just past it
    std::string message;   // @TEXT@ and @POSITION@ are filled in
    std::string expected;  // a JSON array of the server's messages
};

void Replace(std::string& text, const std::string& what, const std::string& by) {
    for (size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + by.size())) {
        text.replace(at, what.size(), by);
    }
}

void RunConnection(const std::vector<Row>& rows, int exitCode) {
    CLspConnection connection;
    std::string text;
    for (const Row& row : rows) {
        if (!row.text.empty()) {
            text = row.text;
        }
        std::string message = row.message;
        Replace(message, "@TEXT@", JsonValue(text).dump());
        if (!row.anchor.empty()) {
            Replace(message, "@POSITION@", PositionAfter(text, row.anchor).dump());
        }
        std::vector<std::string> out;
        connection.Handle(message, out);
        connection.Flush(out);
        JsonValue answers = JsonValue::array();
        for (const std::string& body : out) {
            answers.push_back(JsonValue::parse(body));
        }
        if (std::getenv("QUIL_LSP_DUMP")) {
            std::cout << row.message.substr(0, 80) << "\n  " << answers.dump() << "\n";
        }
        EXPECT_EQ(answers, JsonValue::parse(row.expected)) << row.message;
    }
    EXPECT_TRUE(connection.Exited());
    EXPECT_EQ(connection.ExitCode(), exitCode);
}

std::string Request(int id, const std::string& method, const std::string& params) {
    return R"({"jsonrpc":"2.0","id":)" + std::to_string(id) + R"(,"method":")" + method +
           R"(","params":)" + params + "}";
}

std::string AtCursor(int id, const std::string& method) {
    return Request(id, method, R"({"textDocument":{"uri":"file:///m.xml"},"position":@POSITION@})");
}

}  // namespace

TEST(CLspConnectionTest, WholeConnection) {
    const std::string mistakes = ReadFile(kMistakes);
    std::string typing = mistakes;
    typing.insert(typing.find("          <control type=\"button\""),
                  "          <control type=\"st\n          <control type=\"static\" id=\"3\">"
                  "<events><event type=\"select\" func=\"ScrollField(\n");
    const std::vector<Row> rows = {
        {{},
         {},
         Request(
             1, "initialize",
             R"({"capabilities":{"textDocument":{"completion":{"completionItem":{"snippetSupport":true}}}}})"),
         R"json([{"id":1,"jsonrpc":"2.0","result":{"capabilities":{"completionProvider":{"triggerCharacters":["<"," ","\"","("]},"definitionProvider":true,"documentSymbolProvider":true,"hoverProvider":true,"positionEncoding":"utf-16","referencesProvider":true,"textDocumentSync":{"change":1,"openClose":true,"save":{"includeText":false}}},"serverInfo":{"name":"quil-lsp","version":"5.4.7"}}}])json"},
        {{}, {}, R"({"jsonrpc":"2.0","method":"initialized","params":{}})", R"json([])json"},
        {mistakes,
         {},
         R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///m.xml","languageId":"xml","version":1,"text":@TEXT@}}})",
         R"json([{"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"diagnostics":[{"code":"3844","message":"Отсутствует реквизит document->name журнала  Orders","range":{"end":{"character":34,"line":7},"start":{"character":29,"line":7}},"severity":2,"source":"quilconf"},{"code":"1","message":"Неизвестная лексема:  SetCurrentDatTime(7)","range":{"end":{"character":82,"line":18},"start":{"character":47,"line":18}},"severity":2,"source":"quilconf"},{"code":"772","message":"Ошибка разбора:  NewDocument(); SetCurrentDatTime(7)","range":{"end":{"character":82,"line":18},"start":{"character":47,"line":18}},"severity":2,"source":"quilconf"},{"code":"772","message":"Неверное определение функции:  ","range":{"end":{"character":20,"line":18},"start":{"character":12,"line":18}},"severity":2,"source":"quilconf"},{"code":"259","message":"Отсутствует реквизит document->prefix документа:  Order","range":{"end":{"character":23,"line":24},"start":{"character":18,"line":24}},"severity":1,"source":"quilconf"},{"code":"L15","message":"the compiler never reads an attribute `title` of `jrndocument`","range":{"end":{"character":55,"line":7},"start":{"character":50,"line":7}},"severity":2,"source":"quil-lint"}],"uri":"file:///m.xml"}}])json"},
        {{},
         "down=\"",
         AtCursor(2, "textDocument/completion"),
         R"json([{"id":2,"jsonrpc":"2.0","result":[{"detail":"static #0","kind":18,"label":"1","textEdit":{"newText":"1","range":{"end":{"character":52,"line":12},"start":{"character":52,"line":12}}}},{"detail":"button #1","kind":18,"label":"2","textEdit":{"newText":"2","range":{"end":{"character":52,"line":12},"start":{"character":52,"line":12}}}}]}])json"},
        {{},
         "<layout x=\"0\" y=\"0\" w=\"80\" h=\"12\" ",
         AtCursor(3, "textDocument/completion"),
         R"json([{"id":3,"jsonrpc":"2.0","result":[{"detail":"of layout","insertTextFormat":2,"kind":10,"label":"layer","textEdit":{"newText":"layer=\"$1\"$0","range":{"end":{"character":46,"line":12},"start":{"character":46,"line":12}}}},{"detail":"of layout","insertTextFormat":2,"kind":10,"label":"enable","textEdit":{"newText":"enable=\"$1\"$0","range":{"end":{"character":46,"line":12},"start":{"character":46,"line":12}}}},{"detail":"of layout","insertTextFormat":2,"kind":10,"label":"left","textEdit":{"newText":"left=\"$1\"$0","range":{"end":{"character":46,"line":12},"start":{"character":46,"line":12}}}},{"detail":"of layout","insertTextFormat":2,"kind":10,"label":"right","textEdit":{"newText":"right=\"$1\"$0","range":{"end":{"character":46,"line":12},"start":{"character":46,"line":12}}}},{"detail":"of layout","insertTextFormat":2,"kind":10,"label":"down","textEdit":{"newText":"down=\"$1\"$0","range":{"end":{"character":46,"line":12},"start":{"character":46,"line":12}}}},{"detail":"of layout","insertTextFormat":2,"kind":10,"label":"up","textEdit":{"newText":"up=\"$1\"$0","range":{"end":{"character":46,"line":12},"start":{"character":46,"line":12}}}},{"detail":"of layout","insertTextFormat":2,"kind":10,"label":"resize","textEdit":{"newText":"resize=\"$1\"$0","range":{"end":{"character":46,"line":12},"start":{"character":46,"line":12}}}}]}])json"},
        {{},
         "font=\"b",
         AtCursor(4, "textDocument/completion"),
         R"json([{"id":4,"jsonrpc":"2.0","result":[{"kind":13,"label":"stdFont","textEdit":{"newText":"stdFont","range":{"end":{"character":46,"line":13},"start":{"character":45,"line":13}}}},{"kind":13,"label":"boldFont","textEdit":{"newText":"boldFont","range":{"end":{"character":46,"line":13},"start":{"character":45,"line":13}}}},{"kind":13,"label":"largeFont","textEdit":{"newText":"largeFont","range":{"end":{"character":46,"line":13},"start":{"character":45,"line":13}}}},{"kind":13,"label":"symbolFont","textEdit":{"newText":"symbolFont","range":{"end":{"character":46,"line":13},"start":{"character":45,"line":13}}}},{"kind":13,"label":"symbol11Font","textEdit":{"newText":"symbol11Font","range":{"end":{"character":46,"line":13},"start":{"character":45,"line":13}}}},{"kind":13,"label":"symbol7Font","textEdit":{"newText":"symbol7Font","range":{"end":{"character":46,"line":13},"start":{"character":45,"line":13}}}},{"kind":13,"label":"ledFont","textEdit":{"newText":"ledFont","range":{"end":{"character":46,"line":13},"start":{"character":45,"line":13}}}},{"kind":13,"label":"largeBoldFont","textEdit":{"newText":"largeBoldFont","range":{"end":{"character":46,"line":13},"start":{"character":45,"line":13}}}},{"kind":13,"label":"mediumFont","textEdit":{"newText":"mediumFont","range":{"end":{"character":46,"line":13},"start":{"character":45,"line":13}}}},{"kind":13,"label":"fntAppFontCustomBase","textEdit":{"newText":"fntAppFontCustomBase","range":{"end":{"character":46,"line":13},"start":{"character":45,"line":13}}}}]}])json"},
        {{},
         "entry=\"",
         AtCursor(5, "textDocument/completion"),
         R"json([{"id":5,"jsonrpc":"2.0","result":[{"detail":"field","kind":18,"label":"number","textEdit":{"newText":"number","range":{"end":{"character":46,"line":32},"start":{"character":46,"line":32}}}},{"detail":"field","kind":18,"label":"sum","textEdit":{"newText":"sum","range":{"end":{"character":46,"line":32},"start":{"character":46,"line":32}}}}]}])json"},
        {{},
         "menuname=\"",
         AtCursor(6, "textDocument/completion"),
         R"json([{"id":6,"jsonrpc":"2.0","result":[{"kind":18,"label":"Main","textEdit":{"newText":"Main","range":{"end":{"character":45,"line":9},"start":{"character":45,"line":9}}}}]}])json"},
        {{},
         "<events><",
         AtCursor(7, "textDocument/completion"),
         R"json([{"id":7,"jsonrpc":"2.0","result":[{"detail":"in events","kind":7,"label":"event","textEdit":{"newText":"event","range":{"end":{"character":21,"line":18},"start":{"character":21,"line":18}}}}]}])json"},
        {{},
         "func='Open",
         AtCursor(8, "textDocument/hover"),
         R"json([{"id":8,"jsonrpc":"2.0","result":{"contents":{"kind":"markdown","value":"**OpenJournal** — function id 65\n\nОткрыть журнал документов (имя, параметр)\n\nArguments (8 bytes):\n\n1. строка — string reference, 4 bytes at offset 0\n2. строка — string reference, 4 bytes at offset 4"},"range":{"end":{"character":46,"line":3},"start":{"character":35,"line":3}}}}])json"},
        {{},
         "font=\"b",
         AtCursor(9, "textDocument/hover"),
         R"json([{"id":9,"jsonrpc":"2.0","result":{"contents":{"kind":"markdown","value":"**boldFont** — staticattrs font code 1"},"range":{"end":{"character":53,"line":13},"start":{"character":45,"line":13}}}}])json"},
        {{},
         "down=\"",
         AtCursor(10, "textDocument/hover"),
         R"json([{"id":10,"jsonrpc":"2.0","result":{"contents":{"kind":"markdown","value":"**control 2** (button #1) — control index 1 in form \"List\"; its record is 68 bytes"},"range":{"end":{"character":53,"line":12},"start":{"character":52,"line":12}}}}])json"},
        {{},
         "down=\"",
         AtCursor(11, "textDocument/definition"),
         R"json([{"id":11,"jsonrpc":"2.0","result":[{"range":{"end":{"character":38,"line":15},"start":{"character":37,"line":15}},"uri":"file:///m.xml"}]}])json"},
        {{}, "type=\"static\" id=\"", AtCursor(12, "textDocument/references"), R"json([{"id":12,"jsonrpc":"2.0","result":[{"range":{"end":{"character":38,"line":11},"start":{"character":37,"line":11}},"uri":"file:///m.xml"},{"range":{"end":{"character":52,"line":16},"start":{"character":51,"line":16}},"uri":"file:///m.xml"}]}])json"},
        {{},
         "jrndocument name=\"",
         AtCursor(13, "textDocument/definition"),
         R"json([{"id":13,"jsonrpc":"2.0","result":[{"range":{"end":{"character":23,"line":24},"start":{"character":18,"line":24}},"uri":"file:///m.xml"}]}])json"},
        {{},
         {},
         Request(14, "textDocument/documentSymbol", R"({"textDocument":{"uri":"file:///m.xml"}})"),
         R"json([{"id":14,"jsonrpc":"2.0","result":[{"children":[{"detail":"menuitem","kind":12,"name":"Orders","range":{"end":{"character":67,"line":3},"start":{"character":4,"line":3}},"selectionRange":{"end":{"character":27,"line":3},"start":{"character":21,"line":3}}},{"detail":"menuitem","kind":12,"name":"Quit","range":{"end":{"character":43,"line":4},"start":{"character":4,"line":4}},"selectionRange":{"end":{"character":25,"line":4},"start":{"character":21,"line":4}}}],"kind":2,"name":"Main","range":{"end":{"character":9,"line":5},"start":{"character":2,"line":2}},"selectionRange":{"end":{"character":18,"line":2},"start":{"character":14,"line":2}}},{"children":[{"children":[{"detail":"static #0","kind":8,"name":"1","range":{"end":{"character":20,"line":14},"start":{"character":10,"line":11}},"selectionRange":{"end":{"character":38,"line":11},"start":{"character":37,"line":11}}},{"detail":"button #1","kind":8,"name":"2","range":{"end":{"character":20,"line":19},"start":{"character":10,"line":15}},"selectionRange":{"end":{"character":38,"line":15},"start":{"character":37,"line":15}}}],"kind":19,"name":"List","range":{"end":{"character":13,"line":21},"start":{"character":6,"line":9}},"selectionRange":{"end":{"character":22,"line":9},"start":{"character":18,"line":9}}}],"detail":"Orders","kind":5,"name":"Orders","range":{"end":{"character":12,"line":23},"start":{"character":2,"line":6}},"selectionRange":{"end":{"character":23,"line":6},"start":{"character":17,"line":6}}},{"children":[{"detail":"field","kind":7,"name":"number","range":{"end":{"character":66,"line":26},"start":{"character":6,"line":26}},"selectionRange":{"end":{"character":25,"line":26},"start":{"character":19,"line":26}}},{"detail":"field","kind":7,"name":"sum","range":{"end":{"character":63,"line":27},"start":{"character":6,"line":27}},"selectionRange":{"end":{"character":22,"line":27},"start":{"character":19,"line":27}}},{"children":[{"detail":"field #0","kind":8,"name":"1","range":{"end":{"character":20,"line":35},"start":{"character":10,"line":32}},"selectionRange":{"end":{"character":37,"line":32},"start":{"character":36,"line":32}}},{"detail":"fieldd #1","kind":8,"name":"2","range":{"end":{"character":20,"line":38},"start":{"character":10,"line":36}},"selectionRange":{"end":{"character":38,"line":36},"start":{"character":37,"line":36}}}],"kind":19,"name":"Edit","range":{"end":{"character":13,"line":40},"start":{"character":6,"line":30}},"selectionRange":{"end":{"character":22,"line":30},"start":{"character":18,"line":30}}}],"detail":"Order","kind":5,"name":"Order","range":{"end":{"character":13,"line":42},"start":{"character":2,"line":24}},"selectionRange":{"end":{"character":23,"line":24},"start":{"character":18,"line":24}}},{"detail":"Goods","kind":5,"name":"Goods","range":{"end":{"character":14,"line":45},"start":{"character":2,"line":43}},"selectionRange":{"end":{"character":24,"line":43},"start":{"character":19,"line":43}}},{"detail":"Service","kind":5,"name":"Service","range":{"end":{"character":40,"line":46},"start":{"character":2,"line":46}},"selectionRange":{"end":{"character":22,"line":46},"start":{"character":15,"line":46}}}]}])json"},
        {typing,
         {},
         R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///m.xml","version":2},"contentChanges":[{"text":@TEXT@}]}})",
         R"json([{"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"diagnostics":[{"message":"Unescaped '<' not allowed in attributes values, line 17, column 11","range":{"end":{"character":87,"line":16},"start":{"character":0,"line":16}},"severity":1,"source":"quilconf"}],"uri":"file:///m.xml"}}])json"},
        {{},
         "<control type=\"st",
         AtCursor(15, "textDocument/completion"),
         R"json([{"id":15,"jsonrpc":"2.0","result":[{"kind":13,"label":"static","textEdit":{"newText":"static","range":{"end":{"character":27,"line":11},"start":{"character":25,"line":11}}}},{"kind":13,"label":"field","textEdit":{"newText":"field","range":{"end":{"character":27,"line":11},"start":{"character":25,"line":11}}}},{"kind":13,"label":"valueList","textEdit":{"newText":"valueList","range":{"end":{"character":27,"line":11},"start":{"character":25,"line":11}}}},{"kind":13,"label":"button","textEdit":{"newText":"button","range":{"end":{"character":27,"line":11},"start":{"character":25,"line":11}}}},{"kind":13,"label":"pushbutton","textEdit":{"newText":"pushbutton","range":{"end":{"character":27,"line":11},"start":{"character":25,"line":11}}}},{"kind":13,"label":"checkbox","textEdit":{"newText":"checkbox","range":{"end":{"character":27,"line":11},"start":{"character":25,"line":11}}}},{"kind":13,"label":"table","textEdit":{"newText":"table","range":{"end":{"character":27,"line":11},"start":{"character":25,"line":11}}}},{"kind":13,"label":"formmenu","textEdit":{"newText":"formmenu","range":{"end":{"character":27,"line":11},"start":{"character":25,"line":11}}}},{"kind":13,"label":"bitmap","textEdit":{"newText":"bitmap","range":{"end":{"character":27,"line":11},"start":{"character":25,"line":11}}}},{"kind":13,"label":"datetime","textEdit":{"newText":"datetime","range":{"end":{"character":27,"line":11},"start":{"character":25,"line":11}}}}]}])json"},
        {{},
         "func=\"ScrollField(",
         AtCursor(16, "textDocument/completion"),
         R"json([{"id":16,"jsonrpc":"2.0","result":[{"detail":"static #0","kind":18,"label":"1","textEdit":{"newText":"1","range":{"end":{"character":87,"line":16},"start":{"character":87,"line":16}}}},{"detail":"button #1","kind":18,"label":"2","textEdit":{"newText":"2","range":{"end":{"character":87,"line":16},"start":{"character":87,"line":16}}}}]}])json"},
        {{},
         {},
         "{bad",
         R"json([{"error":{"code":-32700,"message":"Parse error"},"id":null,"jsonrpc":"2.0"}])json"},
        {{},
         {},
         "[1]",
         R"json([{"error":{"code":-32600,"message":"Invalid request"},"id":null,"jsonrpc":"2.0"}])json"},
        {{},
         {},
         R"({"jsonrpc":"2.0","id":{},"method":"x"})",
         R"json([{"error":{"code":-32600,"message":"Invalid request"},"id":null,"jsonrpc":"2.0"}])json"},
        {{},
         {},
         R"({"jsonrpc":"2.0","id":17,"method":3})",
         R"json([{"error":{"code":-32600,"message":"Invalid request"},"id":17,"jsonrpc":"2.0"}])json"},
        {{},
         {},
         Request(18, "textDocument/formatting", "{}"),
         R"json([{"error":{"code":-32601,"message":"Unknown method textDocument/formatting"},"id":18,"jsonrpc":"2.0"}])json"},
        {{},
         {},
         Request(19, "textDocument/hover", "{}"),
         R"json([{"error":{"code":-32602,"message":"Unknown document or position"},"id":19,"jsonrpc":"2.0"}])json"},
        {{},
         {},
         Request(20, "shutdown", "null"),
         R"json([{"id":20,"jsonrpc":"2.0","result":null}])json"},
        {{},
         {},
         Request(21, "textDocument/hover", "{}"),
         R"json([{"error":{"code":-32600,"message":"The server is shut down"},"id":21,"jsonrpc":"2.0"}])json"},
        {{}, {}, R"({"jsonrpc":"2.0","method":"exit"})", R"json([])json"},
    };
    RunConnection(rows, 0);
}

// The compiler's messages among the diagnostics are the lines `quilconf --locations` prints
// for the same text: the same messages with their codes, in the same order, on the same lines.
TEST(CLspConnectionTest, DiagnosticsAreTheCompilersLines) {
    const std::string mistakes = ReadFile(kMistakes);
    std::string fatal = mistakes;
    fatal.replace(fatal.find("Exit(0)"), 7, "Exitt(0)");
    TempDir dir;
    for (const std::string& text :
         {mistakes, fatal, ReadFile(QUIL_SOURCE_DIR "/examples/configuration.xml")}) {
        const std::string path = dir.File("c.xml");
        std::ofstream(path, std::ios::binary) << text;
        int status = 0;
        std::istringstream console(RunCommand(Quoted(QUILCONF_PATH) + " --locations " +
                                                  Quoted(path) + " " + Quoted(dir.File("c.pdb")),
                                              status));
        std::vector<std::string> printed;
        const std::regex line(R"(^.*:(\d+): \[(ERROR|WARNING) (\d+)\] (.*?)\r?$)");
        std::smatch match;
        for (std::string text_line; std::getline(console, text_line);) {
            if (std::regex_match(text_line, match, line)) {
                printed.push_back(match[1].str() + " " + (match[2] == "ERROR" ? "1" : "2") + " " +
                                  match[3].str() + " " + match[4].str());
            }
        }

        CLspConnection connection;
        std::vector<std::string> out;
        connection.Handle(Request(1, "initialize", "{}"), out);
        connection.Handle(
            R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///c.xml","languageId":"xml","version":1,"text":)" +
                JsonValue(text).dump() + "}}}",
            out);
        connection.Flush(out);
        ASSERT_EQ(out.size(), 2u);
        std::vector<std::string> published;
        const JsonValue diagnostics = JsonValue::parse(out[1])["params"]["diagnostics"];
        for (const JsonValue& diagnostic : diagnostics) {
            if (diagnostic.value("source", "") == "quilconf" && diagnostic.contains("code")) {
                published.push_back(
                    std::to_string(diagnostic["range"]["start"]["line"].get<int>() + 1) + " " +
                    std::to_string(diagnostic["severity"].get<int>()) + " " +
                    diagnostic["code"].get<std::string>() + " " +
                    diagnostic["message"].get<std::string>());
            }
        }
        EXPECT_EQ(published, printed);
        EXPECT_EQ(printed.empty(), text != fatal && text != mistakes);
    }
}
