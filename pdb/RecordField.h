// One field of a fixed record layout: where it starts and how many bytes it takes. Every
// record layout of both databases (and the database container's own header) is declared once,
// as named fields in a header of its own, and the writers, their tests and the database
// inspector all use those names.
#pragma once

#include <cstddef>

struct RecordField {
    size_t offset;
    size_t size;

    constexpr size_t End() const { return offset + size; }
    // The same field inside a record that lies `base` bytes further on.
    constexpr RecordField At(size_t base) const { return {base + offset, size}; }
};
