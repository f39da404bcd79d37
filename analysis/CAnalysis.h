// One analysis of a configuration (`quillora`) or exchange (`palm-client`) document, shared by
// `quilconf --lint` and the language server: the compiler's own messages from an in-memory
// compile (no file is written) and the semantic checks, each with a range in the document,
// plus the outline and every definition and use of a name.
//
// Positions are those of editors: 0-based lines and 0-based columns counted in UTF-16 code
// units of the document's text. Analysing never throws and never crashes, whatever the text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SPosition {
    uint32_t line = 0;
    uint32_t character = 0;
    bool operator==(const SPosition&) const = default;
    auto operator<=>(const SPosition&) const = default;
};

struct SRange {
    SPosition start;
    SPosition end;
    bool operator==(const SRange&) const = default;
};

// The numbers are the editor protocol's.
enum class ESeverity { Error = 1, Warning = 2, Information = 3, Hint = 4 };

struct SFinding {
    ESeverity severity = ESeverity::Warning;
    std::string code;  // the compiler's message code ("3585"), a check's code ("L12"), or empty
    std::string
        source;  // "quilconf" or "quilxdb" for the compilers' messages, "quil-lint" for checks
    std::string message;  // UTF-8, one line
    SRange range;         // the attribute value the finding is about, else the element's start tag
};

enum class ESymbolKind {
    Menu,
    MenuItem,
    Journal,
    Document,
    RecordView,
    Reference,
    Frame,
    Form,
    Control,
    Entry
};

// The outline: menus and their items, the objects of each section with their forms and
// controls (and entries).
struct SSymbol {
    ESymbolKind kind = ESymbolKind::Menu;
    std::string name;    // the name, title or id the document gives it
    std::string detail;  // e.g. a control's type and its index in the form
    SRange range;        // the whole element
    SRange selection;    // the value that names it, else the start tag's name
    std::vector<SSymbol> children;
};

enum class ENameKind {
    Entry,
    Menu,
    ControlId,
    Document,
    Journal,
    Reference,
    Frame,
    RecordView,
    Form
};

// One definition or use of a name. Uses and definitions that refer to each other have the same
// kind, name and scope (the scope tells apart, e.g., the control ids of two forms).
struct SNameUse {
    ENameKind kind = ENameKind::Entry;
    std::string name;
    std::string scope;
    SRange range;  // the name's characters in the attribute value
    bool definition = false;
};

class CAnalysis {
public:
    // The sources of the findings.
    static constexpr const char* kConfigurationSource = "quilconf";
    static constexpr const char* kExchangeSource = "quilxdb";
    static constexpr const char* kLintSource = "quil-lint";

    // Analyses the text; fileName is used in messages only.
    static CAnalysis Run(std::string_view text, std::string_view fileName);

    // The exit status the compiler ended its in-memory run with (0 written, 1 not loaded,
    // 255 failed; for an exchange description 0 or 1 as quilxdb).
    int CompilerStatus() const { return status_; }

    bool IsConfiguration() const { return configuration_; }
    // False when the document could not be loaded (its reason is the first finding).
    bool Loaded() const { return loaded_; }
    const std::vector<SFinding>& Findings() const { return findings_; }
    const std::vector<SSymbol>& Symbols() const { return symbols_; }
    const std::vector<SNameUse>& Names() const { return names_; }

private:
    void Analyse(std::string_view text, std::string_view fileName);

    int status_ = 0;
    bool configuration_ = true;
    bool loaded_ = false;
    std::vector<SFinding> findings_;
    std::vector<SSymbol> symbols_;
    std::vector<SNameUse> names_;
};
