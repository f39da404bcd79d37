// The configuration compiler's run: load the document, read the sections in their fixed
// order, number the records, and write the database once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "CLog.h"

class CInfoReader;
class CPdb;
class CReadContext;
class CXMLDOM;

class CConfCompiler {
public:
    // A section reader: the finished section record (owned by the reader, valid until the
    // next call) and its size, or null on failure.
    using SectionReader = std::function<const uint8_t*(CReadContext& context, size_t& size)>;

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
    // The version the banner names, a fixed text of the banner; --version prints the
    // package version (QuilVersion.h).
    static constexpr const char* kBannerVersion = "5.4.7";
    // The option that puts "FILE:LINE: " in front of every line about a node of the document.
    static constexpr const char* kLocationsOption = "--locations";
    // The option that lists the action functions instead of compiling.
    static constexpr const char* kFunctionsOption = "--functions";
    // The index every string reference names.
    static constexpr uint16_t kStringsRecord = 8;

    // The section readers of the configuration.
    static SectionReaders DefaultReaders();

    // Everything is printed to `out`.
    explicit CConfCompiler(std::ostream& out);
    CConfCompiler(SectionReaders readers, std::ostream& out);
    virtual ~CConfCompiler();

    // Runs with the command-line arguments (without the program name) and returns the exit
    // status.
    int Run(const std::vector<std::string>& args);
    // The same, loading the document into `document` (which must be empty), where the caller
    // decides when its tree is freed.
    int Run(const std::vector<std::string>& args, CXMLDOM& document);

    // The compilation of a document held in memory, without banner or file: the status Run
    // would end with, and on success the database image (header dates the current time).
    // With `locationsFile`, lines about a node begin with "FILE:LINE: " as with --locations.
    int CompileMemory(std::string_view xml, std::vector<uint8_t>& image,
                      const std::string* locationsFile = nullptr);

    // The console of the runs, e.g. to observe their messages.
    CLog& Log() { return log_; }

    void PrintBanner();
    void PrintHelp();

private:
    // `--expr EXPRESSION [--controls ID,ID,...]` (the options in any order): compiles one action
    // expression and shows it.
    int RunExpressionCheck(const std::vector<std::string>& args);
    // `--functions [--json | --markdown]`: prints the function catalogue.
    int RunFunctionList(const std::vector<std::string>& args);
    // Every record of the database from the loaded document; kWritten when all were built.
    // With a file name, lines about a node of the document begin with "FILE:LINE: ".
    int Compile(const CXMLDOM& document, CPdb& pdb, const std::string* locationsFile = nullptr);
    // The two lines of a document that cannot be loaded; the reason line with its location
    // when `locationsFile` is given and the parser knows the line.
    void ReportNotLoaded(const CXMLDOM& document, const std::string* locationsFile);
    // The steps of a compilation; each returns false when the run ends there (the status
    // is then in `status`).
    bool AddInfoAndHash(CReadContext& context, CInfoReader& info, CPdb& pdb, int& status);
    bool ReadSections(CReadContext& context, CInfoReader& info, CPdb& pdb);
    bool AddStrings(CReadContext& context, CPdb& pdb);
    bool AddRecord(CPdb& pdb, const uint8_t* data, size_t size);

    SectionReaders readers_;
    CLog log_;
};
