#include "CPlatform.h"

#include <cstdlib>

#ifdef _WIN32

// windows.h first: the other system headers build on it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cerrno>
#include <iostream>

#include "CConsoleBuffer.h"

std::wstring CPlatform::Wide(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string CPlatform::Utf8(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::string CPlatform::ErrorText(unsigned long code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = length > 0 ? Utf8(std::wstring_view(text, length))
                                     : "Windows error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message;
}

std::vector<std::string> CPlatform::Arguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return args;
    }
    for (int i = 1; i < count; ++i) {
        args.push_back(Utf8(wide[i]));
    }
    LocalFree(wide);
    return args;
}

std::FILE* CPlatform::OpenFile(const std::string& path, const char* mode) {
    const std::wstring wide = Wide(path);
    std::FILE* file = _wfopen(wide.c_str(), Wide(mode).c_str());
    if (file == nullptr && errno == EACCES) {
        // A folder cannot be opened as a file; say so, as POSIX systems do on reading.
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            errno = EISDIR;
        }
    }
    return file;
}

namespace {

// The volume and index of the file at `path`, links followed; false when there is none.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& identity) {
    HANDLE file = CreateFileW(CPlatform::Wide(path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool known = GetFileInformationByHandle(file, &identity) != 0;
    CloseHandle(file);
    return known;
}

}  // namespace

bool CPlatform::SameFile(const std::string& first, const std::string& second) {
    BY_HANDLE_FILE_INFORMATION one{};
    BY_HANDLE_FILE_INFORMATION other{};
    return FileIdentity(first, one) && FileIdentity(second, other) &&
           one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

void CPlatform::PrepareConsole() {
    _setmode(_fileno(stdout), _O_BINARY);
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD consoleMode = 0;
    if (output != INVALID_HANDLE_VALUE && GetConsoleMode(output, &consoleMode)) {
        static CConsoleBuffer console(output);
        std::cout.flush();
        std::cout.rdbuf(&console);
    }
}

void CPlatform::PrepareBinaryStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

size_t CPlatform::ReadInput(char* buffer, size_t size) {
    const unsigned int chunk = size > 0x10000000 ? 0x10000000u : static_cast<unsigned int>(size);
    const int count = _read(_fileno(stdin), buffer, chunk);
    return count > 0 ? static_cast<size_t>(count) : 0;
}

#else

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

std::vector<std::string> CPlatform::Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::FILE* CPlatform::OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

bool CPlatform::SameFile(const std::string& first, const std::string& second) {
    struct stat one;
    struct stat other;
    return ::stat(first.c_str(), &one) == 0 && ::stat(second.c_str(), &other) == 0 &&
           one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

void CPlatform::PrepareConsole() {}

// A client that goes away while an answer is written ends the write with an error, not the
// process with a signal.
void CPlatform::PrepareBinaryStreams() {
    std::signal(SIGPIPE, SIG_IGN);
}

size_t CPlatform::ReadInput(char* buffer, size_t size) {
    for (;;) {
        const ssize_t count = ::read(STDIN_FILENO, buffer, size);
        if (count >= 0) {
            return static_cast<size_t>(count);
        }
        if (errno != EINTR) {
            return 0;
        }
    }
}

#endif

bool CPlatform::WriteOutput(std::string_view bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
           std::fflush(stdout) == 0;
}

bool CPlatform::HasMemory(size_t bytes) {
    void* block = std::malloc(bytes);
    std::free(block);
    return block != nullptr;
}
