#include "CConfigurationChecks.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "AsciiCase.h"

namespace {

class Checker {
public:
    Checker(const CConfigurationModel& model, std::vector<SFinding>& findings)
        : model_(model), findings_(findings) {}

    void Add(ESeverity severity, const char* code, SRange range, std::string message) {
        SFinding finding;
        finding.severity = severity;
        finding.code = code;
        finding.source = CAnalysis::kLintSource;
        finding.message = std::move(message);
        finding.range = range;
        findings_.push_back(std::move(finding));
    }

    // Uses of names whose definitions are missing.
    void UnresolvedNames(std::vector<SNameUse>& names) {
        std::set<std::tuple<ENameKind, std::string, std::string>> defined;
        for (const SNameUse& use : names) {
            if (use.definition) {
                defined.insert({use.kind, Fold(use.name), use.scope});
            }
        }
        for (const SNameUse& use : names) {
            if (use.definition || defined.contains({use.kind, Fold(use.name), use.scope})) {
                continue;
            }
            switch (use.kind) {
                case ENameKind::Entry:
                    Add(ESeverity::Warning, CConfigurationChecks::kUnknownEntry, use.range,
                        "entry \"" + use.name +
                            "\" names no entry of its object; the control "
                            "shows no data");
                    break;
                case ENameKind::Menu:
                    Add(ESeverity::Warning, CConfigurationChecks::kUnknownMenu, use.range,
                        "menuname \"" + use.name + "\" names no menu; the form has no menu");
                    break;
                default:
                    break;
            }
        }
    }

private:
    // Entry and menu names are compared as the compiler compares them: ASCII letters without
    // regard to case.
    static std::string Fold(std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), AsciiCase::Lower);
        return text;
    }

    const CConfigurationModel& model_;
    std::vector<SFinding>& findings_;
};

}  // namespace

void CConfigurationChecks::Run(const CConfigurationModel& model, std::vector<SFinding>& findings) {
    Checker checker(model, findings);
    checker.UnresolvedNames(const_cast<CConfigurationModel&>(model).Names());
}
