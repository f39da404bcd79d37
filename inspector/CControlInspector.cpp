#include "CControlInspector.h"

#include <array>
#include <string_view>
#include <utility>

#include "CControl.h"
#include "ConfigurationLayout.h"
#include "ControlAttributes.h"
#include "ControlItemRecord.h"
#include "ControlKeywords.h"
#include "ControlRecord.h"
#include "StringReference.h"

namespace {

using Where = CProblemList::Where;

std::string N(size_t value) {
    return std::to_string(value);
}

Json Font(uint16_t id) {
    const std::string_view name = ControlKeywords::FontName(id);
    return name.empty() ? Json(id) : Json(std::string(name));
}

// The column names that a table's `SetColumnsNames("A,B,C")` gives, from its action code.
Json Columns(const Json& events) {
    static constexpr std::string_view kCall = "SetColumnsNames(\"";
    for (const auto& [event, action] : events.items()) {
        if (!action.is_object() || !action.contains("code")) {
            continue;
        }
        const std::string& code = action["code"].get_ref<const std::string&>();
        const size_t start = code.find(kCall);
        if (start == std::string::npos) {
            continue;
        }
        const size_t begin = start + kCall.size();
        const size_t end = code.find('"', begin);
        if (end == std::string::npos) {
            continue;
        }
        Json columns = Json::array();
        std::string_view names(code.data() + begin, end - begin);
        while (true) {
            const size_t comma = names.find(',');
            columns.push_back(std::string(names.substr(0, comma)));
            if (comma == std::string_view::npos) {
                break;
            }
            names.remove_prefix(comma + 1);
        }
        return columns;
    }
    return Json();
}

}  // namespace

CControlInspector::CControlInspector(CByteReader record, int index, CStringPool& pool,
                                     CProblemList& problems)
    : record_(record), index_(index), pool_(pool), problems_(problems) {}

CControlInspector::~CControlInspector() = default;

Json CControlInspector::Index(uint16_t value) {
    return value == ConfigurationLayout::kNoIndex ? Json() : Json(value);
}

Json CControlInspector::Read(size_t at, size_t index, size_t controlCount,
                             const std::vector<std::string>& names, const std::string& object,
                             const std::string& here) {
    object_ = &object;
    here_ = &here;
    const auto value = [&](RecordField field) { return record_.Value(field, at); };
    const auto type = static_cast<uint16_t>(value(ControlRecord::kType));
    if (ControlKeywords::TypeName(type).empty()) {
        problems_.Add(index_, at + ControlRecord::kType.offset,
                      *here_ + ": unknown control type " + N(type));
    }
    Json control = {{"index", index},
                    {"type", std::string(ControlKeywords::TypeName(type))},
                    {"typeCode", type}};
    const auto entry = static_cast<uint16_t>(value(ControlRecord::kEntry));
    if (entry == ConfigurationLayout::kNoIndex) {
        control["entry"] = Json();
    } else if (entry >= names.size()) {
        problems_.Warn(index_, at + ControlRecord::kEntry.offset,
                       *here_ + ": names entry " + N(entry) + ", but the object has " +
                           N(names.size()) + " entries");
        control["entry"] = {{"index", entry}, {"name", Json()}};
    } else {
        control["entry"] = {{"index", entry}, {"name", names[entry]}};
    }
    control["x"] = static_cast<int16_t>(value(ControlRecord::kX));
    control["y"] = static_cast<int16_t>(value(ControlRecord::kY));
    control["w"] = static_cast<int16_t>(value(ControlRecord::kW));
    control["h"] = static_cast<int16_t>(value(ControlRecord::kH));
    control["enabled"] = value(ControlRecord::kEnable) != 0;
    const size_t layer = value(ControlRecord::kLayer);
    control["layer"] = layer == ControlRecord::kNoLayer ? Json() : Json(layer);
    static constexpr std::array<std::pair<const char*, RecordField>, 4> kTargets{{
        {"left", ControlRecord::kLeft},
        {"right", ControlRecord::kRight},
        {"up", ControlRecord::kUp},
        {"down", ControlRecord::kDown},
    }};
    for (const auto& [name, field] : kTargets) {
        const auto target = static_cast<uint16_t>(value(field));
        if (target != ConfigurationLayout::kNoIndex && target >= controlCount) {
            problems_.Warn(index_, at + field.offset,
                           *here_ + ": " + name + " names control #" + N(target) +
                               ", but the form has " + N(controlCount) + " controls");
        }
        control[name] = Index(target);
    }
    static constexpr std::array<std::pair<uint8_t, const char*>, 4> kResize{{
        {1, "movex"},
        {2, "movey"},
        {4, "stretchx"},
        {8, "stretchy"},
    }};
    Json resize = Json::array();
    for (const auto& [bit, name] : kResize) {
        if ((value(ControlRecord::kResize) & bit) != 0) {
            resize.push_back(name);
        }
    }
    control["resize"] = std::move(resize);

    Json items;
    control["attributes"] = Attributes(at, type, items);
    if (type == ControlType::kFormMenu) {
        control["items"] = std::move(items);
    }
    Json events = Json::object();
    for (const RecordField slot :
         {ControlRecord::kSelect, ControlRecord::kUpdate, ControlRecord::kInit,
          ControlRecord::kChangePosition, ControlRecord::kRecordAdded,
          ControlRecord::kRecordChanged, ControlRecord::kRecordDeleted}) {
        if (type == ControlType::kFormMenu && (slot.offset == ControlRecord::kSelect.offset ||
                                               slot.offset == ControlRecord::kUpdate.offset)) {
            continue;  // the item list lies there
        }
        const std::string event(ControlKeywords::EventName(slot.offset));
        Json action = pool_.Action(value(slot), {index_, at + slot.offset}, event,
                                   static_cast<int>(controlCount));
        if (!action.is_null()) {
            events[event] = std::move(action);
        }
    }
    if (type == ControlType::kTable) {
        control["attributes"]["columns"] = Columns(events);
    }
    control["events"] = std::move(events);
    return control;
}

Json CControlInspector::Attributes(size_t at, uint16_t type, Json& items) {
    const size_t base = at + ControlRecord::kTypeAttributes.offset;
    const auto value = [&](RecordField field) { return record_.Value(field, base); };
    const auto text = [&](RecordField field, const char* what) {
        return pool_.Text(value(field), {index_, base + field.offset}, what);
    };
    switch (type) {
        case ControlType::kStatic:
            return {{"text", text(StaticAttributes::kText, "text")},
                    {"font", Font(static_cast<uint16_t>(value(StaticAttributes::kFont)))}};
        case ControlType::kField: {
            const auto flags = static_cast<uint8_t>(value(FieldAttributes::kFlags));
            const auto alignment =
                static_cast<uint8_t>(flags >> FieldAttributes::kJustificationShift);
            return {{"maxChars", static_cast<int16_t>(value(FieldAttributes::kMaxChars))},
                    {"font", Font(static_cast<uint16_t>(value(FieldAttributes::kFont)))},
                    {"underlined", (flags & FieldAttributes::kUnderlined) != 0},
                    {"singleLine", (flags & FieldAttributes::kSingleLine) != 0},
                    {"dynamicSize", (flags & FieldAttributes::kDynamicSize) != 0},
                    {"autoShift", (flags & FieldAttributes::kAutoShift) != 0},
                    {"hasScrollBar", (flags & FieldAttributes::kHasScrollBar) != 0},
                    {"numeric", (flags & FieldAttributes::kNumeric) != 0},
                    {"justification",
                     ControlKeywords::AlignmentName(alignment).empty()
                         ? Json(alignment)
                         : Json(std::string(ControlKeywords::AlignmentName(alignment)))}};
        }
        case ControlType::kValueList:
            return {{"font", Font(static_cast<uint16_t>(value(ValueListAttributes::kFont)))},
                    {"maxVisibleCount",
                     static_cast<int16_t>(value(ValueListAttributes::kMaxVisibleCount))}};
        case ControlType::kButton:
        case ControlType::kPushButton: {
            const auto kind = static_cast<uint8_t>(value(ButtonAttributes::kContentKind));
            Json attributes = {{"content", std::string(ControlKeywords::ContentKindName(kind))}};
            if (type == ControlType::kButton) {
                const auto frame = static_cast<uint8_t>(value(ButtonAttributes::kFrameType));
                attributes["frame"] =
                    ControlKeywords::FrameTypeName(frame).empty()
                        ? Json(frame)
                        : Json(std::string(ControlKeywords::FrameTypeName(frame)));
            } else {
                attributes["group"] = value(ButtonAttributes::kGroup);
            }
            if (kind == ButtonAttributes::kTextContent) {
                attributes["text"] = text(ButtonAttributes::kText, "button text");
                attributes["font"] =
                    Font(static_cast<uint16_t>(value(ButtonAttributes::kTextFont)));
            } else if (kind == ButtonAttributes::kGraphContent) {
                attributes["bitmap"] = value(ButtonAttributes::kBitmapId);
                attributes["selectedBitmap"] = value(ButtonAttributes::kSelectedBitmapId);
            } else {
                problems_.Add(index_, base + ButtonAttributes::kContentKind.offset,
                              *object_ + ": button content " + N(kind) +
                                  " is neither text (1) nor graph (2)");
            }
            return attributes;
        }
        case ControlType::kCheckBox:
            return {{"text", text(CheckBoxAttributes::kText, "check box text")},
                    {"font", Font(static_cast<uint16_t>(value(CheckBoxAttributes::kFont)))},
                    {"group", value(CheckBoxAttributes::kGroup)}};
        case ControlType::kTable:
            return {{"font", static_cast<int16_t>(value(TableAttributes::kFont))}};
        case ControlType::kBitmap:
            return {{"bitmap", value(BitmapAttributes::kBitmapId)}};
        case ControlType::kDateTime:
            if (value(DateTimeAttributes::kKind) != DateTimeAttributes::kKindValue) {
                problems_.Add(index_, base + DateTimeAttributes::kKind.offset,
                              *object_ + ": a date-time control whose first word is not " +
                                  N(DateTimeAttributes::kKindValue));
            }
            return {{"title", text(DateTimeAttributes::kTitle, "title")}};
        case ControlType::kFormMenu: {
            items = Json::array();
            size_t count = record_.Value(ControlRecord::kItemCount, at);
            const auto reference =
                static_cast<uint32_t>(record_.Value(ControlRecord::kItemTable, at));
            CByteReader table;
            if (!pool_.Entry(reference, {index_, at + ControlRecord::kItemTable.offset},
                             "item table", table)) {
                return Json::object();
            }
            if (!table.Fits(0, ControlItemRecord::kSize * count)) {
                problems_.Add(index_, at + ControlRecord::kItemCount.offset,
                              *here_ + ": " + N(count) + " items, but the item table holds " +
                                  N(table.Size()) + " bytes");
                count = table.Size() / ControlItemRecord::kSize;
            }
            const size_t tableStart =
                size_t{StringReference::Offset(reference)} + StringsRecord::kLengthSize;
            for (size_t k = 0; k < count && problems_.Spend({index_, at}); ++k) {
                const size_t item = ControlItemRecord::kSize * k;
                const Where where{StringReference::kRecordIndex, tableStart + item};
                const size_t kind = table.Value(ControlItemRecord::kKind, item);
                if (kind == ControlItemRecord::kSeparator) {
                    items.push_back({{"kind", "separator"}});
                    continue;
                }
                if (kind != ControlItemRecord::kItem) {
                    problems_.Add(where, *object_ + ": item " + N(k) + " has the kind " + N(kind) +
                                             ", neither item (1) nor separator (2)");
                }
                items.push_back(
                    {{"kind", "item"},
                     {"bitmap", table.Value(ControlItemRecord::kBitmapId, item)},
                     {"view", pool_.Text(table.Value(ControlItemRecord::kView, item),
                                         where.At(ControlItemRecord::kView.offset), "item view")},
                     {"action",
                      pool_.Action(table.Value(ControlItemRecord::kFunc, item),
                                   where.At(ControlItemRecord::kFunc.offset), "item action")}});
            }
            return Json::object();
        }
        default:
            return Json::object();
    }
}
