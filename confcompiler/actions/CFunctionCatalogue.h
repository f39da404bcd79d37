// The vocabulary of the action language: every built-in action function of the handheld
// client with its 16-bit id and its argument layout. The client interprets the ids and reads
// the argument blocks by these layouts, so both are part of the database format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

class CFunctionCatalogue {
public:
    enum class ArgumentKind : uint8_t {
        Number,   // 2 bytes: the low 16 bits of a decimal number
        String,   // 4 bytes: string reference of the text in the string pool
        Control,  // 2 bytes: control index in the form's control list
    };

    // One callable function. `arguments` lists the kinds in order, one letter each:
    // 'n' number, 's' string, 'c' control. `offsetPastEnd` marks the one function whose
    // layout reports an offset for the argument after its last one (equal to its block size);
    // the argument check treats that offset exactly like "no such argument". `description`
    // says in one line (in Russian, UTF-8) what the function is for; the compiler never reads
    // it, it is shown by quilconf --functions.
    struct Function {
        uint16_t id;
        std::string_view name;
        std::string_view arguments;
        std::string_view description;
        bool offsetPastEnd = false;
    };

    static constexpr size_t kMaxArguments = 5;
    // An action code is a 16-bit length word, then that many bytes of calls; each call is
    // its function's 16-bit id, then its argument block.
    static constexpr size_t kLengthSize = 2;
    static constexpr size_t kIdSize = 2;
    // Read as one lexeme by the tokenizer but never callable.
    static constexpr std::string_view kReservedName = "LoadColumnsNames";

    // All callable functions, in id order.
    static std::span<const Function> Functions();

    // The function of that name (ASCII letters compared without regard to case), or null.
    static const Function* FindByName(std::string_view name);
    static const Function* FindById(uint16_t id);

    // Number of arguments the function takes.
    static size_t ArgumentCount(const Function& function);
    static ArgumentKind Kind(const Function& function, size_t n);
    static size_t Width(ArgumentKind kind);
    // Size of the function's argument block in bytes, the sum of its argument widths.
    static uint16_t BlockSize(const Function& function);
    // Offset of argument n inside the block, or -1 when the function has no argument n.
    static int Offset(const Function& function, size_t n);

    // True when the name, compared exactly, is a function whose first argument is a control.
    static bool IsControlArgumentFunction(std::string_view name);

    // Length of the longest catalogue name (the reserved name included) that `text` begins
    // with, ASCII case ignored; 0 when none.
    static size_t LongestNameAt(std::string_view text);
};
