#include "CDecompiler.h"

#include <algorithm>
#include <cstddef>
#include <sstream>

#include "CConfCompiler.h"
#include "CConfigurationDecompiler.h"
#include "CExchangeDecompiler.h"
#include "CInspector.h"
#include "CPdb.h"
#include "CPdbFile.h"
#include "CProblemList.h"
#include "CSaxReader.h"
#include "CSettingsTable.h"
#include "ExchangeContentHandler.h"
#include "PdbLayout.h"
#include "StringReference.h"

namespace {

std::string Hex(unsigned value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[(value >> 4) & 0xF] + kDigits[value & 0xF];
}

}  // namespace

bool CDecompiler::Compile(std::string_view kind, std::string_view xml, std::vector<uint8_t>& image,
                          std::string* why) {
    image.clear();
    std::ostringstream console;
    // The compiler's first error line, or its last line, says why it failed.
    const auto failed = [&]() {
        if (why != nullptr) {
            std::istringstream lines(console.str());
            for (std::string line; std::getline(lines, line);) {
                if (!line.empty() && (why->empty() || why->find("[ERROR") == std::string::npos)) {
                    *why = line;
                }
            }
        }
        return false;
    };
    if (kind == "configuration") {
        CConfCompiler compiler(console);
        return compiler.CompileMemory(xml, image) == CConfCompiler::kWritten || failed();
    }
    if (kind != "exchange") {
        return false;
    }
    ExchangeContentHandler handler(console);
    const CSaxReader::Result result = CSaxReader::ParseMemory(xml, handler);
    if (handler.Failed() || result.code != 0) {
        if (!handler.Failed()) {
            console << result.reason << "\n";
        }
        return failed();
    }
    CPdb pdb(CSettingsTable::kDatabaseType, CSettingsTable::kDatabaseCreator,
             CSettingsTable::kDatabaseDate);
    pdb.SetName(CSettingsTable::kDatabaseName);
    if (!handler.Table().BuildDatabase(pdb, console)) {
        return failed();
    }
    image = pdb.Image();
    return true;
}

std::string CDecompiler::Difference(std::span<const uint8_t> expected,
                                    std::span<const uint8_t> actual) {
    CProblemList expectedProblems;
    CProblemList actualProblems;
    const CPdbFile a(expected, expectedProblems);
    const CPdbFile b(actual, actualProblems);
    for (size_t at = 0; at < PdbHeader::kSize; ++at) {
        if (at >= PdbHeader::kCreationDate.offset && at < PdbHeader::kModificationNumber.offset) {
            continue;  // the three dates
        }
        const bool inA = at < expected.size();
        const bool inB = at < actual.size();
        if (inA != inB || (inA && expected[at] != actual[at])) {
            return "file, offset " + std::to_string(at) + ": the header is not reproduced";
        }
    }
    if (a.RecordCount() != b.RecordCount()) {
        return "file, offset " + std::to_string(PdbHeader::kRecordCount.offset) + ": " +
               std::to_string(b.RecordCount()) + " records are written, not " +
               std::to_string(a.RecordCount());
    }
    // The first difference of each record that differs, one line each.
    std::string lines;
    for (size_t r = 0; r < a.RecordCount(); ++r) {
        const std::span<const uint8_t> x = a.Record(r).All();
        const std::span<const uint8_t> y = b.Record(r).All();
        const size_t common = std::min(x.size(), y.size());
        const auto differs =
            std::mismatch(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(common), y.begin());
        const auto at = static_cast<size_t>(differs.first - x.begin());
        std::string line;
        if (at < common) {
            line =
                ": the document writes " + Hex(y[at]) + " where the database holds " + Hex(x[at]);
        } else if (x.size() != y.size()) {
            line = ": the document writes " + std::to_string(y.size()) +
                   " bytes where the database holds " + std::to_string(x.size());
        } else {
            continue;
        }
        if (!lines.empty()) {
            lines += '\n';
        }
        lines += "record ";
        lines += std::to_string(r);
        lines += ", offset ";
        lines += std::to_string(at);
        lines += line;
    }
    return lines;
}

CDecompiler::Result CDecompiler::Decompile(std::span<const uint8_t> file, const std::string& path,
                                           bool withOrigin) {
    Result result;
    const Json inspected = CInspector::Inspect(file, path);
    const std::string kind =
        At(inspected, "kind").is_string() ? At(inspected, "kind").get<std::string>() : "";
    result.reasons = CInspector::ProblemLines(inspected);
    if (kind != "configuration" && kind != "exchange") {
        result.reasons.push_back("file, offset 0: no configuration or exchange settings database");
        return result;
    }

    CXmlText body;
    const Json& content = At(inspected, kind.c_str());
    if (kind == "exchange") {
        CExchangeDecompiler::Write(content, body);
    } else {
        for (const Json& entry : At(content, "strings")) {
            if (At(entry, "use") == "unreferenced") {
                result.reasons.push_back("record " + std::to_string(StringReference::kRecordIndex) +
                                         ", offset " + std::to_string(IntOf(At(entry, "offset"))) +
                                         ": a pool entry that no record names");
            }
        }
        CProblemList problems;
        const CPdbFile pdb(file, problems);
        std::span<const uint8_t> pool;
        if (pdb.RecordCount() > StringReference::kRecordIndex) {
            pool = pdb.Record(StringReference::kRecordIndex).All();
        }
        CConfigurationDecompiler(content, pool, body).Write();
    }
    const std::string& text = body.Text();
    const size_t fromNotes = result.reasons.size();
    for (const std::string& note : body.Notes()) {
        result.reasons.push_back(note);
    }
    std::vector<uint8_t> image;
    std::string why;
    if (!Compile(kind, text, image, &why)) {
        result.reasons.push_back("file, offset 0: the generated document does not compile" +
                                 (why.empty() ? std::string() : ": " + why));
    } else {
        std::istringstream differences(Difference(file, image));
        for (std::string line; std::getline(differences, line);) {
            result.reasons.push_back(line);
        }
    }
    result.reproduced = result.reasons.empty();

    // The origin and the reasons without a place in the body come first.
    CXmlText head;
    const size_t records = static_cast<size_t>(IntOf(At(At(inspected, "header"), "recordCount")));
    if (withOrigin) {
        head.Comment("Written back by quilinspect from " + ValidUtf8(path) + ", a database of " +
                     std::to_string(records) + (records == 1 ? " record" : " records"));
    }
    for (size_t i = 0; i < result.reasons.size(); ++i) {
        if (i < fromNotes || i >= fromNotes + body.Notes().size()) {
            head.Comment("not reproduced: " + result.reasons[i]);
        }
    }
    const size_t declaration = text.find('\n') + 1;
    result.text = head.Text() + text.substr(declaration);
    return result;
}
