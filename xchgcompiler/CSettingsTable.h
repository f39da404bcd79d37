// Everything an exchange description says, held in lists that grow with what is read up to
// their limits, each list held as its record holds it, and their listing on the console.
// CTransferWriter builds the exchange settings database from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "TransferRecords.h"

class CPdb;

class CSettingsTable {
public:
    static constexpr int kMaxExchanges = 10;
    // Limit of every list of an exchange and of every list of a document.
    static constexpr int kMaxEntries = 255;
    // Largest record the handheld can hold.
    static constexpr size_t kMaxRecordSize = TransferDatabase::kMaxRecordSize;

    static constexpr uint32_t kDatabaseType = 0x44415441;     // bytes "ATAD"
    static constexpr uint32_t kDatabaseCreator = 0x54524E5F;  // bytes "_NRT"
    static constexpr uint32_t kDatabaseDate = 1261440000;     // all three header dates
    static constexpr const char* kDatabaseName = "QL_PalmClientTransferDB";
    static constexpr const char* kFileName = "QL_PalmClientTransferDB.pdb";

    // The index record gives each exchange this many 16-bit record indices (TransferRecords.h).
    static constexpr uint16_t kSlotsPerExchange = TransferExchangeEntry::kSlotCount;
    static constexpr uint16_t kNoRecord = TransferExchangeEntry::kNoRecord;

    CSettingsTable();
    virtual ~CSettingsTable();

    CSettingsTable(const CSettingsTable&) = delete;
    CSettingsTable& operator=(const CSettingsTable&) = delete;

    // Every text is Windows-1251 and kept up to its first zero byte, if any, in the form its
    // record holds it. The operations work on the last opened exchange and its last added
    // document. Each returns false, storing nothing, when its list has reached its limit or
    // when there is no exchange (or document) to add to.
    // `location` ("FILE:LINE: " of the exchange element, or nothing) goes in front of the
    // line that refuses one of the exchange's records.
    bool AddExchange(std::string_view name, std::string_view view, std::string_view location = {});
    bool AddPostDocument(std::string_view name);
    bool AddSendFlag(std::string_view name, std::string_view value, std::string_view set);
    bool AddHeadField(std::string_view name);
    bool AddTableField(std::string_view name);
    bool AddPostTable(std::string_view name);
    bool AddPostFile(std::string_view name, std::string_view type, bool deleteAfter);
    bool AddGetTable(std::string_view name);
    bool AddGetDb(std::string_view name);
    bool AddGetFile(std::string_view name, std::string_view type);

    // A later call replaces the earlier URL of the group. False when no exchange is open.
    bool SetPostDocumentsUrl(std::string_view url);
    bool SetPostTablesUrl(std::string_view url);
    bool SetPostFilesUrl(std::string_view url);
    bool SetGetTablesUrl(std::string_view url);
    bool SetGetDbsUrl(std::string_view url);
    bool SetGetFilesUrl(std::string_view url);

    int ExchangeCount() const { return static_cast<int>(exchanges_.size()); }
    // What goes in front of the line that refuses the exchange list (the index record).
    void SetLocation(std::string_view location) { location_ = location; }

    // Lists the whole table on the console, texts shown in UTF-8.
    void Dump(std::ostream& console) const;

    // The database built from the table, added to `pdb` or written as `outputPrefix` followed
    // directly by kFileName (CTransferWriter).
    bool BuildDatabase(CPdb& pdb, std::ostream& console) const;

    bool WriteTransferDatabase(const std::string& outputPrefix, std::ostream& console) const;

    // The number a send flag's value text stands for: hexadecimal digits after a "0x" or
    // "0X" prefix, decimal digits otherwise, up to the first other character; 0 without
    // digits; kept to 32 bits.
    static uint32_t SendFlagNumber(std::string_view value);

private:
    friend class CTransferWriter;

    using Bytes = std::vector<uint8_t>;
    // A group's URL: absent until the description gives one; a later one replaces it.
    using Url = std::optional<std::string>;

    // The groups of an exchange in the order of their records and of their slots in the
    // index entry (the reserved fourth slot has no group).
    enum Group { kPostDocuments, kPostTables, kPostFiles, kGetTables, kGetDbs, kGetFiles, kGroups };

    // The entries of a group held as its record holds them after the entry count: every text
    // padded, a post table followed by its 16-bit marker, a post file by its 16-bit delete
    // flag. The post-documents group keeps only its URL here; its documents are apart.
    struct GroupEntries {
        Url url;
        size_t count = 0;
        Bytes entries;
    };
    // Where a document's name and its three field lists begin in the exchange's document
    // lists. Fields are only ever added to the last document, so each document's part of a
    // list ends where the next document's begins (or at the end of the list).
    struct PostDocument {
        size_t name = 0;
        size_t sendFlags = 0;
        size_t headFields = 0;
        size_t tableFields = 0;
        uint16_t sendFlagCount = 0;
        uint16_t headFieldCount = 0;
        uint16_t tableFieldCount = 0;
    };
    struct ExchangeSettings {
        std::string name;
        std::string view;
        std::string location;
        GroupEntries groups[kGroups];
        std::vector<PostDocument> documents;
        Bytes documentNames;
        Bytes sendFlags;  // name, value and set of each flag
        Bytes headFields;
        Bytes tableFields;
    };
    // One document's parts, each a run of padded texts.
    struct DocumentParts {
        std::span<const uint8_t> name;
        std::span<const uint8_t> sendFlags;
        std::span<const uint8_t> headFields;
        std::span<const uint8_t> tableFields;
        size_t BlockSize() const {
            return name.size() + TransferDocumentBlock::kCountsSize + sendFlags.size() +
                   headFields.size() + tableFields.size();
        }
    };

    static size_t EntryCount(const ExchangeSettings& exchange, int group);
    static DocumentParts Document(const ExchangeSettings& exchange, size_t index);
    // A group's URL in its record: the empty text when the group has none.
    static std::string_view UrlText(const Url& url);
    // A stored text shown on the (UTF-8) console, a line break in it as a blank.
    static std::string Shown(std::string_view text);

    ExchangeSettings* Current();
    // Adds one entry to a group of the current exchange: `append` writes its bytes.
    template <typename Append>
    bool AddEntry(Group group, Append append);
    // Adds one field to a list of the current document.
    bool AddField(Bytes ExchangeSettings::*list, uint16_t PostDocument::*count,
                  std::initializer_list<std::string_view> texts);
    bool SetUrl(Group group, std::string_view text);

    // The exchanges in document order, at most kMaxExchanges.
    std::vector<ExchangeSettings> exchanges_;
    std::string location_;
};
