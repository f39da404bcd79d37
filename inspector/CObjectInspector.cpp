#include "CObjectInspector.h"

#include <array>
#include <string_view>

#include "CControlInspector.h"
#include "CConverter.h"
#include "CEntry.h"
#include "CSectionRecord.h"
#include "ConfigurationLayout.h"
#include "ControlRecord.h"
#include "DataSourceBlock.h"
#include "DocumentRecord.h"
#include "EntryRecord.h"
#include "FormHeader.h"
#include "JournalRecord.h"
#include "ObjectHeader.h"
#include "ReferenceRecord.h"
#include "StringReference.h"

namespace {

using Where = CProblemList::Where;

std::string N(size_t value) {
    return std::to_string(value);
}

std::string Quoted(const std::string& utf8) {
    return "\"" + utf8 + "\"";
}

}  // namespace

CObjectInspector::CObjectInspector(Section section, CByteReader record, int index,
                                   CStringPool& pool, CProblemList& problems, size_t menuCount)
    : section_(section),
      record_(record),
      index_(index),
      pool_(pool),
      problems_(problems),
      menuCount_(menuCount) {}

CObjectInspector::~CObjectInspector() = default;

Json CObjectInspector::Read() {
    struct Shape {
        const char* kind;
        size_t headersOffset;
        size_t headerSize;
    };
    static constexpr std::array<Shape, 5> kShapes{{
        {"journal", CSectionRecord::kCountSize, JournalHeader::kSize},
        {"document", DocumentRecord::kHeadersOffset, DocumentHeader::kSize},
        {"record view", CSectionRecord::kCountSize, ObjectHeader::kSize},
        {"reference", CSectionRecord::kCountSize, ReferenceHeader::kSize},
        {"frame", CSectionRecord::kCountSize, ObjectHeader::kSize},
    }};
    const Shape& shape = kShapes[static_cast<size_t>(section_)];
    Json objects = Json::array();
    if (record_.Size() == 0 && (section_ == Section::Frames || section_ == Section::RecordViews)) {
        return objects;  // no frames (or the place of the missing record views)
    }
    if (!record_.Fits(0, shape.headersOffset)) {
        problems_.Add(index_, 0,
                      "the " + std::string(shape.kind) + "s record has " + N(record_.Size()) +
                          " bytes, fewer than its " + N(shape.headersOffset) + "-byte start");
        return objects;
    }
    size_t count = record_.U16(0);
    headersEnd_ = shape.headersOffset + shape.headerSize * count;
    if (!record_.Fits(0, headersEnd_)) {
        problems_.Add(index_, 0,
                      N(count) + " " + shape.kind + " headers of " + N(shape.headerSize) +
                          " bytes would end at offset " + N(headersEnd_) +
                          ", past the end of the record (" + N(record_.Size()) + " bytes)");
        count = (record_.Size() - shape.headersOffset) / shape.headerSize;
        headersEnd_ = shape.headersOffset + shape.headerSize * count;
    }

    if (section_ == Section::Documents) {
        const size_t common = record_.Value(DocumentRecord::kCommonEntryCount);
        const size_t offset = record_.Value(DocumentRecord::kCommonEntriesOffset);
        context_ = "common entries";
        pool_.SetContext(context_);
        if (common > 0 &&
            (offset < headersEnd_ || !record_.Fits(offset, EntryRecord::kSize * common))) {
            problems_.Add(index_, DocumentRecord::kCommonEntriesOffset.offset,
                          N(common) + " common entries at offset " + N(offset) +
                              " do not lie in the record after the headers (offsets " +
                              N(headersEnd_) + " to " + N(record_.Size()) + ")");
        } else {
            for (size_t k = 0; k < common && problems_.Spend({index_, offset}); ++k) {
                commonEntries_.push_back(Entry(offset + EntryRecord::kSize * k));
            }
        }
    }

    for (size_t i = 0; i < count; ++i) {
        const size_t header = shape.headersOffset + shape.headerSize * i;
        bool nameEnds = false;
        bool viewEnds = false;
        const std::string name =
            CConverter::ToUtf8(record_.FieldText(ObjectHeader::kName, header, nameEnds));
        const std::string view =
            CConverter::ToUtf8(record_.FieldText(ObjectHeader::kView, header, viewEnds));
        context_ = std::string(shape.kind) + " " + Quoted(name);
        pool_.SetContext(context_);
        if (!nameEnds || !viewEnds) {
            problems_.Add(index_,
                          header + (nameEnds ? ObjectHeader::kView : ObjectHeader::kName).offset,
                          context_ + ": the name or view has no terminating zero");
        }
        const size_t entryCount = record_.Value(ObjectHeader::kEntryCount, header);
        const size_t dataOffset = record_.Value(ObjectHeader::kDataOffset, header);
        Json object = {{"name", name},
                       {"view", view},
                       {"entryCount", entryCount},
                       {"dataOffset", dataOffset},
                       {"formCount", record_.Value(ObjectHeader::kFormCount, header)}};
        object["init"] = pool_.Action(record_.Value(ObjectHeader::kInit, header),
                                      {index_, header + ObjectHeader::kInit.offset}, "init");
        OwnFields(header, object);

        Json entries = Json::array();
        if (dataOffset < headersEnd_ ||
            !record_.Fits(dataOffset, EntryRecord::kSize * entryCount)) {
            problems_.Add(index_, header + ObjectHeader::kDataOffset.offset,
                          context_ + ": " + N(entryCount) + " entries at offset " + N(dataOffset) +
                              " do not lie in the record after the headers " + "(offsets " +
                              N(headersEnd_) + " to " + N(record_.Size()) + ")");
        } else {
            for (size_t k = 0; k < entryCount && problems_.Spend({index_, dataOffset}); ++k) {
                entries.push_back(Entry(dataOffset + EntryRecord::kSize * k));
            }
        }
        std::vector<std::string> others;
        std::vector<std::string> tables;
        if (section_ == Section::Documents) {
            AddNames(commonEntries_, others, tables);
        }
        AddNames(entries, others, tables);
        others.insert(others.end(), tables.begin(), tables.end());
        object["entries"] = std::move(entries);
        object["forms"] = Forms(header, context_, others);
        objects.push_back(std::move(object));
    }
    pool_.SetContext("");
    return objects;
}

void CObjectInspector::AddNames(const Json& entries, std::vector<std::string>& others,
                                std::vector<std::string>& tables) {
    for (const Json& entry : entries) {
        const std::string name = entry["name"].is_string() ? entry["name"].get<std::string>() : "";
        (entry["typeCode"] == CEntry::kTable ? tables : others).push_back(name);
    }
}

void CObjectInspector::OwnFields(size_t header, Json& object) {
    const auto text = [&](RecordField field) {
        bool terminated = false;
        const std::string value = record_.FieldText(field, header, terminated);
        if (!terminated) {
            problems_.Add(index_, header + field.offset,
                          context_ + ": a text field has no terminating zero");
        }
        return CConverter::ToUtf8(value);
    };
    const auto value = [&](RecordField field) { return record_.Value(field, header); };
    const auto where = [&](RecordField field) { return Where{index_, header + field.offset}; };
    switch (section_) {
        case Section::Journals: {
            const size_t count = value(JournalHeader::kDocumentCount);
            object["documents"] =
                pool_.TextList(value(JournalHeader::kDocuments), where(JournalHeader::kDocuments),
                               "document names", count, 0, count == 0);
            break;
        }
        case Section::Documents: {
            object["databaseName"] = text(DocumentHeader::kDatabaseName);
            object["prefix"] = text(DocumentHeader::kPrefix);
            const uint32_t description = value(DocumentHeader::kFieldDescription);
            CByteReader data;
            Json described = Json::array();
            if (pool_.Entry(description, where(DocumentHeader::kFieldDescription),
                            "field description", data)) {
                const size_t count = data.U16(0);
                const Json texts =
                    pool_.TextList(description, where(DocumentHeader::kFieldDescription),
                                   "field description", 4 * count, 2);
                for (size_t k = 0; k + 3 < texts.size(); k += 4) {
                    described.push_back({{"name", texts[k]},
                                         {"dbtype", texts[k + 1]},
                                         {"view", texts[k + 2]},
                                         {"default", texts[k + 3]}});
                }
            }
            object["fieldDescription"] = std::move(described);
            object["tableEntryCount"] = value(DocumentHeader::kTableEntryCount);
            const size_t inheritances = value(DocumentHeader::kInheritanceCount);
            object["inheritances"] = pool_.TextList(
                value(DocumentHeader::kInheritances), where(DocumentHeader::kInheritances),
                "inheritance list", inheritances, 0, inheritances == 0);
            object["save"] =
                pool_.Action(value(DocumentHeader::kSave), where(DocumentHeader::kSave), "save");
            object["copy"] =
                pool_.Action(value(DocumentHeader::kCopy), where(DocumentHeader::kCopy), "copy");
            object["delete"] = pool_.Action(value(DocumentHeader::kDelete),
                                            where(DocumentHeader::kDelete), "delete");
            object["pdaCreate"] = value(DocumentHeader::kPdaCreate) != 0;
            object["hasJournal"] = value(DocumentHeader::kHasJournal) != 0;
            break;
        }
        case Section::References:
            object["databaseName"] = text(ReferenceHeader::kDatabaseName);
            break;
        case Section::RecordViews:
        case Section::Frames:
            break;
    }
}

Json CObjectInspector::Entry(size_t at) {
    const auto value = [&](RecordField field) { return record_.Value(field, at); };
    const auto type = static_cast<uint16_t>(value(EntryRecord::kType));
    const auto dbType = static_cast<int>(value(EntryRecord::kDbType));
    const Json name = pool_.Text(value(EntryRecord::kName),
                                 {index_, at + EntryRecord::kName.offset}, "entry name");
    if (CEntry::TypeName(type).empty()) {
        problems_.Add(index_, at + EntryRecord::kType.offset,
                      context_ + ": entry " + (name.is_string() ? name.get<std::string>() : "") +
                          " has the unknown type " + N(type));
    }
    if (dbType != 0 && CEntry::DbTypeName(dbType).empty()) {
        problems_.Add(index_, at + EntryRecord::kDbType.offset,
                      context_ + ": entry " + (name.is_string() ? name.get<std::string>() : "") +
                          " has the unknown storage type " + N(static_cast<size_t>(dbType)));
    }
    return {{"name", name},
            {"type", std::string(CEntry::TypeName(type))},
            {"typeCode", type},
            {"dbType", dbType == 0 ? Json() : Json(std::string(CEntry::DbTypeName(dbType)))},
            {"dbTypeCode", dbType},
            {"mandatory", value(EntryRecord::kMandatory) != 0},
            {"dataSource", DataSource(at + EntryRecord::kDataSource.offset)}};
}

Json CObjectInspector::DataSource(size_t at) {
    const auto value = [&](RecordField field) {
        return static_cast<uint32_t>(record_.Value(field, at));
    };
    const auto where = [&](RecordField field) { return Where{index_, at + field.offset}; };
    const uint32_t kind = value(DataSourceBlock::kKind);
    switch (kind) {
        case 0:
            return Json();
        case 1:
            if (value(DataSourceBlock::kValues) != 0) {
                const size_t count = value(DataSourceBlock::kItemCount);
                const Json values =
                    pool_.TextList(value(DataSourceBlock::kValues), where(DataSourceBlock::kValues),
                                   "values", count);
                const Json views = pool_.TextList(value(DataSourceBlock::kViews),
                                                  where(DataSourceBlock::kViews), "views", count);
                Json items = Json::array();
                for (size_t k = 0; k < values.size() && k < views.size(); ++k) {
                    items.push_back({{"value", values[k]}, {"view", views[k]}});
                }
                return {{"kind", "static"}, {"items", std::move(items)}};
            } else {
                const uint32_t list = value(DataSourceBlock::kFields);
                CByteReader data;
                Json fields = Json::array();
                if (pool_.Entry(list, where(DataSourceBlock::kFields), "fields", data)) {
                    const Json texts = pool_.TextList(list, where(DataSourceBlock::kFields),
                                                      "fields", 4 * size_t{data.U16(0)}, 2);
                    for (size_t k = 0; k + 3 < texts.size(); k += 4) {
                        fields.push_back({{"name", texts[k]},
                                          {"dbtype", texts[k + 1]},
                                          {"view", texts[k + 2]},
                                          {"default", texts[k + 3]}});
                    }
                }
                return {{"kind", "create"}, {"fields", std::move(fields)}};
            }
        case 2: {
            Json table = pool_.Text(value(DataSourceBlock::kTableName),
                                    where(DataSourceBlock::kTableName), "table name");
            if (value(DataSourceBlock::kFilter) == 0) {
                return {{"kind", "present"}, {"table", std::move(table)}};
            }
            return {{"kind", "table"},
                    {"table", std::move(table)},
                    {"filter", pool_.Text(value(DataSourceBlock::kFilter),
                                          where(DataSourceBlock::kFilter), "filter")}};
        }
        default:
            problems_.Add(index_, at + DataSourceBlock::kKind.offset,
                          context_ + ": a data source of the unknown kind " + N(kind));
            return {{"kind", kind}};
    }
}

Json CObjectInspector::Forms(size_t header, const std::string& object,
                             const std::vector<std::string>& names) {
    Json forms = Json::array();
    size_t count = record_.Value(ObjectHeader::kFormCount, header);
    const auto tableReference =
        static_cast<uint32_t>(record_.Value(ObjectHeader::kFormTable, header));
    CByteReader table;
    if (!pool_.Entry(tableReference, {index_, header + ObjectHeader::kFormTable.offset},
                     "form table", table)) {
        return forms;
    }
    if (!table.Fits(0, FormHeader::kSize * count)) {
        problems_.Add(index_, header + ObjectHeader::kFormCount.offset,
                      object + ": " + N(count) + " forms, but the form table holds " +
                          N(table.Size()) + " bytes");
        count = table.Size() / FormHeader::kSize;
    }
    // Form headers lie in the strings record: problems in them are reported there.
    const int pool = StringReference::kRecordIndex;
    const size_t tableStart =
        size_t{StringReference::Offset(tableReference)} + StringsRecord::kLengthSize;
    for (size_t k = 0; k < count && problems_.Spend({pool, tableStart}); ++k) {
        const size_t at = FormHeader::kSize * k;
        const auto value = [&](RecordField field) { return table.Value(field, at); };
        const auto where = [&](RecordField field) {
            return Where{pool, tableStart + at + field.offset};
        };
        bool terminated = false;
        const std::string name =
            CConverter::ToUtf8(table.FieldText(FormHeader::kName, at, terminated));
        const std::string context = object + ", form " + Quoted(name);
        pool_.SetContext(context);
        if (!terminated) {
            problems_.Add(where(FormHeader::kName), context + ": the name has no terminating zero");
        }
        size_t controls = value(FormHeader::kControlCount);
        const size_t offset = value(FormHeader::kControlsOffset);
        const size_t menu = value(FormHeader::kMenu);
        const auto first = static_cast<uint16_t>(value(FormHeader::kFirstControl));
        if (offset < headersEnd_ || !record_.Fits(offset, ControlRecord::kSize * controls)) {
            problems_.Add(where(FormHeader::kControlsOffset),
                          context + ": " + N(controls) + " controls at offset " + N(offset) +
                              " of record " + N(static_cast<size_t>(index_)) +
                              " do not lie in it after the headers (offsets " + N(headersEnd_) +
                              " to " + N(record_.Size()) + ")");
            controls = 0;
        }
        const size_t controlCount = value(FormHeader::kControlCount);
        if (menu > menuCount_) {
            problems_.Warn(where(FormHeader::kMenu), context + ": names menu " + N(menu) +
                                                         ", but there are " + N(menuCount_) +
                                                         " menus");
        }
        if (first != ConfigurationLayout::kNoIndex && first >= controlCount) {
            problems_.Warn(where(FormHeader::kFirstControl), context + ": the first control #" +
                                                                 N(first) + " is not one of its " +
                                                                 N(controlCount) + " controls");
        }
        const int actionControls = static_cast<int>(controlCount);
        Json form = {
            {"name", name},
            {"controlCount", controlCount},
            {"controlsOffset", offset},
            {"layers", static_cast<int16_t>(value(FormHeader::kLayers))},
            {"menu", menu == 0 ? Json() : Json(menu)},
            {"firstControl", CControlInspector::Index(first)},
            {"preopen", pool_.Action(value(FormHeader::kPreopen), where(FormHeader::kPreopen),
                                     "preopen", actionControls)},
            {"open", pool_.Action(value(FormHeader::kOpen), where(FormHeader::kOpen), "open",
                                  actionControls)},
            {"close", pool_.Action(value(FormHeader::kClose), where(FormHeader::kClose), "close",
                                   actionControls)}};
        Json list = Json::array();
        CControlInspector reader(record_, index_, pool_, problems_);
        for (size_t j = 0; j < controls && problems_.Spend({index_, offset}); ++j) {
            here_ = context + ", control #" + N(j);
            pool_.SetContext(here_);
            list.push_back(reader.Read(offset + ControlRecord::kSize * j, j, controlCount, names,
                                       context_, here_));
        }
        form["controls"] = std::move(list);
        forms.push_back(std::move(form));
    }
    pool_.SetContext(object);
    return forms;
}
