// The keywords of `control` elements and the codes they stand for in the control record
// (ControlRecord.h, ControlAttributes.h): control types, fonts, alignments, button contents and
// frames, the field flags, the events and the resize words. The compiler reads keywords into
// codes with them; the inspector, the decompiler and the editor tools name codes with them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "RecordField.h"

class ControlKeywords {
public:
    template <typename Code>
    struct Keyword {
        std::string_view name;
        Code code;
    };

    // The type code of a `type` value (ASCII case ignored); 0 for any other text.
    static uint16_t TypeCode(std::string_view name);
    // The resize flags of a `resize` value: 1 movex or вертперемещение, 2 movey or
    // горизперемещение, 4 stretchx or вертрастягивание, 8 stretchy or горизрастягивание, each
    // found anywhere in the text (Windows-1251), only the letters A to Z folded.
    static uint8_t ResizeFlags(std::string_view text);
    // Font id of a font name (ASCII case ignored); 0 for any other text.
    static uint16_t FontId(std::string_view name);
    // leftAlign 0, centerAlign 1, rightAlign 2 (ASCII case ignored); 0 for any other text.
    static uint8_t Alignment(std::string_view name);
    // text 1, graph 2 (ASCII case ignored); 0 for any other text.
    static uint8_t ContentKind(std::string_view name);
    // The button frame of a `frameType` value, letter case exact: noButtonFrame 0,
    // standardButtonFrame 1, boldButtonFrame 2, rectangleButtonFrame 3; any other text gives
    // 1 for text content and 0 otherwise.
    static uint8_t FrameType(uint8_t contentKind, std::string_view name);

    // The other way round, for showing a record: the name of a code as the configuration
    // writes it (the spelling of the tables above), empty for a code that has none.
    static std::string_view TypeName(uint16_t code);
    static std::string_view FontName(uint16_t id);
    static std::string_view AlignmentName(uint8_t code);
    static std::string_view ContentKindName(uint8_t kind);
    static std::string_view FrameTypeName(uint8_t frame);
    // The event whose code reference the record holds at `slotOffset` (ControlRecord.h).
    static std::string_view EventName(size_t slotOffset);
    // The boolean attributes of a field's attributes element, in the order they are read:
    // the name at `index`, empty past the last.
    static std::string_view FieldFlagName(size_t index);

    // The keywords of the tables above in their order, as the configuration writes them, for
    // tools that offer or check them (the resize words in UTF-8, the Latin ones first).
    static std::vector<std::string_view> TypeNames();
    static std::vector<std::string_view> FontNames();
    static std::vector<std::string_view> AlignmentNames();
    static std::vector<std::string_view> ContentKindNames();
    static std::vector<std::string_view> FrameTypeNames();
    static std::vector<std::string_view> EventNames();
    static std::vector<std::string_view> ResizeWords();
    // The flags of `fieldattrs`, each a boolean attribute.
    static std::vector<std::string_view> FieldFlagNames();

    // The slot of the event `name` in the control record (letter case ignored).
    static std::optional<RecordField> EventSlot(std::string_view name);
    // The field flags with their bits, in the order they are read.
    static std::span<const Keyword<uint8_t>> FieldFlags();
};
