// The quilxdb program: reads one exchange description, lists the settings it found and writes
// them as the exchange settings database.
#pragma once

#include <iosfwd>
#include <span>
#include <string>

class CExchangeCompiler {
public:
    static constexpr const char* kUsage =
        "Usage:\n\tquilxdb.exe filename [output_directory]\n\tVersion 5.2";
    // The option that puts "FILE:LINE: " in front of every error about a line of the
    // description.
    static constexpr const char* kLocationsOption = "--locations";

    // Runs the program on its arguments (the program name first) with all output on
    // `console`. Returns the exit status: 0 when the database was written (or after the usage
    // text, --help or --version), 1 for every failure.
    static int Run(std::span<const char* const> arguments, std::ostream& console);

    // What goes in front of the database file name for the output argument: an existing
    // directory named without its trailing separator gets one; any other text is kept as it
    // is (a plain prefix of the file name).
    static std::string OutputPrefix(const std::string& argument);
};
