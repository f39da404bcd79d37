// Everything an exchange description says, held in lists that grow with what is read up to
// their limits, and the exchange settings database built from it: an index record listing the
// exchanges, then one record per non-empty group of each exchange.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CPdb;

class CSettingsTable {
public:
    static constexpr int kMaxExchanges = 10;
    // Limit of every list of an exchange and of every list of a document.
    static constexpr int kMaxEntries = 255;
    // Largest record the handheld can hold.
    static constexpr size_t kMaxRecordSize = 0xFFFF;

    static constexpr uint32_t kDatabaseType = 0x44415441;     // bytes "ATAD"
    static constexpr uint32_t kDatabaseCreator = 0x54524E5F;  // bytes "_NRT"
    static constexpr uint32_t kDatabaseDate = 1261440000;     // all three header dates
    static constexpr const char* kDatabaseName = "QL_PalmClientTransferDB";
    static constexpr const char* kFileName = "QL_PalmClientTransferDB.pdb";

    // The index record gives each exchange this many 16-bit record indices.
    static constexpr uint16_t kSlotsPerExchange = 7;
    static constexpr uint16_t kNoRecord = 0xFFFF;

    CSettingsTable();
    virtual ~CSettingsTable();

    CSettingsTable(const CSettingsTable&) = delete;
    CSettingsTable& operator=(const CSettingsTable&) = delete;

    // Every text is Windows-1251 and copied up to its first zero byte, if any. The operations
    // work on the last opened exchange and its last added document. Each returns false,
    // storing nothing, when its list has reached its limit or when there is no exchange (or
    // document) to add to.
    bool AddExchange(std::string_view name, std::string_view view);
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

    // Lists the whole table on the console, texts shown in UTF-8.
    void Dump(std::ostream& console) const;

    // Adds the index record and the group records to `pdb`. A post-documents record whose
    // document blocks would not all start within its first 65536 bytes cannot be described
    // by its 16-bit offsets, and no record may exceed kMaxRecordSize bytes: for the first
    // record that breaks either rule one line naming its exchange (or the exchange list, for
    // the index record) is printed, nothing is added and the result is false.
    bool BuildDatabase(CPdb& pdb, std::ostream& console) const;

    // Builds the database and writes it as `outputPrefix` followed directly by kFileName.
    // False, with the reason printed, when it cannot be built or written.
    bool WriteTransferDatabase(const std::string& outputPrefix, std::ostream& console) const;

    // The number a send flag's value text stands for: hexadecimal digits after a "0x" or
    // "0X" prefix, decimal digits otherwise, up to the first other character; 0 without
    // digits; kept to 32 bits.
    static uint32_t SendFlagNumber(std::string_view value);

private:
    // A text of the lists and of the exchange names: where its bytes lie in texts_.
    struct Text {
        size_t offset = 0;
        size_t size = 0;
    };
    struct SendFlag {
        Text name;
        Text value;
        Text set;
    };
    struct PostDocument {
        Text name;
        std::vector<SendFlag> sendFlags;
        std::vector<Text> headFields;
        std::vector<Text> tableFields;
    };
    struct PostTable {
        Text name;
        uint8_t marker = 0;
    };
    struct PostFile {
        Text name;
        Text type;
        uint8_t deleteAfter = 0;
    };
    struct GetFile {
        Text name;
        Text type;
    };
    // A group's URL: absent until the description gives one. A later URL replaces it, so it
    // is held apart from the texts that are only ever added.
    using Url = std::optional<std::string>;
    struct ExchangeSettings {
        Text name;
        Text view;
        Url postDocumentsUrl;
        std::vector<PostDocument> postDocuments;
        Url postTablesUrl;
        std::vector<PostTable> postTables;
        Url postFilesUrl;
        std::vector<PostFile> postFiles;
        Url getTablesUrl;
        std::vector<Text> getTables;
        Url getDbsUrl;
        std::vector<Text> getDbs;
        Url getFilesUrl;
        std::vector<GetFile> getFiles;
    };

    // The groups of an exchange in the order of their records and of their slots in the
    // index entry (the reserved fourth slot has no group).
    enum Group { kPostDocuments, kPostTables, kPostFiles, kGetTables, kGetDbs, kGetFiles, kGroups };

    static size_t EntryCount(const ExchangeSettings& exchange, int group);
    // Bytes of one document's block in the post-documents record.
    size_t DocumentBlockSize(const PostDocument& document) const;
    // Bytes of the group's record. `offsetsFit` tells, for post documents, whether every
    // document block starts within the 16-bit offsets.
    size_t RecordSize(const ExchangeSettings& exchange, int group, bool& offsetsFit) const;
    void AppendRecord(std::vector<uint8_t>& record, const ExchangeSettings& exchange,
                      int group) const;

    // The stored form of a text is its bytes up to the first zero byte: Store adds it to
    // texts_, Copy makes a string of it.
    Text Store(std::string_view text);
    static std::string Copy(std::string_view text);
    std::string_view View(Text text) const {
        return std::string_view(texts_).substr(text.offset, text.size);
    }
    ExchangeSettings* Current();
    PostDocument* CurrentDocument();
    bool SetUrl(Url ExchangeSettings::*url, std::string_view text);

    // The exchanges in document order, at most kMaxExchanges.
    std::vector<ExchangeSettings> exchanges_;
    // Every stored text, back to back: one growing block instead of a string object each.
    std::string texts_;
};
