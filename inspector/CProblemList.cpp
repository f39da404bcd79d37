#include "CProblemList.h"

void CProblemList::Add(Where where, std::string message) {
    ++count_;
    if (problems_.size() < kMaxKept) {
        problems_.push_back({where.record, where.offset, std::move(message)});
    }
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
