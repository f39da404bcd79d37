#include "CInspectorProgram.h"

#include <charconv>
#include <ostream>

#include "CFormGallery.h"
#include "CInspector.h"
#include "CTextReport.h"
#include "QuilVersion.h"

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
        out << "quilinspect version " << QuilVersion::kPackage << "\n";
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
    int grid = 0;
    if (mode == "--json" && args.size() == 2) {
        path = args[1];
    } else if (mode == "--svg" && (args.size() == 3 || (args.size() == 5 && args[2] == "--grid"))) {
        directory = args[1];
        path = args.back();
        if (args.size() == 5) {
            const std::string& step = args[3];
            const auto [end, code] = std::from_chars(step.data(), step.data() + step.size(), grid);
            if (code != std::errc() || end != step.data() + step.size() || grid < kMinGrid ||
                grid > kMaxGrid) {
                err << "quilinspect: --grid takes a number of pixels from " << kMinGrid << " to "
                    << kMaxGrid << ", not \"" << step << "\"\n";
                return kFailed;
            }
        }
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
        out << JsonText(document, 2) << "\n";
        return kOk;
    }
    if (mode == "--svg") {
        std::vector<std::string> written;
        const CFormGallery::Outcome outcome =
            CFormGallery::Draw(document, directory, CFormGallery::kLimits, written, error, grid);
        if (outcome != CFormGallery::Outcome::Written) {
            err << "quilinspect: " << error << "\n";
            return outcome == CFormGallery::Outcome::OverLimit ? kTooLarge : kFailed;
        }
        for (const std::string& file : written) {
            out << file << "\n";
        }
        return kOk;
    }
    out << CTextReport::Write(document);
    return kOk;
}

void CInspectorProgram::Usage(std::ostream& out) {
    out << "Usage:\n"
           "  quilinspect FILE.pdb              report every record of the database\n"
           "  quilinspect --json FILE.pdb       the same as one JSON document\n"
           "  quilinspect --check FILE.pdb...   list the problems; exit 1 when there are any\n"
           "  quilinspect --svg DIR [--grid N] FILE.pdb\n"
           "                                    draw every form as DIR/*.svg, with "
           "DIR/index.html;\n"
           "                                    --grid N: lines every N pixels of the screen\n"
           "  quilinspect --help | --version\n"
           "Reads the configuration database (QL_Configuration.pdb) and the exchange settings\n"
           "database (QL_PalmClientTransferDB.pdb). Exit status: 0 done (--check: no problem),\n"
           "1 --check found problems (--svg: more than "
        << CFormGallery::kLimits.files << " files or " << (CFormGallery::kLimits.bytes >> 20)
        << " MiB to write), 2 wrong\n"
           "call or a file that cannot be read or written.\n";
}
