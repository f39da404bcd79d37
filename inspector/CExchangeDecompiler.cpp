#include "CExchangeDecompiler.h"

#include <string>

namespace {

std::string Text(const Json& value) {
    return value.is_string() ? value.get<std::string>() : std::string();
}

// The group's element with its url, when the group is stored.
bool OpenGroup(CXmlText& xml, const Json& group, const char* element) {
    if (!group.is_object()) {
        return false;
    }
    CXmlText::Attributes attributes;
    if (!Text(group.value("url", Json())).empty()) {
        attributes.emplace_back("url", Text(group["url"]));
    }
    xml.Open(element, attributes);
    return true;
}

void Names(CXmlText& xml, const Json& list, const char* element) {
    if (!list.is_array()) {
        return;
    }
    for (const Json& name : list) {
        xml.Empty(element, {{"name", Text(name)}});
    }
}

void Document(CXmlText& xml, const Json& document) {
    xml.Open("document", {{"name", Text(document.value("name", Json()))}});
    const Json& flags = document.value("sendFlags", Json::array());
    if (!flags.empty()) {
        xml.Open("send-flags");
        for (const Json& flag : flags) {
            xml.Empty("field", {{"name", Text(flag["name"])},
                                {"value", Text(flag["value"])},
                                {"set", Text(flag["set"])}});
        }
        xml.Close();
    }
    static constexpr std::pair<const char*, const char*> kFields[] = {{"headFields", "doc-head"},
                                                                      {"tableFields", "doc-table"}};
    for (const auto& [key, element] : kFields) {
        const Json& fields = document.value(key, Json::array());
        if (!fields.empty()) {
            xml.Open(element);
            Names(xml, fields, "field");
            xml.Close();
        }
    }
    xml.Close();
}

}  // namespace

void CExchangeDecompiler::Write(const Json& exchange, CXmlText& xml) {
    xml.Open("palm-client");
    for (const Json& entry : exchange.value("exchanges", Json::array())) {
        const auto has = [&](const char* key) { return entry.value(key, Json()).is_object(); };
        const CXmlText::Attributes names = {{"name", Text(entry["name"])},
                                            {"view", Text(entry["view"])}};
        const bool post = has("postDocuments") || has("postTables") || has("postFiles");
        const bool get = has("getTables") || has("getDbs") || has("getFiles");
        if (!post && !get) {
            xml.Empty("exchange", names);
            continue;
        }
        xml.Open("exchange", names);
        if (post) {
            xml.Open("post");
            if (OpenGroup(xml, entry["postDocuments"], "documents")) {
                for (const Json& document : entry["postDocuments"]["documents"]) {
                    Document(xml, document);
                }
                xml.Close();
            }
            if (OpenGroup(xml, entry["postTables"], "tables")) {
                Names(xml, entry["postTables"]["tables"], "table");
                xml.Close();
            }
            if (OpenGroup(xml, entry["postFiles"], "files")) {
                for (const Json& file : entry["postFiles"]["files"]) {
                    xml.Empty("file", {{"name", Text(file["name"])},
                                       {"type", Text(file["type"])},
                                       {"delete", file.value("delete", false) ? "true" : "false"}});
                }
                xml.Close();
            }
            xml.Close();
        }
        if (get) {
            xml.Open("get");
            if (OpenGroup(xml, entry["getTables"], "tables")) {
                Names(xml, entry["getTables"]["tables"], "table");
                xml.Close();
            }
            if (OpenGroup(xml, entry["getDbs"], "dbs")) {
                Names(xml, entry["getDbs"]["databases"], "db");
                xml.Close();
            }
            if (OpenGroup(xml, entry["getFiles"], "files")) {
                for (const Json& file : entry["getFiles"]["files"]) {
                    CXmlText::Attributes attributes = {{"name", Text(file["name"])}};
                    if (!Text(file["type"]).empty()) {
                        attributes.emplace_back("type", Text(file["type"]));
                    }
                    xml.Empty("file", attributes);
                }
                xml.Close();
            }
            xml.Close();
        }
        xml.Close();
    }
    xml.Close();
}
