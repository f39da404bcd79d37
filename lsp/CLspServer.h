// The language server's loop: bytes in, framed messages out, until `exit` or the input's end.
// Whatever is whole in the input is handled before the changed documents are analysed, so a
// burst of edits costs one analysis.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

class CLspServer {
public:
    // Reads some bytes into the buffer (at most its size); 0 at the end of the input.
    using Reader = std::function<size_t(char* buffer, size_t size)>;
    // Writes all bytes; false when the output is gone.
    using Writer = std::function<bool(std::string_view bytes)>;

    CLspServer(Reader reader, Writer writer)
        : reader_(std::move(reader)), writer_(std::move(writer)) {}

    // Serves one connection; returns the process' exit status.
    int Run();

private:
    Reader reader_;
    Writer writer_;
};
