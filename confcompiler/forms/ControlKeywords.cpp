#include "ControlKeywords.h"

#include <algorithm>
#include <array>
#include <string>

#include "AsciiCase.h"
#include "CConverter.h"
#include "ControlAttributes.h"
#include "ControlRecord.h"

namespace {

template <typename Code>
using Keyword = ControlKeywords::Keyword<Code>;

constexpr std::array<Keyword<uint16_t>, 10> kTypes{{
    {"static", ControlType::kStatic},
    {"field", ControlType::kField},
    {"valueList", ControlType::kValueList},
    {"button", ControlType::kButton},
    {"pushbutton", ControlType::kPushButton},
    {"checkbox", ControlType::kCheckBox},
    {"table", ControlType::kTable},
    {"formmenu", ControlType::kFormMenu},
    {"bitmap", ControlType::kBitmap},
    {"datetime", ControlType::kDateTime},
}};

constexpr std::array<Keyword<uint16_t>, 10> kFonts{{
    {"stdFont", 0},
    {"boldFont", 1},
    {"largeFont", 2},
    {"symbolFont", 3},
    {"symbol11Font", 4},
    {"symbol7Font", 5},
    {"ledFont", 6},
    {"largeBoldFont", 7},
    {"mediumFont", 8},
    {"fntAppFontCustomBase", 128},
}};

constexpr std::array<Keyword<uint8_t>, 3> kAlignments{{
    {"leftAlign", 0},
    {"centerAlign", 1},
    {"rightAlign", 2},
}};

constexpr std::array<Keyword<uint8_t>, 2> kContentKinds{{
    {"text", ButtonAttributes::kTextContent},
    {"graph", ButtonAttributes::kGraphContent},
}};

constexpr std::array<Keyword<uint8_t>, 4> kFrames{{
    {"noButtonFrame", 0},
    {"standardButtonFrame", 1},
    {"boldButtonFrame", 2},
    {"rectangleButtonFrame", 3},
}};

// The flags of a field's attributes, read in this order.
constexpr std::array<Keyword<uint8_t>, 6> kFieldFlags{{
    {"underlined", FieldAttributes::kUnderlined},
    {"singleLine", FieldAttributes::kSingleLine},
    {"dynamicSize", FieldAttributes::kDynamicSize},
    {"autoShift", FieldAttributes::kAutoShift},
    {"hasScrollBar", FieldAttributes::kHasScrollBar},
    {"numeric", FieldAttributes::kNumeric},
}};

constexpr std::array<Keyword<RecordField>, 7> kEvents{{
    {"select", ControlRecord::kSelect},
    {"update", ControlRecord::kUpdate},
    {"init", ControlRecord::kInit},
    {"changeposition", ControlRecord::kChangePosition},
    {"recordadded", ControlRecord::kRecordAdded},
    {"recorddeleted", ControlRecord::kRecordDeleted},
    {"recordchanged", ControlRecord::kRecordChanged},
}};

// Resize keywords, tested in this order; the Cyrillic ones are UTF-8 here and compared as
// their Windows-1251 bytes.
struct ResizeKeywords {
    uint8_t value;
    std::string_view latin;
    std::string_view cyrillic;
};
constexpr std::array<ResizeKeywords, 4> kResize{{
    {4, "stretchx", "вертрастягивание"},
    {8, "stretchy", "горизрастягивание"},
    {1, "movex", "вертперемещение"},
    {2, "movey", "горизперемещение"},
}};

template <typename Code, size_t N>
std::vector<std::string_view> Names(const std::array<Keyword<Code>, N>& table) {
    std::vector<std::string_view> names;
    for (const Keyword<Code>& keyword : table) {
        names.push_back(keyword.name);
    }
    return names;
}

template <typename Code, size_t N>
std::optional<Code> Find(const std::array<Keyword<Code>, N>& table, std::string_view name) {
    for (const Keyword<Code>& keyword : table) {
        if (AsciiCase::Equal(keyword.name, name)) {
            return keyword.code;
        }
    }
    return std::nullopt;
}

template <typename Code, size_t N>
std::string_view NameOf(const std::array<Keyword<Code>, N>& table, Code code) {
    for (const Keyword<Code>& keyword : table) {
        if (keyword.code == code) {
            return keyword.name;
        }
    }
    return {};
}

}  // namespace

uint16_t ControlKeywords::TypeCode(std::string_view name) {
    return Find(kTypes, name).value_or(0);
}

uint8_t ControlKeywords::ResizeFlags(std::string_view text) {
    static const std::array<std::string, kResize.size()> cyrillic = [] {
        std::array<std::string, kResize.size()> narrow;
        for (size_t i = 0; i < kResize.size(); ++i) {
            narrow[i] = CConverter::ToNarrow(kResize[i].cyrillic);
        }
        return narrow;
    }();
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), AsciiCase::Lower);
    uint8_t flags = 0;
    for (size_t i = 0; i < kResize.size(); ++i) {
        if (lower.find(kResize[i].latin) != std::string::npos ||
            lower.find(cyrillic[i]) != std::string::npos) {
            flags = static_cast<uint8_t>(flags | kResize[i].value);
        }
    }
    return flags;
}

std::string_view ControlKeywords::TypeName(uint16_t code) {
    return NameOf(kTypes, code);
}

std::string_view ControlKeywords::FontName(uint16_t id) {
    return NameOf(kFonts, id);
}

std::string_view ControlKeywords::AlignmentName(uint8_t code) {
    return NameOf(kAlignments, code);
}

std::string_view ControlKeywords::ContentKindName(uint8_t kind) {
    return NameOf(kContentKinds, kind);
}

std::string_view ControlKeywords::FrameTypeName(uint8_t frame) {
    return NameOf(kFrames, frame);
}

std::string_view ControlKeywords::FieldFlagName(size_t index) {
    return index < kFieldFlags.size() ? kFieldFlags[index].name : std::string_view();
}

std::string_view ControlKeywords::EventName(size_t slotOffset) {
    for (const Keyword<RecordField>& event : kEvents) {
        if (event.code.offset == slotOffset) {
            return event.name;
        }
    }
    return {};
}

std::vector<std::string_view> ControlKeywords::TypeNames() {
    return Names(kTypes);
}

std::vector<std::string_view> ControlKeywords::FontNames() {
    return Names(kFonts);
}

std::vector<std::string_view> ControlKeywords::AlignmentNames() {
    return Names(kAlignments);
}

std::vector<std::string_view> ControlKeywords::ContentKindNames() {
    return Names(kContentKinds);
}

std::vector<std::string_view> ControlKeywords::FrameTypeNames() {
    return Names(kFrames);
}

std::vector<std::string_view> ControlKeywords::EventNames() {
    return Names(kEvents);
}

std::vector<std::string_view> ControlKeywords::FieldFlagNames() {
    return Names(kFieldFlags);
}

std::vector<std::string_view> ControlKeywords::ResizeWords() {
    std::vector<std::string_view> words;
    for (const ResizeKeywords& keyword : kResize) {
        words.push_back(keyword.latin);
    }
    for (const ResizeKeywords& keyword : kResize) {
        words.push_back(keyword.cyrillic);
    }
    return words;
}

uint16_t ControlKeywords::FontId(std::string_view name) {
    return Find(kFonts, name).value_or(0);
}

uint8_t ControlKeywords::Alignment(std::string_view name) {
    return Find(kAlignments, name).value_or(0);
}

uint8_t ControlKeywords::ContentKind(std::string_view name) {
    return Find(kContentKinds, name).value_or(0);
}

uint8_t ControlKeywords::FrameType(uint8_t contentKind, std::string_view name) {
    for (const Keyword<uint8_t>& frame : kFrames) {
        if (frame.name == name) {  // the one keyword table compared with its letter case
            return frame.code;
        }
    }
    return contentKind == ButtonAttributes::kTextContent ? 1 : 0;
}

std::optional<RecordField> ControlKeywords::EventSlot(std::string_view name) {
    return Find(kEvents, name);
}

std::span<const ControlKeywords::Keyword<uint8_t>> ControlKeywords::FieldFlags() {
    return kFieldFlags;
}
