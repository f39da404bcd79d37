#include "CMessageFraming.h"

#include <algorithm>
#include <charconv>

#include "AsciiCase.h"

CMessageFraming::EResult CMessageFraming::Next(std::string& body) {
    // The remains of a refused body go first.
    if (skip_ > 0) {
        const size_t dropped = std::min(skip_, buffer_.size() - start_);
        start_ += dropped;
        skip_ -= dropped;
        if (skip_ > 0) {
            buffer_.clear();
            start_ = 0;
            return EResult::NeedMore;
        }
    }
    // Keep the buffer from growing with bodies already taken out.
    if (start_ > 0 && start_ * 2 >= buffer_.size()) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    const std::string_view unread = std::string_view(buffer_).substr(start_);
    const size_t end = unread.find("\r\n\r\n");
    if (end == std::string_view::npos) {
        if (unread.size() > kMaxHeader) {
            body = "a header longer than " + std::to_string(kMaxHeader) + " bytes";
            buffer_.clear();
            start_ = 0;
            return EResult::BadHeader;
        }
        return EResult::NeedMore;
    }
    const std::string_view header = unread.substr(0, end);
    if (header.size() > kMaxHeader) {
        body = "a header longer than " + std::to_string(kMaxHeader) + " bytes";
        start_ += end + 4;
        return EResult::BadHeader;
    }
    bool found = false;
    size_t length = 0;
    for (size_t line = 0; line <= header.size();) {
        size_t next = header.find("\r\n", line);
        if (next == std::string_view::npos) {
            next = header.size();
        }
        const std::string_view text = header.substr(line, next - line);
        const size_t colon = text.find(':');
        if (colon != std::string_view::npos &&
            AsciiCase::Equal(AsciiCase::TrimBlanks(text.substr(0, colon)), "Content-Length")) {
            const std::string_view value = AsciiCase::TrimBlanks(text.substr(colon + 1));
            const auto [rest, error] =
                std::from_chars(value.data(), value.data() + value.size(), length);
            found = error == std::errc() && rest == value.data() + value.size() && !value.empty();
        }
        line = next + 2;
    }
    if (!found) {
        body = "a header without a valid Content-Length";
        start_ += end + 4;
        return EResult::BadHeader;
    }
    if (length > kMaxBody) {
        body = "a body of " + std::to_string(length) + " bytes, more than the " +
               std::to_string(kMaxBody) + " accepted";
        start_ += end + 4;
        skip_ = length;
        return EResult::BadHeader;
    }
    if (unread.size() - end - 4 < length) {
        return EResult::NeedMore;
    }
    body.assign(unread.substr(end + 4, length));
    start_ += end + 4 + length;
    return EResult::Message;
}

std::string CMessageFraming::Frame(std::string_view body) {
    std::string bytes = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    bytes.append(body);
    return bytes;
}
