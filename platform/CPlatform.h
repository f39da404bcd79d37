// What the two programs need of the operating system beyond standard C++: their arguments,
// opening a file by name, telling whether two paths name one file, and the console. Texts and paths
// are UTF-8 everywhere inside the programs; on Windows this is where they meet the system's UTF-16.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class CPlatform {
public:
    // The program's arguments after its name, as UTF-8. On Windows they come from the UTF-16
    // command line, so that any character of a path survives whatever the code page;
    // elsewhere they are taken as given.
    static std::vector<std::string> Arguments(int argc, char** argv);

    // A UTF-8 path for the std::filesystem and stream calls, and back: on Windows the narrow
    // std::filesystem::path is in the system's code page, so the text goes through UTF-8.
    static std::filesystem::path Path(const std::string& utf8) {
        return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
    }
    static std::string Text(const std::filesystem::path& path) {
        const std::u8string utf8 = path.u8string();
        return std::string(utf8.begin(), utf8.end());
    }

    // std::fopen for a UTF-8 path (the wide call on Windows); errno tells why not.
    static std::FILE* OpenFile(const std::string& path, const char* mode);

    // True when both paths name one existing file: the same device and inode (on Windows the
    // same volume and file index), links followed, so a symbolic or hard link to a file is
    // that file. False when either names no file.
    static bool SameFile(const std::string& first, const std::string& second);

    // Standard output carries UTF-8 bytes unchanged (no line-end translation on Windows).
    // Written to a Windows console it is shown as text whatever the console's code page.
    static void PrepareConsole();

    // Standard input and output as byte streams for a protocol spoken over them (no line-end
    // translation on Windows, no console conversion).
    static void PrepareBinaryStreams();
    // Reads what standard input has, at most `size` bytes, waiting only until some arrive:
    // the count read, 0 at the end of the input or on a read error.
    static size_t ReadInput(char* buffer, size_t size);
    // Writes all bytes to standard output and flushes it; false when that failed.
    static bool WriteOutput(std::string_view bytes);

    // Whether `bytes` of memory can still be had (taken and given back at once). A program
    // that starts under an address-space cap just above what loading it takes may have no
    // room left even for the exception that reports running out of memory; it asks first.
    static bool HasMemory(size_t bytes);

#ifdef _WIN32
    static std::wstring Wide(std::string_view utf8);
    static std::string Utf8(std::wstring_view wide);
    // The system's text for a Windows error code, without its line end.
    static std::string ErrorText(unsigned long code);
#endif
};
