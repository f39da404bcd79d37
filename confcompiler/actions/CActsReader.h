// Action lists: the `acts` element of a form, document, frame, journal or reference holds one
// child per event, named after the event, whose `funcs` attribute is the action expression
// to run. Each expression becomes action code in the string pool; the owner stores the code
// reference (0: the event has no action).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "CXMLDOM.h"

class CListControl;
class CReadContext;
class CStringsReader;

class CActsReader {
public:
    // Message code of the two warnings about a faulty expression, and of a refused limit.
    static constexpr int kMessageCode = 0x0E01;
    static constexpr int kLimitCode = 0x0E10;

    enum class ObjectKind { Form, Document, Frame, Journal, Reference };

    explicit CActsReader(CReadContext& context);
    virtual ~CActsReader();

    // The code reference of one event element (may be null): 0 when the element is null or
    // has no `funcs` attribute; the reference of the compiled code otherwise, also for an
    // empty `funcs` (code of length 0). A faulty expression prints the warnings of Compile and
    // gives 0; a refused limit gives none (the owner fails). The value is read in full,
    // whatever its length.
    std::optional<uint32_t> Read(XmlNode event, const CListControl* controls);

    // Compiles one expression (Windows-1251) into the run's pool and returns its code
    // reference. On failure prints "Ошибка разбора: " with the expression and "Неверное
    // определение функции: " with the function the compiler had reached, both with `code`
    // and about `node`, and returns 0 (never a reference of compiled code). When the pool
    // cannot take a string argument or the code, the pool's error line carries `limitCode`,
    // no warning follows and nothing is returned: that is a refused limit, the owner fails
    // and the run ends. Every owner of an action expression compiles it here, with its own
    // codes.
    static std::optional<uint32_t> Compile(CReadContext& context, std::string_view text,
                                           const CListControl* controls, int code = kMessageCode,
                                           int limitCode = kLimitCode, XmlNode node = nullptr);

    // The step of Compile that prints nothing of its own: compiles one action expression
    // (Windows-1251 text) against the form's controls (or none), stores the action code as one
    // entry of `pool` and sets `codeRef` to its reference. On failure returns non-zero, stores
    // no code, and copies the name of the function the compiler had reached into `nameBuffer`
    // when it is shorter than `nameSize`: kPoolFull when the pool refused a string argument or
    // the code (its error line, with `code`, is printed), 1 for a faulty expression. `where`
    // goes in front of the lines the compilation prints. When given, `refusedForLength` tells
    // whether the expression was refused for its length (a lexeme of more than 255
    // characters, more than 256 lexemes).
    static constexpr int kPoolFull = 2;
    static int CompileCode(CStringsReader& pool, const CListControl* controls,
                           std::string_view text, uint32_t& codeRef, char* nameBuffer,
                           size_t nameSize, int code = 0, std::string_view where = {},
                           bool* refusedForLength = nullptr);

    // The event element of an object: the first child named `event` of the first `acts` child
    // of `object`; null when either is missing.
    static XmlNode FindEvent(const CXMLDOM& document, XmlNode object, std::string_view event);

    // The events of an object kind, in reading order.
    static std::span<const std::string_view> Events(ObjectKind kind);

    // Reads every event of the object in reading order and returns their code references; a
    // refused limit ends the list before its event. Only forms pass their controls to the
    // compiler; `controls` is ignored for other kinds.
    std::vector<uint32_t> ReadAll(XmlNode object, ObjectKind kind, const CListControl* controls);

private:
    CReadContext& context_;
};
