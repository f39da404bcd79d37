#include "CListControl.h"

CListControl::CListControl(std::span<const int16_t> ids) : ids_(ids.begin(), ids.end()) {}

CListControl::~CListControl() = default;

int CListControl::Build(const CXMLDOM& document, XmlNode controls) {
    ids_.clear();
    for (XmlNode control = document.FindChild(controls, "control"); control != nullptr;
         control = document.FindNextSibling(control, "control")) {
        uint16_t id = 0;
        document.GetAttributeShortIfPresent(control, "id", id);
        ids_.push_back(static_cast<int16_t>(id));
    }
    return Count();
}

uint16_t CListControl::IndexOf(int id) const {
    const auto wanted = static_cast<uint16_t>(id);
    if (wanted == 0) {
        return kNoControl;
    }
    const size_t limit = ids_.size() < kNoControl ? ids_.size() : kNoControl;
    for (size_t i = 0; i < limit; ++i) {
        if (static_cast<uint16_t>(ids_[i]) == wanted) {
            return static_cast<uint16_t>(i);
        }
    }
    return kNoControl;
}
