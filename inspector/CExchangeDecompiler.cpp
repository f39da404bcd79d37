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
    if (!Text(At(group, "url")).empty()) {
        attributes.emplace_back("url", Text(At(group, "url")));
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
    xml.Open("document", {{"name", Text(At(document, "name"))}});
    const Json& flags = At(document, "sendFlags");
    if (flags.is_array() && !flags.empty()) {
        xml.Open("send-flags");
        for (const Json& flag : flags) {
            xml.Empty("field", {{"name", Text(At(flag, "name"))},
                                {"value", Text(At(flag, "value"))},
                                {"set", Text(At(flag, "set"))}});
        }
        xml.Close();
    }
    static constexpr std::pair<const char*, const char*> kFields[] = {{"headFields", "doc-head"},
                                                                      {"tableFields", "doc-table"}};
    for (const auto& [key, element] : kFields) {
        const Json& fields = At(document, key);
        if (fields.is_array() && !fields.empty()) {
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
    for (const Json& entry : At(exchange, "exchanges")) {
        const auto has = [&](const char* key) { return At(entry, key).is_object(); };
        const CXmlText::Attributes names = {{"name", Text(At(entry, "name"))},
                                            {"view", Text(At(entry, "view"))}};
        const bool post = has("postDocuments") || has("postTables") || has("postFiles");
        const bool get = has("getTables") || has("getDbs") || has("getFiles");
        if (!post && !get) {
            xml.Empty("exchange", names);
            continue;
        }
        xml.Open("exchange", names);
        if (post) {
            xml.Open("post");
            if (OpenGroup(xml, At(entry, "postDocuments"), "documents")) {
                for (const Json& document : At(At(entry, "postDocuments"), "documents")) {
                    Document(xml, document);
                }
                xml.Close();
            }
            if (OpenGroup(xml, At(entry, "postTables"), "tables")) {
                Names(xml, At(At(entry, "postTables"), "tables"), "table");
                xml.Close();
            }
            if (OpenGroup(xml, At(entry, "postFiles"), "files")) {
                for (const Json& file : At(At(entry, "postFiles"), "files")) {
                    xml.Empty("file", {{"name", Text(At(file, "name"))},
                                       {"type", Text(At(file, "type"))},
                                       {"delete", At(file, "delete") == true ? "true" : "false"}});
                }
                xml.Close();
            }
            xml.Close();
        }
        if (get) {
            xml.Open("get");
            if (OpenGroup(xml, At(entry, "getTables"), "tables")) {
                Names(xml, At(At(entry, "getTables"), "tables"), "table");
                xml.Close();
            }
            if (OpenGroup(xml, At(entry, "getDbs"), "dbs")) {
                Names(xml, At(At(entry, "getDbs"), "databases"), "db");
                xml.Close();
            }
            if (OpenGroup(xml, At(entry, "getFiles"), "files")) {
                for (const Json& file : At(At(entry, "getFiles"), "files")) {
                    CXmlText::Attributes attributes = {{"name", Text(At(file, "name"))}};
                    if (!Text(At(file, "type")).empty()) {
                        attributes.emplace_back("type", Text(At(file, "type")));
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
