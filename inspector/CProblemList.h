// The problems found in a database, each with the record it lies in and the byte offset of
// the bytes at fault (counted from the start of that record, or of the file for the header
// and the record list).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "InspectJson.h"

class CProblemList {
public:
    // The "record" of a problem of the file header or the record list.
    static constexpr int kFile = -1;
    // More problems than this are counted but not kept: damaged input must not make the
    // report (or the time to build it) grow without bound.
    static constexpr size_t kMaxKept = 1000;
    // What one run may decode: at most this many items (entries, controls, forms, menu items,
    // texts of lists) and this many bytes of decoded values (texts, disassembled action code,
    // and the document's own share of each item). A sound database stays far below (its
    // records hold at most 60000 bytes each); only offsets and references that name the same
    // bytes again and again reach it. Then the record being decoded is left with one problem,
    // and so is every later record that would decode more.
    static constexpr size_t kMaxItems = 200000;
    static constexpr size_t kMaxBytes = size_t{32} << 20;
    // The document's own bytes for one item and for one value, counted with what they hold.
    static constexpr size_t kItemBytes = 256;
    static constexpr size_t kValueBytes = 64;

    struct Problem {
        int record;
        size_t offset;
        std::string message;  // UTF-8
    };

    // Where a value was read: its record and offset.
    struct Where {
        int record;
        size_t offset;
        Where At(size_t more) const { return {record, offset + more}; }
    };

    void Add(Where where, std::string message);
    void Add(int record, size_t offset, std::string message) {
        Add(Where{record, offset}, std::move(message));
    }

    // Takes `items` and `bytes` from the budget. False once it is spent: the first time in
    // each record, a problem at `where` says that the rest of the record is not decoded.
    bool Spend(Where where, size_t items = 1, size_t bytes = kItemBytes);
    // The bytes still left in the budget.
    size_t BytesLeft() const { return bytes_ < kMaxBytes ? kMaxBytes - bytes_ : 0; }
    // Spends the rest of the budget: what `where` would decode does not fit in it.
    void Exhaust(Where where);

    size_t Count() const { return count_; }
    const std::vector<Problem>& Kept() const { return problems_; }

    // [{"record": index or null, "offset": n, "message": "..."}], then, when more were found
    // than kept, one entry with record null, offset 0 and a message saying how many.
    Json ToJson() const;

private:
    std::vector<Problem> problems_;
    size_t count_ = 0;
    size_t items_ = 0;
    size_t bytes_ = 0;
    std::vector<int> stopped_;  // the records where decoding stopped
};
