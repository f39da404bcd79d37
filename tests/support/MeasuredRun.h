// Runs a built program in a child process and measures it: its standard output, how it ended,
// the processor time it used and its peak resident memory. An address-space cap can be put on
// the child alone.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

struct MeasuredRun {
    std::string output;
    bool exited = false;  // false: ended by a signal
    int status = -1;      // the exit status when it exited, the signal number otherwise
    double cpuSeconds = 0;
    long peakKb = 0;

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
