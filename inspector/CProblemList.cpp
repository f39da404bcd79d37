#include "CProblemList.h"

#include <algorithm>

namespace {

// "32 MB"; a budget that is no whole number of MB in bytes.
std::string Megabytes(size_t bytes) {
    return bytes % (size_t{1} << 20) == 0 ? std::to_string(bytes >> 20) + " MB"
                                          : std::to_string(bytes) + " bytes";
}

}  // namespace

void CProblemList::List::Add(Where where, std::string message, size_t keep) {
    ++count;
    if (kept.size() < keep) {
        kept.push_back({where.record, where.offset, std::move(message)});
    }
}

void CProblemList::Add(Where where, std::string message) {
    problems_.Add(where, std::move(message), budget_.kept);
}

void CProblemList::Warn(Where where, std::string message) {
    warnings_.Add(where, std::move(message), budget_.kept);
}

bool CProblemList::Spend(Where where, size_t items, size_t bytes) {
    if (items_ <= budget_.items && bytes_ <= budget_.bytes) {
        items_ += items;
        bytes_ += bytes;
        if (items_ <= budget_.items && bytes_ <= budget_.bytes) {
            return true;
        }
    }
    if (std::find(stopped_.begin(), stopped_.end(), where.record) == stopped_.end()) {
        stopped_.push_back(where.record);
        Add(where, "decoding stopped: the database names the same bytes too often (more than " +
                       std::to_string(budget_.items) + " items or " + Megabytes(budget_.bytes) +
                       " of decoded values); the rest of this record is not decoded");
    }
    return false;
}

void CProblemList::Exhaust(Where where) {
    bytes_ = budget_.bytes;
    Spend(where, 0, 1);
}

Json CProblemList::List::ToJson(const char* severity) const {
    // Each entry is built in place: an initializer list would copy every value once more.
    const auto entry = [severity](Json record, size_t offset, std::string message) {
        Json object = ObjectWithRoom(4);
        object["record"] = std::move(record);
        object["offset"] = offset;
        object["message"] = std::move(message);
        object["severity"] = severity;
        return object;
    };
    Json list = Json::array();
    list.get_ref<Json::array_t&>().reserve(kept.size() + 1);
    for (const Problem& problem : kept) {
        list.push_back(entry(problem.record == kFile ? Json() : Json(problem.record),
                             problem.offset, problem.message));
    }
    if (count > kept.size()) {
        list.push_back(entry(
            Json(), 0, std::to_string(count - kept.size()) + " more " + severity + "s not listed"));
    }
    return list;
}
