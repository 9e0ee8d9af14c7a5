// A script compiled for runs that come again: its statements as instructions for a small stack
// machine, with the variables resolved, for as long as the store keeps the shape they were
// compiled against. Only what runs the same in every run compiles: integer and double
// statements over variables that exist, with no string, no host function and nothing printed or
// warned about by the scanner. The first statement that is not such ends the compiled part, and
// the run goes on from it with the text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "recorded_names.h"
#include "store.h"

struct RunState;

enum class Op : uint8_t {
    int_constant, double_constant,    // push the operand
    load_int, load_double,            // push the operand variable's value
    assign_int, assign_double,        // store the top in the operand variable, leaving it there
    int_add, int_subtract, int_multiply, int_divide, int_modulo, int_power,
    int_and, int_xor, int_shift_right, int_shift_left,
    int_equal, int_not_equal, int_greater, int_greater_equal, int_less, int_less_equal,
    logical_and, logical_or, logical_not, bit_not, int_negate,
    double_add, double_subtract, double_multiply, double_divide, double_modulo, double_power, double_negate,
    double_equal, double_not_equal, double_greater, double_greater_equal, double_less, double_less_equal,
    int_to_double, double_to_int,
    apply_function,                   // the operand's built-in function, of the top
    tick_count,
    finish_int, finish_double,        // the statement ends; the operand is the text's offset after its `;`
    continue_with_text,               // the operand is the offset of the first statement not compiled
    end,
};

// Where a binary instruction finds its right operand.
enum class RightOperand : uint8_t {
    stack,     // above the left one
    constant,  // the instruction's integer or number
    variable,  // the value of the instruction's variable
};

struct Instruction {
    Op op;
    RightOperand right;  // of a binary instruction
    union {
        int32_t integer;
        double number;
        Variable* variable;
        std::size_t offset;
    };
};

// Owned by the prepared script that compiled it.
struct ScriptCode {
    Instruction* instructions;  // null: not compiled
    std::size_t count;
    std::size_t capacity;
    RecordedNames names;        // every name the compiled statements spell, for a text that goes on after them
    StoreShape shape;           // of the store the variables were resolved in
};

// The deepest stack a compiled statement may need; deeper expressions are left to the text.
constexpr int code_stack_capacity = 64;

// Compiles `text` (`length` bytes and a NUL, which stays unchanged while the code lives) against
// the active store; the code replaces `code`'s. False, leaving `code` empty, when memory runs out.
// The caller holds the run lock; the scanner must not be running a text.
bool compile_script(const char* text, std::size_t length, ScriptCode& code);

// Whether `code` may run in the active store now.
bool code_fits_store(const ScriptCode& code);

// What run_script_code returns when the compiled code ran the whole text.
constexpr std::size_t whole_text_ran = SIZE_MAX;

// Runs the compiled statements as the text's run would, into `run`. Returns whole_text_ran, or
// the offset of the text from which the run must go on as a text: where the compiled part ends,
// or after a statement that changed the store's shape or met a failed allocation (the host's
// output function may have done either).
std::size_t run_script_code(RunState& run, const ScriptCode& code);

void free_script_code(ScriptCode& code);
