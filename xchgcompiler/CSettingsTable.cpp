#include "CSettingsTable.h"

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
    exchange.name = Copy(name);
    exchange.view = Copy(view);
    return true;
}

bool CSettingsTable::AddPostDocument(std::string_view name) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->postDocuments.size() >= kMaxEntries) {
        return false;
    }
    exchange->postDocuments.emplace_back().name = Copy(name);
    return true;
}

bool CSettingsTable::AddSendFlag(std::string_view name, std::string_view value,
                                 std::string_view set) {
    PostDocument* document = CurrentDocument();
    if (document == nullptr || document->sendFlags.size() >= kMaxEntries) {
        return false;
    }
    document->sendFlags.push_back({Copy(name), Copy(value), Copy(set)});
    return true;
}

bool CSettingsTable::AddHeadField(std::string_view name) {
    PostDocument* document = CurrentDocument();
    if (document == nullptr || document->headFields.size() >= kMaxEntries) {
        return false;
    }
    document->headFields.push_back(Copy(name));
    return true;
}

bool CSettingsTable::AddTableField(std::string_view name) {
    PostDocument* document = CurrentDocument();
    if (document == nullptr || document->tableFields.size() >= kMaxEntries) {
        return false;
    }
    document->tableFields.push_back(Copy(name));
    return true;
}

bool CSettingsTable::AddPostTable(std::string_view name) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->postTables.size() >= kMaxEntries) {
        return false;
    }
    exchange->postTables.push_back({Copy(name), 1});
    return true;
}

bool CSettingsTable::AddPostFile(std::string_view name, std::string_view type, bool deleteAfter) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->postFiles.size() >= kMaxEntries) {
        return false;
    }
    exchange->postFiles.push_back({Copy(name), Copy(type), static_cast<uint8_t>(deleteAfter)});
    return true;
}

bool CSettingsTable::AddGetTable(std::string_view name) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->getTables.size() >= kMaxEntries) {
        return false;
    }
    exchange->getTables.push_back(Copy(name));
    return true;
}

bool CSettingsTable::AddGetDb(std::string_view name) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->getDbs.size() >= kMaxEntries) {
        return false;
    }
    exchange->getDbs.push_back(Copy(name));
    return true;
}

bool CSettingsTable::AddGetFile(std::string_view name, std::string_view type) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->getFiles.size() >= kMaxEntries) {
        return false;
    }
    exchange->getFiles.push_back({Copy(name), Copy(type)});
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
    console << "CSettingsTable DUMP:\n";
    for (const ExchangeSettings& exchange : exchanges_) {
        console << "\r\n**************** EXCHANGE ****************\r\n"
                << Shown(exchange.name) << "\r\n**************** EXCHANGE ****************\r\n";

        console << "------- POST DOCUMENTS: -------\n";
        if (exchange.postDocumentsUrl) {
            console << "post url: " << Shown(*exchange.postDocumentsUrl) << "\n";
        }
        for (const PostDocument& document : exchange.postDocuments) {
            console << "Post doc name: " << Shown(document.name) << "\n";
            console << "\tSend flags fields count: " << document.sendFlags.size() << "\n";
            for (const SendFlag& flag : document.sendFlags) {
                console << "\t\tname: " << Shown(flag.name) << "\n"
                        << "\t\tvalue: " << std::hex << SendFlagNumber(flag.value) << std::dec
                        << "\n";
            }
            console << "\tHead fields count: " << document.headFields.size() << "\n";
            for (const std::string& field : document.headFields) {
                console << "\t\tname: " << Shown(field) << "\n";
            }
            console << "\tTable fields count: " << document.tableFields.size() << "\n";
            for (const std::string& field : document.tableFields) {
                console << "\t\tname: " << Shown(field) << "\n";
            }
        }

        console << "------- POST TABLES: -------\n";
        if (exchange.postTablesUrl) {
            console << "post url: " << Shown(*exchange.postTablesUrl) << "\n";
        }
        for (const PostTable& table : exchange.postTables) {
            console << "Post table name: " << Shown(table.name) << "\n";
        }

        console << "------- POST FILES: -------\n";
        if (exchange.postFilesUrl) {
            console << "post url: " << Shown(*exchange.postFilesUrl) << "\n";
        }
        for (const PostFile& file : exchange.postFiles) {
            console << "Post file name: " << Shown(file.name) << "\n"
                    << "          type: " << Shown(file.type) << "\n"
                    << "        delete: " << int{file.deleteAfter} << "\n";
        }

        console << "------- GET TABLES: -------\n";
        console << "Get tables count: " << exchange.getTables.size() << "\n";
        if (exchange.getTablesUrl) {
            console << "\turl: " << Shown(*exchange.getTablesUrl) << "\n";
        }
        for (const std::string& table : exchange.getTables) {
            console << "\tname: " << Shown(table) << "\n";
        }

        console << "------- GET DBS: -------\n";
        console << "Get dbs count: " << exchange.getDbs.size() << "\n";
        if (exchange.getDbsUrl) {
            console << "post url: " << Shown(*exchange.getDbsUrl) << "\n";
        }
        for (const std::string& db : exchange.getDbs) {
            console << "\tname: " << Shown(db) << "\n";
        }

        console << "------- GET FILES: -------\n";
        if (exchange.getFilesUrl) {
            console << "post url: " << Shown(*exchange.getFilesUrl) << "\n";
        }
        for (const GetFile& file : exchange.getFiles) {
            console << "Post file name: " << Shown(file.name) << "\n"
                    << "          type: " << Shown(file.type) << "\n";
        }
    }
}

bool CSettingsTable::BuildDatabase(CPdb& pdb, std::ostream& console) const {
    // Groups in the order of their records and of their slots in the index entry; the
    // reserved fourth slot has no group.
    enum Group { kPostDocuments, kPostTables, kPostFiles, kGetTables, kGetDbs, kGetFiles };
    constexpr int kGroups = 6;
    static constexpr const char* kGroupNames[kGroups] = {
        "Post documents", "Post tables", "Post files", "Get tables", "Get dbs", "Get files"};

    // The index record comes first, so it is the first one checked.
    size_t indexSize = 4;
    for (const ExchangeSettings& exchange : exchanges_) {
        indexSize += PaddedSize(exchange.name) + PaddedSize(exchange.view) + 2 * kSlotsPerExchange;
    }
    if (indexSize > kMaxRecordSize) {
        console << "The exchange list does not fit in one record: " << indexSize
                << " bytes, at most " << kMaxRecordSize << "\n";
        return false;
    }

    std::vector<Record> records;
    Record index;
    index.reserve(indexSize);
    ByteOrder::Append16(index, kSlotsPerExchange);
    ByteOrder::Append16(index, static_cast<uint16_t>(ExchangeCount()));

    for (const ExchangeSettings& exchange : exchanges_) {
        const size_t counts[kGroups] = {exchange.postDocuments.size(), exchange.postTables.size(),
                                        exchange.postFiles.size(),     exchange.getTables.size(),
                                        exchange.getDbs.size(),        exchange.getFiles.size()};
        uint16_t slots[kGroups];
        for (int group = 0; group < kGroups; ++group) {
            if (counts[group] == 0) {
                slots[group] = kNoRecord;
                continue;
            }
            const auto count = static_cast<uint16_t>(counts[group]);
            Record record;
            switch (group) {
                case kPostDocuments: {
                    // Each document block's offset is 16 bits, so every block must start
                    // within the record's first 65536 bytes.
                    std::vector<size_t> blockSizes(count);
                    size_t start = PaddedSize(UrlText(exchange.postDocumentsUrl)) + 2 + 2 * count;
                    size_t total = start;
                    for (size_t d = 0; d < count; ++d) {
                        const PostDocument& document = exchange.postDocuments[d];
                        size_t size = PaddedSize(document.name) + 6;
                        for (const SendFlag& flag : document.sendFlags) {
                            size += PaddedSize(flag.name) + PaddedSize(flag.value) +
                                    PaddedSize(flag.set);
                        }
                        for (const std::string& field : document.headFields) {
                            size += PaddedSize(field);
                        }
                        for (const std::string& field : document.tableFields) {
                            size += PaddedSize(field);
                        }
                        blockSizes[d] = size;
                        if (total > 0xFFFF) {
                            console << "Post documents of exchange " << Shown(exchange.name)
                                    << " do not fit in one record: a document would start "
                                       "beyond byte 65535\n";
                            return false;
                        }
                        total += size;
                    }
                    record.reserve(total);
                    AppendPadded(record, UrlText(exchange.postDocumentsUrl));
                    ByteOrder::Append16(record, count);
                    for (size_t d = 0; d < count; ++d) {
                        ByteOrder::Append16(record, static_cast<uint16_t>(start));
                        start += blockSizes[d];
                    }
                    for (const PostDocument& document : exchange.postDocuments) {
                        AppendPadded(record, document.name);
                        ByteOrder::Append16(record,
                                            static_cast<uint16_t>(document.sendFlags.size()));
                        for (const SendFlag& flag : document.sendFlags) {
                            AppendPadded(record, flag.name);
                            AppendPadded(record, flag.value);
                            AppendPadded(record, flag.set);
                        }
                        ByteOrder::Append16(record,
                                            static_cast<uint16_t>(document.headFields.size()));
                        for (const std::string& field : document.headFields) {
                            AppendPadded(record, field);
                        }
                        ByteOrder::Append16(record,
                                            static_cast<uint16_t>(document.tableFields.size()));
                        for (const std::string& field : document.tableFields) {
                            AppendPadded(record, field);
                        }
                    }
                    break;
                }
                case kPostTables:
                    AppendPadded(record, UrlText(exchange.postTablesUrl));
                    ByteOrder::Append16(record, count);
                    for (const PostTable& table : exchange.postTables) {
                        AppendPadded(record, table.name);
                        if (table.marker == 1) {
                            ByteOrder::Append16(record, 0);
                        }
                    }
                    break;
                case kPostFiles:
                    AppendPadded(record, UrlText(exchange.postFilesUrl));
                    ByteOrder::Append16(record, count);
                    for (const PostFile& file : exchange.postFiles) {
                        AppendPadded(record, file.name);
                        AppendPadded(record, file.type);
                        ByteOrder::Append16(record, file.deleteAfter);
                    }
                    break;
                case kGetTables:
                    AppendPadded(record, UrlText(exchange.getTablesUrl));
                    ByteOrder::Append16(record, count);
                    for (const std::string& table : exchange.getTables) {
                        AppendPadded(record, table);
                    }
                    break;
                case kGetDbs:
                    AppendPadded(record, UrlText(exchange.getDbsUrl));
                    ByteOrder::Append16(record, count);
                    for (const std::string& db : exchange.getDbs) {
                        AppendPadded(record, db);
                    }
                    break;
                case kGetFiles:
                    AppendPadded(record, UrlText(exchange.getFilesUrl));
                    ByteOrder::Append16(record, count);
                    for (const GetFile& file : exchange.getFiles) {
                        AppendPadded(record, file.name);
                        AppendPadded(record, file.type);
                    }
                    break;
            }
            if (record.size() > kMaxRecordSize) {
                console << kGroupNames[group] << " of exchange " << Shown(exchange.name)
                        << " do not fit in one record: " << record.size() << " bytes, at most "
                        << kMaxRecordSize << "\n";
                return false;
            }
            records.push_back(std::move(record));
            slots[group] = static_cast<uint16_t>(records.size());  // the index record is 0
        }

        AppendPadded(index, exchange.name);
        AppendPadded(index, exchange.view);
        ByteOrder::Append16(index, slots[kPostDocuments]);
        ByteOrder::Append16(index, slots[kPostTables]);
        ByteOrder::Append16(index, slots[kPostFiles]);
        ByteOrder::Append16(index, kNoRecord);  // reserved
        ByteOrder::Append16(index, slots[kGetTables]);
        ByteOrder::Append16(index, slots[kGetDbs]);
        ByteOrder::Append16(index, slots[kGetFiles]);
    }

    // With at most 61 records of at most kMaxRecordSize bytes the file stays far below the
    // 32-bit record offsets; the writer's record limit is the only one left to check.
    bool added = pdb.AddRecord(index.data(), index.size());
    for (const Record& record : records) {
        added = added && pdb.AddRecord(record.data(), record.size());
    }
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
