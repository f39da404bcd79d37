#include "CAnalysis.h"

#include <algorithm>
#include <exception>
#include <sstream>

#include "CConfCompiler.h"
#include "CConfigurationChecks.h"
#include "CConfigurationModel.h"
#include "CDocumentTree.h"
#include "CExchangeAnalysis.h"

namespace {

constexpr const char* kConfigurationRoot = "quillora";
constexpr const char* kExchangeRoot = "palm-client";

// The start of the line of a compiler message: "FILE:LINE: " with the FILE the analysis gave
// (an empty one).
uint32_t MessageLine(std::string_view where) {
    if (where.size() < 2 || where[0] != ':') {
        return 0;
    }
    uint32_t line = 0;
    for (size_t i = 1; i < where.size() && where[i] >= '0' && where[i] <= '9'; ++i) {
        line = line * 10 + static_cast<uint32_t>(where[i] - '0');
    }
    return line;
}

// The range of a message about line `line`: the attribute value on that line that the message
// quotes (the longest), else the first start tag on it, else the whole line.
SRange MessageRange(const CDocumentTree& tree, uint32_t line, std::string_view text) {
    const CDocumentText& document = tree.Text();
    const CDocumentText::Attribute* best = nullptr;
    const CDocumentText::Tag* first = nullptr;
    // On a line of many tags (a document written on one line) only the first ones are
    // looked at, so that many messages cost little.
    constexpr size_t kTagsLookedAt = 64;
    const std::vector<const CDocumentText::Tag*> tags = tree.TagsOnLine(line, kTagsLookedAt);
    for (const CDocumentText::Tag* tag : tags) {
        first = first != nullptr ? first : tag;
        for (const CDocumentText::Attribute& attribute : tag->attributes) {
            const size_t size = attribute.valueEnd - attribute.valueBegin;
            if (size == 0 || (best != nullptr && size <= best->valueEnd - best->valueBegin)) {
                continue;
            }
            const CDocumentText::Value value = document.Decode(attribute);
            if (value.text.size() >= 2 && document.Utf8() &&
                text.find(value.text) != std::string_view::npos) {
                best = &attribute;
            }
        }
    }
    if (best != nullptr) {
        return document.ValueRange(*best);
    }
    // Else the value that holds the message's detail (what follows its last ": ").
    const size_t colon = text.rfind(": ");
    const std::string_view detail =
        colon == std::string_view::npos ? std::string_view() : text.substr(colon + 2);
    const size_t start = detail.find_first_not_of(' ');
    if (start != std::string_view::npos && detail.size() - start >= 2 && document.Utf8()) {
        for (const CDocumentText::Tag* tag : tags) {
            for (const CDocumentText::Attribute& attribute : tag->attributes) {
                if (document.Decode(attribute).text.find(detail.substr(start)) !=
                    std::string::npos) {
                    return document.ValueRange(attribute);
                }
            }
        }
    }
    return first != nullptr ? document.TagRange(*first) : document.LineRange(line);
}

}  // namespace

CAnalysis CAnalysis::Run(std::string_view text, std::string_view fileName) {
    CAnalysis analysis;
    try {
        analysis.Analyse(text, fileName);
    } catch (const std::exception& failure) {
        // Memory ran out: what was found so far stays, with the reason.
        SFinding finding;
        finding.severity = ESeverity::Error;
        finding.source = kLintSource;
        finding.message = failure.what();
        analysis.findings_.push_back(std::move(finding));
    }
    return analysis;
}

void CAnalysis::Analyse(std::string_view text, std::string_view fileName) {
    (void)fileName;
    CDocumentTree tree(text);
    if (!tree.Loaded()) {
        SFinding finding;
        finding.severity = ESeverity::Error;
        finding.source = kConfigurationSource;
        finding.message = tree.Document().LastError();
        finding.range = tree.Text().LineRange(
            static_cast<uint32_t>(std::max(1, tree.Document().LastErrorLine())));
        findings_.push_back(std::move(finding));
        status_ = CConfCompiler::kNotLoaded;
        return;
    }
    if (tree.Root() != nullptr && CDocumentTree::Name(tree.Root()) == kExchangeRoot) {
        configuration_ = false;
        status_ = CExchangeAnalysis::Run(tree, findings_);
        loaded_ = true;  // the exchange compiler's failures are findings
        return;
    }

    // The compiler's own run, its messages kept with their lines.
    std::ostringstream console;
    CConfCompiler compiler(console);
    compiler.Log().SetObserver([&](const CLog::Message& message) {
        SFinding finding;
        finding.severity = message.error ? ESeverity::Error : ESeverity::Warning;
        finding.code = std::to_string(message.code);
        finding.source = kConfigurationSource;
        finding.message = message.text;
        const uint32_t line = MessageLine(message.where);
        finding.range =
            line > 0 ? MessageRange(tree, line, message.text) : tree.TagRange(tree.Root());
        findings_.push_back(std::move(finding));
    });
    std::vector<uint8_t> image;
    const std::string locations;
    status_ = compiler.CompileMemory(text, image, &locations);
    const bool error = std::any_of(findings_.begin(), findings_.end(), [](const SFinding& f) {
        return f.severity == ESeverity::Error;
    });
    if (status_ == CConfCompiler::kNotLoaded || (status_ != CConfCompiler::kWritten && !error)) {
        // No root `quillora`, or a section that failed without an error line: the compiler's
        // reason is its last line.
        std::string reason = console.str();
        while (!reason.empty() && reason.back() == '\n') {
            reason.pop_back();
        }
        const size_t lineStart = reason.rfind('\n');
        reason = reason.substr(lineStart == std::string::npos ? 0 : lineStart + 1);
        if (reason.starts_with("[INFO] ")) {
            reason = reason.substr(7);
        }
        SFinding finding;
        finding.severity = ESeverity::Error;
        finding.source = kConfigurationSource;
        finding.message = reason;
        finding.range = tree.Root() != nullptr ? tree.TagRange(tree.Root()) : SRange{};
        findings_.push_back(std::move(finding));
        if (status_ == CConfCompiler::kNotLoaded) {
            return;
        }
    }
    loaded_ = true;
    CConfigurationModel model(tree);
    CConfigurationChecks::Run(model, findings_);
    symbols_ = std::move(model.Symbols());
    names_ = std::move(model.Names());
    (void)kConfigurationRoot;
}
