#include "CCursorContext.h"

bool CCursorContext::NameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':' || static_cast<unsigned char>(c) >= 0x80;
}

CCursorContext::CCursorContext(std::string_view text, size_t offset) {
    if (offset > text.size()) {
        offset = text.size();
    }
    const std::string_view before = text.substr(0, offset);
    size_t i = 0;
    const auto skipPast = [&](std::string_view end) {
        const size_t found = before.find(end, i);
        i = found == std::string_view::npos ? before.size() : found + end.size();
        return found != std::string_view::npos;
    };
    while (i < before.size()) {
        const size_t lt = before.find('<', i);
        if (lt == std::string_view::npos) {
            break;
        }
        i = lt + 1;
        place_ = EPlace::Content;
        if (before.substr(lt, 4) == "<!--") {
            i = lt + 4;
            skipPast("-->");
            continue;
        }
        if (before.substr(lt, 9) == "<![CDATA[") {
            i = lt + 9;
            skipPast("]]>");
            continue;
        }
        if (i < before.size() && (before[i] == '?' || before[i] == '!')) {
            skipPast(">");
            continue;
        }
        const bool endTag = i < before.size() && before[i] == '/';
        if (endTag) {
            ++i;
        }
        const size_t nameStart = i;
        while (i < before.size() && NameCharacter(before[i])) {
            ++i;
        }
        std::string name(before.substr(nameStart, i - nameStart));
        if (i == before.size()) {
            place_ = endTag ? EPlace::EndTagName : EPlace::ElementName;
            wordStart_ = nameStart;
            element_ = std::move(name);
            return;
        }
        if (endTag) {
            skipPast(">");
            for (size_t depth = open_.size(); depth > 0; --depth) {
                if (open_[depth - 1] == name) {
                    open_.resize(depth - 1);
                    break;
                }
            }
            continue;
        }
        // The start tag's attributes, up to its end or the cursor.
        written_.clear();
        std::string last;
        bool closed = false;
        while (i < before.size()) {
            const char c = before[i];
            if (c == '>' || (c == '/' && i + 1 < before.size() && before[i + 1] == '>')) {
                if (c == '>') {
                    open_.push_back(name);
                }
                i += c == '>' ? 1 : 2;
                closed = true;
                break;
            }
            if (c == '<') {
                // A tag left unfinished: the next one begins here.
                closed = true;
                break;
            }
            if (c == '"' || c == '\'') {
                // A value cannot hold a '<': one before the closing quote begins the next tag
                // of a text whose value was left unfinished.
                const char ends[] = {c, '<', '\0'};
                const size_t close = before.find_first_of(ends, i + 1);
                if (close != std::string_view::npos && before[close] == '<') {
                    i = close;
                    closed = true;
                    break;
                }
                if (close == std::string_view::npos) {
                    place_ = EPlace::AttributeValue;
                    element_ = std::move(name);
                    attribute_ = last;
                    valueStart_ = i + 1;
                    wordStart_ = offset;
                    while (wordStart_ > valueStart_ && NameCharacter(before[wordStart_ - 1])) {
                        --wordStart_;
                    }
                    return;
                }
                i = close + 1;
                continue;
            }
            if (NameCharacter(c)) {
                const size_t start = i;
                while (i < before.size() && NameCharacter(before[i])) {
                    ++i;
                }
                last.assign(before.substr(start, i - start));
                written_.push_back(last);
                continue;
            }
            ++i;
        }
        if (!closed) {
            place_ = EPlace::AttributeName;
            element_ = std::move(name);
            wordStart_ = offset;
            while (wordStart_ > nameStart && NameCharacter(before[wordStart_ - 1])) {
                --wordStart_;
            }
            if (wordStart_ < offset && !written_.empty()) {
                written_.pop_back();  // the name being typed
            }
            return;
        }
    }
    place_ = EPlace::Content;
    wordStart_ = offset;
}
