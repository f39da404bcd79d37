#include "CListControl.h"

#include <algorithm>

CListControl::CListControl(std::span<const int16_t> ids) : ids_(ids.begin(), ids.end()) {
    Index();
}

CListControl::~CListControl() = default;

int CListControl::Build(const CXMLDOM& document, XmlNode controls) {
    ids_.clear();
    for (XmlNode control = document.FindChild(controls, "control"); control != nullptr;
         control = document.FindNextSibling(control, "control")) {
        uint16_t id = 0;
        document.GetAttributeShortIfPresent(control, "id", id);
        ids_.push_back(static_cast<int16_t>(id));
    }
    Index();
    return Count();
}

void CListControl::Index() {
    positions_.clear();
    const size_t limit = ids_.size() < kNoControl ? ids_.size() : kNoControl;
    positions_.reserve(limit);
    for (size_t i = 0; i < limit; ++i) {
        positions_.emplace_back(static_cast<uint16_t>(ids_[i]), static_cast<uint16_t>(i));
    }
    // Ordered by id, then position: the first of equal ids is the one a search must find.
    std::sort(positions_.begin(), positions_.end());
    positions_.erase(std::unique(positions_.begin(), positions_.end(),
                                 [](const auto& a, const auto& b) { return a.first == b.first; }),
                     positions_.end());
}

uint16_t CListControl::IndexOf(int id) const {
    const auto wanted = static_cast<uint16_t>(id);
    if (wanted == 0) {
        return kNoControl;
    }
    const auto found = std::lower_bound(positions_.begin(), positions_.end(), wanted,
                                        [](const std::pair<uint16_t, uint16_t>& entry,
                                           uint16_t value) { return entry.first < value; });
    return found != positions_.end() && found->first == wanted ? found->second : kNoControl;
}
