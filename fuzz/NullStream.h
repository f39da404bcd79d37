// An output stream that swallows everything: the fuzz targets print nothing.
#pragma once

#include <ostream>
#include <streambuf>

class NullStream : public std::ostream {
public:
    NullStream() : std::ostream(&buffer_) {}

private:
    class Buffer : public std::streambuf {
    protected:
        int overflow(int c) override { return c; }
        std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
    };
    Buffer buffer_;
};
