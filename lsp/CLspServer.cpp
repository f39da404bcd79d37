#include "CLspServer.h"

#include <string>
#include <vector>

#include "CLspSession.h"
#include "CMessageFraming.h"

int CLspServer::Run() {
    CLspSession session;
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
            return session.ExitCode();
        }
        framing.Feed(std::string_view(buffer.data(), count));
        for (;;) {
            const CMessageFraming::EResult result = framing.Next(body);
            if (result == CMessageFraming::EResult::NeedMore) {
                break;
            }
            if (result == CMessageFraming::EResult::BadHeader) {
                out.push_back(CLspSession::FramingError(body));
            } else {
                session.Handle(body, out);
            }
            if (session.Exited()) {
                send();
                return session.ExitCode();
            }
        }
        session.Flush(out);
        if (!send()) {
            return 1;
        }
    }
}
