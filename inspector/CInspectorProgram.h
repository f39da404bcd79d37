// The command line of quilinspect:
//
//   quilinspect FILE.pdb              the readable report
//   quilinspect --json FILE.pdb       the same content as one JSON document
//   quilinspect --check FILE.pdb...   the problems only; exit 0 when there is none, else 1
//   quilinspect --svg DIR [--grid N] FILE.pdb
//                                     one SVG per distinct form and DIR/index.html; a grid of
//                                     N pixels
//
// Exit status 2 for a wrong call or a file that cannot be read (or written, for --svg); 1 for
// --svg when the drawings would pass the gallery's limits (nothing is written then).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

class CInspectorProgram {
public:
    static constexpr int kOk = 0;
    static constexpr int kProblems = 1;
    static constexpr int kTooLarge = 1;  // --svg: past the gallery's limits
    static constexpr int kFailed = 2;
    // The pixels between the lines of --grid.
    static constexpr int kMinGrid = 2;
    static constexpr int kMaxGrid = 1000;

    // `args` without the program name.
    static int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

private:
    static void Usage(std::ostream& out);
};
