#include "CExpressionCheck.h"

#include <ostream>

#include "AsciiCase.h"
#include "ByteOrder.h"
#include "CActsReader.h"
#include "CConverter.h"
#include "CDisassembler.h"
#include "CListControl.h"
#include "CLog.h"
#include "CReadContext.h"
#include "CStringsReader.h"
#include "CXMLDOM.h"
#include "ConsoleLine.h"
#include "StringReference.h"

std::string CExpressionCheck::HexBytes(const uint8_t* data, size_t size) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += kDigits[data[i] >> 4];
        text += kDigits[data[i] & 0x0F];
    }
    return text;
}

bool CExpressionCheck::ParseControlIds(std::string_view text, std::vector<int16_t>& ids,
                                       std::string& error) {
    ids.clear();
    if (AsciiCase::TrimBlanks(text).empty()) {
        return true;
    }
    size_t number = 0;
    while (true) {
        ++number;
        const size_t comma = text.find(',');
        const std::string_view item = AsciiCase::TrimBlanks(text.substr(0, comma));
        size_t i = (!item.empty() && item[0] == '-') ? 1 : 0;
        long value = 0;
        bool valid = i < item.size();
        for (; valid && i < item.size(); ++i) {
            if (item[i] < '0' || item[i] > '9') {
                valid = false;
            } else if (value <= 65536) {
                value = value * 10 + (item[i] - '0');
            }
        }
        if (valid && item[0] == '-') {
            value = -value;
        }
        if (!valid || value < -32768 || value > 65535) {
            error = "элемент " + std::to_string(number) + " \"" + std::string(item) + "\" " +
                    (valid ? "вне пределов от -32768 до 65535" : "не целое число");
            return false;
        }
        ids.push_back(static_cast<int16_t>(static_cast<uint16_t>(value)));
        if (comma == std::string_view::npos) {
            return true;
        }
        text.remove_prefix(comma + 1);
    }
}

int CExpressionCheck::Run(std::string_view expressionUtf8,
                          const std::optional<std::string>& controlIds, std::ostream& out) {
    CLog log(out);
    std::vector<int16_t> ids;
    if (controlIds) {
        std::string error;
        if (!ParseControlIds(*controlIds, ids, error)) {
            log.Error(0, "Неверный список --controls (нужны целые через запятую): ",
                      CConverter::ToNarrow(error));
            return kUsageError;
        }
    }
    const CListControl controls(ids);
    const CListControl* passed = controlIds ? &controls : nullptr;

    // An empty pool of its own, and no document: the expression stands alone.
    CStringsReader strings(log);
    const CXMLDOM document;
    CReadContext context(document, strings, log);
    const uint32_t reference =
        CActsReader::Compile(context, CConverter::ToNarrow(expressionUtf8), passed).value_or(0);
    if (reference == 0) {
        return kFailure;
    }

    size_t poolSize = 0;
    const uint8_t* pool = strings.BuildRecord(poolSize);
    CDisassembler disassembler(pool, poolSize);
    disassembler.SetControls(passed);
    const uint8_t* code = nullptr;
    size_t codeSize = 0;
    if (pool == nullptr || !disassembler.PoolEntry(reference, code, codeSize)) {
        return kFailure;
    }
    out << HexBytes(code, codeSize) << '\n';
    // The pool started empty: every entry before the code's own is a string argument, in the
    // order of the arguments.
    const size_t codeOffset = StringReference::Offset(reference);
    std::vector<uint32_t> arguments;
    for (size_t offset = StringsRecord::kLeadSize; offset < codeOffset;
         offset += StringsRecord::kLengthSize + ByteOrder::Load16(pool + offset)) {
        std::string text;
        arguments.push_back(StringReference::Make(static_cast<uint16_t>(offset)));
        disassembler.PoolText(arguments.back(), text);
        out << "string " << offset << ": " << ConsoleLine::Joined(CConverter::ToUtf8(text)) << '\n';
    }
    disassembler.SetStringOrder(std::move(arguments));
    std::string text;
    std::string error;
    if (disassembler.Disassemble(code, codeSize, text, error) != 0) {
        log.Error(0, "Ошибка обратного разбора кода: ", CConverter::ToNarrow(error));
        return kFailure;
    }
    // A string argument may hold a line break; the reading stays on its line.
    out << ConsoleLine::Joined(CConverter::ToUtf8(text)) << std::endl;
    return kSuccess;
}
