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
        return action["code"].get<std::string>();
    }
    return "(undecodable: " + Plain(action["error"]) + ")";
}

std::string Index(const Json& value) {
    return value.is_null() ? "-" : "#" + value.dump();
}

}  // namespace

void CTextReport::Line(int depth, const std::string& text) {
    out_ << std::string(static_cast<size_t>(depth) * 2, ' ') << text << '\n';
}

void CTextReport::Header(const Json& document) {
    Line(0, Plain(document["file"]) + ": " +
                (document["kind"] == "configuration" ? "configuration database"
                 : document["kind"] == "exchange"    ? "exchange settings database"
                                                     : "unknown database"));
    const Json& h = document["header"];
    if (h.is_null()) {
        return;
    }
    Line(0, "Header");
    Line(1, "name           " + Show(h["name"]));
    Line(1, "attributes     " + h["attributes"].dump() + ", version " + h["version"].dump());
    Line(1, "created        " + Plain(h["created"]) + " UTC");
    Line(1, "modified       " + Plain(h["modified"]) + " UTC");
    Line(1, "backed up      " + Plain(h["backedUp"]) + " UTC");
    Line(1, "modification   " + h["modificationNumber"].dump() + ", app info " +
                h["appInfoOffset"].dump() + ", sort info " + h["sortInfoOffset"].dump());
    Line(1, "type, creator  " + Plain(h["type"]) + ", " + Plain(h["creator"]));
    Line(1, "records        " + h["recordCount"].dump());
    Line(0, "Records");
    Line(1, "index  offset   size  what");
    for (const Json& r : document["records"]) {
        char text[64];
        std::snprintf(text, sizeof text, "%5s %7s %6s  ", r["index"].dump().c_str(),
                      r["offset"].dump().c_str(), r["size"].dump().c_str());
        Line(1, text + Plain(r["what"]));
    }
}

void CTextReport::Configuration(const Json& c) {
    const Json& info = c["info"];
    Line(0, "Info record");
    Line(1, "format code    " + info["formatCode"].dump());
    Line(1, "name           " + Show(info["name"]));
    Line(1, "developer      " + Show(info["developer"]));
    Line(1, "screen         " + info["screenWidth"].dump() + " x " + info["screenHeight"].dump());
    std::string slots;
    for (const auto& [key, value] : info["slots"].items()) {
        slots += (slots.empty() ? "" : ", ") + key + " " + Show(value);
    }
    Line(1, "slots          " + slots);

    Line(0, "Menus");
    for (const Json& menu : c["menus"]) {
        Line(1,
             "menu " + menu["number"].dump() + " (block at offset " + menu["offset"].dump() + ")");
        for (const Json& item : menu["items"]) {
            MenuItem(2, item);
        }
    }
    Objects("Journals", "journal", c["journals"]);
    Objects("Documents", "document", c["documents"]);
    if (!c["commonEntries"].empty()) {
        Line(0, "Common entries");
        Entries(1, c["commonEntries"]);
    }
    Objects("Record views", "record view", c["recordViews"]);
    Objects("References", "reference", c["references"]);
    Objects("Frames", "frame", c["frames"]);

    Line(0, "Strings");
    Line(1, "offset   size  use");
    for (const Json& s : c["strings"]) {
        char text[64];
        std::snprintf(text, sizeof text, "%6s %6s  ", s["offset"].dump().c_str(),
                      s["size"].dump().c_str());
        Line(1, text + Plain(s["use"]) + (s.contains("text") ? " " + Show(s["text"]) : ""));
    }
}

void CTextReport::MenuItem(int depth, const Json& item) {
    std::string line = item["id"].dump() + " " + Plain(item["kind"]);
    if (item["kind"] != "separator") {
        line += " " + Show(item["title"]);
    }
    if (!item["shortcut"].is_null()) {
        line += " [" + Plain(item["shortcut"]) + "]";
    }
    if (!item["action"].is_null()) {
        line += ": " + Action(item["action"]);
    }
    if (item["parent"] != 0) {
        line += "  (parent " + item["parent"].dump() + ")";
    }
    Line(depth, line);
    for (const Json& child : item["children"]) {
        MenuItem(depth + 1, child);
    }
}

void CTextReport::Objects(const char* title, const char* kind, const Json& objects) {
    Line(0, title);
    for (size_t i = 0; i < objects.size(); ++i) {
        const Json& o = objects[i];
        Line(1, std::string(kind) + " " + std::to_string(i) + " " + Show(o["name"]) + ", view " +
                    Show(o["view"]));
        Line(2, "entries " + o["entryCount"].dump() + " at offset " + o["dataOffset"].dump() +
                    ", forms " + o["formCount"].dump());
        if (o.contains("databaseName")) {
            Line(2, "database " + Show(o["databaseName"]));
        }
        if (o.contains("prefix")) {
            Line(2, "prefix " + Show(o["prefix"]) + ", pdaCreate " + o["pdaCreate"].dump() +
                        ", hasJournal " + o["hasJournal"].dump() + ", table entries " +
                        o["tableEntryCount"].dump());
            std::string names;
            for (const Json& n : o["inheritances"]) {
                names += (names.empty() ? "" : ", ") + Plain(n);
            }
            Line(2, "inherits " + (o["inheritances"].is_null() ? "-" : names));
            Line(2, "field description:");
            for (const Json& f : o["fieldDescription"]) {
                Line(3, Plain(f["name"]) + " " + Plain(f["dbtype"]) + " " + Show(f["view"]) +
                            " default " + Show(f["default"]));
            }
        }
        if (o.contains("documents")) {
            std::string names;
            for (const Json& n : o["documents"]) {
                names += (names.empty() ? "" : ", ") + Plain(n);
            }
            Line(2, "documents " + (names.empty() ? "-" : names));
        }
        for (const char* event : {"init", "save", "copy", "delete"}) {
            if (o.contains(event)) {
                Line(2, std::string(event) + ": " + Action(o[event]));
            }
        }
        Entries(2, o["entries"]);
        for (const Json& form : o["forms"]) {
            Form(2, form);
        }
    }
}

void CTextReport::Entries(int depth, const Json& entries) {
    for (size_t k = 0; k < entries.size(); ++k) {
        const Json& e = entries[k];
        std::string line = "entry " + std::to_string(k) + " " + Plain(e["name"]) + ": " +
                           Plain(e["type"]) + ", " + Plain(e["dbType"]) +
                           (e["mandatory"] == true ? ", mandatory" : "");
        Line(depth, line);
        const Json& source = e["dataSource"];
        if (source.is_null()) {
            continue;
        }
        std::string detail = "data source " + Plain(source["kind"]);
        if (source.contains("table")) {
            detail += " " + Show(source["table"]);
        }
        if (source.contains("filter")) {
            detail += " filter " + Show(source["filter"]);
        }
        Line(depth + 1, detail);
        for (const char* list : {"items", "fields"}) {
            if (!source.contains(list)) {
                continue;
            }
            for (const Json& item : source[list]) {
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
    Line(depth, "form " + Show(f["name"]) + ": " + f["controlCount"].dump() +
                    " controls at offset " + f["controlsOffset"].dump() + ", layers " +
                    f["layers"].dump() + ", menu " + Plain(f["menu"]) + ", first control " +
                    Index(f["firstControl"]));
    for (const char* event : {"preopen", "open", "close"}) {
        if (!f[event].is_null()) {
            Line(depth + 1, std::string(event) + ": " + Action(f[event]));
        }
    }
    for (const Json& c : f["controls"]) {
        Control(depth + 1, c);
    }
}

void CTextReport::Control(int depth, const Json& c) {
    std::string line = "#" + c["index"].dump() + " " +
                       (c["type"] == "" ? "type " + c["typeCode"].dump() : Plain(c["type"])) +
                       " at " + c["x"].dump() + "," + c["y"].dump() + " size " + c["w"].dump() +
                       "x" + c["h"].dump();
    if (!c["entry"].is_null()) {
        line += ", entry " + Plain(c["entry"]["name"]);
    }
    if (c["enabled"] == false) {
        line += ", disabled";
    }
    if (!c["layer"].is_null()) {
        line += ", layer " + c["layer"].dump();
    }
    std::string navigation;
    for (const char* side : {"left", "right", "up", "down"}) {
        if (!c[side].is_null()) {
            navigation += std::string(navigation.empty() ? "" : " ") + side + " " + Index(c[side]);
        }
    }
    if (!navigation.empty()) {
        line += ", " + navigation;
    }
    if (!c["resize"].empty()) {
        std::string resize;
        for (const Json& r : c["resize"]) {
            resize += (resize.empty() ? "" : " ") + Plain(r);
        }
        line += ", resize " + resize;
    }
    Line(depth, line);
    std::string attributes;
    for (const auto& [key, value] : c["attributes"].items()) {
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
        for (const Json& item : c["items"]) {
            Line(depth + 1, item["kind"] == "separator"
                                ? std::string("separator")
                                : "item " + Show(item["view"]) + " bitmap " +
                                      item["bitmap"].dump() + ": " + Action(item["action"]));
        }
    }
    for (const auto& [event, action] : c["events"].items()) {
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
    for (const Json& e : x["exchanges"]) {
        Line(1, "exchange " + Show(e["name"]) + ", view " + Show(e["view"]));
        for (const auto& group : kGroups) {
            const Json& g = e.contains(group[0]) ? e[group[0]] : Json();
            if (g.is_null()) {
                Line(2, std::string(group[1]) + ": -");
                continue;
            }
            Line(2, std::string(group[1]) + " (record " + g["record"].dump() + "), url " +
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
                        Line(3, Plain(entry["name"]) + ", type " + Show(entry["type"]) +
                                    (entry.contains("delete") ? ", delete " + entry["delete"].dump()
                                                              : ""));
                    }
                }
            }
        }
    }
}

void CTextReport::Document(int depth, const Json& d) {
    Line(depth, "document " + Show(d["name"]));
    for (const Json& flag : d["sendFlags"]) {
        Line(depth + 1, "send flag " + Show(flag["name"]) + ", value " + Show(flag["value"]) +
                            ", set " + Show(flag["set"]));
    }
    for (const char* list : {"headFields", "tableFields"}) {
        std::string names;
        for (const Json& n : d[list]) {
            names += (names.empty() ? "" : ", ") + Plain(n);
        }
        Line(depth + 1, std::string(list == std::string_view("headFields") ? "head" : "table") +
                            " fields: " + (names.empty() ? "-" : names));
    }
}

std::string CTextReport::Write(const Json& document) {
    CTextReport writer;
    writer.Header(document);
    if (document.contains("configuration")) {
        writer.Configuration(document["configuration"]);
    }
    if (document.contains("exchange")) {
        writer.Exchange(document["exchange"]);
    }
    const Json& problems = document["problems"];
    writer.Line(0, problems.empty() ? std::string("Problems: none")
                                    : "Problems: " + std::to_string(problems.size()));
    for (const Json& p : problems) {
        writer.Line(1,
                    (p["record"].is_null() ? std::string("file") : "record " + p["record"].dump()) +
                        ", offset " + p["offset"].dump() + ": " + Plain(p["message"]));
    }
    return writer.out_.str();
}
