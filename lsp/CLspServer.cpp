#include "CLspServer.h"

#include <string>
#include <vector>

#include "CLspConnection.h"
#include "CMessageFraming.h"

int CLspServer::Run() {
    CLspConnection connection;
    CMessageFraming framing;
    std::vector<char> buffer(64 * 1024);
    std::vector<std::string> out;
    std::string body;
    const auto send = [&] {
        bool written = true;
        for (const std::string& message : out) {
            written = written && writer_(CMessageFraming::Frame(message));
        }
        out.clear();
        return written;
    };
    for (;;) {
        const size_t count = reader_(buffer.data(), buffer.size());
        if (count == 0) {
            return connection.ExitCode();
        }
        framing.Feed(std::string_view(buffer.data(), count));
        for (;;) {
            const CMessageFraming::EResult result = framing.Next(body);
            if (result == CMessageFraming::EResult::NeedMore) {
                break;
            }
            if (result == CMessageFraming::EResult::BadHeader) {
                out.push_back(CLspConnection::FramingError(body));
            } else {
                connection.Handle(body, out);
            }
            if (connection.Exited()) {
                send();
                return connection.ExitCode();
            }
        }
        connection.Flush(out);
        if (!send()) {
            return 1;
        }
    }
}
