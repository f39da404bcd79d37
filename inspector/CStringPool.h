// The strings record of a configuration database read back: its entries, and the lookups of
// the string references that the other records hold. Every lookup checks the reference: it
// must name the strings record and an offset where one of its entries starts (so the entry
// lies wholly inside the record); a text must end with its zero inside its entry, a list must
// hold as many texts as its count says, action code must decode completely (CDisassembler).
// What fails is reported at the place of the reference, or at the entry whose bytes are bad.
// Each entry is converted or disassembled once; every value handed out is counted against the
// decoding budget of the problem list, and past it a lookup gives null (a text) or an error.
//
// Texts of the database are Windows-1251 and converted to UTF-8 once, where they are read;
// messages, the disassembler's included, are UTF-8 already and never converted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "CByteReader.h"
#include "CProblemList.h"
#include "InspectJson.h"

class CDisassembler;

class CStringPool {
public:
    // `record` is the strings record (empty when the database has none), `index` its index.
    CStringPool(CByteReader record, int index, CProblemList& problems);
    virtual ~CStringPool();
    CStringPool(const CStringPool&) = delete;
    CStringPool& operator=(const CStringPool&) = delete;

    // What the following lookups belong to (UTF-8, e.g. `document "Order", form "Main"`): it
    // opens the message of every problem they report; `what` says which value was read.
    void SetContext(std::string context) { context_ = std::move(context); }

    // The entry that `reference` (read at `where`, naming `what`) names. False after a problem
    // when it names none; `data` is then empty.
    bool Entry(uint32_t reference, CProblemList::Where where, std::string_view what,
               CByteReader& data);

    // The text (UTF-8) that `reference` names; null, without a problem, for the reference 0
    // when `optional`. A reference 0 where a text must be, a text that does not end inside its
    // entry, or a reference naming no entry is reported and gives null.
    Json Text(uint32_t reference, CProblemList::Where where, std::string_view what,
              bool optional = false);

    // A block of `count` padded texts (after `skip` bytes): ["..."]; the texts that were read
    // when the block ends too soon, after a problem. Null for the reference 0 when `optional`.
    Json TextList(uint32_t reference, CProblemList::Where where, std::string_view what,
                  size_t count, size_t skip = 0, bool optional = false);

    // The action code that a code reference names: null for 0, else {"offset": entry offset,
    // "code": text} or {"offset", "error"} after a problem. `controlCount` is the number of
    // controls of the form the code belongs to (a control argument must name one of them or
    // none, 0xFFFF); negative outside forms, where control arguments are not checked.
    Json Action(uint32_t reference, CProblemList::Where where, std::string_view what,
                int controlCount = -1);

    // [{"offset", "size", "use", "text"}]: every entry in order, "use" the first kind of
    // reference that named it ("unreferenced" for none), "text" for an entry used as a text.
    Json ToJson() const;
    size_t EntryCount() const { return offsets_.size(); }

    // The control indexes that a disassembled text names ("#N" outside its strings; "#none"
    // gives 0xFFFF).
    static std::vector<uint32_t> ControlArguments(std::string_view text);

private:
    // The position of the entry starting at `offset` in offsets_, or -1.
    long Find(size_t offset) const;
    // Marks the entries that the string arguments of a disassembled text (Windows-1251) name,
    // for the listing of the strings record; `code` is the position of the code's entry.
    void MarkArguments(size_t code, std::string_view text);
    // The context and `what`, for a message.
    std::string Label(std::string_view what) const;

    CByteReader record_;
    int index_;
    CProblemList& problems_;
    std::vector<size_t> offsets_;  // where each entry's length word is, ascending
    std::vector<std::string> uses_;
    std::vector<bool> isText_;
    std::unique_ptr<CDisassembler> disassembler_;
    // What each entry disassembled to, once asked, shared by every reference naming it.
    struct Disassembly {
        bool done = false;
        Json result;                     // {"offset", "code"} or {"offset", "error"}
        size_t bytes = 0;                // of the code's text
        std::vector<uint32_t> controls;  // the control indexes it names, ascending, without none
    };
    std::vector<Disassembly> disassembled_;
    // The text of each entry read as one (UTF-8), once asked; null before.
    std::vector<Json> texts_;
    std::string context_;
};
