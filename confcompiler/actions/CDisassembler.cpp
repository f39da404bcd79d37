#include "CDisassembler.h"

#include <vector>

#include "ByteOrder.h"
#include "CFunctionCatalogue.h"
#include "CListControl.h"
#include "CStringsReader.h"

namespace {

using Kind = CFunctionCatalogue::ArgumentKind;

struct Slot {
    Kind kind;
    uint32_t value;
};

bool IsNothing(const Slot& slot) {
    return slot.kind == Kind::Control ? slot.value == CListControl::kNoControl : slot.value == 0;
}

}  // namespace

CDisassembler::CDisassembler(const uint8_t* pool, size_t poolSize)
    : pool_(pool), poolSize_(pool ? poolSize : 0) {}

CDisassembler::~CDisassembler() = default;

bool CDisassembler::PoolEntry(uint32_t reference, const uint8_t*& data, size_t& size) const {
    if ((reference >> 16) != CStringsReader::kRecordIndex) {
        return false;
    }
    const size_t wanted = reference & 0xFFFF;
    // Walk the entries from the start so that only the offset of an entry's length word counts.
    size_t offset = 2;
    while (offset + 2 <= poolSize_) {
        const size_t length = ByteOrder::Load16(pool_ + offset);
        if (offset + 2 + length > poolSize_) {
            return false;
        }
        if (offset == wanted) {
            data = pool_ + offset + 2;
            size = length;
            return true;
        }
        if (offset > wanted) {
            return false;
        }
        offset += 2 + length;
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
    return "#" + std::to_string(index);
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

int CDisassembler::Disassemble(const uint8_t* code, size_t size, std::string& text,
                               std::string& error) const {
    text.clear();
    if (code == nullptr || size < 2) {
        error = "код действий короче слова длины";
        return 1;
    }
    const size_t length = ByteOrder::Load16(code);
    if (length + 2 > size) {
        error = "длина кода действий " + std::to_string(length) + " больше данных (" +
                std::to_string(size - 2) + " байт)";
        return 1;
    }
    size_t position = 2;
    const size_t end = 2 + length;
    while (position < end) {
        if (position + 2 > end) {
            error = "обрывок вызова в смещении " + std::to_string(position);
            return 1;
        }
        const uint16_t id = ByteOrder::Load16(code + position);
        const CFunctionCatalogue::Function* function = CFunctionCatalogue::FindById(id);
        if (function == nullptr) {
            error = "неизвестный код функции " + std::to_string(id) + " в смещении " +
                    std::to_string(position);
            return 1;
        }
        position += 2;
        const std::string name(function->name);
        if (position + CFunctionCatalogue::BlockSize(*function) > end) {
            error =
                "аргументы функции " + name + " обрываются в смещении " + std::to_string(position);
            return 1;
        }
        std::vector<Slot> slots;
        for (size_t k = 0; k < CFunctionCatalogue::ArgumentCount(*function); ++k) {
            const Kind kind = CFunctionCatalogue::Kind(*function, k);
            if (kind == Kind::String) {
                slots.push_back({kind, ByteOrder::Load32(code + position)});
            } else {
                slots.push_back({kind, ByteOrder::Load16(code + position)});
            }
            position += CFunctionCatalogue::Width(kind);
        }
        // From the first string slot without a text on, the slots must all be left-out ones.
        size_t shown = slots.size();
        for (size_t k = 0; k < slots.size(); ++k) {
            if (slots[k].kind == Kind::String && slots[k].value == 0) {
                shown = k;
                break;
            }
        }
        for (size_t k = shown; k < slots.size(); ++k) {
            if (!IsNothing(slots[k])) {
                error = "аргумент " + std::to_string(shown + 1) + " функции " + name +
                        " не задан, а следующие за ним заданы";
                return 1;
            }
        }
        if (!text.empty()) {
            text += "; ";
        }
        text += name;
        text += '(';
        for (size_t k = 0; k < shown; ++k) {
            if (k > 0) {
                text += ", ";
            }
            switch (slots[k].kind) {
                case Kind::Number:
                    text += std::to_string(static_cast<int16_t>(slots[k].value));
                    break;
                case Kind::Control:
                    text += ControlText(static_cast<uint16_t>(slots[k].value));
                    break;
                case Kind::String: {
                    std::string value;
                    if (!PoolText(slots[k].value, value)) {
                        error = "аргумент " + std::to_string(k + 1) + " функции " + name +
                                ": ссылка " + std::to_string(slots[k].value) +
                                " не указывает на текст пула строк";
                        return 1;
                    }
                    if (value.find('"') != std::string::npos) {
                        error = "аргумент " + std::to_string(k + 1) + " функции " + name +
                                ": текст с кавычкой не записать строкой";
                        return 1;
                    }
                    text += '"';
                    text += value;
                    text += '"';
                    break;
                }
            }
        }
        text += ')';
    }
    return 0;
}
