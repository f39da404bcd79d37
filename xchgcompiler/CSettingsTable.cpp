#include "CSettingsTable.h"

#include <cstring>
#include <ostream>
#include <vector>

#include "ByteOrder.h"
#include "CConverter.h"
#include "CPdb.h"

namespace {

using Record = std::vector<uint8_t>;

// Bytes a text takes in a record: the text, its terminating zero, and one more zero when
// that count is odd.
size_t PaddedSize(const char* text) {
    const size_t size = (text != nullptr ? std::strlen(text) : 0) + 1;
    return size + (size & 1);
}

// Appends a text in its padded form; an absent text is written as the empty text.
void AppendPadded(Record& out, const char* text) {
    const size_t length = text != nullptr ? std::strlen(text) : 0;
    out.insert(out.end(), text, text + length);
    out.resize(out.size() + PaddedSize(text) - length, 0);
}

// A stored text shown on the (UTF-8) console.
std::string Shown(const char* text) {
    return CConverter::ToUtf8(text != nullptr ? text : "");
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

CSettingsTable::CSettingsTable()
    : exchanges_(std::make_unique<ExchangeSettings[]>(kMaxExchanges)) {}

CSettingsTable::~CSettingsTable() = default;

CSettingsTable::Text CSettingsTable::Copy(std::string_view text) {
    Text copy = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(copy.get(), text.data(), text.size());
    return copy;
}

CSettingsTable::ExchangeSettings* CSettingsTable::Current() {
    return lastExchange_ >= 0 ? &exchanges_[lastExchange_] : nullptr;
}

CSettingsTable::PostDocument* CSettingsTable::CurrentDocument() {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->postDocumentsLast < 0) {
        return nullptr;
    }
    return &exchange->postDocuments[exchange->postDocumentsLast];
}

bool CSettingsTable::AddExchange(std::string_view name, std::string_view view) {
    if (lastExchange_ >= kMaxExchanges - 1) {
        return false;
    }
    ExchangeSettings& exchange = exchanges_[++lastExchange_];
    exchange.name = Copy(name);
    exchange.view = Copy(view);
    return true;
}

bool CSettingsTable::AddPostDocument(std::string_view name) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->postDocumentsLast >= kMaxEntries - 1) {
        return false;
    }
    exchange->postDocuments[++exchange->postDocumentsLast].name = Copy(name);
    return true;
}

bool CSettingsTable::AddSendFlag(std::string_view name, std::string_view value,
                                 std::string_view set) {
    PostDocument* document = CurrentDocument();
    if (document == nullptr || document->sendFlagCount >= kMaxEntries) {
        return false;
    }
    const uint16_t at = document->sendFlagCount++;
    document->sendFlagNames[at] = Copy(name);
    document->sendFlagValues[at] = Copy(value);
    document->sendFlagSets[at] = Copy(set);
    return true;
}

bool CSettingsTable::AddHeadField(std::string_view name) {
    PostDocument* document = CurrentDocument();
    if (document == nullptr || document->headFieldCount >= kMaxEntries) {
        return false;
    }
    document->headFieldNames[document->headFieldCount++] = Copy(name);
    return true;
}

bool CSettingsTable::AddTableField(std::string_view name) {
    PostDocument* document = CurrentDocument();
    if (document == nullptr || document->tableFieldCount >= kMaxEntries) {
        return false;
    }
    document->tableFieldNames[document->tableFieldCount++] = Copy(name);
    return true;
}

bool CSettingsTable::AddPostTable(std::string_view name) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->postTablesLast >= kMaxEntries - 1) {
        return false;
    }
    PostTable& table = exchange->postTables[++exchange->postTablesLast];
    table.name = Copy(name);
    table.marker = 1;
    return true;
}

bool CSettingsTable::AddPostFile(std::string_view name, std::string_view type, bool deleteAfter) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->postFilesLast >= kMaxEntries - 1) {
        return false;
    }
    PostFile& file = exchange->postFiles[++exchange->postFilesLast];
    file.name = Copy(name);
    file.type = Copy(type);
    file.deleteAfter = deleteAfter ? 1 : 0;
    return true;
}

bool CSettingsTable::AddGetTable(std::string_view name) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->getTablesCount >= kMaxEntries) {
        return false;
    }
    exchange->getTables[exchange->getTablesCount++] = Copy(name);
    return true;
}

bool CSettingsTable::AddGetDb(std::string_view name) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->getDbsCount >= kMaxEntries) {
        return false;
    }
    exchange->getDbs[exchange->getDbsCount++] = Copy(name);
    return true;
}

bool CSettingsTable::AddGetFile(std::string_view name, std::string_view type) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->getFilesLast >= kMaxEntries - 1) {
        return false;
    }
    GetFile& file = exchange->getFiles[++exchange->getFilesLast];
    file.name = Copy(name);
    file.type = Copy(type);
    return true;
}

bool CSettingsTable::SetUrl(Text ExchangeSettings::*url, std::string_view text) {
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
    for (int e = 0; e <= lastExchange_; ++e) {
        const ExchangeSettings& exchange = exchanges_[e];
        console << "\r\n**************** EXCHANGE ****************\r\n"
                << Shown(exchange.name.get())
                << "\r\n**************** EXCHANGE ****************\r\n";

        console << "------- POST DOCUMENTS: -------\n";
        if (exchange.postDocumentsUrl) {
            console << "post url: " << Shown(exchange.postDocumentsUrl.get()) << "\n";
        }
        for (int d = 0; d <= exchange.postDocumentsLast; ++d) {
            const PostDocument& document = exchange.postDocuments[d];
            console << "Post doc name: " << Shown(document.name.get()) << "\n";
            console << "\tSend flags fields count: " << document.sendFlagCount << "\n";
            for (int f = 0; f < document.sendFlagCount; ++f) {
                console << "\t\tname: " << Shown(document.sendFlagNames[f].get()) << "\n"
                        << "\t\tvalue: " << std::hex
                        << SendFlagNumber(document.sendFlagValues[f].get()) << std::dec << "\n";
            }
            console << "\tHead fields count: " << document.headFieldCount << "\n";
            for (int f = 0; f < document.headFieldCount; ++f) {
                console << "\t\tname: " << Shown(document.headFieldNames[f].get()) << "\n";
            }
            console << "\tTable fields count: " << document.tableFieldCount << "\n";
            for (int f = 0; f < document.tableFieldCount; ++f) {
                console << "\t\tname: " << Shown(document.tableFieldNames[f].get()) << "\n";
            }
        }

        console << "------- POST TABLES: -------\n";
        if (exchange.postTablesUrl) {
            console << "post url: " << Shown(exchange.postTablesUrl.get()) << "\n";
        }
        for (int t = 0; t <= exchange.postTablesLast; ++t) {
            console << "Post table name: " << Shown(exchange.postTables[t].name.get()) << "\n";
        }

        console << "------- POST FILES: -------\n";
        if (exchange.postFilesUrl) {
            console << "post url: " << Shown(exchange.postFilesUrl.get()) << "\n";
        }
        for (int f = 0; f <= exchange.postFilesLast; ++f) {
            const PostFile& file = exchange.postFiles[f];
            console << "Post file name: " << Shown(file.name.get()) << "\n"
                    << "          type: " << Shown(file.type.get()) << "\n"
                    << "        delete: " << int{file.deleteAfter} << "\n";
        }

        console << "------- GET TABLES: -------\n";
        console << "Get tables count: " << exchange.getTablesCount << "\n";
        if (exchange.getTablesUrl) {
            console << "\turl: " << Shown(exchange.getTablesUrl.get()) << "\n";
        }
        for (int t = 0; t < exchange.getTablesCount; ++t) {
            console << "\tname: " << Shown(exchange.getTables[t].get()) << "\n";
        }

        console << "------- GET DBS: -------\n";
        console << "Get dbs count: " << exchange.getDbsCount << "\n";
        if (exchange.getDbsUrl) {
            console << "post url: " << Shown(exchange.getDbsUrl.get()) << "\n";
        }
        for (int d = 0; d < exchange.getDbsCount; ++d) {
            console << "\tname: " << Shown(exchange.getDbs[d].get()) << "\n";
        }

        console << "------- GET FILES: -------\n";
        if (exchange.getFilesUrl) {
            console << "post url: " << Shown(exchange.getFilesUrl.get()) << "\n";
        }
        for (int f = 0; f <= exchange.getFilesLast; ++f) {
            const GetFile& file = exchange.getFiles[f];
            console << "Post file name: " << Shown(file.name.get()) << "\n"
                    << "          type: " << Shown(file.type.get()) << "\n";
        }
    }
}

bool CSettingsTable::BuildDatabase(CPdb& pdb, std::ostream& console) const {
    // Groups in the order of their records and of their slots in the index entry; the
    // reserved fourth slot has no group.
    enum Group { kPostDocuments, kPostTables, kPostFiles, kGetTables, kGetDbs, kGetFiles };
    constexpr int kGroups = 6;

    std::vector<Record> records;
    Record index;
    ByteOrder::Append16(index, kSlotsPerExchange);
    ByteOrder::Append16(index, static_cast<uint16_t>(ExchangeCount()));

    for (int e = 0; e <= lastExchange_; ++e) {
        const ExchangeSettings& exchange = exchanges_[e];
        const int counts[kGroups] = {exchange.postDocumentsLast + 1, exchange.postTablesLast + 1,
                                     exchange.postFilesLast + 1,     exchange.getTablesCount,
                                     exchange.getDbsCount,           exchange.getFilesLast + 1};
        uint16_t slots[kGroups];
        for (int group = 0; group < kGroups; ++group) {
            if (counts[group] == 0) {
                slots[group] = kNoRecord;
                continue;
            }
            Record record;
            switch (group) {
                case kPostDocuments: {
                    // Each document block's offset is 16 bits, so every block must start
                    // within the record's first 65536 bytes.
                    const int count = counts[group];
                    std::vector<size_t> blockSizes(count);
                    size_t start = PaddedSize(exchange.postDocumentsUrl.get()) + 2 + 2 * count;
                    size_t total = start;
                    for (int d = 0; d < count; ++d) {
                        const PostDocument& document = exchange.postDocuments[d];
                        size_t size = PaddedSize(document.name.get()) + 6;
                        for (int f = 0; f < document.sendFlagCount; ++f) {
                            size += PaddedSize(document.sendFlagNames[f].get()) +
                                    PaddedSize(document.sendFlagValues[f].get()) +
                                    PaddedSize(document.sendFlagSets[f].get());
                        }
                        for (int f = 0; f < document.headFieldCount; ++f) {
                            size += PaddedSize(document.headFieldNames[f].get());
                        }
                        for (int f = 0; f < document.tableFieldCount; ++f) {
                            size += PaddedSize(document.tableFieldNames[f].get());
                        }
                        blockSizes[d] = size;
                        if (total > 0xFFFF) {
                            console << "Post documents of exchange " << Shown(exchange.name.get())
                                    << " do not fit in one record: a document would start "
                                       "beyond byte 65535\n";
                            return false;
                        }
                        total += size;
                    }
                    record.reserve(total);
                    AppendPadded(record, exchange.postDocumentsUrl.get());
                    ByteOrder::Append16(record, static_cast<uint16_t>(count));
                    for (int d = 0; d < count; ++d) {
                        ByteOrder::Append16(record, static_cast<uint16_t>(start));
                        start += blockSizes[d];
                    }
                    for (int d = 0; d < count; ++d) {
                        const PostDocument& document = exchange.postDocuments[d];
                        AppendPadded(record, document.name.get());
                        ByteOrder::Append16(record, document.sendFlagCount);
                        for (int f = 0; f < document.sendFlagCount; ++f) {
                            AppendPadded(record, document.sendFlagNames[f].get());
                            AppendPadded(record, document.sendFlagValues[f].get());
                            AppendPadded(record, document.sendFlagSets[f].get());
                        }
                        ByteOrder::Append16(record, document.headFieldCount);
                        for (int f = 0; f < document.headFieldCount; ++f) {
                            AppendPadded(record, document.headFieldNames[f].get());
                        }
                        ByteOrder::Append16(record, document.tableFieldCount);
                        for (int f = 0; f < document.tableFieldCount; ++f) {
                            AppendPadded(record, document.tableFieldNames[f].get());
                        }
                    }
                    break;
                }
                case kPostTables:
                    AppendPadded(record, exchange.postTablesUrl.get());
                    ByteOrder::Append16(record, static_cast<uint16_t>(counts[group]));
                    for (int t = 0; t < counts[group]; ++t) {
                        AppendPadded(record, exchange.postTables[t].name.get());
                        if (exchange.postTables[t].marker == 1) {
                            ByteOrder::Append16(record, 0);
                        }
                    }
                    break;
                case kPostFiles:
                    AppendPadded(record, exchange.postFilesUrl.get());
                    ByteOrder::Append16(record, static_cast<uint16_t>(counts[group]));
                    for (int f = 0; f < counts[group]; ++f) {
                        AppendPadded(record, exchange.postFiles[f].name.get());
                        AppendPadded(record, exchange.postFiles[f].type.get());
                        ByteOrder::Append16(record, exchange.postFiles[f].deleteAfter);
                    }
                    break;
                case kGetTables:
                    AppendPadded(record, exchange.getTablesUrl.get());
                    ByteOrder::Append16(record, static_cast<uint16_t>(counts[group]));
                    for (int t = 0; t < counts[group]; ++t) {
                        AppendPadded(record, exchange.getTables[t].get());
                    }
                    break;
                case kGetDbs:
                    AppendPadded(record, exchange.getDbsUrl.get());
                    ByteOrder::Append16(record, static_cast<uint16_t>(counts[group]));
                    for (int d = 0; d < counts[group]; ++d) {
                        AppendPadded(record, exchange.getDbs[d].get());
                    }
                    break;
                case kGetFiles:
                    AppendPadded(record, exchange.getFilesUrl.get());
                    ByteOrder::Append16(record, static_cast<uint16_t>(counts[group]));
                    for (int f = 0; f < counts[group]; ++f) {
                        AppendPadded(record, exchange.getFiles[f].name.get());
                        AppendPadded(record, exchange.getFiles[f].type.get());
                    }
                    break;
            }
            records.push_back(std::move(record));
            slots[group] = static_cast<uint16_t>(records.size());  // the index record is 0
        }

        AppendPadded(index, exchange.name.get());
        AppendPadded(index, exchange.view.get());
        ByteOrder::Append16(index, slots[kPostDocuments]);
        ByteOrder::Append16(index, slots[kPostTables]);
        ByteOrder::Append16(index, slots[kPostFiles]);
        ByteOrder::Append16(index, kNoRecord);  // reserved
        ByteOrder::Append16(index, slots[kGetTables]);
        ByteOrder::Append16(index, slots[kGetDbs]);
        ByteOrder::Append16(index, slots[kGetFiles]);
    }

    // Record offsets in the file are 32 bits wide.
    uint64_t fileSize = CPdb::kHeaderSize + CPdb::kEntrySize * (records.size() + 1) + index.size();
    for (const Record& record : records) {
        fileSize += record.size();
    }
    if (fileSize > 0xFFFFFFFFu) {
        console << "The exchange settings database would exceed 4294967295 bytes\n";
        return false;
    }

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
