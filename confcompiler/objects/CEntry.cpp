#include "CEntry.h"

#include <array>
#include <string>
#include <utility>

#include "AsciiCase.h"
#include "CqlDataSource.h"

namespace {

constexpr int kEntryCode = 1793;
// An unknown type; a data source that could not be read.
constexpr int kBadTypeCode = 1794;
constexpr int kBadDataSourceCode = 1795;

constexpr std::array<std::pair<std::string_view, uint16_t>, 6> kTypes{{
    {"field", CEntry::kField},
    {"primitive", CEntry::kField},
    {"valueList", CEntry::kValueList},
    {"table", CEntry::kTable},
    {"database", CEntry::kDatabase},
    {"record", CEntry::kRecord},
}};

// The order matters: INTEGER is tried before INT64, so "INT" alone matches nothing.
constexpr std::array<std::pair<std::string_view, int>, 6> kKeywords{{
    {"INTEGER", 1},
    {"REAL", 2},
    {"TEXT", 3},
    {"BLOB", 4},
    {"DATE", 11},
    {"INT64", 12},
}};

}  // namespace

CEntry::CEntry(CReadContext& context)
    : ObjectReader(context, kLimitCode, "Запись реквизита entry", EntryRecord::kSize) {}

CEntry::~CEntry() = default;

uint16_t CEntry::TypeCode(std::string_view name) {
    for (const auto& [typeName, code] : kTypes) {
        if (AsciiCase::Equal(name, typeName)) {
            return code;
        }
    }
    return kNoType;
}

int CEntry::DbTypeCode(std::string_view text) {
    for (const auto& [keyword, code] : kKeywords) {
        if (AsciiCase::StartsWith(text, keyword)) {
            return code;
        }
    }
    return kNoDbType;
}

std::string_view CEntry::TypeName(uint16_t code) {
    for (const auto& [typeName, typeCode] : kTypes) {
        if (typeCode == code) {
            return typeName;
        }
    }
    return {};
}

std::string_view CEntry::DbTypeName(int code) {
    for (const auto& [keyword, keywordCode] : kKeywords) {
        if (keywordCode == code) {
            return keyword;
        }
    }
    return {};
}

std::vector<std::string_view> CEntry::TypeNames() {
    std::vector<std::string_view> names;
    for (const auto& entry : kTypes) {
        names.push_back(entry.first);
    }
    return names;
}

std::vector<std::string_view> CEntry::DbTypeNames() {
    std::vector<std::string_view> names;
    for (const auto& keyword : kKeywords) {
        names.push_back(keyword.first);
    }
    return names;
}

const uint8_t* CEntry::Read(XmlNode entry, size_t& size) {
    size = 0;
    buffer_.Clear();
    buffer_.Reserve(EntryRecord::kSize);
    SetNode(entry);
    const CXMLDOM& document = Document();

    std::string name;
    if (document.GetAttributeText(entry, "name", name) != 0) {
        return Fail(kEntryCode, "Отсутствует обязательный реквизит: entry name.", entry);
    }
    if (!PoolText(EntryRecord::kName, name)) {
        return nullptr;  // the pool has printed why
    }

    std::string dbtype;
    if (document.GetAttribute(entry, "dbtype", dbtype) == 0) {
        const int code = DbTypeCode(dbtype);
        if (code == kNoDbType) {
            return Fail(kEntryCode, "Незвестный тип:", dbtype, entry);
        }
        buffer_.Put16(EntryRecord::kDbType, static_cast<uint16_t>(code));
    }

    uint8_t mandatory = 0;
    document.GetAttributeBool(entry, "mandatory", mandatory);
    buffer_.Put8(EntryRecord::kMandatory, mandatory);

    uint16_t type = kField;
    std::string typeName;
    if (document.GetAttribute(entry, "type", typeName) == 0) {
        type = TypeCode(typeName);
        if (type == kNoType) {
            return Fail(kBadTypeCode, "Неверное значение типа Entry->Type: ", name, entry);
        }
    }
    buffer_.Put16(EntryRecord::kType, type);

    if (const XmlNode datasource = document.FindChild(entry, "datasource"); datasource != nullptr) {
        CqlDataSource source(context_);
        if (source.Read(datasource, buffer_, EntryRecord::kDataSource, name) != 0) {
            return Fail(kBadDataSourceCode, "Ошибка описания DataSource реквизита", name, entry);
        }
    }

    if (buffer_.Failed()) {
        return nullptr;
    }
    size = buffer_.Size();
    return buffer_.Data();
}
