#include "CTransferWriter.h"

#include <algorithm>
#include <iterator>
#include <ostream>

#include "ByteOrder.h"
#include "CExchangeLog.h"
#include "CPdb.h"
#include "PaddedText.h"

namespace {

void AppendBytes(CTransferWriter::Record& out, std::span<const uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

size_t CTransferWriter::RecordSize(const Exchange& exchange, int group, bool& offsetsFit) {
    offsetsFit = true;
    size_t size = PaddedText::Size(CSettingsTable::UrlText(exchange.groups[group].url)) +
                  TransferGroupRecord::kCountSize;
    if (group != kPostDocuments) {
        return size + exchange.groups[group].entries.size();
    }
    // Each document block's offset is 16 bits, so every block must start within the record's
    // first 65536 bytes.
    size += TransferGroupRecord::kDocumentOffsetSize * exchange.documents.size();
    for (size_t d = 0; d < exchange.documents.size(); ++d) {
        offsetsFit = offsetsFit && size <= UINT16_MAX;
        size += CSettingsTable::Document(exchange, d).BlockSize();
    }
    return size;
}

void CTransferWriter::AppendRecord(Record& record, const Exchange& exchange, int group) {
    PaddedText::Append(record, CSettingsTable::UrlText(exchange.groups[group].url));
    ByteOrder::Append16(record, static_cast<uint16_t>(CSettingsTable::EntryCount(exchange, group)));
    if (group != kPostDocuments) {
        AppendBytes(record, exchange.groups[group].entries);
        return;
    }
    size_t start =
        record.size() + TransferGroupRecord::kDocumentOffsetSize * exchange.documents.size();
    for (size_t d = 0; d < exchange.documents.size(); ++d) {
        ByteOrder::Append16(record, static_cast<uint16_t>(start));
        start += CSettingsTable::Document(exchange, d).BlockSize();
    }
    for (size_t d = 0; d < exchange.documents.size(); ++d) {
        const CSettingsTable::PostDocument& document = exchange.documents[d];
        const CSettingsTable::DocumentParts parts = CSettingsTable::Document(exchange, d);
        AppendBytes(record, parts.name);
        ByteOrder::Append16(record, document.sendFlagCount);
        AppendBytes(record, parts.sendFlags);
        ByteOrder::Append16(record, document.headFieldCount);
        AppendBytes(record, parts.headFields);
        ByteOrder::Append16(record, document.tableFieldCount);
        AppendBytes(record, parts.tableFields);
    }
}

bool CTransferWriter::BuildDatabase(const CSettingsTable& table, CPdb& pdb, std::ostream& console) {
    CExchangeLog log(console);
    static constexpr const char* kGroupNames[kGroups] = {
        "Post documents", "Post tables", "Post files", "Get tables", "Get dbs", "Get files"};

    // First every record is sized and checked, in record order, so that a refused table adds
    // nothing; then each record is built at its exact size and handed to the database.
    size_t indexSize = TransferIndexRecord::kHeaderSize;
    for (const Exchange& exchange : table.exchanges_) {
        indexSize += PaddedText::Size(exchange.name) + PaddedText::Size(exchange.view) +
                     TransferExchangeEntry::kSlotsSize;
    }
    if (indexSize > kMaxRecordSize) {
        log.Line(table.location_,
                 "The exchange list does not fit in one record: " + std::to_string(indexSize) +
                     " bytes, at most " + std::to_string(kMaxRecordSize));
        return false;
    }
    for (const Exchange& exchange : table.exchanges_) {
        for (int group = 0; group < kGroups; ++group) {
            if (CSettingsTable::EntryCount(exchange, group) == 0) {
                continue;
            }
            bool offsetsFit = true;
            const size_t size = RecordSize(exchange, group, offsetsFit);
            if (!offsetsFit) {
                log.Line(exchange.location,
                         "Post documents of exchange " + CSettingsTable::Shown(exchange.name) +
                             " do not fit in one record: a document would start beyond byte "
                             "65535");
                return false;
            }
            if (size > kMaxRecordSize) {
                log.Line(exchange.location,
                         std::string(kGroupNames[group]) + " of exchange " +
                             CSettingsTable::Shown(exchange.name) +
                             " do not fit in one record: " + std::to_string(size) +
                             " bytes, at most " + std::to_string(kMaxRecordSize));
                return false;
            }
        }
    }

    // The index record: the group records are numbered from 1 in the order they follow it.
    Record index;
    index.reserve(indexSize);
    ByteOrder::Append16(index, kSlotsPerExchange);
    ByteOrder::Append16(index, static_cast<uint16_t>(table.ExchangeCount()));
    static constexpr TransferExchangeEntry::Slot kSlots[kGroups] = {
        TransferExchangeEntry::kPostDocuments, TransferExchangeEntry::kPostTables,
        TransferExchangeEntry::kPostFiles,     TransferExchangeEntry::kGetTables,
        TransferExchangeEntry::kGetDbs,        TransferExchangeEntry::kGetFiles};
    uint16_t next = 1;
    for (const Exchange& exchange : table.exchanges_) {
        PaddedText::Append(index, exchange.name);
        PaddedText::Append(index, exchange.view);
        uint16_t slots[kSlotsPerExchange];
        std::fill(std::begin(slots), std::end(slots), kNoRecord);  // the reserved slot stays so
        for (int group = 0; group < kGroups; ++group) {
            if (CSettingsTable::EntryCount(exchange, group) != 0) {
                slots[kSlots[group]] = next++;
            }
        }
        for (const uint16_t slot : slots) {
            ByteOrder::Append16(index, slot);
        }
    }
    bool added = pdb.AddRecord(index.data(), index.size());

    Record record;
    for (const Exchange& exchange : table.exchanges_) {
        for (int group = 0; added && group < kGroups; ++group) {
            if (CSettingsTable::EntryCount(exchange, group) == 0) {
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
        log.Line({}, "Too many records for the exchange settings database");
    }
    return added;
}

bool CTransferWriter::WriteTransferDatabase(const CSettingsTable& table,
                                            const std::string& outputPrefix,
                                            std::ostream& console) {
    CPdb pdb(CSettingsTable::kDatabaseType, CSettingsTable::kDatabaseCreator,
             CSettingsTable::kDatabaseDate);
    pdb.SetName(CSettingsTable::kDatabaseName);
    if (!BuildDatabase(table, pdb, console)) {
        return false;
    }
    return pdb.Write(outputPrefix + CSettingsTable::kFileName, console);
}
