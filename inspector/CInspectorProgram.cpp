#include "CInspectorProgram.h"

#include <charconv>
#include <ostream>
#include <span>

#include "CAtomicFile.h"
#include "CDecompiler.h"
#include "CFormGallery.h"
#include "CInspector.h"
#include "CPlatform.h"
#include "CProblemList.h"
#include "CTextReport.h"
#include "CUnifiedDiff.h"
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
        // Problems fail the check; warnings only with --strict.
        const bool strict = args.size() > 1 && args[1] == "--strict";
        const size_t first = strict ? 2 : 1;
        if (args.size() <= first) {
            Usage(err);
            return kFailed;
        }
        int status = kOk;
        for (size_t i = first; i < args.size(); ++i) {
            std::vector<uint8_t> bytes;
            std::string error;
            if (!CInspector::ReadFile(args[i], bytes, error)) {
                err << "quilinspect: " << error << "\n";
                status = kFailed;
                continue;
            }
            const Json document = CInspector::Inspect(bytes, args[i]);
            const std::vector<std::string> lines = CInspector::ProblemLines(document);
            const std::vector<std::string> warnings = CInspector::WarningLines(document);
            for (const std::string& line : lines) {
                out << args[i] << ": " << line << "\n";
            }
            for (const std::string& line : warnings) {
                out << args[i] << ": warning: " << line << "\n";
            }
            const auto counted = [](size_t count, const char* what) {
                return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
            };
            out << args[i] << ": "
                << (lines.empty() ? std::string("no problems") : counted(lines.size(), "problem"))
                << (warnings.empty() ? std::string() : ", " + counted(warnings.size(), "warning"))
                << "\n";
            if ((!lines.empty() || (strict && !warnings.empty())) && status == kOk) {
                status = kProblems;
            }
        }
        return status;
    }

    if (mode == "--xml") {
        return Xml(args, out, err);
    }
    if (mode == "--diff") {
        return Diff(args, out, err);
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
        // Streamed: the text of a large document is never held whole.
        WriteJson(out, document, 2);
        out << "\n";
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
    CTextReport::Write(document, out);
    return kOk;
}

int CInspectorProgram::Xml(const std::vector<std::string>& args, std::ostream& out,
                           std::ostream& err) {
    const bool force = args.size() > 1 && args[1] == "--force";
    const size_t first = force ? 2 : 1;
    if (args.size() <= first || args.size() > first + 2) {
        Usage(err);
        return kFailed;
    }
    const std::string& path = args[first];
    std::vector<uint8_t> bytes;
    std::string error;
    if (!CInspector::ReadFile(path, bytes, error)) {
        err << "quilinspect: " << error << "\n";
        return kFailed;
    }
    const CDecompiler::Result result = CDecompiler::Decompile(bytes, path);
    for (const std::string& reason : result.reasons) {
        err << path << ": " << (force && !result.text.empty() ? "not reproduced: " : "") << reason
            << "\n";
    }
    if (result.text.empty() || (!result.reproduced && !force)) {
        err << "quilinspect: " << path << " is not turned into a document"
            << (result.text.empty() ? "" : " (--force writes it with comments)") << "\n";
        return kRefused;
    }
    if (args.size() == first + 1) {
        out << result.text;
        return kOk;
    }
    const std::string& target = args[first + 1];
    if (CPlatform::SameFile(path, target)) {
        err << "quilinspect: the document would replace the database " << target << "\n";
        return kFailed;
    }
    const CAtomicFile::Result written = CAtomicFile::Replace(
        target,
        std::span(reinterpret_cast<const uint8_t*>(result.text.data()), result.text.size()));
    if (written.outcome != CAtomicFile::Outcome::Written) {
        err << "quilinspect: cannot write " << target
            << (written.reason.empty() ? "" : ": " + written.reason) << "\n";
        return kFailed;
    }
    return kOk;
}

int CInspectorProgram::Diff(const std::vector<std::string>& args, std::ostream& out,
                            std::ostream& err) {
    if (args.size() != 3) {
        Usage(err);
        return kDiffFailed;
    }
    std::string texts[2];
    for (size_t i = 0; i < 2; ++i) {
        const std::string& path = args[i + 1];
        std::vector<uint8_t> bytes;
        std::string error;
        if (!CInspector::ReadFile(path, bytes, error)) {
            err << "quilinspect: " << error << "\n";
            return kDiffFailed;
        }
        CDecompiler::Result result = CDecompiler::Decompile(bytes, path, false);
        if (result.text.empty()) {
            err << "quilinspect: " << path << ": "
                << (result.reasons.empty() ? std::string("no document") : result.reasons[0])
                << "\n";
            return kDiffFailed;
        }
        texts[i] = std::move(result.text);
    }
    const std::string diff = CUnifiedDiff::Diff(texts[0], texts[1], args[1], args[2]);
    out << diff;
    return diff.empty() ? kOk : kDiffer;
}

void CInspectorProgram::Usage(std::ostream& out) {
    out << "Usage:\n"
           "  quilinspect FILE.pdb              report every record of the database\n"
           "  quilinspect --json FILE.pdb       the same as one JSON document\n"
           "  quilinspect --check [--strict] FILE.pdb...\n"
           "                                    list the problems, then the warnings; exit 1\n"
           "                                    when there are problems (--strict: or warnings)\n"
           "  quilinspect --svg DIR [--grid N] FILE.pdb\n"
           "                                    draw every form as DIR/*.svg, with "
           "DIR/index.html;\n"
           "                                    --grid N: lines every N pixels of the screen\n"
           "  quilinspect --xml [--force] FILE.pdb [OUTPUT.xml]\n"
           "                                    write the document that compiles to the\n"
           "                                    database (to standard output without OUTPUT);\n"
           "                                    exit 1, writing nothing, when it would not\n"
           "                                    give the same bytes back (--force: written\n"
           "                                    anyway, a comment at each such place)\n"
           "  quilinspect --diff A.pdb B.pdb    the unified diff of the two documents; exit 0\n"
           "                                    when equal, 1 when they differ, 2 on error\n"
           "  quilinspect --help | --version\n"
           "Reads the configuration database (QL_Configuration.pdb) and the exchange settings\n"
           "database (QL_PalmClientTransferDB.pdb). A problem is damage (the database is not\n"
           "what the compilers write or the handheld reads); a warning is a value that will\n"
           "not do what was probably meant (a control, entry or menu that is not there). A\n"
           "database naming the same bytes again and again is decoded up to a budget ("
        << CProblemList::kMaxItems << "\nitems, " << (CProblemList::kMaxBytes >> 20)
        << " MB), then a problem says what was left. Exit status: 0 done (--check: no\n"
           "problem), 1 --check found problems (--svg: more than "
        << CFormGallery::kLimits.files << " files or " << (CFormGallery::kLimits.bytes >> 20)
        << " MiB to write;\n--xml: not turned into a document; --diff: the documents differ), 2 "
           "wrong call\nor a file that cannot be read or written.\n";
}
