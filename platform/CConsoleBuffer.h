// Standard output on a Windows console: the UTF-8 bytes the programs write are shown as
// UTF-16 text (WriteConsoleW), so Cyrillic appears correctly whatever the console's code page.
// A character split between two writes is held until its last byte arrives. Used only when
// standard output is a console; redirected output stays plain bytes.
#pragma once

#ifdef _WIN32

#include <streambuf>
#include <string>

class CConsoleBuffer : public std::streambuf {
public:
    explicit CConsoleBuffer(void* console);

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;

private:
    void* console_;
    std::string pending_;  // the start of a character whose last bytes have not come yet
};

#endif
