#include "ExchangeContentHandler.h"

#include <ostream>

#include "CConverter.h"
#include "ConsoleLine.h"

ExchangeContentHandler::ExchangeContentHandler(std::ostream& console) : console_(console) {}

void ExchangeContentHandler::ShowLocations(std::string fileName) {
    locations_ = true;
    fileName_ = std::move(fileName);
}

std::string ExchangeContentHandler::Location() const {
    return locations_ ? ConsoleLine::FormatLocation(fileName_, Line()) : std::string{};
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
    console_ << Location();
    if (errorClass == kInternalError) {
        console_ << "Internal error: " << text << "\n";
    } else {
        console_ << "XML validation error: " << text << "\n";
    }
    console_.flush();
    failed_ = true;
    return false;
}

bool ExchangeContentHandler::ReportTooMany(std::string_view element, int maximum) {
    console_ << Location() << "Too much " << element << " tags. Maximum: " << maximum;
    console_.flush();
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
    const auto required = [&](std::string_view attribute) {
        return GetAttribute(attributes, attribute);
    };
    const auto tooMany = [&]() { return ReportTooMany(name, CSettingsTable::kMaxEntries); };
    const auto invalid = [&]() { return ReportError(kValidationError, name); };

    switch (state_) {
        case Start:
            if (name != "palm-client") {
                return invalid();
            }
            table_.SetLocation(Location());
            state_ = InRoot;
            return true;

        case InRoot: {
            if (name != "exchange") {
                return invalid();
            }
            state_ = InExchange;
            const auto exchangeName = required("name");
            const auto view = required("view");
            if (!exchangeName || !view) {
                return invalid();
            }
            if (!table_.AddExchange(*exchangeName, *view, Location())) {
                return ReportTooMany(name, CSettingsTable::kMaxExchanges);
            }
            return true;
        }

        case InExchange:
            if (name == "post") {
                state_ = InPost;
            } else if (name == "get") {
                state_ = InGet;
            } else {
                return invalid();
            }
            return true;

        case InPost: {
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
                return invalid();
            }
            return true;
        }

        case InPostDocuments: {
            if (name != "document") {
                return invalid();
            }
            state_ = InPostDocument;
            const auto documentName = required("name");
            if (!documentName) {
                return invalid();
            }
            return table_.AddPostDocument(*documentName) || tooMany();
        }

        case InPostTables: {
            if (name != "table") {
                return invalid();
            }
            const auto tableName = required("name");
            if (!tableName) {
                return invalid();
            }
            return table_.AddPostTable(*tableName) || tooMany();
        }

        case InPostDocument:
            return name != "field" || ReadField(name, attributes);

        case InPostFiles: {
            if (name != "file") {
                return invalid();
            }
            const auto fileName = required("name");
            if (!fileName) {
                return invalid();
            }
            const auto type = GetAttribute(attributes, "type");
            const auto remove = GetAttribute(attributes, "delete");
            return table_.AddPostFile(*fileName, type.value_or(""), remove == "true") || tooMany();
        }

        case InGet: {
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
            // Anything else inside `get` is skipped; its children are read as if they stood
            // in `get` itself.
            return true;
        }

        case InGetTables: {
            if (name != "table") {
                return invalid();
            }
            const auto tableName = required("name");
            if (!tableName) {
                return invalid();
            }
            // The path and the name are joined with one "/"; an empty path adds nothing.
            std::string joined = GetAttribute(attributes, "path").value_or("");
            if (!joined.empty() && joined.back() != '/') {
                joined += '/';
            }
            joined += *tableName;
            return table_.AddGetTable(joined) || tooMany();
        }

        case InGetDbs: {
            if (name != "pdb" && name != "db") {
                return invalid();
            }
            const auto dbName = required("name");
            if (!dbName) {
                return invalid();
            }
            return table_.AddGetDb(*dbName) || tooMany();
        }

        case InGetFiles: {
            if (name != "file") {
                return invalid();
            }
            const auto fileName = required("name");
            if (!fileName) {
                return invalid();
            }
            const auto type = GetAttribute(attributes, "type");
            return table_.AddGetFile(*fileName, type.value_or("")) || tooMany();
        }
    }
    return ReportError(kInternalError, "unknown state");
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
