#include "CConfigurationDecompiler.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "CActsReader.h"
#include "CControl.h"
#include "CConverter.h"
#include "CEntry.h"
#include "CInfoReader.h"
#include "ControlKeywords.h"
#include "StringReference.h"

namespace {

// Room for the few bytes by which a text with ids could differ from the inspector's.
constexpr size_t kTextMargin = 64;

// What the compiler takes when an attribute is not there.
std::string_view DefaultFont() {
    return ControlKeywords::FontName(ControlKeywords::FontId(""));
}

// Where an action's code lies, to open a note.
std::string PoolPlace(const Json& action) {
    return "record " + std::to_string(StringReference::kRecordIndex) + ", offset " +
           std::to_string(IntOf(At(action, "offset"))) + ": ";
}

std::string MenuName(int number) {
    return "menu" + std::to_string(number);
}

}  // namespace

CConfigurationDecompiler::CConfigurationDecompiler(const Json& configuration,
                                                   std::span<const uint8_t> pool, CXmlText& xml)
    : configuration_(configuration), xml_(xml), disassembler_(pool.data(), pool.size()) {
    for (const Json& entry : At(configuration, "strings")) {
        const auto reference =
            StringReference::Make(static_cast<uint16_t>(IntOf(At(entry, "offset"))));
        const std::string use = Text(At(entry, "use"));
        if (use == "action string") {
            texts_.push_back(reference);
        } else if (use == "action") {
            codes_.push_back(reference);
        }
    }
}

CConfigurationDecompiler::~CConfigurationDecompiler() = default;

std::string CConfigurationDecompiler::Text(const Json& value) {
    return value.is_string() ? value.get<std::string>() : std::string();
}

std::string CConfigurationDecompiler::Number(const Json& value) {
    return value.is_number_integer() ? std::to_string(value.get<long long>()) : std::string("0");
}

std::string CConfigurationDecompiler::Id(const Json& index) {
    return index.is_number_integer() ? std::to_string(index.get<long long>() + 1) : std::string();
}

void CConfigurationDecompiler::Write() {
    const Json& info = At(configuration_, "info");
    CXmlText::Attributes root = {{"name", Text(At(info, "name"))}};
    if (Text(At(info, "developer")) != CInfoReader::kDefaultDeveloper) {
        root.emplace_back("developer", Text(At(info, "developer")));
    }
    if (IntOf(At(info, "screenWidth")) != CInfoReader::kDefaultWidth) {
        root.emplace_back("screenWidth", Number(At(info, "screenWidth")));
    }
    if (IntOf(At(info, "screenHeight")) != CInfoReader::kDefaultHeight) {
        root.emplace_back("screenHeight", Number(At(info, "screenHeight")));
    }
    xml_.Open("quillora", root);
    Menus();
    Journals();
    CommonEntries();
    Documents();
    Objects("recordViews", "recordview");
    Objects("references", "reference");
    Objects("frames", "frame");
    xml_.Close();
}

std::string CConfigurationDecompiler::Expression(const Json& action, bool inForm) {
    if (!action.is_object()) {
        return {};
    }
    if (!At(action, "code").is_string()) {
        xml_.NotReproduced(PoolPlace(action) + "no action code to write back");
        return {};
    }
    const uint32_t reference =
        StringReference::Make(static_cast<uint16_t>(IntOf(At(action, "offset"))));
    // The strings that the expression added right before its code, in their order.
    std::vector<uint32_t> strings;
    const auto code = std::lower_bound(codes_.begin(), codes_.end(), reference);
    const uint32_t previous = code == codes_.begin() ? 0 : *(code - 1);
    for (auto text = std::lower_bound(texts_.begin(), texts_.end(), reference);
         text != texts_.begin() && *(text - 1) > previous;) {
        --text;
        strings.push_back(*text);
    }
    std::reverse(strings.begin(), strings.end());
    disassembler_.SetStringOrder(std::move(strings));
    disassembler_.SetControls(inForm ? &controls_ : &noControls_);
    // Ids are no longer than the "#N" of the inspector's text ("#none" becomes "0"): the text
    // stays within the inspector's decoding budget.
    disassembler_.SetTextLimit(At(action, "code").get_ref<const std::string&>().size() +
                               kTextMargin);
    std::string text;
    std::string error;
    const int status = disassembler_.DisassembleReference(reference, text, error);
    if (status != 0) {
        xml_.NotReproduced(PoolPlace(action) +
                           (status == 1 ? error : "the expression would pass the text limit"));
        return {};
    }
    return CConverter::ToUtf8(text);
}

void CConfigurationDecompiler::Acts(const Json& object, std::span<const std::string_view> events,
                                    bool inForm) {
    bool open = false;
    for (const std::string_view event : events) {
        const std::string code = Expression(At(object, std::string(event).c_str()), inForm);
        if (code.empty()) {
            continue;
        }
        if (!open) {
            xml_.Open("acts");
            open = true;
        }
        xml_.Empty(event, {{"funcs", code}});
    }
    if (open) {
        xml_.Close();
    }
}

void CConfigurationDecompiler::Menus() {
    int number = 0;
    for (const Json& menu : At(configuration_, "menus")) {
        ++number;
        const Json& items = At(menu, "items");
        if (!items.is_array() || items.empty()) {
            xml_.Empty("menu", {{"name", MenuName(number)}});
            continue;
        }
        xml_.Open("menu", {{"name", MenuName(number)}});
        MenuItems(items);
        xml_.Close();
    }
}

void CConfigurationDecompiler::MenuItems(const Json& items) {
    for (const Json& item : items) {
        const std::string kind = Text(At(item, "kind"));
        CXmlText::Attributes attributes;
        const char* element = "separator";
        if (kind == "submenu" || kind == "item") {
            element = kind == "item" ? "menuitem" : "submenu";
            attributes.emplace_back("title", Text(At(item, "title")));
        }
        if (kind == "item") {
            if (!Text(At(item, "shortcut")).empty()) {
                attributes.emplace_back("shortcut", Text(At(item, "shortcut")));
            }
            const std::string code = Expression(At(item, "action"), false);
            if (!code.empty()) {
                attributes.emplace_back("func", code);
            }
        }
        const Json& children = At(item, "children");
        if (children.is_array() && !children.empty()) {
            xml_.Open(element, attributes);
            MenuItems(children);
            xml_.Close();
        } else {
            xml_.Empty(element, attributes);
        }
    }
}

void CConfigurationDecompiler::Journals() {
    for (const Json& journal : At(configuration_, "journals")) {
        object_ = "journal \"" + Text(At(journal, "name")) + "\"";
        where_ = object_ + ": ";
        xml_.Open("journal",
                  {{"name", Text(At(journal, "name"))}, {"view", Text(At(journal, "view"))}});
        const Json& documents = At(journal, "documents");
        if (documents.is_array() && !documents.empty()) {
            xml_.Open("data");
            for (const Json& name : documents) {
                xml_.Empty("jrndocument", {{"name", Text(name)}});
            }
            xml_.Close();
        }
        size_t described = 0;
        Entries(At(journal, "entries"), nullptr, described);
        Forms(At(journal, "forms"));
        Acts(journal, CActsReader::Events(CActsReader::ObjectKind::Journal), false);
        xml_.Close();
    }
}

void CConfigurationDecompiler::CommonEntries() {
    const Json& common = At(configuration_, "commonEntries");
    if (!common.is_array() || common.empty()) {
        return;
    }
    // The common entries lead every document's field description; the first document's is
    // theirs.
    const Json& documents = At(configuration_, "documents");
    const Json* description = nullptr;
    if (documents.is_array() && !documents.empty()) {
        description = &At(documents[0], "fieldDescription");
    }
    where_ = "common entries: ";
    xml_.Open("commonEntries");
    size_t described = 0;
    for (const Json& entry : common) {
        const bool table = IntOf(At(entry, "typeCode")) == CEntry::kTable;
        const Json* own = nullptr;
        if (!table && description != nullptr && description->is_array() &&
            described < description->size()) {
            own = &(*description)[described++];
        }
        Entry(entry, own);
    }
    xml_.Close();
}

void CConfigurationDecompiler::Documents() {
    const Json& common = At(configuration_, "commonEntries");
    size_t commonDescribed = 0;
    for (const Json& entry : common) {
        commonDescribed += IntOf(At(entry, "typeCode")) == CEntry::kTable ? 0 : 1;
    }
    for (const Json& document : At(configuration_, "documents")) {
        object_ = "document \"" + Text(At(document, "name")) + "\"";
        where_ = object_ + ": ";
        CXmlText::Attributes attributes = {{"name", Text(At(document, "name"))},
                                           {"view", Text(At(document, "view"))},
                                           {"prefix", Text(At(document, "prefix"))}};
        if (At(document, "pdaCreate") == true) {
            attributes.emplace_back("pdaCreate", "true");
        }
        if (At(document, "hasJournal") == false) {
            attributes.emplace_back("hasJournal", "false");
        }
        xml_.Open("document", attributes);
        xml_.Open("data");
        xml_.Empty("database", {{"name", Text(At(document, "databaseName"))}});
        xml_.Close();
        const Json& inheritances = At(document, "inheritances");
        if (inheritances.is_array()) {
            xml_.Open("inheritances");
            for (const Json& name : inheritances) {
                xml_.Empty("inheritance", {{"name", Text(name)}});
            }
            if (inheritances.empty()) {
                // A stored empty list: an inheritance without a name, which adds none.
                xml_.Empty("inheritance");
            }
            xml_.Close();
        }
        size_t described = commonDescribed;
        const Json& description = At(document, "fieldDescription");
        Entries(At(document, "entries"), &description, described);
        if (description.is_array() && described != description.size()) {
            xml_.NotReproduced("the field description of document \"" + Text(At(document, "name")) +
                               "\" describes " + std::to_string(description.size()) +
                               " entries, not " + std::to_string(described));
        }
        Forms(At(document, "forms"));
        Acts(document, CActsReader::Events(CActsReader::ObjectKind::Document), false);
        xml_.Close();
    }
}

void CConfigurationDecompiler::Objects(const char* key, const char* element) {
    const bool reference = std::string_view(element) == "reference";
    for (const Json& object : At(configuration_, key)) {
        object_ = std::string(element) + " \"" + Text(At(object, "name")) + "\"";
        where_ = object_ + ": ";
        xml_.Open(element,
                  {{"name", Text(At(object, "name"))}, {"view", Text(At(object, "view"))}});
        if (reference) {
            xml_.Open("data");
            xml_.Empty("database", {{"name", Text(At(object, "databaseName"))}});
            xml_.Close();
        }
        size_t described = 0;
        Entries(At(object, "entries"), nullptr, described);
        Forms(At(object, "forms"));
        // Record views, like references and frames, have only their init list.
        Acts(object, CActsReader::Events(CActsReader::ObjectKind::Reference), false);
        xml_.Close();
    }
}

void CConfigurationDecompiler::Entries(const Json& entries, const Json* description,
                                       size_t& described) {
    // A document reads its field description from its entries element, which must be there.
    if (!entries.is_array() || (entries.empty() && description == nullptr)) {
        return;
    }
    xml_.Open("entries");
    for (const Json& entry : entries) {
        const bool table = IntOf(At(entry, "typeCode")) == CEntry::kTable;
        const Json* own = nullptr;
        if (!table && description != nullptr && description->is_array() &&
            described < description->size()) {
            own = &(*description)[described];
        }
        if (!table && description != nullptr) {
            ++described;
        }
        Entry(entry, own);
    }
    xml_.Close();
}

void CConfigurationDecompiler::Entry(const Json& entry, const Json* description) {
    CXmlText::Attributes attributes = {{"name", Text(At(entry, "name"))}};
    // An entry without a type has the code of "field".
    if (IntOf(At(entry, "typeCode")) != CEntry::kField) {
        attributes.emplace_back("type", Text(At(entry, "type")));
    }
    std::string dbtype = Text(At(entry, "dbType"));
    std::string view;
    std::string defaultValue;
    if (description != nullptr) {
        dbtype = Text(At(*description, "dbtype"));
        view = Text(At(*description, "view"));
        defaultValue = Text(At(*description, "default"));
    }
    if (!dbtype.empty()) {
        attributes.emplace_back("dbtype", dbtype);
    }
    if (!view.empty()) {
        attributes.emplace_back("view", view);
    }
    if (!defaultValue.empty()) {
        attributes.emplace_back("default", defaultValue);
    }
    if (At(entry, "mandatory") == true) {
        attributes.emplace_back("mandatory", "true");
    }
    const Json& source = At(entry, "dataSource");
    if (!source.is_object()) {
        xml_.Empty("entry", attributes);
        return;
    }
    xml_.Open("entry", attributes);
    DataSource(source);
    xml_.Close();
}

void CConfigurationDecompiler::DataSource(const Json& source) {
    const std::string kind = Text(At(source, "kind"));
    xml_.Open("datasource", {{"type", kind}});
    if (kind == "static") {
        for (const Json& item : At(source, "items")) {
            xml_.Empty("item",
                       {{"value", Text(At(item, "value"))}, {"view", Text(At(item, "view"))}});
        }
    } else if (kind == "create") {
        for (const Json& field : At(source, "fields")) {
            CXmlText::Attributes attributes = {{"name", Text(At(field, "name"))},
                                               {"dbtype", Text(At(field, "dbtype"))},
                                               {"view", Text(At(field, "view"))}};
            if (!Text(At(field, "default")).empty()) {
                attributes.emplace_back("default", Text(At(field, "default")));
            }
            xml_.Empty("field", attributes);
        }
    } else if (kind == "table" || kind == "present") {
        CXmlText::Attributes attributes = {{"name", Text(At(source, "table"))}};
        if (!Text(At(source, "filter")).empty()) {
            attributes.emplace_back("filter", Text(At(source, "filter")));
        }
        xml_.Empty("table", attributes);
    } else {
        xml_.NotReproduced(where_ + "a data source of kind \"" + kind + "\"");
    }
    xml_.Close();
}

void CConfigurationDecompiler::Forms(const Json& forms) {
    if (!forms.is_array() || forms.empty()) {
        return;
    }
    xml_.Open("forms");
    for (const Json& form : forms) {
        form_ = object_ + ", form \"" + Text(At(form, "name")) + "\"";
        const Json& controls = At(form, "controls");
        const size_t count = controls.is_array() ? controls.size() : 0;
        std::vector<int16_t> ids(count);
        for (size_t i = 0; i < count; ++i) {
            ids[i] = static_cast<int16_t>(i + 1);
        }
        controls_ = CListControl(ids);
        CXmlText::Attributes attributes = {{"name", Text(At(form, "name"))},
                                           {"layers", Number(At(form, "layers"))}};
        if (At(form, "menu").is_number_integer()) {
            attributes.emplace_back("menuname", MenuName(IntOf(At(form, "menu"))));
        }
        if (!Id(At(form, "firstControl")).empty()) {
            attributes.emplace_back("firstNav", Id(At(form, "firstControl")));
        }
        xml_.Open("form", attributes);
        Acts(form, CActsReader::Events(CActsReader::ObjectKind::Form), true);
        if (count == 0) {
            xml_.Empty("controls");  // a form without the element fails
        } else {
            xml_.Open("controls");
            for (const Json& control : controls) {
                Control(control);
            }
            xml_.Close();
        }
        xml_.Close();
    }
    xml_.Close();
}

void CConfigurationDecompiler::Control(const Json& control) {
    where_ = form_ + ", control " + Id(At(control, "index")) + ": ";
    CXmlText::Attributes attributes = {{"type", Text(At(control, "type"))},
                                       {"id", Id(At(control, "index"))}};
    const Json& entry = At(control, "entry");
    if (entry.is_object()) {
        if (At(entry, "name").is_string()) {
            attributes.emplace_back("entry", Text(At(entry, "name")));
        } else {
            xml_.NotReproduced(where_ + "names entry " + Number(At(entry, "index")) +
                               ", which the object does not have");
        }
    }
    xml_.Open("control", attributes);
    CXmlText::Attributes layout = {{"x", Number(At(control, "x"))},
                                   {"y", Number(At(control, "y"))},
                                   {"w", Number(At(control, "w"))},
                                   {"h", Number(At(control, "h"))}};
    if (At(control, "layer").is_number_integer()) {
        layout.emplace_back("layer", Number(At(control, "layer")));
    }
    if (At(control, "enabled") == false) {
        layout.emplace_back("enable", "false");
    }
    for (const char* target : {"up", "left", "right", "down"}) {  // as the examples
        if (!Id(At(control, target)).empty()) {
            layout.emplace_back(target, Id(At(control, target)));
        }
    }
    std::string resize;
    for (const Json& flag : At(control, "resize")) {
        resize += (resize.empty() ? "" : " ") + Text(flag);
    }
    if (!resize.empty()) {
        layout.emplace_back("resize", resize);
    }
    xml_.Empty("layout", layout);
    TypeAttributes(control);
    Events(control);
    xml_.Close();
}

void CConfigurationDecompiler::TypeAttributes(const Json& control) {
    const int type = IntOf(At(control, "typeCode"));
    const Json& a = At(control, "attributes");
    const std::string element(
        CControl::AttributesElement(static_cast<uint16_t>(IntOf(At(control, "typeCode")))));
    if (element.empty()) {
        xml_.NotReproduced(where_ + "a control of type " + Number(At(control, "typeCode")));
        return;
    }
    const auto font = [&](CXmlText::Attributes& list, const Json& value) {
        if (Text(value) != DefaultFont()) {
            list.emplace_back("font", value.is_string() ? Text(value) : Number(value));
        }
    };
    CXmlText::Attributes list;
    if (type == ControlType::kStatic || type == ControlType::kCheckBox) {
        list.emplace_back("text", Text(At(a, "text")));
        font(list, At(a, "font"));
        if (type == ControlType::kCheckBox && IntOf(At(a, "group")) != 0) {
            list.emplace_back("group", Number(At(a, "group")));
        }
    } else if (type == ControlType::kField) {
        list.emplace_back("maxChars", Number(At(a, "maxChars")));
        font(list, At(a, "font"));
        for (size_t i = 0; !ControlKeywords::FieldFlagName(i).empty(); ++i) {
            const std::string flag(ControlKeywords::FieldFlagName(i));
            if (At(a, flag.c_str()) == true) {
                list.emplace_back(flag, "true");
            }
        }
        if (Text(At(a, "justification")) !=
            ControlKeywords::AlignmentName(ControlKeywords::Alignment(""))) {
            list.emplace_back("justification", Text(At(a, "justification")));
        }
    } else if (type == ControlType::kValueList) {
        font(list, At(a, "font"));
        list.emplace_back("maxVisibleCount", Number(At(a, "maxVisibleCount")));
    } else if (type == ControlType::kButton || type == ControlType::kPushButton) {
        const std::string content = Text(At(a, "content"));
        list.emplace_back("type", content);
        if (type == ControlType::kPushButton) {
            if (IntOf(At(a, "group")) != 0) {
                list.emplace_back("group", Number(At(a, "group")));
            }
        } else {
            // A button without frameType has the frame of its content kind.
            const std::string frame = Text(At(a, "frame"));
            if (frame != ControlKeywords::FrameTypeName(ControlKeywords::FrameType(
                             ControlKeywords::ContentKind(content), ""))) {
                list.emplace_back("frameType", frame);
            }
        }
        xml_.Open(element, list);
        CXmlText::Attributes inner;
        if (content == "text") {
            inner.emplace_back("text", Text(At(a, "text")));
            font(inner, At(a, "font"));
            xml_.Empty("text", inner);
        } else {
            inner.emplace_back("bitmapID", Number(At(a, "bitmap")));
            inner.emplace_back("selectedBitmapID", Number(At(a, "selectedBitmap")));
            xml_.Empty("graph", inner);
        }
        xml_.Close();
        return;
    } else if (type == ControlType::kTable) {
        list.emplace_back("font", Number(At(a, "font")));
    } else if (type == ControlType::kBitmap) {
        list.emplace_back("bitmapID", Number(At(a, "bitmap")));
    } else if (type == ControlType::kDateTime) {
        list.emplace_back("title", Text(At(a, "title")));
    } else if (type == ControlType::kFormMenu) {
        const Json& items = At(control, "items");
        if (!items.is_array() || items.empty()) {
            xml_.Empty(element);
            return;
        }
        xml_.Open(element);
        for (const Json& item : items) {
            if (Text(At(item, "kind")) == "separator") {
                xml_.Empty("separator");
                continue;
            }
            CXmlText::Attributes attributes = {{"bitmapID", Number(At(item, "bitmap"))},
                                               {"view", Text(At(item, "view"))}};
            const std::string code = Expression(At(item, "action"), false);
            if (!code.empty()) {
                attributes.emplace_back("func", code);
            }
            xml_.Empty("item", attributes);
        }
        xml_.Close();
        return;
    }
    xml_.Empty(element, list);
}

void CConfigurationDecompiler::Events(const Json& control) {
    // Events are compiled in document order: written in the order of their code in the pool,
    // they add their strings and code in the same order again.
    std::vector<std::pair<int, std::string>> events;
    const Json& slots = At(control, "events");
    if (!slots.is_object()) {
        return;
    }
    for (auto it = slots.begin(); it != slots.end(); ++it) {
        events.emplace_back(IntOf(At(it.value(), "offset")), it.key());
    }
    std::sort(events.begin(), events.end());
    bool open = false;
    for (const auto& [offset, name] : events) {
        const std::string code = Expression(At(slots, name.c_str()), true);
        if (code.empty()) {
            continue;
        }
        if (!open) {
            xml_.Open("events");
            open = true;
        }
        xml_.Empty("event", {{"type", name}, {"func", code}});
    }
    if (open) {
        xml_.Close();
    }
}
