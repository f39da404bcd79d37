#include "CqlDataSource.h"

#include <string>

#include "AsciiCase.h"
#include "CStringsReader.h"
#include "DataSourceBlock.h"

namespace {

constexpr const char* kReadFailure = "Ошибка чтения описания datasource";
constexpr const char* kNoValue = "Не найден обязательный реквизит datasource value";
constexpr const char* kNoView = "Не найден обязательный реквизит datasource view";

}  // namespace

CqlDataSource::CqlDataSource(CReadContext& context) : ObjectReader(context, kLimitCode, {}, 0) {}

CqlDataSource::~CqlDataSource() = default;

namespace {

constexpr std::pair<std::string_view, uint16_t> kKinds[] = {
    {"static", CqlDataSource::kListKind},
    {"create", CqlDataSource::kListKind},
    {"table", CqlDataSource::kTableKind},
    {"present", CqlDataSource::kTableKind},
};

}  // namespace

uint16_t CqlDataSource::KindCode(std::string_view type) {
    for (const auto& [name, kind] : kKinds) {
        if (AsciiCase::Equal(type, name)) {
            return kind;
        }
    }
    return kNoKind;
}

std::vector<std::string_view> CqlDataSource::KindNames() {
    std::vector<std::string_view> names;
    for (const auto& kind : kKinds) {
        names.push_back(kind.first);
    }
    return names;
}

int CqlDataSource::Read(XmlNode datasource, CRecordBuffer& record, RecordField block,
                        std::string_view subject) {
    std::string type;
    context_.Document().GetAttributeText(datasource, "type", type);
    const uint16_t kind = KindCode(type);
    if (kind == kNoKind) {
        context_.Error(kNoTypeCode, "Не найден обязательный реквизит datasource type", datasource);
        return kNoTypeCode;
    }
    const size_t base = block.offset;
    if (!record.Put16(DataSourceBlock::kKind.At(base), kind)) {
        return kLimitCode;
    }
    if (AsciiCase::Equal(type, "static")) {
        return ReadStatic(datasource, record, base, subject);
    }
    if (AsciiCase::Equal(type, "table")) {
        return ReadTable(datasource, record, base, kTableNoTableCode, kTableNoNameCode, true);
    }
    if (AsciiCase::Equal(type, "present")) {
        return ReadTable(datasource, record, base, kPresentNoTableCode, kPresentNoNameCode, false);
    }
    return ReadCreate(datasource, record, base, subject);
}

int CqlDataSource::ReadStatic(XmlNode datasource, CRecordBuffer& record, size_t base,
                              std::string_view subject) {
    const CXMLDOM& document = context_.Document();
    XmlNode item = document.FindChild(datasource, "item");
    if (item == nullptr) {
        context_.Error(kNoItemCode, kReadFailure, datasource);
        return kNoItemCode;
    }
    const Subject valuesSubject{"Список значений источника данных", std::string(subject),
                                datasource};
    const Subject viewsSubject{"Список представлений источника данных", std::string(subject),
                               datasource};
    CRecordBuffer values;
    CRecordBuffer views;
    Report(values, valuesSubject);
    Report(views, viewsSubject);
    // Each item adds at least two bytes to each list, so the count fits 16 bits long before
    // a list outgrows its buffer.
    uint16_t count = 0;
    for (; item != nullptr; item = document.FindNextSibling(item, "item")) {
        ++count;
        if (int code = AppendAttribute(item, "value", kNoValueCode, kNoValue, values); code != 0) {
            return code;
        }
        if (int code = AppendAttribute(item, "view", kNoViewCode, kNoView, views); code != 0) {
            return code;
        }
    }
    if (!record.Put16(DataSourceBlock::kItemCount.At(base), count) ||
        !PoolBytes(record, DataSourceBlock::kValues.At(base), values.Bytes(), datasource) ||
        !PoolBytes(record, DataSourceBlock::kViews.At(base), views.Bytes(), datasource)) {
        return kLimitCode;
    }
    return 0;
}

int CqlDataSource::ReadTable(XmlNode datasource, CRecordBuffer& record, size_t base,
                             int noTableCode, int noNameCode, bool withFilter) {
    const CXMLDOM& document = context_.Document();
    const XmlNode table = document.FindChild(datasource, "table");
    if (table == nullptr) {
        context_.Error(noTableCode, kReadFailure, datasource);
        return noTableCode;
    }
    std::string name;
    if (document.GetAttribute(table, "name", name) != 0) {
        context_.Error(noNameCode, kNoValue, table);
        return noNameCode;
    }
    if (!PoolText(record, DataSourceBlock::kTableName.At(base), name, datasource)) {
        return kLimitCode;
    }
    if (withFilter) {
        std::string filter;
        document.GetAttributeText(table, "filter", filter);
        if (!PoolText(record, DataSourceBlock::kFilter.At(base), filter, datasource)) {
            return kLimitCode;
        }
    }
    return 0;
}

int CqlDataSource::ReadCreate(XmlNode datasource, CRecordBuffer& record, size_t base,
                              std::string_view subject) {
    const CXMLDOM& document = context_.Document();
    XmlNode field = document.FindChild(datasource, "field");
    if (field == nullptr) {
        context_.Error(kNoFieldCode, kReadFailure, datasource);
        return kNoFieldCode;
    }
    const Subject fieldsSubject{"Список полей источника данных", std::string(subject), datasource};
    CRecordBuffer fields;
    Report(fields, fieldsSubject);
    const size_t countOffset = fields.Reserve(2);
    // Each field takes at least eight bytes: the count fits 16 bits.
    uint16_t count = 0;
    for (; field != nullptr; field = document.FindNextSibling(field, "field")) {
        ++count;
        if (int code = AppendAttribute(field, "name", kFieldNoNameCode,
                                       "Не найден обязательный реквизит datasource name", fields);
            code != 0) {
            return code;
        }
        // The storage type of a created field is kept as written, not turned into a code.
        if (int code = AppendAttribute(field, "dbtype", kFieldNoDbtypeCode,
                                       "Не найден обязательный реквизит datasource dbtype", fields);
            code != 0) {
            return code;
        }
        if (int code = AppendAttribute(field, "view", kFieldNoViewCode,
                                       "Не найден обязательный реквизит datasource view", fields);
            code != 0) {
            return code;
        }
        std::string defaultValue;
        document.GetAttributeText(field, "default", defaultValue);
        if (!fields.AppendString(defaultValue)) {
            return kLimitCode;
        }
    }
    if (!fields.Put16(countOffset, count) ||
        !PoolBytes(record, DataSourceBlock::kFields.At(base), fields.Bytes(), datasource)) {
        return kLimitCode;
    }
    return 0;
}

int CqlDataSource::AppendAttribute(XmlNode node, std::string_view name, int code,
                                   std::string_view message, CRecordBuffer& list) {
    std::string text;
    if (context_.Document().GetAttribute(node, name, text) != 0) {
        context_.Error(code, message, node);
        return code;
    }
    return list.AppendString(text) ? 0 : kLimitCode;
}
