#include "CParser.h"

#include <cstring>

#include "CFunctionCatalogue.h"
#include "CListControl.h"
#include "CLog.h"
#include "CReadContext.h"
#include "CStringsReader.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsPunctuation(char c) {
    return c == '(' || c == ')' || c == ',' || c == ';';
}

// Lexeme classes; lexemes are never empty.
bool IsNumberLexeme(std::string_view lexeme) {
    return lexeme[0] == '-' || IsDigit(lexeme[0]);
}

bool IsStringLexeme(std::string_view lexeme) {
    return lexeme[0] == '"';
}

}  // namespace

CParser::CParser(CStringsReader& pool, std::string_view where, int poolCode)
    : pool_(pool), where_(where), poolCode_(poolCode) {}

CParser::~CParser() = default;

uint16_t CParser::LookupFunction(std::string_view name) {
    const CFunctionCatalogue::Function* function = CFunctionCatalogue::FindByName(name);
    return function ? function->id : 0;
}

int CParser::ArgumentOffset(uint16_t id, int n) {
    if (n == 0) {
        return 0;
    }
    const CFunctionCatalogue::Function* function = CFunctionCatalogue::FindById(id);
    if (function == nullptr || n < 0) {
        return -1;
    }
    return CFunctionCatalogue::Offset(*function, static_cast<size_t>(n));
}

uint16_t CParser::ArgumentBlockSize(uint16_t id) {
    const CFunctionCatalogue::Function* function = CFunctionCatalogue::FindById(id);
    return function ? CFunctionCatalogue::BlockSize(*function) : 0;
}

uint16_t CParser::NumberValue(std::string_view lexeme) {
    // Arithmetic modulo 65536 gives the low 16 bits of the exact value, whatever its length.
    const bool negative = !lexeme.empty() && lexeme[0] == '-';
    uint16_t value = 0;
    for (size_t i = negative ? 1 : 0; i < lexeme.size(); ++i) {
        value = static_cast<uint16_t>(value * 10u + static_cast<unsigned>(lexeme[i] - '0'));
    }
    return negative ? static_cast<uint16_t>(0u - value) : value;
}

int CParser::Parse(const CListControl* controls, std::string_view text, uint8_t* output,
                   size_t capacity, size_t& length) {
    length = 0;
    if (output == nullptr) {
        return 1;
    }
    CRecordBuffer code(capacity);
    if (Parse(controls, text, code) != 0) {
        return 1;
    }
    std::memcpy(output, code.Data(), code.Size());
    length = code.Size();
    return 0;
}

int CParser::Parse(const CListControl* controls, std::string_view text, CRecordBuffer& output) {
    output.Clear();
    lexemes_.clear();
    lexemes_.reserve(kReservedLexemes);
    functionId_ = 0;
    arguments_.Clear();
    functionName_.clear();
    refusedForLength_ = false;
    controls_ = controls;
    output_ = &output;
    output.Reserve(CFunctionCatalogue::kLengthSize);  // the length word comes first
    if (output.Failed() || !Tokenize(text) || !ParseCalls()) {
        return 1;
    }
    output.Put16(0, static_cast<uint16_t>(output.Size() - CFunctionCatalogue::kLengthSize));
    return output.Failed() ? 1 : 0;
}

void CParser::LexicalWarning(std::string_view message, std::string_view rest) const {
    pool_.Log().Line(false, kLexicalCode, where_, message, &rest);
}

size_t CParser::LexemeSize(std::string_view rest) {
    if (rest.empty()) {
        return 0;
    }
    const char c = rest[0];
    size_t size = CFunctionCatalogue::LongestNameAt(rest);
    if (size == 0) {
        if (IsPunctuation(c)) {
            size = 1;
        } else if (IsDigit(c) || c == '-') {
            size = 1;
            while (size < rest.size() && IsDigit(rest[size])) {
                ++size;
            }
        } else if (c == '"') {
            // Everything up to and including the next quote; a zero byte ends the text.
            const size_t close = rest.find_first_of(std::string_view("\"\0", 2), 1);
            if (close != std::string_view::npos && rest[close] == '"') {
                size = close + 1;
            }
        }
    }
    return size;
}

std::vector<std::string_view> CParser::Lexemes(std::string_view text) {
    std::vector<std::string_view> lexemes;
    size_t position = 0;
    while (position < text.size()) {
        if (text[position] == ' ' || text[position] == '\t') {
            ++position;
            continue;
        }
        const size_t size = LexemeSize(text.substr(position));
        if (size == 0) {
            return {};
        }
        lexemes.push_back(text.substr(position, size));
        position += size;
    }
    return lexemes;
}

bool CParser::Tokenize(std::string_view text) {
    size_t position = 0;
    while (position < text.size()) {
        const char c = text[position];
        if (c == ' ' || c == '\t') {
            ++position;
            continue;
        }
        const std::string_view rest = text.substr(position);
        const size_t size = LexemeSize(rest);
        if (size == 0) {
            LexicalWarning("Неизвестная лексема: ", rest);
            return false;
        }
        if (size > kMaxLexemeLength) {
            refusedForLength_ = true;
            LexicalWarning("Слишком длинная лексема (больше 255 символов): ",
                           CReadContext::Excerpt(rest));
            return false;
        }
        if (lexemes_.size() == kMaxLexemes) {
            refusedForLength_ = true;
            LexicalWarning("Слишком много лексем (больше 256), лишние начиная с: ",
                           CReadContext::Excerpt(rest));
            return false;
        }
        lexemes_.push_back(rest.substr(0, size));
        position += size;
    }
    return true;
}

bool CParser::ParseCalls() {
    State state = State::Name;
    size_t i = 0;
    int n = 0;
    // ")" ends the call: its argument block goes to the output.
    const auto closeCall = [&]() {
        ++i;
        n = 0;
        state = State::Closed;
        return CloseCall();
    };
    while (true) {
        const bool have = i < lexemes_.size();
        const std::string_view lexeme = have ? lexemes_[i] : std::string_view();
        switch (state) {
            case State::Name:
                if (!have) {
                    return true;
                }
                functionName_.assign(lexeme);
                functionId_ = LookupFunction(lexeme);
                if (functionId_ == 0 || !output_->Append16(functionId_)) {
                    return false;
                }
                ++i;
                state = State::Open;
                break;
            case State::Open:
                if (lexeme != "(") {
                    return false;
                }
                ++i;
                state = State::First;
                break;
            case State::First:
            case State::Argument:
                if (!have) {
                    return false;
                }
                if (lexeme == ")") {
                    if (!closeCall()) {
                        return false;
                    }
                    break;
                }
                if (IsNumberLexeme(lexeme)) {
                    if (state == State::First) {
                        // The name lexeme stands two slots back, before "(".
                        if (CFunctionCatalogue::IsControlArgumentFunction(lexemes_[i - 2])) {
                            if (controls_ == nullptr ||
                                !WriteArgument16(controls_->IndexOf(NumberValue(lexeme)))) {
                                return false;
                            }
                        } else {
                            state = State::Argument;  // read it again as a plain number
                            break;
                        }
                    } else if (!WriteNumber(NumberValue(lexeme))) {
                        return false;
                    }
                } else if (IsStringLexeme(lexeme)) {
                    if (!WriteString(lexeme)) {
                        return false;
                    }
                } else {
                    return false;
                }
                if (!CheckArgumentEnd(n)) {
                    return false;
                }
                ++n;
                ++i;
                state = State::Next;
                break;
            case State::Next:
                if (lexeme == ")") {
                    if (!closeCall()) {
                        return false;
                    }
                } else if (lexeme == ",") {
                    ++i;
                    state = State::Argument;
                } else {
                    return false;
                }
                break;
            case State::Closed:
                if (!have) {
                    return true;
                }
                if (lexeme != ";") {
                    return false;
                }
                ++i;
                state = State::Name;
                break;
        }
    }
}

bool CParser::CheckArgumentEnd(int n) const {
    int expected = ArgumentOffset(functionId_, n + 1);
    if (expected == -1) {
        expected = ArgumentBlockSize(functionId_);
    }
    return arguments_.Size() == static_cast<size_t>(expected);
}

bool CParser::WriteArgument16(uint16_t value) {
    return arguments_.Append16(value);
}

bool CParser::WriteNumber(uint16_t value) {
    return WriteArgument16(value);
}

bool CParser::WriteString(std::string_view lexeme) {
    if (!arguments_.CanAppend(4)) {
        return false;
    }
    const uint32_t reference =
        pool_.AddString(lexeme.substr(1, lexeme.size() - 2), poolCode_, where_);
    if (reference == 0) {
        return false;  // the pool is full; it has said so
    }
    return arguments_.Append32(reference);
}

bool CParser::CloseCall() {
    // The block holds exactly the arguments written: a call that ends before its last
    // argument keeps a short block, and the next call's id follows it directly.
    const bool appended = output_->AppendBytes(arguments_.Bytes());
    arguments_.Clear();
    return appended;
}
