// The document the inspector builds for a database: every decoded field, the problems found,
// in the order written. `quilinspect --json` prints it; the text report and the drawings of
// the forms are made from it, so all three show the same content.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

using Json = nlohmann::ordered_json;

// An empty object with room for `members` members. An object's members are (key, value) pairs
// whose keys are constant, so an object that outgrows its room copies, not moves, every value
// it holds, whole subtrees included: an object that will hold large values is made with room
// for all its members first.
inline Json ObjectWithRoom(size_t members) {
    Json object = Json::object();
    object.get_ref<Json::object_t&>().reserve(members);
    return object;
}

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

// `bytes` as a text the document can hold: a path may be any bytes, but the document's texts
// must be UTF-8, so every byte that is no part of a UTF-8 character becomes U+FFFD.
inline std::string ValidUtf8(const std::string& bytes) {
    return Json::parse(Json(bytes).dump(-1, ' ', false, Json::error_handler_t::replace))
        .get<std::string>();
}

// The document as text, indented by `indent` (-1: on one line). Its texts are UTF-8; should
// one not be, its bad bytes are replaced rather than ending the program.
inline std::string JsonText(const Json& document, int indent) {
    return document.dump(indent, ' ', false, Json::error_handler_t::replace);
}

// The document written to `out` as it is serialised, never held whole as one text; bad UTF-8
// bytes are replaced as in JsonText.
inline void WriteJson(std::ostream& out, const Json& document, int indent) {
    nlohmann::detail::serializer<Json> serializer(nlohmann::detail::output_adapter<char>(out), ' ',
                                                  Json::error_handler_t::replace);
    serializer.dump(document, indent >= 0, false,
                    static_cast<unsigned int>(indent >= 0 ? indent : 0));
}

// An integer of the document, or 0 when `value` is no integer.
inline int IntOf(const Json& value) {
    return value.is_number_integer() ? value.get<int>() : 0;
}
