// Everything an exchange description says, held in fixed-capacity lists, and the exchange
// settings database built from it: an index record listing the exchanges, then one record
// per non-empty group of each exchange.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

class CPdb;

class CSettingsTable {
public:
    static constexpr int kMaxExchanges = 10;
    // Capacity of every list of an exchange and of every list of a document.
    static constexpr int kMaxEntries = 255;

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

    // Every text is Windows-1251 and copied. The operations work on the last opened exchange
    // and its last added document. Each returns false, storing nothing, when its list is full
    // or when there is no exchange (or document) to add to.
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

    int ExchangeCount() const { return lastExchange_ + 1; }

    // Lists the whole table on the console, texts shown in UTF-8.
    void Dump(std::ostream& console) const;

    // Adds the index record and the group records to `pdb`. A post-documents record whose
    // document blocks would not all start within its first 65536 bytes cannot be described
    // by its 16-bit offsets: one line naming the exchange is printed and the result is false.
    bool BuildDatabase(CPdb& pdb, std::ostream& console) const;

    // Builds the database and writes it as `outputPrefix` followed directly by kFileName.
    // False, with the reason printed, when it cannot be built or written.
    bool WriteTransferDatabase(const std::string& outputPrefix, std::ostream& console) const;

    // The number a send flag's value text stands for: hexadecimal digits after a "0x" or
    // "0X" prefix, decimal digits otherwise, up to the first other character; 0 without
    // digits; kept to 32 bits.
    static uint32_t SendFlagNumber(std::string_view value);

private:
    // A zero-terminated text owned by the table; null where a URL is absent.
    using Text = std::unique_ptr<char[]>;

    struct PostDocument {
        Text name;
        uint16_t sendFlagCount = 0;
        Text sendFlagNames[kMaxEntries];
        Text sendFlagValues[kMaxEntries];
        Text sendFlagSets[kMaxEntries];
        uint16_t headFieldCount = 0;
        Text headFieldNames[kMaxEntries];
        uint16_t tableFieldCount = 0;
        Text tableFieldNames[kMaxEntries];
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
    struct ExchangeSettings {
        Text name;
        Text view;
        int32_t postDocumentsLast = -1;
        Text postDocumentsUrl;
        PostDocument postDocuments[kMaxEntries];
        int32_t postTablesLast = -1;
        Text postTablesUrl;
        PostTable postTables[kMaxEntries];
        int32_t postFilesLast = -1;
        Text postFilesUrl;
        PostFile postFiles[kMaxEntries];
        Text getTablesUrl;
        uint16_t getTablesCount = 0;
        Text getTables[kMaxEntries];
        Text getDbsUrl;
        uint16_t getDbsCount = 0;
        Text getDbs[kMaxEntries];
        int32_t getFilesLast = -1;
        Text getFilesUrl;
        GetFile getFiles[kMaxEntries];
    };

    static Text Copy(std::string_view text);
    ExchangeSettings* Current();
    PostDocument* CurrentDocument();
    bool SetUrl(Text ExchangeSettings::*url, std::string_view text);

    // The ten exchange slots, allocated once with the table.
    std::unique_ptr<ExchangeSettings[]> exchanges_;
    int32_t lastExchange_ = -1;
};
