// The quilxdb program: reads one exchange description, lists the settings it found and writes
// them as the exchange settings database.
#pragma once

#include <iosfwd>
#include <span>

class CExchangeCompiler {
public:
    static constexpr const char* kUsage =
        "Usage:\n\tquilxdb.exe filename [output_directory]\n\tVersion 5.2";
    static constexpr const char* kVersion = "5.2";

    // Runs the program on its arguments (the program name first) with all output on
    // `console`. Returns the exit status: 0 when the database was written (or after the usage
    // text, --help or --version), 1 for every failure.
    static int Run(std::span<const char* const> arguments, std::ostream& console);
};
