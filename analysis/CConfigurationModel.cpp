#include "CConfigurationModel.h"

#include <ostream>
#include <sstream>

#include "AsciiCase.h"
#include "CConverter.h"
#include "CFunctionCatalogue.h"
#include "CInfoReader.h"
#include "CListControl.h"
#include "CListEntry.h"
#include "CListMenu.h"
#include "CLog.h"
#include "CParser.h"
#include "CReadContext.h"
#include "CStringsReader.h"
#include "CqlMenuItem.h"
#include "MenuRecord.h"

namespace {

struct Section {
    const char* element;
    ENameKind kind;
    ESymbolKind symbol;
};

// The sections of objects in the order the compiler reads them.
constexpr Section kSections[] = {
    {"journal", ENameKind::Journal, ESymbolKind::Journal},
    {"document", ENameKind::Document, ESymbolKind::Document},
    {"recordview", ENameKind::RecordView, ESymbolKind::RecordView},
    {"reference", ENameKind::Reference, ESymbolKind::Reference},
    {"frame", ENameKind::Frame, ESymbolKind::Frame},
};

// The functions that open an object by name, with one of its forms.
constexpr std::pair<std::string_view, ENameKind> kOpeners[] = {
    {"OpenJournal", ENameKind::Journal},
    {"OpenReference", ENameKind::Reference},
    {"OpenFrame", ENameKind::Frame},
    {"OpenRecordView", ENameKind::RecordView},
    {"OpenRecordViewNew", ENameKind::RecordView},
    {"ShowDocument", ENameKind::Document},
};

bool IsString(std::string_view lexeme) {
    return lexeme.size() >= 2 && lexeme.front() == '"' && lexeme.back() == '"';
}

bool IsNumber(std::string_view lexeme) {
    return !lexeme.empty() && (lexeme[0] == '-' || (lexeme[0] >= '0' && lexeme[0] <= '9'));
}

bool Named(const CXMLDOM& document, XmlNode node, std::string_view name) {
    return node != nullptr && AsciiCase::Equal(document.GetNodeName(node), name);
}

}  // namespace

CConfigurationModel::CConfigurationModel(const CDocumentTree& tree) : tree_(tree) {
    const CXMLDOM& document = tree_.Document();
    CInfoReader::ScreenSize(document, document.FindNode(document.GetFirstNode(), "quillora"),
                            screenWidth_, screenHeight_);
    ReadMenus();
    if (const XmlNode common = document.FindNode(document.GetFirstNode(), "commonEntries")) {
        sections_.push_back(common);
        SSymbol symbol = MakeSymbol(ESymbolKind::Entry, common, {}, "commonEntries");
        ReadEntries(common, kCommonScope, &symbol.children);
        symbols_.push_back(std::move(symbol));
    }
    for (const Section& section : kSections) {
        ReadObjects(section.element, section.kind, section.symbol);
    }
    // The forms are all known now: the calls may name them.
    for (Object& object : objects_) {
        for (Form& form : object.forms) {
            form.object = &object;
        }
    }
    ReadAllActions();
    AddCallNames();
}

bool CConfigurationModel::OpenedKind(std::string_view function, ENameKind& kind) {
    for (const auto& [name, opened] : kOpeners) {
        if (name == function) {
            kind = opened;
            return true;
        }
    }
    return false;
}

void CConfigurationModel::AddUse(ENameKind kind, const SRange& range, std::string name,
                                 const std::string& scope, std::string origin) {
    SNameUse use;
    use.kind = kind;
    use.name = std::move(name);
    use.scope = scope;
    use.range = range;
    names_.push_back(std::move(use));
    origins_.push_back(std::move(origin));
}

void CConfigurationModel::AddCallNames() {
    for (const Call& call : calls_) {
        const CFunctionCatalogue::Function* function =
            CFunctionCatalogue::FindByName(call.function.text);
        if (function == nullptr || call.arguments.empty()) {
            continue;
        }
        const Piece& first = call.arguments[0];
        ENameKind kind = ENameKind::Document;
        if (OpenedKind(function->name, kind) && IsString(first.text)) {
            const std::string name = first.text.substr(1, first.text.size() - 2);
            AddUse(kind, first.inner, name, {}, std::string(function->name));
            const Object* object = FindObject(kind, name);
            if (object != nullptr && call.arguments.size() >= 2 &&
                IsString(call.arguments[1].text)) {
                AddUse(ENameKind::Form, call.arguments[1].inner,
                       call.arguments[1].text.substr(1, call.arguments[1].text.size() - 2),
                       object->scope, std::string(function->name));
            }
        }
        // A control argument: the compiler turns the id into the control's index, with the
        // name spelled as the catalogue spells it.
        if (call.form != nullptr &&
            CFunctionCatalogue::IsControlArgumentFunction(call.function.text) &&
            IsNumber(first.text)) {
            const uint16_t id = CParser::NumberValue(first.text);
            if (id != 0) {
                AddUse(ENameKind::ControlId, first.range, std::to_string(id), call.form->scope,
                       std::string(function->name));
            }
        }
    }
}

std::string CConfigurationModel::Utf8(std::string_view narrow) {
    return CConverter::ToUtf8(narrow);
}

const CConfigurationModel::Object* CConfigurationModel::FindObject(ENameKind kind,
                                                                   std::string_view name) const {
    for (const Object& object : objects_) {
        if (object.kind == kind && object.name == name) {
            return &object;
        }
    }
    return nullptr;
}

CDocumentText::Value CConfigurationModel::ValueOf(XmlNode node, std::string_view attribute) const {
    if (const CDocumentText::Attribute* found = tree_.AttributeOf(node, attribute)) {
        CDocumentText::Value value = tree_.Text().Decode(*found);
        if (!tree_.Text().Utf8()) {
            // The pieces are compared and shown in UTF-8; the offsets stay those of the bytes.
            std::string text;
            std::vector<size_t> offsets;
            for (size_t i = 0; i < value.text.size(); ++i) {
                const std::string character = CConverter::ToUtf8(value.text.substr(i, 1));
                text += character;
                offsets.resize(text.size(), value.offsets[i]);
            }
            value.text = std::move(text);
            value.offsets = std::move(offsets);
        }
        return value;
    }
    CDocumentText::Value value;
    CDocumentTree::Attribute(node, attribute, value.text);
    return value;
}

SRange CConfigurationModel::RangeIn(XmlNode node, const CDocumentText::Value& value, size_t begin,
                                    size_t end) const {
    if (value.offsets.size() != value.text.size() || begin >= value.offsets.size()) {
        return tree_.TagRange(node);
    }
    // The piece ends where the source of the byte after it begins.
    const size_t stop = end < value.offsets.size() ? value.offsets[end] : value.end;
    return tree_.Text().Range(value.offsets[begin], stop);
}

SSymbol CConfigurationModel::MakeSymbol(ESymbolKind kind, XmlNode node, std::string_view attribute,
                                        std::string name, std::string detail) const {
    SSymbol symbol;
    symbol.kind = kind;
    symbol.name = std::move(name);
    symbol.detail = std::move(detail);
    symbol.range = tree_.ElementRange(node);
    symbol.selection = !attribute.empty() && tree_.AttributeOf(node, attribute) != nullptr
                           ? tree_.ValueRange(node, attribute)
                           : tree_.NameRange(node);
    return symbol;
}

void CConfigurationModel::AddName(ENameKind kind, XmlNode node, std::string_view attribute,
                                  std::string name, const std::string& scope, bool definition) {
    SNameUse use;
    use.kind = kind;
    use.name = std::move(name);
    use.scope = scope;
    use.range = tree_.ValueRange(node, attribute);
    use.definition = definition;
    names_.push_back(std::move(use));
    origins_.push_back(CDocumentTree::Name(node) + "/" + std::string(attribute));
}

void CConfigurationModel::ReadMenus() {
    const CXMLDOM& document = tree_.Document();
    for (XmlNode menu = CListMenu::FirstMenu(document); menu != nullptr;
         menu = CListMenu::NextMenu(document, menu)) {
        std::string name;
        CDocumentTree::Attribute(menu, "name", name);
        SSymbol symbol = MakeSymbol(ESymbolKind::Menu, menu, "name", name);
        sections_.push_back(menu);
        ReadMenuItems(menu, symbol.children);
        symbols_.push_back(std::move(symbol));
        AddName(ENameKind::Menu, menu, "name", name, {}, true);
    }
}

void CConfigurationModel::ReadMenuItems(XmlNode parent, std::vector<SSymbol>& symbols) {
    const CXMLDOM& document = tree_.Document();
    // As the menu reader reads them: every item under the one before it, through any other
    // element.
    for (const XmlNode child : tree_.Children(parent)) {
        const uint8_t kind = CqlMenuItem::KindOf(document.GetNodeName(child));
        if (kind == MenuItemRecord::kNoItem) {
            ReadMenuItems(child, symbols);
            continue;
        }
        if (kind == MenuItemRecord::kSeparator) {
            ReadMenuItems(child, symbols);
            continue;
        }
        std::string title;
        CDocumentTree::Attribute(child, "title", title);
        SSymbol symbol = MakeSymbol(ESymbolKind::MenuItem, child, "title", title,
                                    kind == MenuItemRecord::kSubmenu ? "submenu" : "menuitem");
        ReadMenuItems(child, symbol.children);
        symbols.push_back(std::move(symbol));
    }
}

void CConfigurationModel::ReadEntries(XmlNode entries, const std::string& scope,
                                      std::vector<SSymbol>* symbols) {
    const CXMLDOM& document = tree_.Document();
    for (XmlNode entry = document.FindChild(entries, "entry"); entry != nullptr;
         entry = document.FindNextSibling(entry, "entry")) {
        std::string name;
        std::string type;
        CDocumentTree::Attribute(entry, "name", name);
        CDocumentTree::Attribute(entry, "type", type);
        if (symbols != nullptr) {
            symbols->push_back(MakeSymbol(ESymbolKind::Entry, entry, "name", name, type));
        }
        AddName(ENameKind::Entry, entry, "name", name, scope, true);
    }
}

void CConfigurationModel::ReadObjects(const char* element, ENameKind kind, ESymbolKind symbolKind) {
    const CXMLDOM& document = tree_.Document();
    const XmlNode first = document.FindNode(document.GetFirstNode(), element);
    for (XmlNode node = first; node != nullptr; node = document.FindNextSibling(node, element)) {
        Object object;
        object.kind = kind;
        object.element = element;
        object.node = node;
        sections_.push_back(node);
        CDocumentTree::Attribute(node, "name", object.name);
        object.scope = std::string(element) + ":" + object.name;
        std::string view;
        CDocumentTree::Attribute(node, "view", view);
        SSymbol symbol = MakeSymbol(symbolKind, node, "name", object.name, view);
        AddName(kind, node, "name", object.name, {}, true);
        ReadEntries(document.FindChild(node, "entries"), object.scope, &symbol.children);

        if (kind == ENameKind::Journal) {
            for (XmlNode jrndocument =
                     document.FindNode(document.FindChild(node, "data"), "jrndocument");
                 jrndocument != nullptr;
                 jrndocument = document.FindNextSibling(jrndocument, "jrndocument")) {
                std::string name;
                CDocumentTree::Attribute(jrndocument, "name", name);
                sections_.push_back(jrndocument);  // found anywhere below `data`
                AddName(ENameKind::Document, jrndocument, "name", name, {}, false);
            }
        }
        if (kind == ENameKind::Document) {
            for (XmlNode inheritance =
                     document.FindChild(document.FindChild(node, "inheritances"), "inheritance");
                 inheritance != nullptr;
                 inheritance = document.FindNextSibling(inheritance, "inheritance")) {
                std::string name;
                CDocumentTree::Attribute(inheritance, "name", name);
                // An inheritance names a document, or an entry of this one.
                std::ostringstream discard;
                CLog log(discard);
                CStringsReader pool(log);
                CReadContext context(document, pool, log);
                CListEntry entries(context);
                entries.Build(node, true);
                if (entries.IndexOf(CConverter::ToNarrow(name)) != CListEntry::kNoEntry) {
                    CListEntry own(context);
                    own.Build(node, false);
                    const bool mine =
                        own.IndexOf(CConverter::ToNarrow(name)) != CListEntry::kNoEntry;
                    AddName(ENameKind::Entry, inheritance, "name", name,
                            mine ? object.scope : std::string(kCommonScope), false);
                } else {
                    AddName(ENameKind::Document, inheritance, "name", name, {}, false);
                }
            }
        }

        // Forms directly under the object; only when there is none, those under `forms`.
        XmlNode form = document.FindChild(node, "form");
        if (form == nullptr) {
            form = document.FindChild(document.FindChild(node, "forms"), "form");
        }
        objects_.push_back(std::move(object));
        for (; form != nullptr; form = document.FindNextSibling(form, "form")) {
            ReadForm(form, objects_.back(), symbol);
        }
        symbols_.push_back(std::move(symbol));
    }
}

void CConfigurationModel::ReadForm(XmlNode node, Object& object, SSymbol& objectSymbol) {
    const CXMLDOM& document = tree_.Document();
    Form form;
    form.node = node;
    CDocumentTree::Attribute(node, "name", form.name);
    form.scope = object.scope + "/" + form.name;
    size_t same = 1;
    for (const Form& other : object.forms) {
        same += other.name == form.name ? 1 : 0;
    }
    if (same > 1) {
        form.scope += '#';
        form.scope += std::to_string(same);
    }
    AddName(ENameKind::Form, node, "name", form.name, object.scope, true);
    std::string menu;
    if (CDocumentTree::Attribute(node, "menuname", menu)) {
        AddName(ENameKind::Menu, node, "menuname", menu, {}, false);
    }
    SSymbol symbol = MakeSymbol(ESymbolKind::Form, node, "name", form.name);

    // Entries are named by the compiler's entry lists: the object's own, and for documents the
    // common entries before them.
    std::ostringstream discard;
    CLog log(discard);
    CStringsReader pool(log);
    CReadContext context(document, pool, log);
    CListEntry own(context);
    own.Build(object.node, false);
    CListEntry withCommon(context);
    const bool common = object.kind == ENameKind::Document;
    if (common) {
        withCommon.Build(object.node, true);
    }

    const XmlNode controls = document.FindChild(node, "controls");
    size_t index = 0;
    for (XmlNode control = document.FindChild(controls, "control"); control != nullptr;
         control = document.FindNextSibling(control, "control"), ++index) {
        ReadControl(control, form, index, symbol);
        std::string entry;
        if (document.GetAttributeText(control, "entry", entry) == 0) {
            const bool inCommon = own.IndexOf(entry) == CListEntry::kNoEntry && common &&
                                  withCommon.IndexOf(entry) != CListEntry::kNoEntry;
            AddName(ENameKind::Entry, control, "entry", Utf8(entry),
                    inCommon ? std::string(kCommonScope) : object.scope, false);
        }
    }
    uint16_t first = 0;
    if (document.GetAttributeShortIfPresent(node, "firstNav", first) == 0 && first != 0) {
        AddName(ENameKind::ControlId, node, "firstNav", std::to_string(first), form.scope, false);
    }
    object.forms.push_back(std::move(form));
    objectSymbol.children.push_back(std::move(symbol));
}

void CConfigurationModel::ReadControl(XmlNode node, Form& form, size_t index, SSymbol& formSymbol) {
    const CXMLDOM& document = tree_.Document();
    Control control;
    control.node = node;
    CDocumentTree::Attribute(node, "type", control.type);
    uint16_t id = 0;
    document.GetAttributeShort(node, "id", id);
    control.id = static_cast<int16_t>(id);
    if (document.GetAttributeShortIfPresent(node, "id", id) == 0) {
        AddName(ENameKind::ControlId, node, "id", std::to_string(id), form.scope, true);
    }
    std::string idText;
    CDocumentTree::Attribute(node, "id", idText);
    formSymbol.children.push_back(MakeSymbol(ESymbolKind::Control, node, "id", idText,
                                             control.type + " #" + std::to_string(index)));
    if (const XmlNode layout = document.FindChild(node, "layout")) {
        document.GetAttributeShort(layout, "x", control.x);
        document.GetAttributeShort(layout, "y", control.y);
        document.GetAttributeShort(layout, "w", control.w);
        document.GetAttributeShort(layout, "h", control.h);
        uint16_t layer = 0;
        if (document.GetAttributeShortIfPresent(layout, "layer", layer) == 0) {
            control.layer = static_cast<uint8_t>(layer & 0xFF);
        }
        for (const char* target : {"left", "right", "down", "up"}) {
            uint16_t value = 0;
            if (document.GetAttributeShortIfPresent(layout, target, value) == 0 && value != 0) {
                AddName(ENameKind::ControlId, layout, target, std::to_string(value), form.scope,
                        false);
            }
        }
    }
    form.controls.push_back(control);
}

void CConfigurationModel::ReadAllActions() {
    const CXMLDOM& document = tree_.Document();
    for (const XmlNode node : tree_.Elements()) {
        // The compiler gives the controls of a form to the expressions of the form's own
        // `acts` (form > acts > EVENT) and of its controls' events
        // (form > controls > control > events > event).
        const Form* form = nullptr;
        const XmlNode parent = CDocumentTree::Parent(node);
        const XmlNode grand = CDocumentTree::Parent(parent);
        XmlNode owner = nullptr;
        if (Named(document, parent, "acts")) {
            owner = grand;
        } else if (Named(document, node, "event") && Named(document, parent, "events") &&
                   Named(document, grand, "control") &&
                   Named(document, CDocumentTree::Parent(grand), "controls")) {
            owner = CDocumentTree::Parent(CDocumentTree::Parent(grand));
        }
        for (const Object& object : objects_) {
            for (const Form& candidate : object.forms) {
                if (owner != nullptr && candidate.node == owner) {
                    form = &candidate;
                }
            }
        }
        ReadActions(node, form);
    }
}

void CConfigurationModel::ReadActions(XmlNode node, const Form* form) {
    for (const char* attribute : {"func", "funcs"}) {
        if (tree_.AttributeOf(node, attribute) == nullptr) {
            std::string ignored;
            if (!CDocumentTree::Attribute(node, attribute, ignored)) {
                continue;
            }
        }
        const CDocumentText::Value value = ValueOf(node, attribute);
        const std::vector<std::string_view> lexemes = CParser::Lexemes(value.text);
        // Calls: NAME ( ARG , ARG ... ) separated by ";".
        for (size_t i = 0; i < lexemes.size(); ++i) {
            if (i + 1 >= lexemes.size() || lexemes[i + 1] != "(" || lexemes[i] == "(" ||
                lexemes[i] == ")" || lexemes[i] == "," || lexemes[i] == ";") {
                continue;
            }
            const auto piece = [&](std::string_view lexeme) {
                const size_t begin = static_cast<size_t>(lexeme.data() - value.text.data());
                const size_t end = begin + lexeme.size();
                const SRange range = RangeIn(node, value, begin, end);
                return Piece{std::string(lexeme), range,
                             IsString(lexeme) ? RangeIn(node, value, begin + 1, end - 1) : range};
            };
            Call call;
            call.node = node;
            call.function = piece(lexemes[i]);
            call.form = form;
            size_t j = i + 2;
            for (; j < lexemes.size() && lexemes[j] != ")"; ++j) {
                if (lexemes[j] != ",") {
                    call.arguments.push_back(piece(lexemes[j]));
                }
            }
            i = j;
            calls_.push_back(std::move(call));
        }
    }
}
