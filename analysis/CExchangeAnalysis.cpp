#include "CExchangeAnalysis.h"

#include <sstream>
#include <string>

#include "CPdb.h"
#include "CSaxReader.h"
#include "ExchangeContentHandler.h"

namespace {

// The start tags of one line looked at for a message (a document may be one long line).
constexpr size_t kTagsLookedAt = 64;

// Every line of the console with a location (":LINE: " with the empty file name the
// analysis gives) is a finding; other lines are progress.
void AddLines(const CDocumentTree& tree, const std::string& console,
              std::vector<SFinding>& findings) {
    std::istringstream lines(console);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.size() < 3 || line[0] != ':') {
            continue;
        }
        uint32_t number = 0;
        size_t i = 1;
        for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
            number = number * 10 + static_cast<uint32_t>(line[i] - '0');
        }
        if (i == 1 || line.compare(i, 2, ": ") != 0) {
            continue;
        }
        SFinding finding;
        finding.severity = ESeverity::Error;
        finding.source = CAnalysis::kExchangeSource;
        finding.message = line.substr(i + 2);
        // The start tag on that line whose name the message quotes, else the first one.
        const std::vector<const CDocumentText::Tag*> tags = tree.TagsOnLine(number, kTagsLookedAt);
        const CDocumentText::Tag* tag = tags.empty() ? nullptr : tags.front();
        for (const CDocumentText::Tag* candidate : tags) {
            if (finding.message.find(candidate->name) != std::string::npos) {
                tag = candidate;
                break;
            }
        }
        finding.range = tag == nullptr ? tree.Text().LineRange(number) : tree.Text().TagRange(*tag);
        findings.push_back(std::move(finding));
    }
}

}  // namespace

int CExchangeAnalysis::Run(const CDocumentTree& tree, std::vector<SFinding>& findings) {
    std::ostringstream console;
    ExchangeContentHandler handler(console);
    handler.ShowLocations("");
    const CSaxReader::Result result = CSaxReader::ParseMemory(tree.Text().Text(), handler);
    if (!handler.Failed() && result.code != 0) {
        console << "\n:" << result.line << ": Parse error at line " << result.line << ", column "
                << result.column << ": " << result.reason << "\n";
    }
    bool built = false;
    if (!handler.Failed() && result.code == 0) {
        console << "\n";
        CPdb pdb;
        built = handler.Table().BuildDatabase(pdb, console);
        console << "\n";
    }
    AddLines(tree, console.str(), findings);
    if (!built && findings.empty()) {
        // A failure without a line: the last line the compiler printed says why.
        SFinding finding;
        finding.severity = ESeverity::Error;
        finding.source = CAnalysis::kExchangeSource;
        std::string text = console.str();
        while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
            text.pop_back();
        }
        finding.message =
            text.substr(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
        finding.range = tree.Root() != nullptr ? tree.TagRange(tree.Root()) : SRange{};
        findings.push_back(std::move(finding));
    }
    return built ? 0 : 1;
}
