#include "CLintCommand.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <ostream>

#include "CConfCompiler.h"
#include "CPlatform.h"
#include "ConsoleLine.h"

namespace {

const char* SeverityName(ESeverity severity) {
    switch (severity) {
        case ESeverity::Error:
            return "ERROR";
        case ESeverity::Warning:
            return "WARNING";
        case ESeverity::Information:
            return "INFO";
        case ESeverity::Hint:
            return "HINT";
    }
    return "WARNING";
}

nlohmann::json Position(const SPosition& position) {
    return {{"line", position.line}, {"character", position.character}};
}

}  // namespace

bool CLintCommand::Wanted(const std::vector<std::string>& args) {
    return std::find(args.begin(), args.end(), kOption) != args.end();
}

int CLintCommand::Status(const CAnalysis& analysis) {
    if (!analysis.Loaded()) {
        return kNotLoaded;
    }
    const bool error =
        std::any_of(analysis.Findings().begin(), analysis.Findings().end(),
                    [](const SFinding& finding) { return finding.severity == ESeverity::Error; });
    return error || analysis.CompilerStatus() != 0 ? kErrors : kClean;
}

void CLintCommand::WriteText(const CAnalysis& analysis, const std::string& file,
                             std::ostream& out) {
    const std::string shown = ConsoleLine::Joined(file);
    for (const SFinding& finding : analysis.Findings()) {
        out << shown << ":" << finding.range.start.line + 1 << ":"
            << finding.range.start.character + 1 << ": [" << SeverityName(finding.severity);
        if (!finding.code.empty()) {
            out << " " << finding.code;
        }
        out << "] " << ConsoleLine::Joined(finding.message) << "\n";
    }
    out.flush();
}

void CLintCommand::WriteJson(const CAnalysis& analysis, const std::string& file,
                             std::ostream& out) {
    nlohmann::json list = nlohmann::json::array();
    for (const SFinding& finding : analysis.Findings()) {
        std::string severity = SeverityName(finding.severity);
        std::transform(severity.begin(), severity.end(), severity.begin(),
                       [](char c) { return static_cast<char>(c - 'A' + 'a'); });
        list.push_back(
            {{"file", file},
             {"range",
              {{"start", Position(finding.range.start)}, {"end", Position(finding.range.end)}}},
             {"severity", severity},
             {"code", finding.code},
             {"source", finding.source},
             {"message", finding.message}});
    }
    // Texts that are not UTF-8 (a file name) are shown with replacement characters.
    out << list.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n" << std::flush;
}

int CLintCommand::Run(const std::vector<std::string>& args, std::ostream& out) {
    bool json = false;
    std::vector<std::string> files;
    for (const std::string& argument : args) {
        if (argument == kJsonOption) {
            json = true;
        } else if (argument != kOption) {
            files.push_back(argument);
        }
    }
    if (files.size() != 1) {
        out << "[ERROR 0] Синтаксис: quilconf --lint [--json] ФАЙЛ_КОНФИГУРАЦИИ\n" << std::flush;
        return kUsageError;
    }
    const std::string& file = files[0];
    std::ifstream in(CPlatform::Path(file), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        out << ConsoleLine::Joined(file) << ":1:1: [ERROR] Не удается прочитать файл\n"
            << std::flush;
        return kNotLoaded;
    }
    const CAnalysis analysis = CAnalysis::Run(text, file);
    if (json) {
        WriteJson(analysis, file, out);
    } else {
        WriteText(analysis, file, out);
    }
    return Status(analysis);
}
