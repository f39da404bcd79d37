#include "ExchangeContentHandler.h"

#include <algorithm>
#include <ostream>

#include "CConverter.h"

ExchangeContentHandler::ExchangeContentHandler(std::ostream& console) : log_(console) {}

void ExchangeContentHandler::ShowLocations(std::string fileName) {
    log_.ShowLocations(std::move(fileName));
}

std::string ExchangeContentHandler::Location() const {
    return log_.Location(Line());
}

std::optional<std::string> ExchangeContentHandler::GetAttribute(CSaxReader::Attributes attributes,
                                                                std::string_view wanted) {
    // The last match wins, so the list is searched from its end and only that value is
    // converted.
    for (auto attribute = attributes.rbegin(); attribute != attributes.rend(); ++attribute) {
        if (attribute->localName.substr(0, wanted.size()) == wanted) {
            return CConverter::ToNarrow(attribute->value);
        }
    }
    return std::nullopt;
}

std::string ExchangeContentHandler::CutName(std::string_view name) {
    size_t units = 0;
    size_t at = 0;
    while (at < name.size()) {
        const auto lead = static_cast<uint8_t>(name[at]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const size_t needed = length == 4 ? 2 : 1;  // a surrogate pair beyond the BMP
        if (units + needed > kMaxNameUnits) {
            break;
        }
        units += needed;
        at += length;
    }
    return std::string(name.substr(0, std::min(at, name.size())));
}

bool ExchangeContentHandler::ReportError(int errorClass, std::string_view text) {
    log_.Line(Location(), std::string(errorClass == kInternalError ? "Internal error: "
                                                                   : "XML validation error: ") +
                              std::string(text));
    failed_ = true;
    return false;
}

bool ExchangeContentHandler::ReportTooMany(std::string_view element, int maximum) {
    log_.OpenLine(Location(), "Too much " + std::string(element) +
                                  " tags. Maximum: " + std::to_string(maximum));
    failed_ = true;
    return false;
}

bool ExchangeContentHandler::StartElement(std::string_view localName,
                                          CSaxReader::Attributes attributes) {
    if (failed_) {
        return false;
    }
    std::string name = CutName(localName);
    const ReaderState before = state_;
    if (!Accept(name, attributes)) {
        return false;
    }
    elements_.push_back({std::move(name), before});
    return true;
}

bool ExchangeContentHandler::Accept(const std::string& name, CSaxReader::Attributes attributes) {
    switch (state_) {
        case Start:
            return AcceptRoot(name);
        case InRoot:
            return AcceptExchange(name, attributes);
        case InExchange:
            return AcceptDirection(name);
        case InPost:
            return AcceptPostGroup(name, attributes);
        case InPostDocuments:
            return AcceptPostDocument(name, attributes);
        case InPostTables:
            return AcceptPostTable(name, attributes);
        case InPostDocument:
            return name != "field" || ReadField(name, attributes);
        case InPostFiles:
            return AcceptPostFile(name, attributes);
        case InGet:
            return AcceptGetGroup(name, attributes);
        case InGetTables:
            return AcceptGetTable(name, attributes);
        case InGetDbs:
            return AcceptGetDb(name, attributes);
        case InGetFiles:
            return AcceptGetFile(name, attributes);
    }
    return ReportError(kInternalError, "unknown state");
}

bool ExchangeContentHandler::Invalid(std::string_view name) {
    return ReportError(kValidationError, name);
}

std::optional<std::string> ExchangeContentHandler::EntryName(
    const std::string& name, std::initializer_list<std::string_view> expected,
    CSaxReader::Attributes attributes) {
    if (std::find(expected.begin(), expected.end(), name) == expected.end()) {
        Invalid(name);
        return std::nullopt;
    }
    std::optional<std::string> entryName = GetAttribute(attributes, "name");
    if (!entryName) {
        Invalid(name);
    }
    return entryName;
}

bool ExchangeContentHandler::TooMany(std::string_view name) {
    return ReportTooMany(name, CSettingsTable::kMaxEntries);
}

bool ExchangeContentHandler::AcceptRoot(const std::string& name) {
    if (name != "palm-client") {
        return Invalid(name);
    }
    table_.SetLocation(Location());
    state_ = InRoot;
    return true;
}

bool ExchangeContentHandler::AcceptExchange(const std::string& name,
                                            CSaxReader::Attributes attributes) {
    if (name != "exchange") {
        return Invalid(name);
    }
    state_ = InExchange;
    const auto exchangeName = GetAttribute(attributes, "name");
    const auto view = GetAttribute(attributes, "view");
    if (!exchangeName || !view) {
        return Invalid(name);
    }
    if (!table_.AddExchange(*exchangeName, *view, Location())) {
        return ReportTooMany(name, CSettingsTable::kMaxExchanges);
    }
    return true;
}

bool ExchangeContentHandler::AcceptDirection(const std::string& name) {
    if (name == "post") {
        state_ = InPost;
    } else if (name == "get") {
        state_ = InGet;
    } else {
        return Invalid(name);
    }
    return true;
}

bool ExchangeContentHandler::AcceptPostGroup(const std::string& name,
                                             CSaxReader::Attributes attributes) {
    const auto url = GetAttribute(attributes, "url");
    if (name == "documents") {
        state_ = InPostDocuments;
        if (url) {
            table_.SetPostDocumentsUrl(*url);
        }
    } else if (name == "tables") {
        state_ = InPostTables;
        if (url) {
            table_.SetPostTablesUrl(*url);
        }
    } else if (name == "files") {
        state_ = InPostFiles;
        if (url) {
            table_.SetPostFilesUrl(*url);
        }
    } else {
        return Invalid(name);
    }
    return true;
}

bool ExchangeContentHandler::AcceptPostDocument(const std::string& name,
                                                CSaxReader::Attributes attributes) {
    if (name != "document") {
        return Invalid(name);
    }
    state_ = InPostDocument;
    const auto documentName = GetAttribute(attributes, "name");
    if (!documentName) {
        return Invalid(name);
    }
    return table_.AddPostDocument(*documentName) || TooMany(name);
}

bool ExchangeContentHandler::AcceptPostTable(const std::string& name,
                                             CSaxReader::Attributes attributes) {
    const auto tableName = EntryName(name, {"table"}, attributes);
    if (!tableName) {
        return false;
    }
    return table_.AddPostTable(*tableName) || TooMany(name);
}

bool ExchangeContentHandler::AcceptPostFile(const std::string& name,
                                            CSaxReader::Attributes attributes) {
    const auto fileName = EntryName(name, {"file"}, attributes);
    if (!fileName) {
        return false;
    }
    const auto type = GetAttribute(attributes, "type");
    const auto remove = GetAttribute(attributes, "delete");
    return table_.AddPostFile(*fileName, type.value_or(""), remove == "true") || TooMany(name);
}

bool ExchangeContentHandler::AcceptGetGroup(const std::string& name,
                                            CSaxReader::Attributes attributes) {
    const auto url = GetAttribute(attributes, "url");
    if (name == "tables") {
        state_ = InGetTables;
        table_.SetGetTablesUrl(url.value_or(""));
    } else if (name == "pdbs" || name == "dbs") {
        state_ = InGetDbs;
        if (url) {
            table_.SetGetDbsUrl(*url);
        }
    } else if (name == "files") {
        state_ = InGetFiles;
        if (url) {
            table_.SetGetFilesUrl(*url);
        }
    }
    // Anything else inside `get` is skipped; its children are read as if they stood in `get`
    // itself.
    return true;
}

bool ExchangeContentHandler::AcceptGetTable(const std::string& name,
                                            CSaxReader::Attributes attributes) {
    const auto tableName = EntryName(name, {"table"}, attributes);
    if (!tableName) {
        return false;
    }
    // The path and the name are joined with one "/"; an empty path adds nothing.
    std::string joined = GetAttribute(attributes, "path").value_or("");
    if (!joined.empty() && joined.back() != '/') {
        joined += '/';
    }
    joined += *tableName;
    return table_.AddGetTable(joined) || TooMany(name);
}

bool ExchangeContentHandler::AcceptGetDb(const std::string& name,
                                         CSaxReader::Attributes attributes) {
    const auto dbName = EntryName(name, {"pdb", "db"}, attributes);
    if (!dbName) {
        return false;
    }
    return table_.AddGetDb(*dbName) || TooMany(name);
}

bool ExchangeContentHandler::AcceptGetFile(const std::string& name,
                                           CSaxReader::Attributes attributes) {
    const auto fileName = EntryName(name, {"file"}, attributes);
    if (!fileName) {
        return false;
    }
    const auto type = GetAttribute(attributes, "type");
    return table_.AddGetFile(*fileName, type.value_or("")) || TooMany(name);
}

// A `field` inside a document: read when its parent is one of the three field lists,
// ignored otherwise.
bool ExchangeContentHandler::ReadField(const std::string& name, CSaxReader::Attributes attributes) {
    const std::string& parent = elements_.back().name;
    if (parent == "send-flags") {
        const auto flagName = GetAttribute(attributes, "name");
        const auto value = GetAttribute(attributes, "value");
        const auto set = GetAttribute(attributes, "set");
        if (!flagName || !value || !set) {
            return ReportError(kValidationError, name);
        }
        return table_.AddSendFlag(*flagName, *value, *set) ||
               ReportTooMany(name, CSettingsTable::kMaxEntries);
    }
    if (parent == "doc-head" || parent == "doc-table") {
        const auto fieldName = GetAttribute(attributes, "name");
        if (!fieldName) {
            return ReportError(kValidationError, name);
        }
        const bool added = parent == "doc-head" ? table_.AddHeadField(*fieldName)
                                                : table_.AddTableField(*fieldName);
        return added || ReportTooMany(name, CSettingsTable::kMaxEntries);
    }
    return true;
}

bool ExchangeContentHandler::EndElement() {
    if (failed_) {
        return false;
    }
    if (elements_.empty()) {
        return true;
    }
    // Each element hands back the state it was started in. For every element that moves the
    // reader this is the state its parent established; for the elements a `document` or a
    // `get` merely skips it is the state they found, whatever their name, so a skipped
    // element named `post`, `get`, `exchange` or `document` cannot move the reader out of
    // the list it stands in.
    state_ = elements_.back().stateBefore;
    elements_.pop_back();
    return true;
}
