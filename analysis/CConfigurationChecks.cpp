#include "CConfigurationChecks.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "AsciiCase.h"
#include "CDocumentGrammar.h"
#include "CFormGeometry.h"
#include "CFunctionCatalogue.h"
#include "CListControl.h"

namespace {

using Model = CConfigurationModel;

std::string Quoted(std::string_view text) {
    std::string quoted = "`";
    quoted.append(text);
    quoted += '`';
    return quoted;
}

const char* KindName(ENameKind kind) {
    switch (kind) {
        case ENameKind::Entry:
            return "entry";
        case ENameKind::Menu:
            return "menu";
        case ENameKind::ControlId:
            return "control id";
        case ENameKind::Document:
            return "document";
        case ENameKind::Journal:
            return "journal";
        case ENameKind::Reference:
            return "reference";
        case ENameKind::Frame:
            return "frame";
        case ENameKind::RecordView:
            return "record view";
        case ENameKind::Form:
            return "form";
    }
    return "name";
}

class Checker {
public:
    Checker(const Model& model, std::vector<SFinding>& findings)
        : model_(model), tree_(model.Tree()), findings_(findings) {}

    void Add(ESeverity severity, const char* code, SRange range, std::string message) {
        SFinding finding;
        finding.severity = severity;
        finding.code = code;
        finding.source = CAnalysis::kLintSource;
        finding.message = std::move(message);
        finding.range = range;
        findings_.push_back(std::move(finding));
    }

    // Entry and menu names are compared as the compiler compares them (ASCII letters without
    // regard to case); the names of objects and forms exactly.
    static std::string Key(const SNameUse& use) {
        std::string name = use.name;
        if (use.kind == ENameKind::Entry || use.kind == ENameKind::Menu) {
            std::transform(name.begin(), name.end(), name.begin(), AsciiCase::Lower);
        }
        return name;
    }

    void Names() {
        const std::vector<SNameUse>& names = model_.Names();
        const std::vector<std::string>& origins = model_.Origins();
        std::map<std::tuple<ENameKind, std::string, std::string>, int> defined;
        for (const SNameUse& use : names) {
            if (use.definition && !use.name.empty()) {
                const int count = ++defined[{use.kind, Key(use), use.scope}];
                if (count == 2) {
                    Duplicate(use);
                }
            }
        }
        for (size_t i = 0; i < names.size(); ++i) {
            const SNameUse& use = names[i];
            // An empty name names nothing on purpose (or the compiler says it is missing).
            if (use.definition || use.name.empty() ||
                defined.contains({use.kind, Key(use), use.scope})) {
                continue;
            }
            Unresolved(use, i < origins.size() ? origins[i] : std::string());
        }
    }

    void Duplicate(const SNameUse& use) {
        if (use.kind == ENameKind::ControlId) {
            Add(ESeverity::Warning, CConfigurationChecks::kDuplicateId, use.range,
                "control id " + use.name +
                    " is used twice in this form; navigation and actions reach only the first");
            return;
        }
        std::string where;
        if (use.kind == ENameKind::Entry || use.kind == ENameKind::Form) {
            const size_t colon = use.scope.find(':');
            where = use.scope == CConfigurationModel::kCommonScope || colon == std::string::npos
                        ? " among the common entries"
                        : " in " + use.scope.substr(0, colon) + " " +
                              Quoted(use.scope.substr(colon + 1));
        }
        Add(ESeverity::Warning, CConfigurationChecks::kDuplicateName, use.range,
            std::string(KindName(use.kind)) + " " + Quoted(use.name) + " is defined twice" + where +
                "; only the first is found by name");
    }

    void Unresolved(const SNameUse& use, const std::string& origin) {
        switch (use.kind) {
            case ENameKind::Entry:
                if (origin == "inheritance/name") {
                    break;  // a document inherited from: below
                }
                Add(ESeverity::Warning, CConfigurationChecks::kUnknownEntry, use.range,
                    "entry " + Quoted(use.name) +
                        " names no entry of this object; the control is bound to no data");
                return;
            case ENameKind::Menu:
                Add(ESeverity::Warning, CConfigurationChecks::kUnknownMenu, use.range,
                    "menuname " + Quoted(use.name) + " names no menu; the form shows no menu" +
                        Suggestion(use));
                return;
            case ENameKind::ControlId:
                if (origin.find('/') == std::string::npos) {
                    Add(ESeverity::Warning, CConfigurationChecks::kUnknownControl, use.range,
                        origin + ": " + use.name +
                            " is no control id of this form; the action reaches no control");
                } else {
                    Add(ESeverity::Warning, CConfigurationChecks::kUnknownNavigation, use.range,
                        origin.substr(origin.find('/') + 1) + "=\"" + use.name +
                            "\" is no control id of this form; the navigation goes nowhere");
                }
                return;
            case ENameKind::Document:
                if (origin == "jrndocument/name") {
                    Add(ESeverity::Warning, CConfigurationChecks::kUnknownDocument, use.range,
                        "jrndocument " + Quoted(use.name) +
                            " names no document; the journal lists nothing of it" +
                            Suggestion(use));
                    return;
                }
                if (origin == "inheritance/name") {
                    Add(ESeverity::Warning, CConfigurationChecks::kUnknownInheritance, use.range,
                        "inheritance " + Quoted(use.name) +
                            " names no document and no entry of this document" + Suggestion(use));
                    return;
                }
                break;
            case ENameKind::Form:
                Add(ESeverity::Warning, CConfigurationChecks::kUnknownForm, use.range,
                    origin + ": " + Quoted(use.name) + " is no form of " +
                        use.scope.substr(0, use.scope.find(':')) + " " +
                        Quoted(use.scope.substr(use.scope.find(':') + 1)) + Suggestion(use));
                return;
            default:
                break;
        }
        if (use.kind != ENameKind::Entry) {
            Add(ESeverity::Warning, CConfigurationChecks::kUnknownObject, use.range,
                origin + ": " + Quoted(use.name) + " names no " + KindName(use.kind) +
                    "; the client opens nothing" + Suggestion(use));
        }
    }

    // " (did you mean `X`?)" with the nearest definition of the same kind and scope.
    // Looked for among this many definitions at most, and for this many uses: a suggestion
    // costs the product of the names' lengths for every candidate.
    static constexpr size_t kMaxCandidates = 1000;
    static constexpr size_t kMaxSuggestions = 1000;

    std::string Suggestion(const SNameUse& use) {
        if (suggestions_++ >= kMaxSuggestions) {
            return {};
        }
        if (candidates_.empty()) {
            for (const SNameUse& other : model_.Names()) {
                if (other.definition) {
                    candidates_[{other.kind, other.scope}].push_back(other.name);
                }
            }
        }
        const auto found = candidates_.find({use.kind, use.scope});
        if (found == candidates_.end() || found->second.size() > kMaxCandidates) {
            return {};
        }
        const std::string_view nearest = CDocumentGrammar::Nearest(use.name, found->second);
        return nearest.empty() ? std::string() : " (did you mean " + Quoted(nearest) + "?)";
    }

    void Calls() {
        for (const Model::Call& call : model_.Calls()) {
            const CFunctionCatalogue::Function* function =
                CFunctionCatalogue::FindByName(call.function.text);
            if (function == nullptr || call.arguments.empty() ||
                CFunctionCatalogue::ArgumentCount(*function) == 0 ||
                CFunctionCatalogue::Kind(*function, 0) !=
                    CFunctionCatalogue::ArgumentKind::Control) {
                continue;
            }
            const std::string& first = call.arguments[0].text;
            const bool number =
                !first.empty() && (first[0] == '-' || (first[0] >= '0' && first[0] <= '9'));
            if (number && !CFunctionCatalogue::IsControlArgumentFunction(call.function.text)) {
                Add(ESeverity::Warning, CConfigurationChecks::kControlFunctionCase,
                    call.function.range,
                    Quoted(call.function.text) + " is spelled " + Quoted(function->name) +
                        ": in another letter case the compiler stores " + first +
                        " itself, not the index of the control with that id");
            }
        }
    }

    // Places on the screen, by the inspector's rules (CFormGeometry), and layers.
    void Geometry() {
        for (const Model::Object& object : model_.Objects()) {
            for (const Model::Form& form : object.forms) {
                std::vector<CFormGeometry::Control> places;
                for (const Model::Control& control : form.controls) {
                    CFormGeometry::Control place;
                    place.x = control.x;
                    place.y = control.y;
                    place.w = control.w;
                    place.h = control.h;
                    place.layer = control.layer == 255 ? CFormGeometry::kEveryLayer : control.layer;
                    place.type = control.type;
                    places.push_back(std::move(place));
                }
                const CFormGeometry geometry(std::move(places), model_.ScreenWidth(),
                                             model_.ScreenHeight());
                uint16_t layers = 0;
                const bool haveLayers =
                    tree_.Document().GetAttributeShortIfPresent(form.node, "layers", layers) == 0;
                for (size_t i = 0; i < form.controls.size(); ++i) {
                    Placed(form, geometry, i, haveLayers ? layers : -1);
                }
            }
        }
    }

    void Placed(const Model::Form& form, const CFormGeometry& geometry, size_t i, int layers) {
        const Model::Control& control = form.controls[i];
        const CFormGeometry::Control& place = geometry.Controls()[i];
        const XmlNode layout = tree_.Document().FindChild(control.node, "layout");
        if (layout == nullptr) {
            return;  // the compiler says so
        }
        const std::string name =
            "control " + std::to_string(control.id) + " (" + control.type + ")";
        if (place.outside) {
            Add(ESeverity::Warning, CConfigurationChecks::kOffScreen, tree_.TagRange(layout),
                name + " lies outside the " + std::to_string(geometry.Width()) + "x" +
                    std::to_string(geometry.Height()) + " screen: at " + std::to_string(place.x) +
                    "," + std::to_string(place.y) + " size " + std::to_string(place.w) + "x" +
                    std::to_string(place.h));
        }
        for (const size_t k : place.overlaps) {
            if (k < i) {
                Add(ESeverity::Warning, CConfigurationChecks::kOverlap, tree_.TagRange(layout),
                    name + " overlaps control " + std::to_string(form.controls[k].id) + " (" +
                        form.controls[k].type + ") on the same layer");
            }
        }
        if (layers >= 0 && place.layer != CFormGeometry::kEveryLayer && place.layer > layers) {
            Add(ESeverity::Warning, CConfigurationChecks::kMissingLayer,
                tree_.ValueRange(layout, "layer"),
                "layer " + std::to_string(place.layer) + " of " + name + " is past the form's " +
                    std::to_string(layers) + " layers; it is never shown");
        }
    }

    // Names the compiler never reads, and keywords it does not know.
    void Grammar() {
        // The compiler finds menus, common entries and objects anywhere: the elements around
        // them are passed through, and so are the elements around menu items (the menu
        // reader walks through them). Such an element stands for its parent.
        std::set<XmlNode> around;
        for (const XmlNode section : model_.Sections()) {
            for (XmlNode node = CDocumentTree::Parent(section); node != nullptr;
                 node = CDocumentTree::Parent(node)) {
                around.insert(node);
            }
        }
        std::set<XmlNode> unknown;  // elements whose subtree is not looked at
        std::map<XmlNode, const CDocumentGrammar::Element*> rules;
        for (const XmlNode node : tree_.Elements()) {
            const XmlNode parent = CDocumentTree::Parent(node);
            if (parent != nullptr && (unknown.contains(parent) || !rules.contains(parent))) {
                unknown.insert(node);
                continue;
            }
            const CDocumentGrammar::Element* parentRule =
                parent != nullptr ? rules[parent] : nullptr;
            const std::string parentName(parentRule != nullptr ? parentRule->name : "");
            const std::string name = CDocumentTree::Name(node);
            if (const CDocumentGrammar::Element* rule = CDocumentGrammar::Find(name, parentName)) {
                rules[node] = rule;
                for (const std::string& attribute : CDocumentTree::AttributeNames(node)) {
                    Attribute(node, *rule, attribute);
                }
                continue;
            }
            if (parentRule == nullptr) {
                unknown.insert(node);  // no root `quillora`: the compiler says so
                continue;
            }
            static const std::set<std::string_view> kMenuParts = {"menu", "submenu", "menuitem",
                                                                  "separator"};
            if (around.contains(node) || kMenuParts.contains(parentRule->name)) {
                rules[node] = parentRule;
                continue;
            }
            unknown.insert(node);
            if (parentRule->name == "items") {
                continue;  // the formmenu reader reports the other elements of `items` itself
            }
            const std::string_view nearest = CDocumentGrammar::Nearest(name, parentRule->children);
            Add(ESeverity::Warning, CConfigurationChecks::kUnknownElement, tree_.NameRange(node),
                "the compiler never reads an element " + Quoted(name) + " in " +
                    Quoted(parentRule->name) +
                    (nearest.empty() ? std::string() : " (did you mean " + Quoted(nearest) + "?)"));
        }
    }

    void Attribute(XmlNode node, const CDocumentGrammar::Element& rule,
                   const std::string& attribute) {
        const CDocumentText::Attribute* written = tree_.AttributeOf(node, attribute);
        if (std::find(rule.attributes.begin(), rule.attributes.end(), attribute) ==
            rule.attributes.end()) {
            const std::string_view nearest = CDocumentGrammar::Nearest(attribute, rule.attributes);
            const SRange range = written != nullptr
                                     ? tree_.Text().Range(written->nameBegin,
                                                          written->nameBegin + written->name.size())
                                     : tree_.TagRange(node);
            Add(ESeverity::Warning, CConfigurationChecks::kUnknownAttribute, range,
                "the compiler never reads an attribute " + Quoted(attribute) + " of " +
                    Quoted(rule.name) +
                    (nearest.empty() ? std::string() : " (did you mean " + Quoted(nearest) + "?)"));
            return;
        }
        const CDocumentGrammar::Keywords* keywords =
            CDocumentGrammar::KeywordsOf(rule.name, attribute);
        std::string value;
        if (keywords == nullptr || keywords->reported ||
            !CDocumentTree::Attribute(node, attribute, value) ||
            CDocumentGrammar::Accepts(*keywords, value)) {
            return;
        }
        const std::string_view nearest = CDocumentGrammar::Nearest(value, keywords->values);
        Add(ESeverity::Warning, CConfigurationChecks::kUnknownKeyword,
            tree_.ValueRange(node, attribute),
            Quoted(value) + " is no value of " + Quoted(attribute) +
                "; the compiler takes its default without a word" +
                (nearest.empty() ? std::string() : " (did you mean " + Quoted(nearest) + "?)"));
    }

private:
    std::map<std::pair<ENameKind, std::string>, std::vector<std::string_view>> candidates_;
    size_t suggestions_ = 0;
    const Model& model_;
    const CDocumentTree& tree_;
    std::vector<SFinding>& findings_;
};

}  // namespace

void CConfigurationChecks::Run(const CConfigurationModel& model, std::vector<SFinding>& findings) {
    Checker checker(model, findings);
    checker.Grammar();
    checker.Names();
    checker.Calls();
    checker.Geometry();
}
