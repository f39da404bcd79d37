#include "CSettingsTable.h"

#include <charconv>
#include <optional>
#include <ostream>
#include <vector>

#include "ByteOrder.h"
#include "CConverter.h"
#include "CPdb.h"

namespace {

using Record = std::vector<uint8_t>;

// Bytes a text takes in a record: the text, its terminating zero, and one more zero when
// that count is odd.
size_t PaddedSize(std::string_view text) {
    const size_t size = text.size() + 1;
    return size + (size & 1);
}

// Appends a text in its padded form.
void AppendPadded(Record& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
    out.resize(out.size() + PaddedSize(text) - text.size(), 0);
}

// A group's URL in its record: the empty text when the group has none.
std::string_view UrlText(const std::optional<std::string>& url) {
    return url ? std::string_view(*url) : std::string_view();
}

// A stored text shown on the (UTF-8) console.
std::string Shown(std::string_view text) {
    return CConverter::ToUtf8(text);
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

uint32_t HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<uint32_t>(c - '0');
    }
    return static_cast<uint32_t>((c | 0x20) - 'a' + 10);
}

}  // namespace

CSettingsTable::CSettingsTable() = default;

CSettingsTable::~CSettingsTable() = default;

std::string CSettingsTable::Copy(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

CSettingsTable::Text CSettingsTable::Store(std::string_view text) {
    const std::string_view stored = text.substr(0, text.find('\0'));
    const Text added = {texts_.size(), stored.size()};
    texts_ += stored;
    return added;
}

CSettingsTable::ExchangeSettings* CSettingsTable::Current() {
    return exchanges_.empty() ? nullptr : &exchanges_.back();
}

CSettingsTable::PostDocument* CSettingsTable::CurrentDocument() {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->postDocuments.empty()) {
        return nullptr;
    }
    return &exchange->postDocuments.back();
}

bool CSettingsTable::AddExchange(std::string_view name, std::string_view view) {
    if (exchanges_.size() >= kMaxExchanges) {
        return false;
    }
    ExchangeSettings& exchange = exchanges_.emplace_back();
    exchange.name = Store(name);
    exchange.view = Store(view);
    return true;
}

bool CSettingsTable::AddPostDocument(std::string_view name) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->postDocuments.size() >= kMaxEntries) {
        return false;
    }
    exchange->postDocuments.emplace_back().name = Store(name);
    return true;
}

bool CSettingsTable::AddSendFlag(std::string_view name, std::string_view value,
                                 std::string_view set) {
    PostDocument* document = CurrentDocument();
    if (document == nullptr || document->sendFlags.size() >= kMaxEntries) {
        return false;
    }
    document->sendFlags.push_back({Store(name), Store(value), Store(set)});
    return true;
}

bool CSettingsTable::AddHeadField(std::string_view name) {
    PostDocument* document = CurrentDocument();
    if (document == nullptr || document->headFields.size() >= kMaxEntries) {
        return false;
    }
    document->headFields.push_back(Store(name));
    return true;
}

bool CSettingsTable::AddTableField(std::string_view name) {
    PostDocument* document = CurrentDocument();
    if (document == nullptr || document->tableFields.size() >= kMaxEntries) {
        return false;
    }
    document->tableFields.push_back(Store(name));
    return true;
}

bool CSettingsTable::AddPostTable(std::string_view name) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->postTables.size() >= kMaxEntries) {
        return false;
    }
    exchange->postTables.push_back({Store(name), 1});
    return true;
}

bool CSettingsTable::AddPostFile(std::string_view name, std::string_view type, bool deleteAfter) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->postFiles.size() >= kMaxEntries) {
        return false;
    }
    exchange->postFiles.push_back({Store(name), Store(type), static_cast<uint8_t>(deleteAfter)});
    return true;
}

bool CSettingsTable::AddGetTable(std::string_view name) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->getTables.size() >= kMaxEntries) {
        return false;
    }
    exchange->getTables.push_back(Store(name));
    return true;
}

bool CSettingsTable::AddGetDb(std::string_view name) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->getDbs.size() >= kMaxEntries) {
        return false;
    }
    exchange->getDbs.push_back(Store(name));
    return true;
}

bool CSettingsTable::AddGetFile(std::string_view name, std::string_view type) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->getFiles.size() >= kMaxEntries) {
        return false;
    }
    exchange->getFiles.push_back({Store(name), Store(type)});
    return true;
}

bool CSettingsTable::SetUrl(Url ExchangeSettings::*url, std::string_view text) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr) {
        return false;
    }
    exchange->*url = Copy(text);
    return true;
}

bool CSettingsTable::SetPostDocumentsUrl(std::string_view url) {
    return SetUrl(&ExchangeSettings::postDocumentsUrl, url);
}
bool CSettingsTable::SetPostTablesUrl(std::string_view url) {
    return SetUrl(&ExchangeSettings::postTablesUrl, url);
}
bool CSettingsTable::SetPostFilesUrl(std::string_view url) {
    return SetUrl(&ExchangeSettings::postFilesUrl, url);
}
bool CSettingsTable::SetGetTablesUrl(std::string_view url) {
    return SetUrl(&ExchangeSettings::getTablesUrl, url);
}
bool CSettingsTable::SetGetDbsUrl(std::string_view url) {
    return SetUrl(&ExchangeSettings::getDbsUrl, url);
}
bool CSettingsTable::SetGetFilesUrl(std::string_view url) {
    return SetUrl(&ExchangeSettings::getFilesUrl, url);
}

uint32_t CSettingsTable::SendFlagNumber(std::string_view value) {
    uint32_t number = 0;
    if (value.size() >= 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        for (size_t i = 2; i < value.size() && IsHexDigit(value[i]); ++i) {
            number = number * 16 + HexValue(value[i]);
        }
        return number;
    }
    for (size_t i = 0; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        number = number * 10 + static_cast<uint32_t>(value[i] - '0');
    }
    return number;
}

void CSettingsTable::Dump(std::ostream& console) const {
    // The listing is assembled in pieces of about kChunk bytes, each written at once: a few
    // writes instead of a formatted insertion per field, and little memory however long the
    // listing.
    constexpr size_t kChunk = 16384;
    std::string out = "CSettingsTable DUMP:\n";
    out.reserve(kChunk + 1024);
    const auto flush = [&out, &console]() {
        console.write(out.data(), static_cast<std::streamsize>(out.size()));
        out.clear();
    };
    const auto text = [&](std::string_view label, std::string_view stored) {
        out += label;
        out += Shown(stored);
        out += '\n';
        if (out.size() >= kChunk) {
            flush();
        }
    };
    const auto number = [&out](std::string_view label, size_t value, int base) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value, base).ptr;
        out += label;
        out.append(digits, end);
        out += '\n';
    };
    const auto url = [&text](std::string_view label, const Url& stored) {
        if (stored) {
            text(label, *stored);
        }
    };
    for (const ExchangeSettings& exchange : exchanges_) {
        out += "\r\n**************** EXCHANGE ****************\r\n";
        out += Shown(View(exchange.name));
        out += "\r\n**************** EXCHANGE ****************\r\n";

        out += "------- POST DOCUMENTS: -------\n";
        url("post url: ", exchange.postDocumentsUrl);
        for (const PostDocument& document : exchange.postDocuments) {
            text("Post doc name: ", View(document.name));
            number("\tSend flags fields count: ", document.sendFlags.size(), 10);
            for (const SendFlag& flag : document.sendFlags) {
                text("\t\tname: ", View(flag.name));
                number("\t\tvalue: ", SendFlagNumber(View(flag.value)), 16);
            }
            number("\tHead fields count: ", document.headFields.size(), 10);
            for (const Text field : document.headFields) {
                text("\t\tname: ", View(field));
            }
            number("\tTable fields count: ", document.tableFields.size(), 10);
            for (const Text field : document.tableFields) {
                text("\t\tname: ", View(field));
            }
        }

        out += "------- POST TABLES: -------\n";
        url("post url: ", exchange.postTablesUrl);
        for (const PostTable& table : exchange.postTables) {
            text("Post table name: ", View(table.name));
        }

        out += "------- POST FILES: -------\n";
        url("post url: ", exchange.postFilesUrl);
        for (const PostFile& file : exchange.postFiles) {
            text("Post file name: ", View(file.name));
            text("          type: ", View(file.type));
            number("        delete: ", file.deleteAfter, 10);
        }

        out += "------- GET TABLES: -------\n";
        number("Get tables count: ", exchange.getTables.size(), 10);
        url("\turl: ", exchange.getTablesUrl);
        for (const Text table : exchange.getTables) {
            text("\tname: ", View(table));
        }

        out += "------- GET DBS: -------\n";
        number("Get dbs count: ", exchange.getDbs.size(), 10);
        url("post url: ", exchange.getDbsUrl);
        for (const Text db : exchange.getDbs) {
            text("\tname: ", View(db));
        }

        out += "------- GET FILES: -------\n";
        url("post url: ", exchange.getFilesUrl);
        for (const GetFile& file : exchange.getFiles) {
            text("Post file name: ", View(file.name));
            text("          type: ", View(file.type));
        }
    }
    flush();
}

size_t CSettingsTable::EntryCount(const ExchangeSettings& exchange, int group) {
    switch (group) {
        case kPostDocuments:
            return exchange.postDocuments.size();
        case kPostTables:
            return exchange.postTables.size();
        case kPostFiles:
            return exchange.postFiles.size();
        case kGetTables:
            return exchange.getTables.size();
        case kGetDbs:
            return exchange.getDbs.size();
        default:
            return exchange.getFiles.size();
    }
}

size_t CSettingsTable::DocumentBlockSize(const PostDocument& document) const {
    size_t size = PaddedSize(View(document.name)) + 6;  // and the three counts
    for (const SendFlag& flag : document.sendFlags) {
        size +=
            PaddedSize(View(flag.name)) + PaddedSize(View(flag.value)) + PaddedSize(View(flag.set));
    }
    for (const Text field : document.headFields) {
        size += PaddedSize(View(field));
    }
    for (const Text field : document.tableFields) {
        size += PaddedSize(View(field));
    }
    return size;
}

size_t CSettingsTable::RecordSize(const ExchangeSettings& exchange, int group,
                                  bool& offsetsFit) const {
    offsetsFit = true;
    size_t size = 2;  // the entry count
    switch (group) {
        case kPostDocuments:
            // Each document block's offset is 16 bits, so every block must start within the
            // record's first 65536 bytes.
            size +=
                PaddedSize(UrlText(exchange.postDocumentsUrl)) + 2 * exchange.postDocuments.size();
            for (const PostDocument& document : exchange.postDocuments) {
                offsetsFit = offsetsFit && size <= 0xFFFF;
                size += DocumentBlockSize(document);
            }
            break;
        case kPostTables:
            size += PaddedSize(UrlText(exchange.postTablesUrl));
            for (const PostTable& table : exchange.postTables) {
                size += PaddedSize(View(table.name)) + (table.marker == 1 ? 2 : 0);
            }
            break;
        case kPostFiles:
            size += PaddedSize(UrlText(exchange.postFilesUrl));
            for (const PostFile& file : exchange.postFiles) {
                size += PaddedSize(View(file.name)) + PaddedSize(View(file.type)) + 2;
            }
            break;
        case kGetTables:
            size += PaddedSize(UrlText(exchange.getTablesUrl));
            for (const Text table : exchange.getTables) {
                size += PaddedSize(View(table));
            }
            break;
        case kGetDbs:
            size += PaddedSize(UrlText(exchange.getDbsUrl));
            for (const Text db : exchange.getDbs) {
                size += PaddedSize(View(db));
            }
            break;
        default:
            size += PaddedSize(UrlText(exchange.getFilesUrl));
            for (const GetFile& file : exchange.getFiles) {
                size += PaddedSize(View(file.name)) + PaddedSize(View(file.type));
            }
            break;
    }
    return size;
}

void CSettingsTable::AppendRecord(std::vector<uint8_t>& record, const ExchangeSettings& exchange,
                                  int group) const {
    const auto count = static_cast<uint16_t>(EntryCount(exchange, group));
    switch (group) {
        case kPostDocuments: {
            AppendPadded(record, UrlText(exchange.postDocumentsUrl));
            ByteOrder::Append16(record, count);
            size_t start = record.size() + 2 * count;
            for (const PostDocument& document : exchange.postDocuments) {
                ByteOrder::Append16(record, static_cast<uint16_t>(start));
                start += DocumentBlockSize(document);
            }
            for (const PostDocument& document : exchange.postDocuments) {
                AppendPadded(record, View(document.name));
                ByteOrder::Append16(record, static_cast<uint16_t>(document.sendFlags.size()));
                for (const SendFlag& flag : document.sendFlags) {
                    AppendPadded(record, View(flag.name));
                    AppendPadded(record, View(flag.value));
                    AppendPadded(record, View(flag.set));
                }
                ByteOrder::Append16(record, static_cast<uint16_t>(document.headFields.size()));
                for (const Text field : document.headFields) {
                    AppendPadded(record, View(field));
                }
                ByteOrder::Append16(record, static_cast<uint16_t>(document.tableFields.size()));
                for (const Text field : document.tableFields) {
                    AppendPadded(record, View(field));
                }
            }
            break;
        }
        case kPostTables:
            AppendPadded(record, UrlText(exchange.postTablesUrl));
            ByteOrder::Append16(record, count);
            for (const PostTable& table : exchange.postTables) {
                AppendPadded(record, View(table.name));
                if (table.marker == 1) {
                    ByteOrder::Append16(record, 0);
                }
            }
            break;
        case kPostFiles:
            AppendPadded(record, UrlText(exchange.postFilesUrl));
            ByteOrder::Append16(record, count);
            for (const PostFile& file : exchange.postFiles) {
                AppendPadded(record, View(file.name));
                AppendPadded(record, View(file.type));
                ByteOrder::Append16(record, file.deleteAfter);
            }
            break;
        case kGetTables:
            AppendPadded(record, UrlText(exchange.getTablesUrl));
            ByteOrder::Append16(record, count);
            for (const Text table : exchange.getTables) {
                AppendPadded(record, View(table));
            }
            break;
        case kGetDbs:
            AppendPadded(record, UrlText(exchange.getDbsUrl));
            ByteOrder::Append16(record, count);
            for (const Text db : exchange.getDbs) {
                AppendPadded(record, View(db));
            }
            break;
        default:
            AppendPadded(record, UrlText(exchange.getFilesUrl));
            ByteOrder::Append16(record, count);
            for (const GetFile& file : exchange.getFiles) {
                AppendPadded(record, View(file.name));
                AppendPadded(record, View(file.type));
            }
            break;
    }
}

bool CSettingsTable::BuildDatabase(CPdb& pdb, std::ostream& console) const {
    static constexpr const char* kGroupNames[kGroups] = {
        "Post documents", "Post tables", "Post files", "Get tables", "Get dbs", "Get files"};

    // First every record is sized and checked, in record order, so that a refused table adds
    // nothing; then each record is built at its exact size and handed to the database.
    size_t indexSize = 4;
    for (const ExchangeSettings& exchange : exchanges_) {
        indexSize += PaddedSize(View(exchange.name)) + PaddedSize(View(exchange.view)) +
                     2 * kSlotsPerExchange;
    }
    if (indexSize > kMaxRecordSize) {
        console << "The exchange list does not fit in one record: " << indexSize
                << " bytes, at most " << kMaxRecordSize << "\n";
        return false;
    }
    for (const ExchangeSettings& exchange : exchanges_) {
        for (int group = 0; group < kGroups; ++group) {
            if (EntryCount(exchange, group) == 0) {
                continue;
            }
            bool offsetsFit = true;
            const size_t size = RecordSize(exchange, group, offsetsFit);
            if (!offsetsFit) {
                console << "Post documents of exchange " << Shown(View(exchange.name))
                        << " do not fit in one record: a document would start beyond byte "
                           "65535\n";
                return false;
            }
            if (size > kMaxRecordSize) {
                console << kGroupNames[group] << " of exchange " << Shown(View(exchange.name))
                        << " do not fit in one record: " << size << " bytes, at most "
                        << kMaxRecordSize << "\n";
                return false;
            }
        }
    }

    // The index record: the group records are numbered from 1 in the order they follow it.
    Record index;
    index.reserve(indexSize);
    ByteOrder::Append16(index, kSlotsPerExchange);
    ByteOrder::Append16(index, static_cast<uint16_t>(ExchangeCount()));
    uint16_t next = 1;
    for (const ExchangeSettings& exchange : exchanges_) {
        AppendPadded(index, View(exchange.name));
        AppendPadded(index, View(exchange.view));
        for (int group = 0; group < kGroups; ++group) {
            if (group == kGetTables) {
                ByteOrder::Append16(index, kNoRecord);  // the reserved slot
            }
            ByteOrder::Append16(index, EntryCount(exchange, group) == 0 ? kNoRecord : next++);
        }
    }
    bool added = pdb.AddRecord(index.data(), index.size());

    Record record;
    for (const ExchangeSettings& exchange : exchanges_) {
        for (int group = 0; added && group < kGroups; ++group) {
            if (EntryCount(exchange, group) == 0) {
                continue;
            }
            bool offsetsFit = true;
            record.clear();
            record.reserve(RecordSize(exchange, group, offsetsFit));
            AppendRecord(record, exchange, group);
            added = pdb.AddRecord(record.data(), record.size());
        }
    }
    // With at most 61 records of at most kMaxRecordSize bytes the file stays far below the
    // 32-bit record offsets; the writer's record limit is the only one left to check.
    if (!added) {
        console << "Too many records for the exchange settings database\n";
    }
    return added;
}

bool CSettingsTable::WriteTransferDatabase(const std::string& outputPrefix,
                                           std::ostream& console) const {
    CPdb pdb(kDatabaseType, kDatabaseCreator, kDatabaseDate);
    pdb.SetName(kDatabaseName);
    if (!BuildDatabase(pdb, console)) {
        return false;
    }
    return pdb.Write(outputPrefix + kFileName, console);
}
