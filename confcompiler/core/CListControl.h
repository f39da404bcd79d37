// The control id list of one form: the `id` of each `control` child of the form's `controls`
// element, in document order. On the handheld a control is addressed by its 0-based position
// in its form (its control index); the ids exist only at compile time and are turned into
// indexes here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "CXMLDOM.h"
#include "ConfigurationLayout.h"

class CListControl {
public:
    // The control index that names no control.
    static constexpr uint16_t kNoControl = ConfigurationLayout::kNoIndex;

    CListControl() = default;
    // A list of the given ids, in order, without a document (command line checks, tests).
    explicit CListControl(std::span<const int16_t> ids);
    virtual ~CListControl();

    // Reads the `id` of every `control` child (name compared without regard to ASCII case) of
    // `controls`, in document order; a control without `id` has id 0. Replaces what the list
    // held before. Returns the number of ids; a null element gives 0.
    int Build(const CXMLDOM& document, XmlNode controls);

    // The 0-based position of the first control whose id equals the low 16 bits of `id`;
    // kNoControl when `id` is 0 or no control has it. A position that does not fit below
    // kNoControl is never returned (such a form could not be stored anyway).
    uint16_t IndexOf(int id) const;

    int Count() const { return static_cast<int>(ids_.size()); }
    // The id at a position; 0 for a position outside the list.
    int16_t IdAt(size_t index) const { return index < ids_.size() ? ids_[index] : 0; }

private:
    // Sorts the ids with the first position of each into `positions_`.
    void Index();

    std::vector<int16_t> ids_;
    // (id, first position) for every id, ordered by id, so that IndexOf does not walk the
    // list: expressions and navigation name controls of forms of hundreds of controls.
    std::vector<std::pair<uint16_t, uint16_t>> positions_;
};
