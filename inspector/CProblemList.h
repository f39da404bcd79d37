// The problems and warnings found in a database, each with the record it lies in and the
// byte offset of the bytes at fault (counted from the start of that record, or of the file for
// the header and the record list).
//
// A problem is damage: the database is not what a compiler of ours writes or what the
// handheld can read (a header, offset, size, count, reference or code pointing outside its
// record or pool, a text without its terminator...). A warning is doubt: the database is well
// formed, but a value will not do what its author probably meant (a control index past the
// form's controls, an entry index past the object's entries, a menu number past the menus).
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
    // A run's budget: the one above, or a smaller one for inputs known to be small (the
    // fuzzer's few KB, where a larger budget only makes the same paths slower to reach).
    struct Budget {
        size_t items = kMaxItems;
        size_t bytes = kMaxBytes;
        size_t kept = kMaxKept;  // problems (and warnings) kept
    };
    // The document's own bytes for one item and for one value, counted with what they hold.
    static constexpr size_t kItemBytes = 256;
    static constexpr size_t kValueBytes = 64;

    CProblemList() = default;
    explicit CProblemList(Budget budget) : budget_(budget) {}

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
    void Warn(Where where, std::string message);
    void Warn(int record, size_t offset, std::string message) {
        Warn(Where{record, offset}, std::move(message));
    }

    // Takes `items` and `bytes` from the budget. False once it is spent: the first time in
    // each record, a problem at `where` says that the rest of the record is not decoded.
    bool Spend(Where where, size_t items = 1, size_t bytes = kItemBytes);
    // The bytes still left in the budget.
    size_t BytesLeft() const { return bytes_ < budget_.bytes ? budget_.bytes - bytes_ : 0; }
    // Spends the rest of the budget: what `where` would decode does not fit in it.
    void Exhaust(Where where);

    size_t Count() const { return problems_.count; }
    const std::vector<Problem>& Kept() const { return problems_.kept; }
    size_t WarningCount() const { return warnings_.count; }

    // [{"record": index or null, "offset": n, "message": "...", "severity": "problem"}], then,
    // when more were found than kept, one entry with record null, offset 0 and a message
    // saying how many.
    Json ToJson() const { return problems_.ToJson("problem"); }
    // The warnings the same way, "severity": "warning".
    Json WarningsJson() const { return warnings_.ToJson("warning"); }

private:
    struct List {
        std::vector<Problem> kept;
        size_t count = 0;
        void Add(Where where, std::string message, size_t keep);
        Json ToJson(const char* severity) const;
    };
    List problems_;
    List warnings_;
    Budget budget_;
    size_t items_ = 0;
    size_t bytes_ = 0;
    std::vector<int> stopped_;  // the records where decoding stopped
};
