#include "CConfigurationGenerator.h"

#include <algorithm>
#include <tuple>

#include "ConfigurationLayout.h"
#include "ControlItemRecord.h"
#include "ControlRecord.h"
#include "DocumentRecord.h"
#include "EntryRecord.h"
#include "FormHeader.h"
#include "JournalRecord.h"
#include "MenuRecord.h"
#include "ObjectHeader.h"
#include "ReferenceRecord.h"

namespace {

constexpr size_t kEntryRecord = EntryRecord::kSize;
constexpr size_t kControlRecord = ControlRecord::kSize;
constexpr size_t kFormHeader = FormHeader::kSize;
constexpr size_t kMenuItemRecord = MenuItemRecord::kSize;
constexpr size_t kFormMenuItemRecord = ControlItemRecord::kSize;
// The length word in front of every pool entry.
constexpr size_t kLengthWord = StringsRecord::kLengthSize;

std::string Numbered(std::string_view stem, int number) {
    return std::string(stem) + std::to_string(number);
}

// Characters of a UTF-8 text: each becomes one Windows-1251 byte in the database.
size_t Characters(std::string_view utf8) {
    size_t count = 0;
    for (const char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

// Bytes of a text in a record or a list: the text, its zero and a pad to an even size.
size_t Padded(std::string_view utf8) {
    const size_t size = Characters(utf8) + 1;
    return size + (size & 1);
}

// The eight kinds of entry that every object cycles through; entry i is named "e<i>".
struct EntryKind {
    const char* type;
    const char* dbtype;  // empty: no dbtype attribute
    const char* view;
    const char* defaultValue;  // empty: no default attribute
    const char* source;        // empty: no data source
};
constexpr EntryKind kEntryKinds[] = {
    {"field", "INTEGER", "Число", "0", ""},
    {"field", "TEXT(40)", "Текст", "", ""},
    {"valueList", "INTEGER", "Выбор", "1", "static"},
    {"record", "INTEGER", "Ссылка", "", "table"},
    {"primitive", "DATE", "Дата", "", ""},
    {"table", "", "Строки", "", "create"},
    {"field", "REAL", "Сумма", "0", ""},
    {"database", "", "Записи", "", "present"},
};
constexpr int kEntryKindCount = 8;

// Entry names by the kind of control that shows them.
std::string EntryOfKind(int kind, int nth) {
    return Numbered("e", kind + kEntryKindCount * (nth % 3));
}

}  // namespace

CConfigurationGenerator::CConfigurationGenerator(const Shape& shape)
    : shape_(shape), random_(shape.seed), objects_(shape.objects) {}

int CConfigurationGenerator::Pick(int count) {
    return static_cast<int>(random_() % static_cast<unsigned>(count));
}

std::string_view CConfigurationGenerator::PickOf(std::initializer_list<std::string_view> texts) {
    return texts.begin()[Pick(static_cast<int>(texts.size()))];
}

size_t CConfigurationGenerator::PoolEntry(std::string_view utf8) {
    return kLengthWord + Padded(utf8);
}

std::string_view CConfigurationGenerator::Pooled(std::string_view utf8) {
    pool_ += PoolEntry(utf8);
    return utf8;
}

const std::string& CConfigurationGenerator::Compiled(const Expression& expression) {
    for (const std::string& text : expression.strings) {
        pool_ += PoolEntry(text);
    }
    pool_ += kLengthWord + expression.codeBytes;
    return expression.text;
}

void CConfigurationGenerator::BeginSection(size_t headerBytes) {
    section_ = headerBytes;
}

void CConfigurationGenerator::EndSection(std::string_view name) {
    if (section_ > largestRecord_) {
        largestRecord_ = section_;
    }
    if (section_ > kRecordLimit && error_.empty()) {
        error_ = "the " + std::string(name) + " record would take " + std::to_string(section_) +
                 " bytes, more than " + std::to_string(kRecordLimit);
    }
}

std::string CConfigurationGenerator::Generate() {
    xml_.Comment("Generated configuration for measuring the configuration compiler.");
    xml_.Open("quillora", {{"name", "Нагрузочная конфигурация"},
                           {"developer", "Отдел внедрения"},
                           {"screenWidth", "240"},
                           {"screenHeight", "268"}});
    WriteMenus();

    // Journals.
    BeginSection(SectionRecord::kHeadersOffset);
    for (int j = 0; j < objects_; ++j) {
        section_ += JournalHeader::kSize;
        const std::string name = Numbered("Журнал ", j);
        xml_.Open("journal", {{"name", name}, {"view", Numbered("Журнал документов ", j)}});
        xml_.Open("data");
        size_t list = 0;
        for (const int d : {j, (j + 1) % objects_}) {
            const std::string document = Numbered("Документ ", d);
            xml_.Empty("jrndocument", {{"name", document}});
            list += Padded(document);
        }
        pool_ += kLengthWord + list;
        xml_.Close();
        WriteEntries();
        WriteForms(Numbered("Меню ", j));
        WriteObjectActs({{"init", {R"(SetBeginOfDate("e4"))", 8, {"e4"}}}});
        xml_.Close();
    }
    EndSection("journals");

    // Documents with their common entries.
    WriteCommonEntries();
    BeginSection(DocumentRecord::kHeadersOffset + 4 * kEntryRecord);
    for (int d = 0; d < objects_; ++d) {
        section_ += DocumentHeader::kSize;
        const std::string name = Numbered("Документ ", d);
        xml_.Open("document", {{"name", name},
                               {"view", Numbered("Документ продажи ", d)},
                               {"prefix", Numbered("Д", d % 100)},
                               {"pdaCreate", "true"},
                               {"hasJournal", "true"}});
        xml_.Open("data");
        xml_.Empty("database", {{"name", Numbered("QL_Doc", d)}});
        xml_.Close();
        if (d > 0) {
            xml_.Open("inheritances");
            const std::string parent = Numbered("Документ ", d - 1);
            xml_.Empty("inheritance", {{"name", parent}});
            pool_ += kLengthWord + Padded(parent);
            xml_.Close();
        }
        WriteEntries();
        // The field description: four texts for every common entry and every own entry that
        // is not a table.
        size_t described = 2 + commonDescription_;
        for (int e = 0; e < kEntriesPerObject; ++e) {
            const EntryKind& kind = kEntryKinds[e % kEntryKindCount];
            if (std::string_view(kind.type) != "table") {
                described += Padded(Numbered("e", e)) + Padded(kind.dbtype) +
                             Padded(Numbered(std::string(kind.view) + " ", e)) +
                             Padded(kind.defaultValue);
            }
        }
        pool_ += kLengthWord + described;
        WriteForms(Numbered("Меню ", d));
        WriteObjectActs({
            {"init", {R"(InitEmpty(); SetEntryAsString("e2", "1"))", 14, {"e2", "1"}}},
            {"save", {R"(CheckIsEntryNotNull("e0"); CalcEntryFromTable("e5"))", 14, {"e0", "e5"}}},
            {"copy", {R"(SetEntryAsNull("e4"))", 8, {"e4"}}},
            {"delete", {R"(BreakIfFalse("e0 = 0"))", 8, {"e0 = 0"}}},
        });
        xml_.Close();
    }
    EndSection("documents");

    // Record views.
    BeginSection(SectionRecord::kHeadersOffset);
    for (int r = 0; r < objects_; ++r) {
        section_ += ObjectHeader::kSize;
        xml_.Open("recordview",
                  {{"name", Numbered("Просмотр ", r)}, {"view", Numbered("Карточка записи ", r)}});
        WriteEntries();
        WriteForms(Numbered("Меню ", r));
        WriteObjectActs({{"init", {"CheckProductsCount()", 4, {}}}});
        xml_.Close();
    }
    EndSection("record views");

    // References.
    BeginSection(SectionRecord::kHeadersOffset);
    for (int r = 0; r < objects_; ++r) {
        section_ += ReferenceHeader::kSize;
        const std::string database = Numbered("QL_Ref", r);
        xml_.Open("reference",
                  {{"name", Numbered("Справочник ", r)}, {"view", Numbered("Справочник ", r)}});
        xml_.Open("data");
        xml_.Empty("database", {{"name", database}});
        xml_.Close();
        WriteEntries();
        WriteForms(Numbered("Меню ", r));
        WriteObjectActs(
            {{"init", {"CheckRefUpdateTime(\"" + database + "\", \"7\")", 12, {database, "7"}}}});
        xml_.Close();
    }
    EndSection("references");

    // Frames.
    BeginSection(SectionRecord::kHeadersOffset);
    for (int f = 0; f < objects_; ++f) {
        section_ += ObjectHeader::kSize;
        xml_.Open("frame", {{"name", Numbered("Форма ", f)}, {"view", Numbered("Главная ", f)}});
        WriteEntries();
        WriteForms(Numbered("Меню ", f));
        WriteObjectActs({{"init", {"CheckProductsCount()", 4, {}}}});
        xml_.Close();
    }
    EndSection("frames");

    xml_.Close();
    if (pool_ > kPoolLimit && error_.empty()) {
        error_ = "the string pool would take " + std::to_string(pool_) + " bytes, more than " +
                 std::to_string(kPoolLimit);
    }
    return error_.empty() ? xml_.Text() : std::string();
}

void CConfigurationGenerator::WriteMenus() {
    BeginSection(MenuRecord::kHeaderSize +
                 MenuDirectoryEntry::kSize * static_cast<size_t>(objects_));
    for (int m = 0; m < objects_; ++m) {
        size_t items = 0;
        xml_.Open("menu", {{"name", Numbered("Меню ", m)}});
        xml_.Open("submenu", {{"title", "Журналы"}});
        ++items;
        for (int j = 0; j < objects_; ++j) {
            const std::string journal = Numbered("Журнал ", j);
            const Expression open = {
                "OpenJournal(\"" + journal + "\", \"Список\")", 12, {journal, "Список"}};
            xml_.Empty("menuitem", {{"title", journal}, {"func", Compiled(open)}});
            ++items;
        }
        xml_.Close();
        xml_.Open("submenu", {{"title", "Справочники"}});
        ++items;
        for (int r = 0; r < objects_; ++r) {
            const std::string reference = Numbered("Справочник ", r);
            const Expression open = {
                "OpenReference(\"" + reference + "\", \"Список\")", 12, {reference, "Список"}};
            xml_.Empty("menuitem", {{"title", reference}, {"func", Compiled(open)}});
            ++items;
        }
        xml_.Close();
        xml_.Empty("separator");
        const Expression reindex = {"ReindexingReferences(); ReindexingDocuments()", 6, {}};
        xml_.Empty("menuitem",
                   {{"title", "Переиндексация"}, {"shortcut", "R"}, {"func", Compiled(reindex)}});
        const Expression exit = {"Exit(0)", 6, {}};
        xml_.Empty("menuitem", {{"title", "Выход"}, {"shortcut", "X"}, {"func", Compiled(exit)}});
        items += 3;
        xml_.Close();
        section_ += MenuBlock::kHeaderSize + kMenuItemRecord * items;
    }
    EndSection("menus");
}

void CConfigurationGenerator::WriteCommonEntries() {
    struct Common {
        const char* name;
        const char* type;
        const char* dbtype;
        const char* view;
    };
    static constexpr Common kCommon[] = {{"docNumber", "primitive", "INT64", "Номер"},
                                         {"docDate", "field", "DATE", "Дата"},
                                         {"customer", "record", "INTEGER", "Клиент"},
                                         {"comment", "field", "TEXT(60)", "Комментарий"}};
    xml_.Open("commonEntries");
    for (const Common& common : kCommon) {
        const CXmlWriter::Attributes attributes = {{"name", Pooled(common.name)},
                                                   {"type", common.type},
                                                   {"dbtype", common.dbtype},
                                                   {"view", common.view},
                                                   {"mandatory", "true"}};
        // Every document describes the common entries: four texts each, no default.
        commonDescription_ +=
            Padded(common.name) + Padded(common.dbtype) + Padded(common.view) + Padded("");
        if (std::string_view(common.type) != "record") {
            xml_.Empty("entry", attributes);
            continue;
        }
        xml_.Open("entry", attributes);
        xml_.Open("datasource", {{"type", "table"}});
        xml_.Empty("table", {{"name", Pooled("QL_Customers")}, {"filter", Pooled("active = 1")}});
        xml_.Close();
        xml_.Close();
    }
    xml_.Close();
}

void CConfigurationGenerator::WriteEntries() {
    xml_.Open("entries");
    for (int e = 0; e < kEntriesPerObject; ++e) {
        const EntryKind& kind = kEntryKinds[e % kEntryKindCount];
        const std::string name = Numbered("e", e);
        const std::string view = Numbered(std::string(kind.view) + " ", e);
        const std::string_view source = kind.source;
        std::vector<CXmlWriter::Attribute> attributes = {{"name", Pooled(name)},
                                                         {"type", kind.type}};
        if (*kind.dbtype != '\0') {
            attributes.emplace_back("dbtype", kind.dbtype);
        }
        attributes.emplace_back("view", view);
        if (*kind.defaultValue != '\0') {
            attributes.emplace_back("default", kind.defaultValue);
        }
        if (source.empty()) {
            xml_.Empty("entry", attributes);
            continue;
        }
        xml_.Open("entry", attributes);
        xml_.Open("datasource", {{"type", source}});
        if (source == "static") {
            size_t values = 0;
            size_t views = 0;
            for (const auto& [value, shown] :
                 {std::pair{"1", "Оптовая"}, std::pair{"2", "Розничная"},
                  std::pair{"3", "Особая"}}) {
                xml_.Empty("item", {{"value", value}, {"view", shown}});
                values += Padded(value);
                views += Padded(shown);
            }
            pool_ += kLengthWord + values + kLengthWord + views;
        } else if (source == "table") {
            xml_.Empty("table",
                       {{"name", Pooled(Numbered("QL_T", e))}, {"filter", Pooled("a = 1")}});
        } else if (source == "present") {
            xml_.Empty("table", {{"name", Pooled(Numbered("QL_D", e))}});
        } else {
            size_t fields = 2;
            for (const auto& [field, dbtype, shown] :
                 {std::tuple{"code", "INTEGER", "Код"}, std::tuple{"name", "TEXT(40)", "Товар"},
                  std::tuple{"qty", "REAL", "Количество"}}) {
                xml_.Empty("field", {{"name", field}, {"dbtype", dbtype}, {"view", shown}});
                fields += Padded(field) + Padded(dbtype) + Padded(shown) + Padded("");
            }
            pool_ += kLengthWord + fields;
        }
        xml_.Close();
        xml_.Close();
    }
    xml_.Close();
    section_ += kEntryRecord * kEntriesPerObject;
}

void CConfigurationGenerator::WriteForms(std::string_view menu) {
    xml_.Open("forms");
    for (int f = 0; f < shape_.formsPerObject; ++f) {
        // Ids are positions from 1; the first table and the first date-time control stand at
        // fixed places so that expressions can name them.
        constexpr int kTableId = 11;
        constexpr int kDateId = 6;
        const std::string name = f == 0 ? "Список" : f == 1 ? "Карточка" : Numbered("Лист ", f);
        xml_.Open("form", {{"name", name}, {"layers", "2"}, {"menuname", menu}, {"firstNav", "2"}});
        xml_.Open("acts");
        xml_.Empty("preopen", {{"funcs", Compiled({"SetupColumns()", 4, {}})}});
        xml_.Empty(
            "open",
            {{"funcs",
              Compiled(
                  {"SetCurrentDateTime(" + std::to_string(kDateId) + "); TblRedraw()", 8, {}})}});
        xml_.Empty("close", {{"funcs", Compiled({"ReleaseSqlStatements()", 4, {}})}});
        xml_.Close();
        xml_.Open("controls");
        for (int c = 0; c < shape_.controlsPerForm; ++c) {
            WriteControl(c, kTableId);
        }
        xml_.Close();
        xml_.Close();
    }
    xml_.Close();
    const auto forms = static_cast<size_t>(shape_.formsPerObject);
    pool_ += kLengthWord + kFormHeader * forms;
    section_ += kControlRecord * static_cast<size_t>(shape_.controlsPerForm) * forms;
}

void CConfigurationGenerator::WriteControl(int index, int tableId) {
    // The first eight controls give every type its place; the rest cycle through the types
    // that fill a form.
    static constexpr const char* kLeading[] = {"static",   "button",   "pushbutton", "pushbutton",
                                               "checkbox", "datetime", "formmenu",   "button"};
    static constexpr const char* kCycle[] = {"field", "valueList", "table", "bitmap"};
    const int id = index + 1;
    const std::string type = index < 8 ? kLeading[index] : kCycle[(index - 8) % 4];
    const int nth = index / 4;

    std::string entry;
    if (type == "field") {
        entry = EntryOfKind(nth % 2 == 0 ? 0 : 6, nth);
    } else if (type == "valueList") {
        entry = EntryOfKind(2, nth);
    } else if (type == "table") {
        entry = EntryOfKind(nth % 2 == 0 ? 5 : 7, nth);
    } else if (type == "datetime") {
        entry = EntryOfKind(4, nth);
    } else if (type == "checkbox") {
        entry = EntryOfKind(0, nth);
    } else if (type == "button" && index == 1) {
        entry = EntryOfKind(3, nth);
    }
    const std::string idText = std::to_string(id);
    std::vector<CXmlWriter::Attribute> control = {{"type", type}, {"id", idText}};
    if (!entry.empty()) {
        control.emplace_back("entry", entry);
    }
    xml_.Open("control", control);

    // With a seed, every value below that only the control record holds is picked instead.
    const bool vary = shape_.seed != 0;
    const auto number = [&](int fixed, int low, int high) {
        return std::to_string(vary ? low + Pick(high - low + 1) : fixed);
    };
    const auto either = [&](std::string_view fixed, std::initializer_list<std::string_view> texts) {
        return std::string(vary ? PickOf(texts) : fixed);
    };
    const std::initializer_list<std::string_view> kFonts = {
        "stdFont", "boldFont", "largeFont", "symbolFont", "ledFont", "largeBoldFont", "mediumFont"};
    const std::initializer_list<std::string_view> kFlags = {"true", "false"};
    const std::string x = number((index % 4) * 60, -20, 300);
    const std::string y = number(16 + (index / 4) * 16 % 224, -20, 300);
    const std::string w = number(56, 0, 240);
    const std::string h = number(12, 0, 40);
    const std::string layer = number(1 + index % 2, 0, 3);
    const std::string enable = either(index % 7 == 3 ? "false" : "true", kFlags);
    const std::string up = number(index > 0 ? id - 1 : 0, 0, shape_.controlsPerForm);
    const std::string down =
        number(id < shape_.controlsPerForm ? id + 1 : 0, 0, shape_.controlsPerForm);
    const std::string left = number(0, 0, shape_.controlsPerForm);
    const std::string right = number(0, 0, shape_.controlsPerForm);
    std::vector<CXmlWriter::Attribute> layout = {{"x", x}, {"y", y}, {"w", w}, {"h", h}};
    if (!vary || Pick(4) != 0) {
        layout.emplace_back("layer", layer);
    }
    layout.insert(layout.end(), {{"enable", enable}, {"up", up}, {"down", down}});
    if (vary) {
        layout.insert(layout.end(), {{"left", left}, {"right", right}});
    }
    const std::string resize = vary ? std::string(PickOf({"", "movex", "movey stretchx",
                                                          "stretchx stretchy", "вертперемещение"}))
                               : type == "table" ? "stretchx stretchy"
                               : index % 5 == 0  ? "movey"
                                                 : "";
    if (!resize.empty()) {
        layout.emplace_back("resize", resize);
    }
    xml_.Empty("layout", layout);
    const std::string font = either("stdFont", kFonts);
    const std::string group = number(1, 0, 9);
    std::vector<Expression> events;  // in the order of `eventTypes`
    std::vector<const char*> eventTypes;
    const std::string label = Numbered("П", id);
    if (type == "static") {
        const std::string bold = either("boldFont", kFonts);
        xml_.Empty("staticattrs", {{"text", Pooled(label)}, {"font", bold}});
    } else if (type == "button" && index == 1) {
        const std::string frame = either(
            "rectangleButtonFrame",
            {"noButtonFrame", "standardButtonFrame", "boldButtonFrame", "rectangleButtonFrame"});
        xml_.Open("buttonattrs", {{"type", "text"}, {"frameType", frame}});
        xml_.Empty("text", {{"text", Pooled(label)}, {"font", font}});
        xml_.Close();
        eventTypes.push_back("select");
        events.push_back({"NewDocument(); TblRedraw()", 6, {}});
    } else if (type == "button") {
        const std::string frame =
            either("noButtonFrame", {"noButtonFrame", "standardButtonFrame", "boldButtonFrame"});
        const std::string bitmap = number(1100, 0, 30000);
        const std::string selected = number(1101, 0, 30000);
        xml_.Open("buttonattrs", {{"type", "graph"}, {"frameType", frame}});
        xml_.Empty("graph", {{"bitmapID", bitmap}, {"selectedBitmapID", selected}});
        xml_.Close();
        eventTypes.push_back("select");
        events.push_back({"Close()", 4, {}});
    } else if (type == "pushbutton") {
        xml_.Open("pushbuttonattrs", {{"type", "text"}, {"group", group}});
        xml_.Empty("text", {{"text", Pooled(label)}, {"font", font}});
        xml_.Close();
        eventTypes.push_back("select");
        events.push_back({"setlayer(" + std::to_string(index - 1) + ")", 6, {}});
    } else if (type == "checkbox") {
        const std::string box = number(0, 0, 9);
        xml_.Empty("checkboxattrs", {{"text", Pooled(label)}, {"font", font}, {"group", box}});
        eventTypes.push_back("select");
        events.push_back(
            {"SetFilterSQL(" + std::to_string(tableId) + ", \"e0 > 0\")", 10, {"e0 > 0"}});
    } else if (type == "datetime") {
        xml_.Empty("datetimeattrs", {{"title", Pooled(label)}});
        eventTypes.push_back("update");
        events.push_back({"TblRedraw()", 4, {}});
    } else if (type == "formmenu") {
        xml_.Open("items");
        const std::string journal = Numbered("Журнал ", nth % objects_);
        const std::string reference = Numbered("Справочник ", nth % objects_);
        const Expression openJournal = {
            "OpenJournal(\"" + journal + "\", \"Список\")", 12, {journal, "Список"}};
        const Expression openReference = {
            "OpenReference(\"" + reference + "\", \"Список\")", 12, {reference, "Список"}};
        xml_.Empty(
            "item",
            {{"bitmapID", "1001"}, {"view", Pooled("Журнал")}, {"func", Compiled(openJournal)}});
        xml_.Empty("item", {{"bitmapID", "1002"},
                            {"view", Pooled("Справочник")},
                            {"func", Compiled(openReference)}});
        xml_.Empty("separator");
        xml_.Empty("item", {{"bitmapID", "1003"},
                            {"view", Pooled("Выход")},
                            {"func", Compiled({"Exit(0)", 6, {}})}});
        xml_.Close();
        pool_ += kLengthWord + 4 * kFormMenuItemRecord;
    } else if (type == "field") {
        const std::string chars = number(12, 0, 255);
        const std::string flags[] = {
            either("true", kFlags),  either("true", kFlags),
            either("false", kFlags), either("true", kFlags),
            either("false", kFlags), either(nth % 2 == 0 ? "true" : "false", kFlags)};
        const std::string justification =
            either("rightAlign", {"leftAlign", "centerAlign", "rightAlign"});
        xml_.Empty("fieldattrs", {{"maxChars", chars},
                                  {"font", font},
                                  {"underlined", flags[0]},
                                  {"singleLine", flags[1]},
                                  {"dynamicSize", flags[2]},
                                  {"autoShift", flags[3]},
                                  {"hasScrollBar", flags[4]},
                                  {"numeric", flags[5]},
                                  {"justification", justification}});
        if (nth % 3 == 0) {
            eventTypes.push_back("update");
            events.push_back({R"(CalcField("e6", "e0 * 2"))", 12, {"e6", "e0 * 2"}});
        }
    } else if (type == "valueList") {
        const std::string visible = number(3, 0, 20);
        xml_.Empty("valuelistattrs", {{"font", font}, {"maxVisibleCount", visible}});
    } else if (type == "table") {
        const std::string tableFont = number(0, 0, 9);
        xml_.Empty("tableattrs", {{"font", tableFont}});
        if (id == tableId) {
            eventTypes.push_back("init");
            events.push_back({R"(SetColumnsNames("Код,Товар,Сумма"))", 8, {"Код,Товар,Сумма"}});
            eventTypes.push_back("select");
            events.push_back({"OnTableSelect()", 4, {}});
        }
    } else {
        const std::string bitmap = number(1200 + nth, 0, 30000);
        xml_.Empty("bitmapattrs", {{"bitmapID", bitmap}});
    }

    // The dense shape gives every control a select and an update event when it has none of
    // that kind (a formmenu takes neither).
    if (shape_.dense && type != "formmenu") {
        for (const auto& [kind, expression] :
             {std::pair<const char*, Expression>{"select", {"TblRedraw()", 4, {}}},
              std::pair<const char*, Expression>{"update",
                                                 {"SetCurrentDateTime(6); TblRedraw()", 8, {}}}}) {
            bool present = false;
            for (const char* eventType : eventTypes) {
                present = present || std::string_view(eventType) == kind;
            }
            if (!present) {
                eventTypes.push_back(kind);
                events.push_back(expression);
            }
        }
    }

    if (vary && Pick(2) == 0) {
        std::reverse(events.begin(), events.end());
        std::reverse(eventTypes.begin(), eventTypes.end());
    }
    if (!events.empty()) {
        xml_.Open("events");
        for (size_t e = 0; e < events.size(); ++e) {
            xml_.Empty("event", {{"type", eventTypes[e]}, {"func", Compiled(events[e])}});
        }
        xml_.Close();
    }
    xml_.Close();
}

void CConfigurationGenerator::WriteObjectActs(
    std::initializer_list<std::pair<std::string_view, Expression>> events) {
    xml_.Open("acts");
    for (const auto& [event, expression] : events) {
        xml_.Empty(event, {{"funcs", Compiled(expression)}});
    }
    xml_.Close();
}
