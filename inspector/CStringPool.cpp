#include "CStringPool.h"

#include <algorithm>
#include <cstdio>

#include "CConverter.h"
#include "CDisassembler.h"
#include "ConfigurationLayout.h"
#include "StringReference.h"

namespace {

// How far before its code an expression's string is looked for.
constexpr size_t kArgumentWindow = 256;

// The longest text one action code is shown as; a longer one is reported as not decoding.
constexpr size_t kMaxCodeText = size_t{1} << 20;

// The error of an action left undecoded because the decoding budget is spent.
constexpr const char* kNotDecoded = "not decoded: the decoding budget is spent";

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

}  // namespace

CStringPool::CStringPool(CByteReader record, int index, CProblemList& problems)
    : record_(record), index_(index), problems_(problems) {
    if (record_.Size() < StringsRecord::kLeadSize) {
        problems_.Add(index_, 0,
                      "the strings record has " + std::to_string(record_.Size()) +
                          " bytes, fewer than its two leading zero bytes");
    }
    size_t offset = StringsRecord::kLeadSize;
    while (offset < record_.Size()) {
        const size_t length = record_.U16(offset);
        if (!record_.Fits(offset, StringsRecord::kLengthSize + length)) {
            problems_.Add(index_, offset,
                          "the entry at offset " + std::to_string(offset) + " says it holds " +
                              std::to_string(length) + " bytes, more than the strings record " +
                              "has after it");
            break;
        }
        offsets_.push_back(offset);
        offset += StringsRecord::kLengthSize + length;
    }
    uses_.resize(offsets_.size());
    disassembled_.resize(offsets_.size());
    texts_.resize(offsets_.size());
    isText_.resize(offsets_.size(), false);
    const std::span<const uint8_t> bytes = record_.All();
    disassembler_ = std::make_unique<CDisassembler>(bytes.data(), bytes.size());
}

CStringPool::~CStringPool() = default;

std::string CStringPool::Label(std::string_view what) const {
    return context_.empty() ? std::string(what) : context_ + ", " + std::string(what);
}

long CStringPool::Find(size_t offset) const {
    const auto found = std::lower_bound(offsets_.begin(), offsets_.end(), offset);
    return found != offsets_.end() && *found == offset ? static_cast<long>(found - offsets_.begin())
                                                       : -1;
}

bool CStringPool::Entry(uint32_t reference, CProblemList::Where where, std::string_view what,
                        CByteReader& data) {
    data = CByteReader();
    if (StringReference::Record(reference) != StringReference::kRecordIndex) {
        problems_.Add(where, Label(what) + ": reference " + Hex(reference) + " names record " +
                                 std::to_string(StringReference::Record(reference)) +
                                 ", not the strings record " +
                                 std::to_string(StringReference::kRecordIndex));
        return false;
    }
    const long entry = Find(StringReference::Offset(reference));
    if (entry < 0) {
        problems_.Add(where, Label(what) + ": reference " + Hex(reference) + " names offset " +
                                 std::to_string(StringReference::Offset(reference)) +
                                 ", where no entry of the strings record starts");
        return false;
    }
    const auto position = static_cast<size_t>(entry);
    if (uses_[position].empty()) {
        uses_[position] = what;
    }
    const size_t offset = offsets_[position];
    data = record_.Part(offset + StringsRecord::kLengthSize, record_.U16(offset));
    return true;
}

Json CStringPool::Text(uint32_t reference, CProblemList::Where where, std::string_view what,
                       bool optional) {
    if (reference == 0) {
        if (!optional) {
            problems_.Add(where, Label(what) + ": no text (reference 0)");
        }
        return Json();
    }
    CByteReader data;
    if (!Entry(reference, where, what, data)) {
        return Json();
    }
    const auto position = static_cast<size_t>(Find(StringReference::Offset(reference)));
    Json& text = texts_[position];
    if (text.is_null()) {
        size_t offset = 0;
        std::string narrow;
        if (!data.PaddedText(offset, narrow)) {
            bool terminated = false;
            narrow = data.FieldText({0, data.Size()}, 0, terminated);
            if (!terminated) {
                problems_.Add(index_, StringReference::Offset(reference),
                              Label(what) + ": the text at offset " +
                                  std::to_string(StringReference::Offset(reference)) +
                                  " does not end inside its entry");
                return Json();
            }
        }
        text = CConverter::ToUtf8(narrow);
    }
    isText_[position] = true;
    if (!problems_.Spend(where, 0,
                         CProblemList::kValueBytes + text.get_ref<const std::string&>().size())) {
        return Json();
    }
    return text;
}

Json CStringPool::TextList(uint32_t reference, CProblemList::Where where, std::string_view what,
                           size_t count, size_t skip, bool optional) {
    if (reference == 0 && optional) {
        return Json();
    }
    Json list = Json::array();
    CByteReader data;
    if (!Entry(reference, where, what, data)) {
        return list;
    }
    size_t offset = skip;
    for (size_t i = 0; i < count; ++i) {
        std::string text;
        if (!data.PaddedText(offset, text)) {
            problems_.Add(index_,
                          StringReference::Offset(reference) + StringsRecord::kLengthSize + offset,
                          Label(what) + ": the list ends after " + std::to_string(i) + " of its " +
                              std::to_string(count) + " texts");
            break;
        }
        if (!problems_.Spend(where, 1, CProblemList::kValueBytes + text.size())) {
            break;
        }
        list.push_back(CConverter::ToUtf8(text));
    }
    return list;
}

Json CStringPool::Action(uint32_t reference, CProblemList::Where where, std::string_view what,
                         int controlCount) {
    if (reference == 0) {
        return Json();
    }
    CByteReader data;
    if (!Entry(reference, where, what, data)) {
        return Json{{"offset", StringReference::Offset(reference)},
                    {"error", "names no entry of the strings record"}};
    }
    const size_t entry = StringReference::Offset(reference);
    const size_t position = static_cast<size_t>(Find(entry));
    Disassembly& done = disassembled_[position];
    if (!done.done) {
        const std::span<const uint8_t> code = data.All();
        std::string text;
        std::string error;
        const size_t limit = std::min(kMaxCodeText, problems_.BytesLeft());
        disassembler_->SetTextLimit(limit);
        const int status = disassembler_->Disassemble(code.data(), code.size(), text, error);
        if (status == 2 && limit < kMaxCodeText) {
            problems_.Exhaust(where);
            return Json{{"offset", entry}, {"error", kNotDecoded}};
        }
        done.done = true;
        if (status != 0) {
            done.result = Json{{"offset", entry}, {"error", std::move(error)}};
        } else {
            MarkArguments(position, text);
            for (const uint32_t index : ControlArguments(text)) {
                if (index != ConfigurationLayout::kNoIndex) {
                    done.controls.push_back(index);
                }
            }
            std::sort(done.controls.begin(), done.controls.end());
            done.controls.erase(std::unique(done.controls.begin(), done.controls.end()),
                                done.controls.end());
            done.bytes = text.size();
            done.result = Json{{"offset", entry}, {"code", CConverter::ToUtf8(text)}};
            // The shared text counts once for itself, then once for every copy handed out.
            if (!problems_.Spend(where, 0, done.bytes)) {
                done.result = Json{{"offset", entry}, {"error", kNotDecoded}};
            }
        }
    }
    if (done.result.contains("error")) {
        if (done.result["error"] != kNotDecoded) {
            problems_.Add(
                index_, entry,
                Label(what) + ": the action code at offset " + std::to_string(entry) +
                    " does not decode: " + done.result["error"].get_ref<const std::string&>());
        }
        return done.result;
    }
    if (controlCount >= 0) {
        const auto past = std::lower_bound(done.controls.begin(), done.controls.end(),
                                           static_cast<uint32_t>(controlCount));
        if (past != done.controls.end()) {
            const size_t more = static_cast<size_t>(done.controls.end() - past) - 1;
            problems_.Warn(index_, entry,
                           Label(what) + ": the action code at offset " + std::to_string(entry) +
                               " names control #" + std::to_string(*past) +
                               (more > 0 ? " (and " + std::to_string(more) + " more past them)"
                                         : std::string()) +
                               ", but the form has " + std::to_string(controlCount) + " controls");
        }
    }
    if (!problems_.Spend(where, 0, CProblemList::kValueBytes + done.bytes)) {
        return Json{{"offset", entry}, {"error", kNotDecoded}};
    }
    return done.result;
}

void CStringPool::MarkArguments(size_t code, std::string_view text) {
    // The compiler adds an expression's strings in order just before its code: from the last
    // quoted text back, each is matched with the nearest earlier entry of that text.
    std::vector<std::string_view> arguments;
    for (size_t open = text.find('"'); open != std::string_view::npos;) {
        const size_t close = text.find('"', open + 1);
        if (close == std::string_view::npos) {
            break;
        }
        arguments.push_back(text.substr(open + 1, close - open - 1));
        open = text.find('"', close + 1);
    }
    size_t position = code;
    for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument) {
        const size_t nearest = position > kArgumentWindow ? position - kArgumentWindow : 0;
        for (size_t k = position; k-- > nearest;) {
            // The entry holds the argument and its zero: compared in place, without a copy.
            const CByteReader entry =
                record_.Part(offsets_[k] + StringsRecord::kLengthSize, record_.U16(offsets_[k]));
            const std::span<const uint8_t> bytes = entry.All();
            if (bytes.size() > argument->size() && bytes[argument->size()] == 0 &&
                std::equal(argument->begin(), argument->end(), bytes.begin(),
                           [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; })) {
                if (uses_[k].empty()) {
                    uses_[k] = "action string";
                    isText_[k] = true;
                }
                position = k;
                break;
            }
        }
    }
}

std::vector<uint32_t> CStringPool::ControlArguments(std::string_view text) {
    std::vector<uint32_t> indexes;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            quoted = !quoted;
        } else if (!quoted && text[i] == '#') {
            if (text.substr(i + 1, 4) == "none") {
                indexes.push_back(ConfigurationLayout::kNoIndex);
                continue;
            }
            uint32_t index = 0;
            for (size_t k = i + 1; k < text.size() && text[k] >= '0' && text[k] <= '9'; ++k) {
                index = index * 10 + static_cast<uint32_t>(text[k] - '0');
            }
            indexes.push_back(index);
        }
    }
    return indexes;
}

Json CStringPool::ToJson() const {
    Json list = Json::array();
    for (size_t i = 0; i < offsets_.size(); ++i) {
        const size_t size = record_.U16(offsets_[i]);
        Json entry = {{"offset", offsets_[i]},
                      {"size", size},
                      {"use", uses_[i].empty() ? std::string("unreferenced") : uses_[i]}};
        if (isText_[i]) {
            bool terminated = false;
            entry["text"] =
                CConverter::ToUtf8(record_.Part(offsets_[i] + StringsRecord::kLengthSize, size)
                                       .FieldText({0, size}, 0, terminated));
        }
        list.push_back(std::move(entry));
    }
    return list;
}
