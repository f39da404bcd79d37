// The base protocol's framing: each message is a header block of "Name: value" lines ended by
// an empty line (CR LF everywhere), of which Content-Length gives the byte length of the JSON
// body that follows. Bytes arrive in pieces of any size; whole bodies are taken out in order.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CMessageFraming {
public:
    // The largest body accepted; a larger announced length is refused before any of it is
    // kept (a whole configuration is about a megabyte, its JSON a little more).
    static constexpr size_t kMaxBody = 64u * 1024u * 1024u;
    // The largest header block; a client's header is a line or two.
    static constexpr size_t kMaxHeader = 4096;

    enum class EResult {
        Message,    // a whole body was taken out
        NeedMore,   // nothing whole yet
        BadHeader,  // a header block without a usable Content-Length, or too long; it was dropped
    };

    void Feed(std::string_view bytes) { buffer_.append(bytes); }
    // Takes out the next whole body; on BadHeader `body` holds why, in one line.
    EResult Next(std::string& body);

    // The bytes that carry `body`: its header and the body itself.
    static std::string Frame(std::string_view body);

private:
    std::string buffer_;
    size_t start_ = 0;  // where the unread bytes of buffer_ begin
    size_t skip_ = 0;   // bytes of a refused body still to be dropped as they arrive
};
