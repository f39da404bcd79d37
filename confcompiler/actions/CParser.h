// Compiles one action expression (Windows-1251 text), a sequence of calls of the client's
// built-in action functions such as `SetFilterSQL(12, "name"); TblRedraw()`, into action
// code: a 16-bit length, then for every call its 16-bit function id and its argument block
// laid out as the function catalogue says. String arguments go to the string pool; the first
// numeric argument of a control-argument function becomes a control index.
//
// One parser compiles one expression, adding its string arguments to the given pool.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CRecordBuffer.h"

class CListControl;
class CStringsReader;

class CParser {
public:
    static constexpr size_t kMaxLexemes = 256;
    // Room the lexeme list takes at once: most expressions have fewer lexemes.
    static constexpr size_t kReservedLexemes = 32;
    static constexpr size_t kMaxLexemeLength = 255;
    static constexpr size_t kArgumentBufferSize = 1024;
    // The output buffer CActsReader::CompileCode gives; no expression of 256 lexemes comes near it.
    static constexpr size_t kOutputSize = 2048;
    // Message code of the lexical warnings.
    static constexpr int kLexicalCode = 1;

    // `where` goes in front of the lines the parser prints (and the pool's, for its
    // strings): "FILE:LINE: " of the expression's element, or nothing. `poolCode` is the
    // code of the pool's error line when a string argument does not fit.
    explicit CParser(CStringsReader& pool, std::string_view where = {}, int poolCode = 0);
    virtual ~CParser();
    CParser(const CParser&) = delete;
    CParser& operator=(const CParser&) = delete;

    // Compiles `text` into `output` (at most `capacity` bytes). `controls` may be null. On
    // success returns 0 and sets `length` to the size of the action code (length word
    // included); on failure returns 1 and `length` stays 0. Lexical failures print a warning
    // with code 1; the other failures print nothing (the caller reports them).
    int Parse(const CListControl* controls, std::string_view text, uint8_t* output, size_t capacity,
              size_t& length);
    // The same into a record buffer (emptied first), whose capacity bounds the code.
    int Parse(const CListControl* controls, std::string_view text, CRecordBuffer& output);

    // After a failure: the last lexeme that stood where a function name belongs, as written;
    // empty when the failure came before any (every lexical failure does).
    const std::string& FunctionName() const { return functionName_; }
    // After a failure: true when the expression was refused for its length (a lexeme of more
    // than 255 characters, more than 256 lexemes).
    bool RefusedForLength() const { return refusedForLength_; }

    // Catalogue access as the parser uses it.
    // The id of a callable function (ASCII case ignored), or 0.
    static uint16_t LookupFunction(std::string_view name);
    // The offset of argument n (0-based) of the function in its block, or -1.
    static int ArgumentOffset(uint16_t id, int n);
    // The size of the function's argument block; 0 for an unknown id.
    static uint16_t ArgumentBlockSize(uint16_t id);

    // The lexemes of `text` as the compiler splits it (views into `text`, blanks and tabs
    // between them dropped); empty when a character begins no lexeme. No length limit is
    // applied and nothing is printed: for tools that look at an expression's parts.
    static std::vector<std::string_view> Lexemes(std::string_view text);

    // The low 16 bits of the exact value of a number lexeme: a "-" or a digit followed by
    // digits; a lone "-" is 0.
    static uint16_t NumberValue(std::string_view lexeme);

private:
    enum class State { Name, Open, First, Argument, Next, Closed };

    // The size of the lexeme `rest` begins with; 0 when none begins there.
    static size_t LexemeSize(std::string_view rest);
    bool Tokenize(std::string_view text);
    bool ParseCalls();
    // True when argument n of the current call ended where the layout lets it end.
    bool CheckArgumentEnd(int n) const;
    bool WriteNumber(uint16_t value);
    bool WriteString(std::string_view lexeme);
    bool WriteArgument16(uint16_t value);
    bool CloseCall();
    void LexicalWarning(std::string_view message, std::string_view rest) const;

    CStringsReader& pool_;
    std::string where_;
    int poolCode_ = 0;
    std::vector<std::string_view> lexemes_;
    uint16_t functionId_ = 0;
    // The argument block of the current call, appended to the output at its ")".
    CRecordBuffer arguments_{kArgumentBufferSize};
    const CListControl* controls_ = nullptr;
    CRecordBuffer* output_ = nullptr;
    std::string functionName_;
    bool refusedForLength_ = false;
};
