#include "CSettingsTable.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <optional>
#include <ostream>
#include <vector>

#include "ByteOrder.h"
#include "CConverter.h"
#include "CTransferWriter.h"
#include "ConsoleLine.h"
#include "PaddedText.h"

namespace {

// A text as it is kept: its bytes up to the first zero byte, if any.
std::string_view Stored(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// Reads the padded text at the front of `bytes` and moves past it.
std::string_view NextText(std::span<const uint8_t>& bytes) {
    const auto* start = reinterpret_cast<const char*>(bytes.data());
    const std::string_view text(start, std::char_traits<char>::length(start));
    bytes = bytes.subspan(PaddedText::Size(text));
    return text;
}

// Reads the 16-bit word at the front of `bytes` and moves past it.
uint16_t NextWord(std::span<const uint8_t>& bytes) {
    const uint16_t word = ByteOrder::Load16(bytes.data());
    bytes = bytes.subspan(2);
    return word;
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

std::string_view CSettingsTable::UrlText(const Url& url) {
    return url ? std::string_view(*url) : std::string_view();
}

std::string CSettingsTable::Shown(std::string_view text) {
    std::string shown = CConverter::ToUtf8(text);
    return ConsoleLine::HasBreak(shown) ? ConsoleLine::Joined(shown) : shown;
}

CSettingsTable::CSettingsTable() = default;

CSettingsTable::~CSettingsTable() = default;

CSettingsTable::ExchangeSettings* CSettingsTable::Current() {
    return exchanges_.empty() ? nullptr : &exchanges_.back();
}

bool CSettingsTable::AddExchange(std::string_view name, std::string_view view,
                                 std::string_view location) {
    if (exchanges_.size() >= kMaxExchanges) {
        return false;
    }
    ExchangeSettings& exchange = exchanges_.emplace_back();
    exchange.name = Stored(name);
    exchange.view = Stored(view);
    exchange.location = location;
    return true;
}

bool CSettingsTable::AddPostDocument(std::string_view name) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->documents.size() >= kMaxEntries) {
        return false;
    }
    PostDocument& document = exchange->documents.emplace_back();
    document.name = exchange->documentNames.size();
    document.sendFlags = exchange->sendFlags.size();
    document.headFields = exchange->headFields.size();
    document.tableFields = exchange->tableFields.size();
    PaddedText::Append(exchange->documentNames, Stored(name));
    return true;
}

bool CSettingsTable::AddField(Bytes ExchangeSettings::*list, uint16_t PostDocument::*count,
                              std::initializer_list<std::string_view> texts) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->documents.empty() ||
        exchange->documents.back().*count >= kMaxEntries) {
        return false;
    }
    ++(exchange->documents.back().*count);
    for (const std::string_view text : texts) {
        PaddedText::Append(exchange->*list, Stored(text));
    }
    return true;
}

bool CSettingsTable::AddSendFlag(std::string_view name, std::string_view value,
                                 std::string_view set) {
    return AddField(&ExchangeSettings::sendFlags, &PostDocument::sendFlagCount, {name, value, set});
}

bool CSettingsTable::AddHeadField(std::string_view name) {
    return AddField(&ExchangeSettings::headFields, &PostDocument::headFieldCount, {name});
}

bool CSettingsTable::AddTableField(std::string_view name) {
    return AddField(&ExchangeSettings::tableFields, &PostDocument::tableFieldCount, {name});
}

template <typename Append>
bool CSettingsTable::AddEntry(Group group, Append append) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr || exchange->groups[group].count >= kMaxEntries) {
        return false;
    }
    ++exchange->groups[group].count;
    append(exchange->groups[group].entries);
    return true;
}

bool CSettingsTable::AddPostTable(std::string_view name) {
    return AddEntry(kPostTables, [&](Bytes& entries) {
        PaddedText::Append(entries, Stored(name));
        ByteOrder::Append16(entries, TransferGroupRecord::kTableMarker);
    });
}

bool CSettingsTable::AddPostFile(std::string_view name, std::string_view type, bool deleteAfter) {
    return AddEntry(kPostFiles, [&](Bytes& entries) {
        PaddedText::Append(entries, Stored(name));
        PaddedText::Append(entries, Stored(type));
        ByteOrder::Append16(entries, deleteAfter ? 1 : 0);
    });
}

bool CSettingsTable::AddGetTable(std::string_view name) {
    return AddEntry(kGetTables, [&](Bytes& entries) { PaddedText::Append(entries, Stored(name)); });
}

bool CSettingsTable::AddGetDb(std::string_view name) {
    return AddEntry(kGetDbs, [&](Bytes& entries) { PaddedText::Append(entries, Stored(name)); });
}

bool CSettingsTable::AddGetFile(std::string_view name, std::string_view type) {
    return AddEntry(kGetFiles, [&](Bytes& entries) {
        PaddedText::Append(entries, Stored(name));
        PaddedText::Append(entries, Stored(type));
    });
}

bool CSettingsTable::SetUrl(Group group, std::string_view text) {
    ExchangeSettings* exchange = Current();
    if (exchange == nullptr) {
        return false;
    }
    exchange->groups[group].url = Stored(text);
    return true;
}

bool CSettingsTable::SetPostDocumentsUrl(std::string_view url) {
    return SetUrl(kPostDocuments, url);
}
bool CSettingsTable::SetPostTablesUrl(std::string_view url) {
    return SetUrl(kPostTables, url);
}
bool CSettingsTable::SetPostFilesUrl(std::string_view url) {
    return SetUrl(kPostFiles, url);
}
bool CSettingsTable::SetGetTablesUrl(std::string_view url) {
    return SetUrl(kGetTables, url);
}
bool CSettingsTable::SetGetDbsUrl(std::string_view url) {
    return SetUrl(kGetDbs, url);
}
bool CSettingsTable::SetGetFilesUrl(std::string_view url) {
    return SetUrl(kGetFiles, url);
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

size_t CSettingsTable::EntryCount(const ExchangeSettings& exchange, int group) {
    return group == kPostDocuments ? exchange.documents.size() : exchange.groups[group].count;
}

CSettingsTable::DocumentParts CSettingsTable::Document(const ExchangeSettings& exchange,
                                                       size_t index) {
    const PostDocument& document = exchange.documents[index];
    const PostDocument* next =
        index + 1 < exchange.documents.size() ? &exchange.documents[index + 1] : nullptr;
    const auto part = [&](const Bytes& list, size_t PostDocument::*begin) {
        const size_t end = next != nullptr ? next->*begin : list.size();
        return std::span<const uint8_t>(list).subspan(document.*begin, end - document.*begin);
    };
    return {part(exchange.documentNames, &PostDocument::name),
            part(exchange.sendFlags, &PostDocument::sendFlags),
            part(exchange.headFields, &PostDocument::headFields),
            part(exchange.tableFields, &PostDocument::tableFields)};
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
    const auto url = [&text](std::string_view label, const GroupEntries& group) {
        if (group.url) {
            text(label, *group.url);
        }
    };

    for (const ExchangeSettings& exchange : exchanges_) {
        out += "\r\n**************** EXCHANGE ****************\r\n";
        out += Shown(exchange.name);
        out += "\r\n**************** EXCHANGE ****************\r\n";

        out += "------- POST DOCUMENTS: -------\n";
        url("post url: ", exchange.groups[kPostDocuments]);
        for (size_t d = 0; d < exchange.documents.size(); ++d) {
            const PostDocument& document = exchange.documents[d];
            DocumentParts parts = Document(exchange, d);
            text("Post doc name: ", NextText(parts.name));
            number("\tSend flags fields count: ", document.sendFlagCount, 10);
            for (size_t f = 0; f < document.sendFlagCount; ++f) {
                text("\t\tname: ", NextText(parts.sendFlags));
                number("\t\tvalue: ", SendFlagNumber(NextText(parts.sendFlags)), 16);
                NextText(parts.sendFlags);  // the set text is not shown
            }
            number("\tHead fields count: ", document.headFieldCount, 10);
            for (size_t f = 0; f < document.headFieldCount; ++f) {
                text("\t\tname: ", NextText(parts.headFields));
            }
            number("\tTable fields count: ", document.tableFieldCount, 10);
            for (size_t f = 0; f < document.tableFieldCount; ++f) {
                text("\t\tname: ", NextText(parts.tableFields));
            }
        }

        out += "------- POST TABLES: -------\n";
        const GroupEntries& postTables = exchange.groups[kPostTables];
        url("post url: ", postTables);
        std::span<const uint8_t> bytes(postTables.entries);
        for (size_t t = 0; t < postTables.count; ++t) {
            text("Post table name: ", NextText(bytes));
            NextWord(bytes);  // the marker
        }

        out += "------- POST FILES: -------\n";
        const GroupEntries& postFiles = exchange.groups[kPostFiles];
        url("post url: ", postFiles);
        bytes = postFiles.entries;
        for (size_t f = 0; f < postFiles.count; ++f) {
            text("Post file name: ", NextText(bytes));
            text("          type: ", NextText(bytes));
            number("        delete: ", NextWord(bytes), 10);
        }

        out += "------- GET TABLES: -------\n";
        const GroupEntries& getTables = exchange.groups[kGetTables];
        number("Get tables count: ", getTables.count, 10);
        url("\turl: ", getTables);
        bytes = getTables.entries;
        for (size_t t = 0; t < getTables.count; ++t) {
            text("\tname: ", NextText(bytes));
        }

        out += "------- GET DBS: -------\n";
        const GroupEntries& getDbs = exchange.groups[kGetDbs];
        number("Get dbs count: ", getDbs.count, 10);
        url("post url: ", getDbs);
        bytes = getDbs.entries;
        for (size_t d = 0; d < getDbs.count; ++d) {
            text("\tname: ", NextText(bytes));
        }

        out += "------- GET FILES: -------\n";
        const GroupEntries& getFiles = exchange.groups[kGetFiles];
        url("post url: ", getFiles);
        bytes = getFiles.entries;
        for (size_t f = 0; f < getFiles.count; ++f) {
            text("Post file name: ", NextText(bytes));
            text("          type: ", NextText(bytes));
        }
    }
    flush();
}

bool CSettingsTable::BuildDatabase(CPdb& pdb, std::ostream& console) const {
    return CTransferWriter::BuildDatabase(*this, pdb, console);
}

bool CSettingsTable::WriteTransferDatabase(const std::string& outputPrefix,
                                           std::ostream& console) const {
    return CTransferWriter::WriteTransferDatabase(*this, outputPrefix, console);
}
