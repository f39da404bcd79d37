// The document the inspector builds for a database: every decoded field, the problems found,
// in the order written. `quilinspect --json` prints it; the text report and the drawings of
// the forms are made from it, so all three show the same content.
#pragma once

#include <nlohmann/json.hpp>

using Json = nlohmann::ordered_json;

// The member `key` of `object`, or null when it has none (or is no object): what reads the
// document uses, since indexing a constant document with a missing key is undefined.
inline const Json& At(const Json& object, const char* key) {
    static const Json kNull;
    if (!object.is_object()) {
        return kNull;
    }
    const auto found = object.find(key);
    return found != object.end() ? *found : kNull;
}

// An integer of the document, or 0 when `value` is no integer.
inline int IntOf(const Json& value) {
    return value.is_number_integer() ? value.get<int>() : 0;
}
