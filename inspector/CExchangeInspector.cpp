#include "CExchangeInspector.h"

#include <array>

#include "CConverter.h"
#include "CSettingsTable.h"
#include "TransferRecords.h"

namespace {

std::string N(size_t value) {
    return std::to_string(value);
}

struct GroupShape {
    const char* key;    // in the JSON document
    const char* label;  // in messages and the record list
    const char* list;   // the key of its entries
};

constexpr std::array<GroupShape, TransferExchangeEntry::kSlotCount> kGroups{{
    {"postDocuments", "post documents", "documents"},
    {"postTables", "post tables", "tables"},
    {"postFiles", "post files", "files"},
    {"reserved", "reserved", ""},
    {"getTables", "get tables", "tables"},
    {"getDbs", "get dbs", "databases"},
    {"getFiles", "get files", "files"},
}};

}  // namespace

CExchangeInspector::CExchangeInspector(const CPdbFile& file, CProblemList& problems)
    : file_(file), problems_(problems) {}

CExchangeInspector::~CExchangeInspector() = default;

Json CExchangeInspector::Read(std::vector<std::string>& what) {
    const size_t count = file_.RecordCount();
    what.assign(count, "");
    Json exchanges = Json::array();
    for (size_t i = 0; i < count; ++i) {
        if (file_.Record(i).Size() > kMaxRecordSize) {
            problems_.Add(static_cast<int>(i), kMaxRecordSize,
                          "record " + N(i) + " has " + N(file_.Record(i).Size()) +
                              " bytes, more than the " + N(kMaxRecordSize) + " a record may hold");
        }
    }
    if (count == 0) {
        problems_.Add(CProblemList::kFile, 0, "the database has no index record");
        return {{"exchanges", exchanges}};
    }
    what[0] = "exchange index";
    const CByteReader& index = file_.Record(0);
    if (!index.Fits(0, TransferIndexRecord::kHeaderSize)) {
        problems_.Add(0, 0,
                      "the index record has " + N(index.Size()) + " bytes, fewer than " +
                          N(TransferIndexRecord::kHeaderSize));
        return {{"exchanges", exchanges}};
    }
    const size_t slots = index.Value(TransferIndexRecord::kSlotsPerExchange);
    if (slots != TransferExchangeEntry::kSlotCount) {
        problems_.Add(0, TransferIndexRecord::kSlotsPerExchange.offset,
                      "the index gives each exchange " + N(slots) + " record slots, not " +
                          N(TransferExchangeEntry::kSlotCount));
        return {{"exchanges", exchanges}};
    }
    const size_t exchangeCount = index.Value(TransferIndexRecord::kExchangeCount);
    if (exchangeCount > CSettingsTable::kMaxExchanges) {
        problems_.Add(
            0, TransferIndexRecord::kExchangeCount.offset,
            N(exchangeCount) + " exchanges, more than " + N(CSettingsTable::kMaxExchanges));
    }
    std::vector<bool> named(count, false);
    size_t offset = TransferIndexRecord::kHeaderSize;
    for (size_t e = 0; e < exchangeCount; ++e) {
        std::string name;
        std::string view;
        const size_t start = offset;
        if (!index.PaddedText(offset, name) || !index.PaddedText(offset, view) ||
            !index.Fits(offset, TransferExchangeEntry::kSlotsSize)) {
            problems_.Add(0, start,
                          "the entry of exchange " + N(e) + " does not fit in the index record");
            offset = index.Size();
            break;
        }
        exchange_ = CConverter::ToUtf8(name);
        Json exchange = {{"name", exchange_}, {"view", CConverter::ToUtf8(view)}};
        for (size_t s = 0; s < TransferExchangeEntry::kSlotCount; ++s) {
            const size_t at = offset + TransferExchangeEntry::kSlotSize * s;
            const size_t record = index.U16(at);
            if (s == TransferExchangeEntry::kReserved) {
                if (record != TransferExchangeEntry::kNoRecord) {
                    problems_.Add(0, at,
                                  "exchange \"" + exchange_ +
                                      "\": the reserved slot names record " + N(record));
                }
                continue;
            }
            Json group;
            if (record != TransferExchangeEntry::kNoRecord) {
                if (record == 0 || record >= count) {
                    problems_.Add(0, at,
                                  "exchange \"" + exchange_ + "\": its " + kGroups[s].label +
                                      " slot names record " + N(record) +
                                      ", which is no group record (1 to " + N(count - 1) + ")");
                } else if (named[record]) {
                    problems_.Add(0, at,
                                  "exchange \"" + exchange_ + "\": its " + kGroups[s].label +
                                      " slot names record " + N(record) +
                                      ", which another slot names too");
                } else {
                    named[record] = true;
                    what[record] = std::string(kGroups[s].label) + " of \"" + exchange_ + "\"";
                    group = Group(record, s);
                }
            }
            exchange[kGroups[s].key] = std::move(group);
        }
        offset += TransferExchangeEntry::kSlotsSize;
        exchanges.push_back(std::move(exchange));
    }
    if (offset != index.Size()) {
        problems_.Add(0, offset, N(index.Size() - offset) + " bytes after the last exchange entry");
    }
    for (size_t i = 1; i < count; ++i) {
        if (!named[i]) {
            what[i] = "no exchange's";
            problems_.Add(static_cast<int>(i), 0, "record " + N(i) + " belongs to no exchange");
        }
    }
    return {{"exchanges", std::move(exchanges)}};
}

Json CExchangeInspector::Group(size_t index, size_t group) {
    const CByteReader& record = file_.Record(index);
    const int r = static_cast<int>(index);
    const std::string context = "exchange \"" + exchange_ + "\", " + kGroups[group].label;
    Json result = {{"record", index}};
    size_t offset = 0;
    std::string url;
    if (!record.PaddedText(offset, url) || !record.Fits(offset, TransferGroupRecord::kCountSize)) {
        problems_.Add(r, 0, context + ": no URL and entry count");
        return result;
    }
    result["url"] = CConverter::ToUtf8(url);
    const size_t count = record.U16(offset);
    offset += TransferGroupRecord::kCountSize;
    Json entries = Json::array();
    const auto texts = [&](size_t n, std::vector<std::string>& out) {
        out.clear();
        for (size_t k = 0; k < n; ++k) {
            std::string text;
            if (!record.PaddedText(offset, text)) {
                return false;
            }
            out.push_back(CConverter::ToUtf8(text));
        }
        return true;
    };
    const auto word = [&](size_t size, size_t& value) {
        if (!record.Fits(offset, size)) {
            return false;
        }
        value = record.U16(offset);
        offset += size;
        return true;
    };
    std::vector<std::string> t;
    size_t read = 0;
    for (; group != TransferExchangeEntry::kPostDocuments && read < count; ++read) {
        size_t flag = 0;
        if (group == TransferExchangeEntry::kPostTables) {
            if (!texts(1, t) || !word(TransferGroupRecord::kTableMarkerSize, flag)) {
                break;
            }
            if (flag != TransferGroupRecord::kTableMarker) {
                problems_.Add(r, offset - TransferGroupRecord::kTableMarkerSize,
                              context + ": table " + t[0] + " has the marker " + N(flag));
            }
            entries.push_back(t[0]);
        } else if (group == TransferExchangeEntry::kPostFiles) {
            if (!texts(2, t) || !word(TransferGroupRecord::kDeleteFlagSize, flag)) {
                break;
            }
            if (flag > 1) {
                problems_.Add(r, offset - TransferGroupRecord::kDeleteFlagSize,
                              context + ": file " + t[0] + " has the delete flag " + N(flag));
            }
            entries.push_back({{"name", t[0]}, {"type", t[1]}, {"delete", flag != 0}});
        } else if (group == TransferExchangeEntry::kGetFiles) {
            if (!texts(2, t)) {
                break;
            }
            entries.push_back({{"name", t[0]}, {"type", t[1]}});
        } else {
            if (!texts(1, t)) {
                break;
            }
            entries.push_back(t[0]);
        }
    }
    if (group == TransferExchangeEntry::kPostDocuments) {
        entries = Documents(record, r, offset, count);
        read = entries.size();
    }
    if (read < count) {
        problems_.Add(
            r, offset,
            context + ": the record ends after " + N(read) + " of its " + N(count) + " entries");
    } else if (offset != record.Size()) {
        problems_.Add(r, offset,
                      context + ": " + N(record.Size() - offset) + " bytes after the last entry");
    }
    result[kGroups[group].list] = std::move(entries);
    return result;
}

Json CExchangeInspector::Documents(const CByteReader& record, int index, size_t& offset,
                                   size_t count) {
    const std::string context = "exchange \"" + exchange_ + "\", post documents";
    Json documents = Json::array();
    const size_t table = offset;
    if (!record.Fits(table, TransferGroupRecord::kDocumentOffsetSize * count)) {
        return documents;
    }
    size_t next = table + TransferGroupRecord::kDocumentOffsetSize * count;
    for (size_t d = 0; d < count && problems_.Spend({index, table}); ++d) {
        const size_t at = table + TransferGroupRecord::kDocumentOffsetSize * d;
        const size_t start = record.U16(at);
        if (start != next) {
            problems_.Add(index, at,
                          context + ": document " + N(d) + " starts at offset " + N(start) +
                              ", not right after " +
                              (d == 0 ? std::string("the offsets") : "document " + N(d - 1)) +
                              " (" + N(next) + ")");
        }
        size_t position = start;
        std::string name;
        Json document;
        bool whole = record.PaddedText(position, name);
        if (whole) {
            document["name"] = CConverter::ToUtf8(name);
        }
        static constexpr std::array<const char*, 3> kLists = {"sendFlags", "headFields",
                                                              "tableFields"};
        for (size_t list = 0; whole && list < kLists.size(); ++list) {
            if (!record.Fits(position, TransferDocumentBlock::kCountSize)) {
                whole = false;
                break;
            }
            const size_t n = record.U16(position);
            position += TransferDocumentBlock::kCountSize;
            Json items = Json::array();
            for (size_t k = 0; whole && k < n; ++k) {
                std::string text[TransferDocumentBlock::kSendFlagTexts];
                const size_t texts = list == 0 ? TransferDocumentBlock::kSendFlagTexts : 1;
                for (size_t x = 0; whole && x < texts; ++x) {
                    whole =
                        problems_.Spend({index, position}) && record.PaddedText(position, text[x]);
                }
                if (!whole) {
                    break;
                }
                if (list == 0) {
                    items.push_back({{"name", CConverter::ToUtf8(text[0])},
                                     {"value", CConverter::ToUtf8(text[1])},
                                     {"set", CConverter::ToUtf8(text[2])}});
                } else {
                    items.push_back(CConverter::ToUtf8(text[0]));
                }
            }
            document[kLists[list]] = std::move(items);
        }
        if (!whole) {
            problems_.Add(index, start,
                          context + ": document " + N(d) + " at offset " + N(start) +
                              " does not fit in the record");
            offset = record.Size();
            return documents;
        }
        documents.push_back(std::move(document));
        next = position;
    }
    offset = next;
    return documents;
}
