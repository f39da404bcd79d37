// The editor protocol's JSON shapes of the analysis' positions and ranges, and back.
#pragma once

#include <nlohmann/json.hpp>

#include "CAnalysis.h"

using JsonValue = nlohmann::json;

inline JsonValue ToJson(const SPosition& position) {
    return JsonValue{{"line", position.line}, {"character", position.character}};
}

inline JsonValue ToJson(const SRange& range) {
    return JsonValue{{"start", ToJson(range.start)}, {"end", ToJson(range.end)}};
}

// The position of a request's params.position; false when it is missing or not two numbers.
inline bool PositionFrom(const JsonValue& value, SPosition& position) {
    if (!value.is_object() || !value.contains("line") || !value.contains("character") ||
        !value["line"].is_number_unsigned() || !value["character"].is_number_unsigned()) {
        return false;
    }
    const auto line = value["line"].get<uint64_t>();
    const auto character = value["character"].get<uint64_t>();
    if (line > UINT32_MAX || character > UINT32_MAX) {
        return false;
    }
    position = SPosition{static_cast<uint32_t>(line), static_cast<uint32_t>(character)};
    return true;
}

// Text of a JSON value for the wire: compact, and any byte that is not UTF-8 replaced rather
// than refused.
inline std::string Serialized(const JsonValue& value) {
    return value.dump(-1, ' ', false, JsonValue::error_handler_t::replace);
}
