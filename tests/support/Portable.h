// What the tests need of the system, the same on Linux and on Windows (where the tests run
// under wine): temporary folders, shell commands that run the built programs, UTF-8 paths.
#pragma once

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "CPlatform.h"

#ifdef _WIN32
#include <windows.h>  // first: psapi.h builds on it

#include <psapi.h>

constexpr const char* kNoInput = "<NUL";    // standard input that gives nothing
constexpr const char* kNoErrors = "2>NUL";  // the error stream thrown away
#else
#include <sys/resource.h>
#include <sys/wait.h>
constexpr const char* kNoInput = "</dev/null";
constexpr const char* kNoErrors = "2>/dev/null";
#endif

// A path as UTF-8 text with forward slashes, which both systems take.
inline std::string Utf8Text(const std::filesystem::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

// mkdtemp: a new folder named `pattern` with its last six characters replaced; "" on failure.
inline std::string MakeTempFolder(std::string pattern) {
#ifdef _WIN32
    static std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 100; ++attempt) {
        pattern.replace(pattern.size() - 6, 6, std::to_string(100000 + random() % 900000));
        std::error_code error;
        if (std::filesystem::create_directory(pattern, error)) {
            return pattern;
        }
    }
    return {};
#else
    return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
#endif
}

// One argument quoted for the system's shell (on Windows: cmd.exe, then the program's own
// reading of its command line).
inline std::string Quoted(const std::string& text) {
#ifdef _WIN32
    const char quote = '"';
    const std::string escaped = "\\\"";
#else
    const char quote = '\'';
    const std::string escaped = "'\\''";
#endif
    std::string quoted(1, quote);
    for (const char c : text) {
        quoted += c == quote ? escaped : std::string(1, c);
    }
    return quoted + quote;
}

// `command` run in the folder `dir`.
inline std::string InFolder(const std::string& dir, const std::string& command) {
#ifdef _WIN32
    return "cd /d " + Quoted(dir) + " && " + command;
#else
    return "cd " + Quoted(dir) + " && " + command;
#endif
}

// The peak resident memory of this process so far, in KB.
inline long PeakResidentKb() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS memory{};
    K32GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    return static_cast<long>(memory.PeakWorkingSetSize / 1024);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#endif
}

// Runs a shell command (UTF-8) and returns its standard output; the exit status goes to
// `status` (-1 when it did not exit).
inline std::string RunCommand(const std::string& command, int& status) {
    status = -1;
    std::string output;
    char chunk[4096];
#ifdef _WIN32
    // cmd.exe itself, not _wpopen: under wine, starting cmd.exe now and then fails when the
    // machine is busy, and _wpopen reports that like a command that did not exit. A start that
    // failed ran nothing, so it is tried again; the exit status comes from the process itself.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE reading = nullptr;
    HANDLE writing = nullptr;
    if (!::CreatePipe(&reading, &writing, &inheritable, 0)) {
        return output;
    }
    ::SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writing;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    // With /s, cmd.exe takes the first and the last quote off and keeps the rest as it is.
    std::wstring line = CPlatform::Wide("cmd.exe /d /s /c \"" + command + "\"");
    PROCESS_INFORMATION process{};
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        started = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   nullptr, &startup, &process) != 0;
        if (!started) {
            ::Sleep(200);
        }
    }
    ::CloseHandle(writing);
    DWORD got = 0;
    while (started && ::ReadFile(reading, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        output.append(chunk, got);
    }
    ::CloseHandle(reading);
    if (started) {
        DWORD code = 0;
        if (::WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
            ::GetExitCodeProcess(process.hProcess, &code)) {
            status = static_cast<int>(code);
        }
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
#else
    FILE* pipe = ::popen(command.c_str(), "r");
    for (size_t got; pipe != nullptr && (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        output.append(chunk, got);
    }
    const int raw = pipe != nullptr ? ::pclose(pipe) : -1;
    status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    return output;
}
