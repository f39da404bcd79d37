#include "CTextReport.h"

#include <sstream>
#include <string_view>

namespace {

// A value as shown: texts in quotes, null as "-", numbers and flags as they are.
std::string Show(const Json& value) {
    if (value.is_null()) {
        return "-";
    }
    if (value.is_string()) {
        return "\"" + value.get<std::string>() + "\"";
    }
    return value.dump();
}

std::string Plain(const Json& value) {
    return value.is_string() ? value.get<std::string>() : Show(value);
}

// An action: its code, or why it does not decode; "-" for none.
std::string Action(const Json& action) {
    if (action.is_null()) {
        return "-";
    }
    if (action.contains("code")) {
        return At(action, "code").get<std::string>();
    }
    return "(undecodable: " + Plain(At(action, "error")) + ")";
}

std::string Index(const Json& value) {
    return value.is_null() ? "-" : "#" + value.dump();
}

}  // namespace

void CTextReport::Line(int depth, const std::string& text) {
    out_ << std::string(static_cast<size_t>(depth) * 2, ' ') << text << '\n';
}

void CTextReport::Header(const Json& document) {
    Line(0, Plain(At(document, "file")) + ": " +
                (At(document, "kind") == "configuration" ? "configuration database"
                 : At(document, "kind") == "exchange"    ? "exchange settings database"
                                                         : "unknown database"));
    const Json& h = At(document, "header");
    if (h.is_null()) {
        return;
    }
    Line(0, "Header");
    Line(1, "name           " + Show(At(h, "name")));
    Line(1,
         "attributes     " + At(h, "attributes").dump() + ", version " + At(h, "version").dump());
    Line(1, "created        " + Plain(At(h, "created")) + " UTC");
    Line(1, "modified       " + Plain(At(h, "modified")) + " UTC");
    Line(1, "backed up      " + Plain(At(h, "backedUp")) + " UTC");
    Line(1, "modification   " + At(h, "modificationNumber").dump() + ", app info " +
                At(h, "appInfoOffset").dump() + ", sort info " + At(h, "sortInfoOffset").dump());
    Line(1, "type, creator  " + Plain(At(h, "type")) + ", " + Plain(At(h, "creator")));
    Line(1, "records        " + At(h, "recordCount").dump());
    Line(0, "Records");
    Line(1, "index  offset   size  what");
    for (const Json& r : At(document, "records")) {
        char text[64];
        std::snprintf(text, sizeof text, "%5s %7s %6s  ", At(r, "index").dump().c_str(),
                      At(r, "offset").dump().c_str(), At(r, "size").dump().c_str());
        Line(1, text + Plain(At(r, "what")));
    }
}

void CTextReport::Configuration(const Json& c) {
    const Json& info = At(c, "info");
    Line(0, "Info record");
    Line(1, "format code    " + At(info, "formatCode").dump());
    Line(1, "name           " + Show(At(info, "name")));
    Line(1, "developer      " + Show(At(info, "developer")));
    Line(1, "screen         " + At(info, "screenWidth").dump() + " x " +
                At(info, "screenHeight").dump());
    std::string slots;
    for (const auto& [key, value] : At(info, "slots").items()) {
        slots += (slots.empty() ? "" : ", ") + key + " " + Show(value);
    }
    Line(1, "slots          " + slots);

    Line(0, "Menus");
    for (const Json& menu : At(c, "menus")) {
        Line(1, "menu " + At(menu, "number").dump() + " (block at offset " +
                    At(menu, "offset").dump() + ")");
        for (const Json& item : At(menu, "items")) {
            MenuItem(2, item);
        }
    }
    Objects("Journals", "journal", At(c, "journals"));
    Objects("Documents", "document", At(c, "documents"));
    if (!At(c, "commonEntries").empty()) {
        Line(0, "Common entries");
        Entries(1, At(c, "commonEntries"));
    }
    Objects("Record views", "record view", At(c, "recordViews"));
    Objects("References", "reference", At(c, "references"));
    Objects("Frames", "frame", At(c, "frames"));

    Line(0, "Strings");
    Line(1, "offset   size  use");
    for (const Json& s : At(c, "strings")) {
        char text[64];
        std::snprintf(text, sizeof text, "%6s %6s  ", At(s, "offset").dump().c_str(),
                      At(s, "size").dump().c_str());
        Line(1, text + Plain(At(s, "use")) + (s.contains("text") ? " " + Show(At(s, "text")) : ""));
    }
}

void CTextReport::MenuItem(int depth, const Json& item) {
    std::string line = At(item, "id").dump() + " " + Plain(At(item, "kind"));
    if (At(item, "kind") != "separator") {
        line += " " + Show(At(item, "title"));
    }
    if (!At(item, "shortcut").is_null()) {
        line += " [" + Plain(At(item, "shortcut")) + "]";
    }
    if (!At(item, "action").is_null()) {
        line += ": " + Action(At(item, "action"));
    }
    if (At(item, "parent") != 0) {
        line += "  (parent " + At(item, "parent").dump() + ")";
    }
    Line(depth, line);
    for (const Json& child : At(item, "children")) {
        MenuItem(depth + 1, child);
    }
}

void CTextReport::Objects(const char* title, const char* kind, const Json& objects) {
    Line(0, title);
    for (size_t i = 0; i < objects.size(); ++i) {
        const Json& o = objects[i];
        Line(1, std::string(kind) + " " + std::to_string(i) + " " + Show(At(o, "name")) +
                    ", view " + Show(At(o, "view")));
        Line(2, "entries " + At(o, "entryCount").dump() + " at offset " +
                    At(o, "dataOffset").dump() + ", forms " + At(o, "formCount").dump());
        if (o.contains("databaseName")) {
            Line(2, "database " + Show(At(o, "databaseName")));
        }
        if (o.contains("prefix")) {
            Line(2, "prefix " + Show(At(o, "prefix")) + ", pdaCreate " + At(o, "pdaCreate").dump() +
                        ", hasJournal " + At(o, "hasJournal").dump() + ", table entries " +
                        At(o, "tableEntryCount").dump());
            std::string names;
            for (const Json& n : At(o, "inheritances")) {
                names += (names.empty() ? "" : ", ") + Plain(n);
            }
            Line(2, "inherits " + (At(o, "inheritances").is_null() ? "-" : names));
            Line(2, "field description:");
            for (const Json& f : At(o, "fieldDescription")) {
                Line(3, Plain(At(f, "name")) + " " + Plain(At(f, "dbtype")) + " " +
                            Show(At(f, "view")) + " default " + Show(At(f, "default")));
            }
        }
        if (o.contains("documents")) {
            std::string names;
            for (const Json& n : At(o, "documents")) {
                names += (names.empty() ? "" : ", ") + Plain(n);
            }
            Line(2, "documents " + (names.empty() ? "-" : names));
        }
        for (const char* event : {"init", "save", "copy", "delete"}) {
            if (o.contains(event)) {
                Line(2, std::string(event) + ": " + Action(At(o, event)));
            }
        }
        Entries(2, At(o, "entries"));
        for (const Json& form : At(o, "forms")) {
            Form(2, form);
        }
    }
}

void CTextReport::Entries(int depth, const Json& entries) {
    for (size_t k = 0; k < entries.size(); ++k) {
        const Json& e = entries[k];
        std::string line = "entry " + std::to_string(k) + " " + Plain(At(e, "name")) + ": " +
                           Plain(At(e, "type")) + ", " + Plain(At(e, "dbType")) +
                           (At(e, "mandatory") == true ? ", mandatory" : "");
        Line(depth, line);
        const Json& source = At(e, "dataSource");
        if (source.is_null()) {
            continue;
        }
        std::string detail = "data source " + Plain(At(source, "kind"));
        if (source.contains("table")) {
            detail += " " + Show(At(source, "table"));
        }
        if (source.contains("filter")) {
            detail += " filter " + Show(At(source, "filter"));
        }
        Line(depth + 1, detail);
        for (const char* list : {"items", "fields"}) {
            if (!source.contains(list)) {
                continue;
            }
            for (const Json& item : At(source, list)) {
                std::string text;
                for (const auto& [key, value] : item.items()) {
                    text += (text.empty() ? "" : ", ") + key + " " + Show(value);
                }
                Line(depth + 2, text);
            }
        }
    }
}

void CTextReport::Form(int depth, const Json& f) {
    Line(depth, "form " + Show(At(f, "name")) + ": " + At(f, "controlCount").dump() +
                    " controls at offset " + At(f, "controlsOffset").dump() + ", layers " +
                    At(f, "layers").dump() + ", menu " + Plain(At(f, "menu")) + ", first control " +
                    Index(At(f, "firstControl")));
    for (const char* event : {"preopen", "open", "close"}) {
        if (!At(f, event).is_null()) {
            Line(depth + 1, std::string(event) + ": " + Action(At(f, event)));
        }
    }
    for (const Json& c : At(f, "controls")) {
        Control(depth + 1, c);
    }
}

void CTextReport::Control(int depth, const Json& c) {
    std::string line =
        "#" + At(c, "index").dump() + " " +
        (At(c, "type") == "" ? "type " + At(c, "typeCode").dump() : Plain(At(c, "type"))) + " at " +
        At(c, "x").dump() + "," + At(c, "y").dump() + " size " + At(c, "w").dump() + "x" +
        At(c, "h").dump();
    if (!At(c, "entry").is_null()) {
        line += ", entry " + Plain(At(At(c, "entry"), "name"));
    }
    if (At(c, "enabled") == false) {
        line += ", disabled";
    }
    if (!At(c, "layer").is_null()) {
        line += ", layer " + At(c, "layer").dump();
    }
    std::string navigation;
    for (const char* side : {"left", "right", "up", "down"}) {
        if (!At(c, side).is_null()) {
            navigation +=
                std::string(navigation.empty() ? "" : " ") + side + " " + Index(At(c, side));
        }
    }
    if (!navigation.empty()) {
        line += ", " + navigation;
    }
    if (!At(c, "resize").empty()) {
        std::string resize;
        for (const Json& r : At(c, "resize")) {
            resize += (resize.empty() ? "" : " ") + Plain(r);
        }
        line += ", resize " + resize;
    }
    Line(depth, line);
    std::string attributes;
    for (const auto& [key, value] : At(c, "attributes").items()) {
        std::string shown = Show(value);
        if (value.is_array()) {
            shown.clear();
            for (const Json& v : value) {
                shown += (shown.empty() ? "" : ", ") + Plain(v);
            }
            shown = "[" + shown + "]";
        }
        attributes += (attributes.empty() ? "" : ", ") + key + " " + shown;
    }
    if (!attributes.empty()) {
        Line(depth + 1, attributes);
    }
    if (c.contains("items")) {
        for (const Json& item : At(c, "items")) {
            Line(depth + 1, At(item, "kind") == "separator"
                                ? std::string("separator")
                                : "item " + Show(At(item, "view")) + " bitmap " +
                                      At(item, "bitmap").dump() + ": " +
                                      Action(At(item, "action")));
        }
    }
    for (const auto& [event, action] : At(c, "events").items()) {
        Line(depth + 1, event + ": " + Action(action));
    }
}

void CTextReport::Exchange(const Json& x) {
    Line(0, "Exchanges");
    static constexpr const char* kGroups[][2] = {{"postDocuments", "post documents"},
                                                 {"postTables", "post tables"},
                                                 {"postFiles", "post files"},
                                                 {"getTables", "get tables"},
                                                 {"getDbs", "get dbs"},
                                                 {"getFiles", "get files"}};
    for (const Json& e : At(x, "exchanges")) {
        Line(1, "exchange " + Show(At(e, "name")) + ", view " + Show(At(e, "view")));
        for (const auto& group : kGroups) {
            const Json& g = At(e, group[0]);
            if (g.is_null()) {
                Line(2, std::string(group[1]) + ": -");
                continue;
            }
            Line(2, std::string(group[1]) + " (record " + At(g, "record").dump() + "), url " +
                        Show(g.value("url", Json())));
            for (const auto& [key, list] : g.items()) {
                if (!list.is_array()) {
                    continue;
                }
                for (const Json& entry : list) {
                    if (entry.is_string()) {
                        Line(3, Plain(entry));
                    } else if (entry.contains("sendFlags")) {
                        Document(3, entry);
                    } else {
                        Line(3, Plain(At(entry, "name")) + ", type " + Show(At(entry, "type")) +
                                    (entry.contains("delete")
                                         ? ", delete " + At(entry, "delete").dump()
                                         : ""));
                    }
                }
            }
        }
    }
}

void CTextReport::Document(int depth, const Json& d) {
    Line(depth, "document " + Show(At(d, "name")));
    for (const Json& flag : At(d, "sendFlags")) {
        Line(depth + 1, "send flag " + Show(At(flag, "name")) + ", value " +
                            Show(At(flag, "value")) + ", set " + Show(At(flag, "set")));
    }
    for (const char* list : {"headFields", "tableFields"}) {
        std::string names;
        for (const Json& n : At(d, list)) {
            names += (names.empty() ? "" : ", ") + Plain(n);
        }
        Line(depth + 1, std::string(list == std::string_view("headFields") ? "head" : "table") +
                            " fields: " + (names.empty() ? "-" : names));
    }
}

std::string CTextReport::Write(const Json& document) {
    std::ostringstream out;
    Write(document, out);
    return out.str();
}

void CTextReport::Write(const Json& document, std::ostream& out) {
    CTextReport writer(out);
    writer.Header(document);
    if (document.contains("configuration")) {
        writer.Configuration(At(document, "configuration"));
    }
    if (document.contains("exchange")) {
        writer.Exchange(At(document, "exchange"));
    }
    const Json& problems = At(document, "problems");
    writer.Line(0, problems.empty() ? std::string("Problems: none")
                                    : "Problems: " + std::to_string(problems.size()));
    const auto list = [&](const Json& entries) {
        for (const Json& p : entries) {
            writer.Line(1, (At(p, "record").is_null() ? std::string("file")
                                                      : "record " + At(p, "record").dump()) +
                               ", offset " + At(p, "offset").dump() + ": " +
                               Plain(At(p, "message")));
        }
    };
    list(problems);
    const Json& warnings = At(document, "warnings");
    if (!warnings.empty()) {
        writer.Line(0, "Warnings: " + std::to_string(warnings.size()));
        list(warnings);
    }
}
