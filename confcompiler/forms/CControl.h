// One `control` element of a form as a control record (ControlRecord.h): its type, the entry
// it shows, its place and navigation on the form (`layout`), its type attributes
// (ControlAttributes.h; a formmenu's item table, ControlItemRecord.h, goes to the string pool)
// and the action code of its events.
//
// Entry names become entry indexes through the object's entry list, control ids become
// control indexes through the form's control id list; both lists are borrowed.
//
// Messages (code, kind): 769 error, no valid `type`; 770 error, no `layout`; 788 error, type
// attributes missing or unusable (the control is invalid after each of these three);
// 771 warning, a select or update event on a formmenu (skipped: those slots hold the item
// list); 772 warnings, an event expression that does not compile; 773 error, an unknown event
// type (the event is skipped); 774, 775, 776, 778 warnings about formmenu items; 784 error,
// more than 5000 items in one formmenu (a refused limit; 788 follows).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ControlRecord.h"
#include "ObjectReader.h"

class CListControl;
class CListEntry;

class CControl : public ObjectReader {
public:
    static constexpr int kTypeMissing = 0x0301;
    static constexpr int kLayoutMissing = 0x0302;
    static constexpr int kEventNotAllowed = 0x0303;
    static constexpr int kFaultyEvent = 0x0304;
    static constexpr int kEventType = 0x0305;
    static constexpr int kUnknownItemTag = 0x0306;
    static constexpr int kItemWithoutBitmap = 0x0307;
    static constexpr int kItemWithoutView = 0x0308;
    static constexpr int kFaultyItem = 0x030A;
    static constexpr int kLimitCode = 0x0310;
    static constexpr int kBadAttributes = 0x0314;

    // Items of one formmenu's item table (12 bytes each in a 60000-byte table).
    static constexpr size_t kMaxItems = 5000;

    explicit CControl(CReadContext& context);
    ~CControl() override;

    // Reads one `control` element. Returns the 68-byte record (size 68), valid until the next
    // Read or the end of this object, or null (size 0) when the control is invalid, after its
    // error line. `entries` and `controls` may be null (no entry, no control is found).
    const uint8_t* Read(XmlNode control, const CListEntry* entries, const CListControl* controls,
                        size_t& size);

    // The child element that holds the attributes of a control type ("staticattrs", ...,
    // "items" for a formmenu); empty for a code that is no type.
    static std::string_view AttributesElement(uint16_t type);

private:
    void ReadLayout(XmlNode layout);
    // Control index of the control with that id; none for 0.
    uint16_t Target(uint16_t id) const;
    // False when the attribute element is missing or unusable.
    bool ReadTypeAttributes(XmlNode control, uint16_t type);
    bool ReadStatic(XmlNode element);
    bool ReadField(XmlNode element);
    bool ReadValueList(XmlNode element);
    bool ReadButton(XmlNode element, bool pushButton);
    bool ReadPlainButton(XmlNode element) { return ReadButton(element, false); }
    bool ReadPushButton(XmlNode element) { return ReadButton(element, true); }
    bool ReadCheckBox(XmlNode element);
    bool ReadTable(XmlNode element);
    bool ReadBitmap(XmlNode element);
    bool ReadDateTime(XmlNode element);
    // The item table of a formmenu; false when the limit is passed or the table cannot be
    // stored.
    bool ReadItems(XmlNode items);
    // One `item` into `record`: kept, dropped when its expression does not compile, or
    // refused when a limit is (the control fails).
    enum class ItemResult { Kept, Dropped, Refused };
    ItemResult ReadItem(XmlNode item, CRecordBuffer& record);
    // The event slots; false when a limit is refused (the control fails).
    bool ReadEvents(XmlNode control, uint16_t type);

    // Every control type with attributes: its attribute element and the reader of that
    // element.
    struct TypeAttributes {
        uint16_t type;
        std::string_view element;
        bool (CControl::*read)(XmlNode element);
    };
    static const std::array<TypeAttributes, 10> kTypeAttributes;

    // Writes into the type attributes area, at a field of its layout.
    void PutAttribute8(RecordField field, uint8_t value);
    void PutAttribute16(RecordField field, uint16_t value);
    // Adds the text to the pool and stores its reference in the area.
    bool PutAttributeText(RecordField field, std::string_view text);

    uint16_t FontOf(XmlNode element) const;
    // 1 only when the attribute is "true" (ASCII case ignored).
    uint8_t FlagOf(XmlNode element, std::string_view name) const;
    // A decimal attribute, 0 when absent.
    uint16_t NumberOf(XmlNode element, std::string_view name) const;

    XmlNode control_ = nullptr;
    const CListControl* controls_ = nullptr;
};
