// Runs a built program in a child process and measures it: its standard output, how it ended,
// the processor time it used and its peak resident memory. An address-space cap can be put on
// the child alone (not on Windows). Under wine the peak memory of a child reads 0.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Portable.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

struct MeasuredRun {
    std::string output;
    bool exited = false;  // false: ended by a signal
    int status = -1;      // the exit status when it exited, the signal number otherwise
    double cpuSeconds = 0;
    long peakKb = 0;

#ifdef _WIN32
    // Runs `arguments` (the program path first); caps are not supported.
    static MeasuredRun Of(const std::vector<std::string>& arguments, long = 0) {
        MeasuredRun run;
        std::string command;
        for (const std::string& argument : arguments) {
            if (!command.empty()) {
                command += ' ';
            }
            command += Quoted(argument);
        }
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        HANDLE readEnd = nullptr;
        HANDLE writeEnd = nullptr;
        if (!CreatePipe(&readEnd, &writeEnd, &inherited, 0)) {
            return run;
        }
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = writeEnd;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION child{};
        std::wstring line = CPlatform::Wide(command);
        const bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0,
                                            nullptr, nullptr, &startup, &child);
        CloseHandle(writeEnd);
        char chunk[4096];
        DWORD got = 0;
        while (started && ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0) {
            run.output.append(chunk, got);
        }
        CloseHandle(readEnd);
        if (!started) {
            return run;
        }
        WaitForSingleObject(child.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(child.hProcess, &code);
        FILETIME times[4];
        GetProcessTimes(child.hProcess, &times[0], &times[1], &times[2], &times[3]);
        PROCESS_MEMORY_COUNTERS memory{};
        K32GetProcessMemoryInfo(child.hProcess, &memory, sizeof memory);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
        const auto seconds = [](const FILETIME& time) {
            return static_cast<double>(
                       ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart) /
                   1e7;
        };
        run.exited = code < 0xC0000000;  // above: the status of an exception, as a signal
        run.status = static_cast<int>(code);
        run.cpuSeconds = seconds(times[2]) + seconds(times[3]);
        run.peakKb = static_cast<long>(memory.PeakWorkingSetSize / 1024);
        return run;
    }
#else
    // Runs `arguments` (the program path first); `addressSpaceKb` > 0 caps the child's
    // address space.
    static MeasuredRun Of(const std::vector<std::string>& arguments, long addressSpaceKb = 0) {
        MeasuredRun run;
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) {
            return run;
        }
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            ::dup2(pipeEnds[1], STDOUT_FILENO);
            ::close(pipeEnds[0]);
            ::close(pipeEnds[1]);
            if (addressSpaceKb > 0) {
                const rlim_t bytes = static_cast<rlim_t>(addressSpaceKb) * 1024;
                const rlimit limit{bytes, bytes};
                ::setrlimit(RLIMIT_AS, &limit);
            }
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(pipeEnds[1]);
        char chunk[4096];
        ssize_t got;
        while ((got = ::read(pipeEnds[0], chunk, sizeof chunk)) > 0) {
            run.output.append(chunk, static_cast<size_t>(got));
        }
        ::close(pipeEnds[0]);
        int raw = 0;
        rusage usage{};
        if (child < 0 || ::wait4(child, &raw, 0, &usage) != child) {
            return run;
        }
        run.exited = WIFEXITED(raw);
        run.status = run.exited ? WEXITSTATUS(raw) : WTERMSIG(raw);
        run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        run.peakKb = usage.ru_maxrss;
        return run;
    }
#endif

    // A hostile input refused: exit status 1 within 5 s of processor time and 300 MB, the
    // output holding each of `texts`. Loose bounds, so that slow machines pass.
    void ExpectRefused(const std::vector<std::string>& texts) const {
        EXPECT_TRUE(exited);
        EXPECT_EQ(status, 1);
        for (const std::string& text : texts) {
            EXPECT_NE(output.find(text), std::string::npos) << text << "\n" << output;
        }
        EXPECT_LT(cpuSeconds, 5);
        EXPECT_LT(peakKb, 300 * 1024);
    }

    // Runs `arguments` under address-space caps from 32 to 128 MB: whatever the cap, the run
    // ends with an exit status (127: the program could not even be loaded), never a signal.
    static void ExpectNoSignalUnderCaps(const std::vector<std::string>& arguments) {
#ifdef _WIN32
        GTEST_SKIP() << "address-space caps are POSIX resource limits (setrlimit)";
#endif
        for (long capMb = 32; capMb <= 128; capMb += 8) {
            const MeasuredRun run = Of(arguments, capMb * 1024);
            EXPECT_TRUE(run.exited) << capMb << " MB: signal " << run.status << "\n" << run.output;
        }
    }
};

// AddressSanitizer reserves far more address space than any cap a test could put on a child.
#if defined(__SANITIZE_ADDRESS__)
#define QUIL_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUIL_ADDRESS_SANITIZER 1
#endif
#endif
