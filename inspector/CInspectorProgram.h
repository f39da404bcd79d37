// The command line of quilinspect:
//
//   quilinspect FILE.pdb              the readable report
//   quilinspect --json FILE.pdb       the same content as one JSON document
//   quilinspect --check FILE.pdb...   the problems only; exit 0 when there is none, else 1
//   quilinspect --svg DIR [--grid N] FILE.pdb
//                                     one SVG per distinct form and DIR/index.html; a grid of
//                                     N pixels
//   quilinspect --xml [--force] FILE.pdb [OUTPUT.xml]
//                                     the document that compiles to the database (CDecompiler),
//                                     to standard output or written atomically to OUTPUT; exit 1
//                                     without a file when it would not give the same bytes
//                                     back, unless --force
//   quilinspect --diff A.pdb B.pdb    the unified diff of their documents: exit 0 equal, 1
//                                     different, 2 error
//
// Exit status 2 for a wrong call or a file that cannot be read (or written, for --svg); 1 for
// --svg when the drawings would pass the gallery's limits (nothing is written then).
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

class CInspectorProgram {
public:
    static constexpr int kOk = 0;
    static constexpr int kProblems = 1;
    static constexpr int kTooLarge = 1;  // --svg: past the gallery's limits
    static constexpr int kFailed = 2;
    static constexpr int kRefused = 1;  // --xml: the document would not reproduce the database
    static constexpr int kDiffer = 1;   // --diff
    static constexpr int kDiffFailed = 2;
    // --xml lists at most this many reasons (the document has a comment at each place).
    static constexpr size_t kMaxReasons = 50;
    // The pixels between the lines of --grid.
    static constexpr int kMinGrid = 2;
    static constexpr int kMaxGrid = 1000;

    // `args` without the program name.
    static int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

private:
    static int Xml(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    static int Diff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    static void Usage(std::ostream& out);
};
