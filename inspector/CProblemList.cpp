#include "CProblemList.h"

#include <algorithm>

void CProblemList::List::Add(Where where, std::string message) {
    ++count;
    if (kept.size() < kMaxKept) {
        kept.push_back({where.record, where.offset, std::move(message)});
    }
}

void CProblemList::Add(Where where, std::string message) {
    problems_.Add(where, std::move(message));
}

void CProblemList::Warn(Where where, std::string message) {
    warnings_.Add(where, std::move(message));
}

bool CProblemList::Spend(Where where, size_t items, size_t bytes) {
    if (items_ <= kMaxItems && bytes_ <= kMaxBytes) {
        items_ += items;
        bytes_ += bytes;
        if (items_ <= kMaxItems && bytes_ <= kMaxBytes) {
            return true;
        }
    }
    if (std::find(stopped_.begin(), stopped_.end(), where.record) == stopped_.end()) {
        stopped_.push_back(where.record);
        Add(where, "decoding stopped: the database names the same bytes too often (more than " +
                       std::to_string(kMaxItems) + " items or " + std::to_string(kMaxBytes >> 20) +
                       " MB of decoded values); the rest of this record is not decoded");
    }
    return false;
}

void CProblemList::Exhaust(Where where) {
    bytes_ = kMaxBytes;
    Spend(where, 0, 1);
}

Json CProblemList::List::ToJson(const char* severity) const {
    // Each entry is built in place: an initializer list would copy every value once more.
    const auto entry = [severity](Json record, size_t offset, std::string message) {
        Json object = Json::object();
        object["record"] = std::move(record);
        object["offset"] = offset;
        object["message"] = std::move(message);
        object["severity"] = severity;
        return object;
    };
    Json list = Json::array();
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
