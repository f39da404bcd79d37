#include "CControl.h"

#include <array>
#include <optional>
#include <string>

#include "AsciiCase.h"
#include "CActsReader.h"
#include "CListControl.h"
#include "CListEntry.h"
#include "CStringsReader.h"
#include "ControlAttributes.h"
#include "ControlItemRecord.h"
#include "ControlKeywords.h"

namespace {

RecordField InArea(RecordField field) {
    return field.At(ControlRecord::kTypeAttributes.offset);
}

bool IsItemSlot(RecordField slot) {
    return slot.offset == ControlRecord::kSelect.offset ||
           slot.offset == ControlRecord::kUpdate.offset;
}

}  // namespace

CControl::CControl(CReadContext& context)
    : ObjectReader(context, kLimitCode, "Запись элемента управления", ControlRecord::kSize) {}

CControl::~CControl() = default;

std::string_view CControl::AttributesElement(uint16_t type) {
    for (const TypeAttributes& attributes : kTypeAttributes) {
        if (attributes.type == type) {
            return attributes.element;
        }
    }
    return {};
}

const uint8_t* CControl::Read(XmlNode control, const CListEntry* entries,
                              const CListControl* controls, size_t& size) {
    size = 0;
    control_ = control;
    controls_ = controls;
    buffer_.Clear();
    buffer_.Reserve(ControlRecord::kSize);
    SetNode(control);
    const CXMLDOM& document = Document();

    std::string text;
    document.GetAttributeText(control, "type", text);
    const uint16_t type = ControlKeywords::TypeCode(text);
    if (type == 0) {
        return Fail(kTypeMissing, "Отсутствует реквизит control->type", control);
    }
    buffer_.Put16(ControlRecord::kType, type);

    document.GetAttributeText(control, "entry", text);
    buffer_.Put16(ControlRecord::kEntry,
                  entries != nullptr ? entries->IndexOf(text) : CListEntry::kNoEntry);

    const XmlNode layout = document.FindChild(control, "layout");
    if (layout == nullptr) {
        return Fail(kLayoutMissing, "Отсутствует реквизит control->layout", control);
    }
    ReadLayout(layout);

    if (!ReadTypeAttributes(control, type)) {
        document.GetAttributeText(control, "id", text);
        return Fail(kBadAttributes,
                    "Неверное или отсутствует описание атрибутов контрола id=", text, control);
    }
    if (!ReadEvents(control, type) || buffer_.Failed()) {
        return nullptr;  // refused where it happened
    }
    size = ControlRecord::kSize;
    return buffer_.Data();
}

uint16_t CControl::Target(uint16_t id) const {
    return id == 0 || controls_ == nullptr ? CListControl::kNoControl : controls_->IndexOf(id);
}

void CControl::ReadLayout(XmlNode layout) {
    const CXMLDOM& document = Document();
    const std::array<ControlKeywords::Keyword<RecordField>, 4> place{{
        {"x", ControlRecord::kX},
        {"y", ControlRecord::kY},
        {"w", ControlRecord::kW},
        {"h", ControlRecord::kH},
    }};
    for (const auto& [name, field] : place) {
        uint16_t value = 0;
        document.GetAttributeShort(layout, name, value);
        buffer_.Put16(field, value);
    }

    uint16_t layer = 0;
    const bool hasLayer = document.GetAttributeShortIfPresent(layout, "layer", layer) == 0;
    buffer_.Put8(ControlRecord::kLayer,
                 hasLayer ? static_cast<uint8_t>(layer & 0xFF) : ControlRecord::kNoLayer);

    uint8_t enable = 0;
    if (document.GetAttributeBool(layout, "enable", enable) != 0) {
        enable = 1;
    }
    buffer_.Put8(ControlRecord::kEnable, enable);

    const std::array<ControlKeywords::Keyword<RecordField>, 4> targets{{
        {"left", ControlRecord::kLeft},
        {"right", ControlRecord::kRight},
        {"down", ControlRecord::kDown},
        {"up", ControlRecord::kUp},
    }};
    for (const auto& [name, field] : targets) {
        uint16_t id = 0;
        document.GetAttributeShortIfPresent(layout, name, id);
        buffer_.Put16(field, Target(id));
    }

    std::string resize;
    document.GetAttributeText(layout, "resize", resize);
    buffer_.Put8(ControlRecord::kResize, ControlKeywords::ResizeFlags(resize));
}

void CControl::PutAttribute8(RecordField field, uint8_t value) {
    buffer_.Put8(InArea(field), value);
}

void CControl::PutAttribute16(RecordField field, uint16_t value) {
    buffer_.Put16(InArea(field), value);
}

bool CControl::PutAttributeText(RecordField field, std::string_view text) {
    return PoolText(InArea(field), text);
}

uint16_t CControl::FontOf(XmlNode element) const {
    std::string name;
    Document().GetAttributeText(element, "font", name);
    return ControlKeywords::FontId(name);
}

uint8_t CControl::FlagOf(XmlNode element, std::string_view name) const {
    uint8_t flag = 0;
    Document().GetAttributeBool(element, name, flag);
    return flag;
}

uint16_t CControl::NumberOf(XmlNode element, std::string_view name) const {
    uint16_t value = 0;
    Document().GetAttributeShortIfPresent(element, name, value);
    return value;
}

const std::array<CControl::TypeAttributes, 10> CControl::kTypeAttributes{{
    {ControlType::kStatic, "staticattrs", &CControl::ReadStatic},
    {ControlType::kField, "fieldattrs", &CControl::ReadField},
    {ControlType::kValueList, "valuelistattrs", &CControl::ReadValueList},
    {ControlType::kButton, "buttonattrs", &CControl::ReadPlainButton},
    {ControlType::kPushButton, "pushbuttonattrs", &CControl::ReadPushButton},
    {ControlType::kCheckBox, "checkboxattrs", &CControl::ReadCheckBox},
    {ControlType::kTable, "tableattrs", &CControl::ReadTable},
    {ControlType::kFormMenu, "items", &CControl::ReadItems},
    {ControlType::kBitmap, "bitmapattrs", &CControl::ReadBitmap},
    {ControlType::kDateTime, "datetimeattrs", &CControl::ReadDateTime},
}};

bool CControl::ReadTypeAttributes(XmlNode control, uint16_t type) {
    for (const TypeAttributes& attributes : kTypeAttributes) {
        if (attributes.type != type) {
            continue;
        }
        const XmlNode element = Document().FindChild(control, attributes.element);
        return element != nullptr && (this->*attributes.read)(element);
    }
    return false;
}

bool CControl::ReadStatic(XmlNode element) {
    std::string text;
    Document().GetAttributeText(element, "text", text);
    PutAttribute16(StaticAttributes::kFont, FontOf(element));
    return PutAttributeText(StaticAttributes::kText, text);
}

bool CControl::ReadField(XmlNode element) {
    PutAttribute16(FieldAttributes::kMaxChars, NumberOf(element, "maxChars"));
    PutAttribute16(FieldAttributes::kFont, FontOf(element));
    unsigned bits = 0;
    for (const auto& [name, bit] : ControlKeywords::FieldFlags()) {
        if (FlagOf(element, name) != 0) {
            bits |= bit;
        }
    }
    std::string justification;
    Document().GetAttributeText(element, "justification", justification);
    bits |= static_cast<unsigned>(ControlKeywords::Alignment(justification))
            << FieldAttributes::kJustificationShift;
    PutAttribute8(FieldAttributes::kFlags, static_cast<uint8_t>(bits & 0xFF));
    return true;
}

bool CControl::ReadValueList(XmlNode element) {
    PutAttribute16(ValueListAttributes::kFont, FontOf(element));
    PutAttribute16(ValueListAttributes::kMaxVisibleCount, NumberOf(element, "maxVisibleCount"));
    return true;
}

bool CControl::ReadButton(XmlNode element, bool pushButton) {
    const CXMLDOM& document = Document();
    std::string text;
    document.GetAttributeText(element, "type", text);
    const uint8_t kind = ControlKeywords::ContentKind(text);
    if (kind == 0) {
        return false;
    }
    PutAttribute8(ButtonAttributes::kContentKind, kind);
    if (pushButton) {
        uint8_t group = 0;
        document.GetAttributeChar(element, "group", group);
        PutAttribute8(ButtonAttributes::kGroup, group);
    } else {
        document.GetAttributeText(element, "frameType", text);
        PutAttribute8(ButtonAttributes::kFrameType, ControlKeywords::FrameType(kind, text));
    }
    if (kind == ButtonAttributes::kTextContent) {
        const XmlNode content = document.FindChild(element, "text");
        if (content == nullptr) {
            return false;
        }
        PutAttribute16(ButtonAttributes::kTextFont, FontOf(content));
        document.GetAttributeText(content, "text", text);
        return PutAttributeText(ButtonAttributes::kText, text);
    }
    const XmlNode graph = document.FindChild(element, "graph");
    if (graph == nullptr) {
        return false;
    }
    PutAttribute16(ButtonAttributes::kBitmapId, NumberOf(graph, "bitmapID"));
    PutAttribute16(ButtonAttributes::kSelectedBitmapId, NumberOf(graph, "selectedBitmapID"));
    return true;
}

bool CControl::ReadCheckBox(XmlNode element) {
    const CXMLDOM& document = Document();
    std::string text;
    document.GetAttributeText(element, "text", text);
    PutAttribute16(CheckBoxAttributes::kFont, FontOf(element));
    uint8_t group = 0;
    document.GetAttributeChar(element, "group", group);
    PutAttribute8(CheckBoxAttributes::kGroup, group);
    return PutAttributeText(CheckBoxAttributes::kText, text);
}

bool CControl::ReadTable(XmlNode element) {
    // The table's font is a number, not a font name.
    PutAttribute16(TableAttributes::kFont, NumberOf(element, "font"));
    return true;
}

bool CControl::ReadBitmap(XmlNode element) {
    PutAttribute16(BitmapAttributes::kBitmapId, NumberOf(element, "bitmapID"));
    return true;
}

bool CControl::ReadDateTime(XmlNode element) {
    PutAttribute16(DateTimeAttributes::kKind, DateTimeAttributes::kKindValue);
    std::string title;
    Document().GetAttributeText(element, "title", title);
    return PutAttributeText(DateTimeAttributes::kTitle, title);
}

CControl::ItemResult CControl::ReadItem(XmlNode item, CRecordBuffer& record) {
    const CXMLDOM& document = Document();
    record.Put16(ControlItemRecord::kKind, ControlItemRecord::kItem);

    uint16_t bitmap = 0;
    if (document.GetAttributeShortIfPresent(item, "bitmapID", bitmap) != 0) {
        context_.Warning(kItemWithoutBitmap, "Отсутствует реквизит control->items->item->bitmapid",
                         item);
    }
    record.Put16(ControlItemRecord::kBitmapId, bitmap);

    std::string text;
    if (document.GetAttributeText(item, "view", text) != 0) {
        context_.Warning(kItemWithoutView, "Отсутствует реквизит control->items->item->view", item);
    }
    // A refusal of the pool is reported there and makes the table's own addition fail.
    record.Put32(ControlItemRecord::kView,
                 context_.Pool().AddString(text, kLimitCode, context_.Location(item)));

    if (document.GetAttributeText(item, "func", text) == 0) {
        const std::optional<uint32_t> code =
            CActsReader::Compile(context_, text, nullptr, kFaultyItem, kLimitCode, item);
        if (!code) {
            return ItemResult::Refused;
        }
        if (*code == 0) {
            return ItemResult::Dropped;
        }
        record.Put32(ControlItemRecord::kFunc, *code);
    }
    return ItemResult::Kept;
}

bool CControl::ReadItems(XmlNode items) {
    const CXMLDOM& document = Document();
    const Subject tableSubject{"Таблица пунктов formmenu", {}, items};
    CRecordBuffer table;
    Report(table, tableSubject);
    size_t count = 0;
    for (XmlNode node = document.GetFirstChild(items); node != nullptr;
         node = document.GetNextSibling(node)) {
        const std::string name = document.GetNodeName(node);
        CRecordBuffer record(ControlItemRecord::kSize);
        record.Reserve(ControlItemRecord::kSize);
        if (AsciiCase::Equal(name, "separator")) {
            record.Put16(ControlItemRecord::kKind, ControlItemRecord::kSeparator);
        } else if (AsciiCase::Equal(name, "item")) {
            const ItemResult result = ReadItem(node, record);
            if (result == ItemResult::Refused) {
                return false;
            }
            if (result == ItemResult::Dropped) {
                continue;  // the following items move up
            }
        } else {
            context_.Warning(kUnknownItemTag, "Неизвестный тэг control->items->", name, node);
            continue;
        }
        if (count == kMaxItems) {
            std::string id;
            document.GetAttributeText(control_, "id", id);
            context_.TooMany(kLimitCode, "пунктов formmenu", kMaxItems, id, node);
            return false;
        }
        table.AppendBytes(record.Bytes());
        ++count;
    }
    if (table.Failed()) {
        return false;
    }
    buffer_.Put16(ControlRecord::kItemCount, static_cast<uint16_t>(count));
    return PoolBytes(ControlRecord::kItemTable, table.Bytes());
}

bool CControl::ReadEvents(XmlNode control, uint16_t type) {
    const CXMLDOM& document = Document();
    const XmlNode events = document.FindChild(control, "events");
    for (XmlNode event = document.FindChild(events, "event"); event != nullptr;
         event = document.FindNextSibling(event, "event")) {
        std::string text;
        document.GetAttributeText(event, "type", text);
        const std::optional<RecordField> slot = ControlKeywords::EventSlot(text);
        if (!slot) {
            context_.Error(kEventType, "Неверное значение control->event->type: ", text, event);
            continue;
        }
        if (type == ControlType::kFormMenu && IsItemSlot(*slot)) {
            // Those bytes hold the item list of a formmenu.
            context_.Warning(kEventNotAllowed, "Событие недопустимо для formmenu: ", text, event);
            continue;
        }
        if (document.GetAttributeText(event, "func", text) != 0) {
            continue;
        }
        const std::optional<uint32_t> code =
            CActsReader::Compile(context_, text, controls_, kFaultyEvent, kLimitCode, event);
        if (!code) {
            return false;
        }
        if (*code != 0) {
            buffer_.Put32(*slot, *code);
        }
    }
    return true;
}
