// The configuration compiler's run: load the document, read the sections in their fixed
// order, number the records, and write the database once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CXMLDOM;

class CConfCompiler {
public:
    // A section reader: the finished section record (owned by the reader, valid until the
    // next call) and its size, or null on failure.
    using SectionReader = std::function<const uint8_t*(CXMLDOM& document, size_t& size)>;

    struct SectionReaders {
        SectionReader menus;
        SectionReader journals;
        SectionReader documents;
        SectionReader recordViews;
        SectionReader references;
        SectionReader frames;
    };

    // Exit statuses.
    static constexpr int kWritten = 0;
    static constexpr int kNotLoaded = 1;
    static constexpr int kFailed = 255;

    static constexpr const char* kDefaultOutput = "QL_Configuration.pdb";
    static constexpr const char* kDatabaseName = "QL_Configuration";
    static constexpr const char* kVersion = "5.4.7";

    // The readers of the sections this build has; a section without one fails.
    static SectionReaders DefaultReaders();

    CConfCompiler();
    explicit CConfCompiler(SectionReaders readers);
    virtual ~CConfCompiler();

    // Runs with the command-line arguments (without the program name) and returns the exit
    // status. Everything is printed through CLog.
    int Run(const std::vector<std::string>& args);

    static void PrintBanner();
    static void PrintHelp();

private:
    // `--expr EXPRESSION [--controls ID,ID,...]` (the options in any order): compiles one action
    // expression and shows it.
    static int RunExpressionCheck(const std::vector<std::string>& args);

    SectionReaders readers_;
};
