#include "CDisassembler.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "ByteOrder.h"
#include "CListControl.h"
#include "StringReference.h"

namespace {

// The pool's entries start after its lead word; each starts with its length word.
constexpr size_t kFirstEntry = StringsRecord::kLeadSize;
constexpr size_t kLengthWord = StringsRecord::kLengthSize;

using Function = CFunctionCatalogue::Function;
using Kind = CFunctionCatalogue::ArgumentKind;
constexpr size_t kLengthSize = CFunctionCatalogue::kLengthSize;  // the action code's length word
constexpr size_t kIdSize = CFunctionCatalogue::kIdSize;          // a call's function id

}  // namespace

CDisassembler::CDisassembler(const uint8_t* pool, size_t poolSize)
    : pool_(pool), poolSize_(pool ? poolSize : 0) {
    // One walk over the entries (as PoolEntry walks them) collects the texts that a string
    // argument can name, so that every later check is a binary search.
    size_t offset = kFirstEntry;
    while (offset + kLengthWord <= poolSize_ && offset <= UINT16_MAX) {
        const size_t length = ByteOrder::Load16(pool_ + offset);
        if (offset + kLengthWord + length > poolSize_) {
            break;
        }
        const uint8_t* data = pool_ + offset + kLengthWord;
        const void* zero = std::memchr(data, 0, length);
        if (zero != nullptr &&
            std::memchr(data, '"', static_cast<size_t>(static_cast<const uint8_t*>(zero) - data)) ==
                nullptr) {
            argumentTexts_.push_back(StringReference::Make(static_cast<uint16_t>(offset)));
        }
        offset += kLengthWord + length;
    }
}

CDisassembler::~CDisassembler() = default;

bool CDisassembler::PoolEntry(uint32_t reference, const uint8_t*& data, size_t& size) const {
    if (StringReference::Record(reference) != StringReference::kRecordIndex) {
        return false;
    }
    const size_t wanted = StringReference::Offset(reference);
    // Walk the entries from the start so that only the offset of an entry's length word counts.
    size_t offset = kFirstEntry;
    while (offset + kLengthWord <= poolSize_) {
        const size_t length = ByteOrder::Load16(pool_ + offset);
        if (offset + kLengthWord + length > poolSize_) {
            return false;
        }
        if (offset == wanted) {
            data = pool_ + offset + kLengthWord;
            size = length;
            return true;
        }
        if (offset > wanted) {
            return false;
        }
        offset += kLengthWord + length;
    }
    return false;
}

bool CDisassembler::PoolText(uint32_t reference, std::string& text) const {
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (!PoolEntry(reference, data, size)) {
        return false;
    }
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            text.assign(reinterpret_cast<const char*>(data), i);
            return true;
        }
    }
    return false;
}

std::string CDisassembler::ControlText(uint16_t index) const {
    if (controls_ != nullptr) {
        if (index == CListControl::kNoControl) {
            return "0";
        }
        const int16_t id = controls_->IdAt(index);
        if (index < controls_->Count() && id != 0 && controls_->IndexOf(id) == index) {
            return std::to_string(id);
        }
    }
    if (index == CListControl::kNoControl) {
        return "#none";
    }
    std::string text(1, '#');
    text += std::to_string(index);
    return text;
}

int CDisassembler::DisassembleReference(uint32_t codeRef, std::string& text,
                                        std::string& error) const {
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (!PoolEntry(codeRef, data, size)) {
        error = "ссылка " + std::to_string(codeRef) + " не указывает на запись пула строк";
        return 1;
    }
    return Disassemble(data, size, text, error);
}

bool CDisassembler::IsArgumentText(uint32_t reference) const {
    return std::binary_search(argumentTexts_.begin(), argumentTexts_.end(), reference);
}

std::string CDisassembler::ArgumentText(uint32_t reference) const {
    // IsArgumentText has found the entry and its terminating zero.
    return std::string(
        reinterpret_cast<const char*>(pool_ + StringReference::Offset(reference) + kLengthWord));
}

size_t CDisassembler::ArgumentsEnd(const uint8_t* code, size_t position, size_t end,
                                   const Function& function, size_t count) const {
    for (size_t k = 0; k < count; ++k) {
        const Kind kind = CFunctionCatalogue::Kind(function, k);
        const size_t width = CFunctionCatalogue::Width(kind);
        if (position + width > end) {
            return 0;
        }
        if (kind == Kind::String && !IsArgumentText(ByteOrder::Load32(code + position))) {
            return 0;
        }
        position += width;
    }
    return position;
}

int CDisassembler::Disassemble(const uint8_t* code, size_t size, std::string& text,
                               std::string& error) const {
    text.clear();
    if (code == nullptr || size < kLengthSize) {
        error = "код действий короче слова длины";
        return 1;
    }
    const size_t length = ByteOrder::Load16(code);
    if (length + kLengthSize > size) {
        error = "длина кода действий " + std::to_string(length) + " больше данных (" +
                std::to_string(size - kLengthSize) + " байт)";
        return 1;
    }
    const size_t end = kLengthSize + length;

    // splits[p]: the code from p to its end splits into calls; counts[p]: the argument count
    // of the call at p in the split shown, the largest whose rest splits too. The table is
    // filled from the end, so the rest after any call is already known: no recursion, and
    // each offset tries at most kMaxArguments + 1 counts.
    std::vector<uint8_t> splits(end + 1, 0);
    std::vector<uint8_t> counts(end + 1, 0);
    splits[end] = 1;
    for (size_t p = end; p-- > kLengthSize;) {
        if (p + kIdSize > end) {
            continue;
        }
        const Function* function = CFunctionCatalogue::FindById(ByteOrder::Load16(code + p));
        if (function == nullptr) {
            continue;
        }
        for (size_t count = CFunctionCatalogue::ArgumentCount(*function) + 1; count-- > 0;) {
            const size_t next = ArgumentsEnd(code, p + kIdSize, end, *function, count);
            if (next != 0 && splits[next] != 0) {
                splits[p] = 1;
                counts[p] = static_cast<uint8_t>(count);
                break;
            }
        }
    }
    if (splits[kLengthSize] == 0) {
        error = "не код действий: " + WhyNoSplit(code, end);
        return 1;
    }
    if (!stringOrder_.empty()) {
        if (std::vector<uint8_t> ordered = OrderedCounts(code, end); !ordered.empty()) {
            counts = std::move(ordered);
        }
    }

    for (size_t p = kLengthSize; p < end;) {
        const Function& function = *CFunctionCatalogue::FindById(ByteOrder::Load16(code + p));
        const size_t count = counts[p];
        if (!text.empty()) {
            text += "; ";
        }
        text += function.name;
        text += '(';
        p += kIdSize;
        for (size_t k = 0; k < count; ++k) {
            if (k > 0) {
                text += ", ";
            }
            const Kind kind = CFunctionCatalogue::Kind(function, k);
            switch (kind) {
                case Kind::Number:
                    text += std::to_string(static_cast<int16_t>(ByteOrder::Load16(code + p)));
                    break;
                case Kind::Control:
                    text += ControlText(ByteOrder::Load16(code + p));
                    break;
                case Kind::String:
                    text += '"';
                    text += ArgumentText(ByteOrder::Load32(code + p));
                    text += '"';
                    break;
            }
            p += CFunctionCatalogue::Width(kind);
        }
        text += ')';
        if (text.size() > textLimit_) {
            text.clear();
            error = "текст кода действий длиннее " + std::to_string(textLimit_) + " байт";
            return 2;
        }
    }
    return 0;
}

std::vector<uint8_t> CDisassembler::OrderedCounts(const uint8_t* code, size_t end) const {
    // The same table as Disassemble's, with one more dimension: ok[p][k] when the code from p
    // splits with its string slots naming stringOrder_[k...] in order. A call's first string
    // slot fixes k; a call without strings keeps it.
    const size_t n = stringOrder_.size();
    const size_t width = n + 1;
    std::vector<uint8_t> ok((end + 1) * width, 0);
    std::vector<uint8_t> counts((end + 1) * width, 0);
    const auto stringSlots = [&](const Function& function, size_t position, size_t count,
                                 size_t& first) {
        size_t strings = 0;
        for (size_t k = 0; k < count; ++k) {
            const Kind kind = CFunctionCatalogue::Kind(function, k);
            if (kind == Kind::String) {
                const uint32_t reference = ByteOrder::Load32(code + position);
                if (strings == 0) {
                    first = static_cast<size_t>(
                        std::find(stringOrder_.begin(), stringOrder_.end(), reference) -
                        stringOrder_.begin());
                }
                if (first + strings >= n || stringOrder_[first + strings] != reference) {
                    return n + 1;  // not in order
                }
                ++strings;
            }
            position += CFunctionCatalogue::Width(kind);
        }
        return strings;
    };
    ok[end * width + n] = 1;
    for (size_t p = end; p-- > kLengthSize;) {
        const Function* function = p + kIdSize <= end
                                       ? CFunctionCatalogue::FindById(ByteOrder::Load16(code + p))
                                       : nullptr;
        if (function == nullptr) {
            continue;
        }
        for (size_t count = CFunctionCatalogue::ArgumentCount(*function) + 1; count-- > 0;) {
            const size_t next = ArgumentsEnd(code, p + kIdSize, end, *function, count);
            size_t first = 0;
            const size_t strings =
                next == 0 ? n + 1 : stringSlots(*function, p + kIdSize, count, first);
            for (size_t k = 0; strings <= n && k + strings <= n; ++k) {
                if ((strings == 0 || k == first) && ok[next * width + k + strings] != 0 &&
                    ok[p * width + k] == 0) {
                    ok[p * width + k] = 1;
                    counts[p * width + k] = static_cast<uint8_t>(count);
                }
            }
        }
    }
    if (ok[kLengthSize * width] == 0) {
        return {};
    }
    std::vector<uint8_t> chosen(end + 1, 0);
    for (size_t p = kLengthSize, k = 0; p < end;) {
        const Function& function = *CFunctionCatalogue::FindById(ByteOrder::Load16(code + p));
        const size_t count = counts[p * width + k];
        size_t first = 0;
        chosen[p] = static_cast<uint8_t>(count);
        k += stringSlots(function, p + kIdSize, count, first);
        p = ArgumentsEnd(code, p + kIdSize, end, function, count);
    }
    return chosen;
}

std::string CDisassembler::WhyNoSplit(const uint8_t* code, size_t end) const {
    // The offsets that calls read from the start reach; the furthest of them is where every
    // reading stops, and what stands there says why.
    std::vector<uint8_t> reached(end + 1, 0);
    reached[kLengthSize] = 1;
    size_t furthest = kLengthSize;
    for (size_t p = kLengthSize; p < end; ++p) {
        if (reached[p] == 0) {
            continue;
        }
        furthest = p;
        if (p + kIdSize > end) {
            continue;
        }
        const Function* function = CFunctionCatalogue::FindById(ByteOrder::Load16(code + p));
        if (function == nullptr) {
            continue;
        }
        for (size_t count = 0; count <= CFunctionCatalogue::ArgumentCount(*function); ++count) {
            const size_t next = ArgumentsEnd(code, p + kIdSize, end, *function, count);
            if (next != 0) {
                reached[next] = 1;
            }
        }
    }
    const std::string where = " в смещении " + std::to_string(furthest);
    if (furthest + kIdSize > end) {
        return "обрывок вызова" + where;
    }
    const uint16_t id = ByteOrder::Load16(code + furthest);
    if (CFunctionCatalogue::FindById(id) == nullptr) {
        return "неизвестный код функции " + std::to_string(id) + where;
    }
    return "вызовы не доходят до конца кода" + where;
}
