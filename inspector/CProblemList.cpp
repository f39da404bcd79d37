#include "CProblemList.h"

void CProblemList::Add(Where where, std::string message) {
    ++count_;
    if (problems_.size() < kMaxKept) {
        problems_.push_back({where.record, where.offset, std::move(message)});
    }
}

bool CProblemList::Spend(Where where, size_t items) {
    if (items_ > kMaxItems) {
        return false;
    }
    items_ += items;
    if (items_ > kMaxItems) {
        Add(where, "the database makes more than " + std::to_string(kMaxItems) +
                       " items be read (offsets or references naming the same bytes again and "
                       "again); what follows is not decoded");
        return false;
    }
    return true;
}

Json CProblemList::ToJson() const {
    Json list = Json::array();
    for (const Problem& problem : problems_) {
        list.push_back({{"record", problem.record == kFile ? Json() : Json(problem.record)},
                        {"offset", problem.offset},
                        {"message", problem.message}});
    }
    if (count_ > problems_.size()) {
        list.push_back(
            {{"record", Json()},
             {"offset", 0},
             {"message", std::to_string(count_ - problems_.size()) + " more problems not listed"}});
    }
    return list;
}
