#include "CInspectorProgram.h"

#include <iomanip>
#include <ostream>

#include "CFormGallery.h"
#include "CInspector.h"
#include "CTextReport.h"

int CInspectorProgram::Run(const std::vector<std::string>& args, std::ostream& out,
                           std::ostream& err) {
    if (args.empty()) {
        Usage(err);
        return kFailed;
    }
    const std::string& mode = args[0];
    if (mode == "--help" || mode == "-h") {
        Usage(out);
        return kOk;
    }
    if (mode == "--version") {
        out << "quilinspect version 1.0\n";
        return kOk;
    }
    if (mode == "--check") {
        if (args.size() < 2) {
            Usage(err);
            return kFailed;
        }
        int status = kOk;
        for (size_t i = 1; i < args.size(); ++i) {
            std::vector<uint8_t> bytes;
            std::string error;
            if (!CInspector::ReadFile(args[i], bytes, error)) {
                err << "quilinspect: " << error << "\n";
                status = kFailed;
                continue;
            }
            const std::vector<std::string> lines =
                CInspector::ProblemLines(CInspector::Inspect(bytes, args[i]));
            for (const std::string& line : lines) {
                out << args[i] << ": " << line << "\n";
            }
            out << args[i] << ": "
                << (lines.empty() ? std::string("no problems")
                                  : std::to_string(lines.size()) + " problem" +
                                        (lines.size() == 1 ? "" : "s"))
                << "\n";
            if (!lines.empty() && status == kOk) {
                status = kProblems;
            }
        }
        return status;
    }

    std::string path;
    std::string directory;
    if (mode == "--json" && args.size() == 2) {
        path = args[1];
    } else if (mode == "--svg" && args.size() == 3) {
        directory = args[1];
        path = args[2];
    } else if (args.size() == 1 && mode.rfind("--", 0) != 0) {
        path = mode;
    } else {
        Usage(err);
        return kFailed;
    }
    std::vector<uint8_t> bytes;
    std::string error;
    if (!CInspector::ReadFile(path, bytes, error)) {
        err << "quilinspect: " << error << "\n";
        return kFailed;
    }
    const Json document = CInspector::Inspect(bytes, path);
    if (mode == "--json") {
        // Streamed: the text of a large document is never held whole.
        out << std::setw(2) << document << "\n";
        return kOk;
    }
    if (mode == "--svg") {
        std::vector<std::string> written;
        if (!CFormGallery::Write(document, directory, written, error)) {
            err << "quilinspect: " << error << "\n";
            return kFailed;
        }
        for (const std::string& file : written) {
            out << file << "\n";
        }
        return kOk;
    }
    CTextReport::Write(document, out);
    return kOk;
}

void CInspectorProgram::Usage(std::ostream& out) {
    out << "Usage:\n"
           "  quilinspect FILE.pdb              report every record of the database\n"
           "  quilinspect --json FILE.pdb       the same as one JSON document\n"
           "  quilinspect --check FILE.pdb...   list the problems; exit 1 when there are any\n"
           "  quilinspect --svg DIR FILE.pdb    draw every form as DIR/*.svg, with DIR/index.html\n"
           "  quilinspect --help | --version\n"
           "Reads the configuration database (QL_Configuration.pdb) and the exchange settings\n"
           "database (QL_PalmClientTransferDB.pdb). Exit status: 0 done (--check: no problem),\n"
           "1 --check found problems, 2 wrong call or a file that cannot be read or written.\n";
}
