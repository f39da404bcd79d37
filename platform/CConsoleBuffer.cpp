#include "CConsoleBuffer.h"

#ifdef _WIN32

#include <windows.h>

#include <algorithm>

#include "CPlatform.h"

namespace {

// How many bytes of `text`, from its start, end with a complete UTF-8 sequence. A
// malformed sequence counts as complete: the conversion shows it as a replacement mark.
size_t CompleteLength(const std::string& text) {
    const size_t size = text.size();
    for (size_t back = 1; back <= std::min<size_t>(size, 4); ++back) {
        const auto byte = static_cast<unsigned char>(text[size - back]);
        if ((byte & 0xC0) == 0x80) {
            continue;  // a continuation byte: its lead is further back
        }
        const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

}  // namespace

CConsoleBuffer::CConsoleBuffer(void* console) : console_(console) {}

CConsoleBuffer::int_type CConsoleBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    const char ch = traits_type::to_char_type(c);
    return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
}

std::streamsize CConsoleBuffer::xsputn(const char* data, std::streamsize size) {
    pending_.append(data, static_cast<size_t>(size));
    const size_t complete = CompleteLength(pending_);
    const std::wstring text = CPlatform::Wide(std::string_view(pending_).substr(0, complete));
    pending_.erase(0, complete);
    const wchar_t* at = text.data();
    size_t left = text.size();
    while (left > 0) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(left, 8192));
        if (!WriteConsoleW(console_, at, chunk, &written, nullptr) || written == 0) {
            return 0;
        }
        at += written;
        left -= written;
    }
    return size;
}

#endif
