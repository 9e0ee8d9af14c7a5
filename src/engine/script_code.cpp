// The machine that runs compiled scripts: one stack of integers and doubles, the meaning of each
// instruction taken from the same functions the grammar's actions call.
#include "script_code.h"

#include <functional>

#include "declarations.h"
#include "memory.h"
#include "numbers.h"
#include "script_run.h"

namespace {

union Slot {
    int32_t integer;
    double number;
};

// The right operand of a binary instruction: on the stack above the left one, or in the
// instruction itself, where the compiler folded the constant or variable that was its whole
// right side.
int32_t right_integer(const Instruction& at, Slot*& top) {
    switch (at.right) {
        case RightOperand::stack: break;
        case RightOperand::constant: return at.integer;
        case RightOperand::variable: return at.variable->value.integer;
    }
    return (top--)->integer;
}

double right_number(const Instruction& at, Slot*& top) {
    switch (at.right) {
        case RightOperand::stack: break;
        case RightOperand::constant: return at.number;
        case RightOperand::variable: return at.variable->value.number;
    }
    return (top--)->number;
}

template <typename Operation>
void integer_operation(const Instruction& at, Slot*& top, Operation operation) {
    const int32_t right = right_integer(at, top);
    top->integer = operation(top->integer, right);
}

template <typename Operation>
void number_operation(const Instruction& at, Slot*& top, Operation operation) {
    const double right = right_number(at, top);
    top->number = operation(top->number, right);
}

// A comparison of doubles gives an integer.
template <typename Comparison>
void number_comparison(const Instruction& at, Slot*& top, Comparison comparison) {
    const double right = right_number(at, top);
    top->integer = comparison(top->number, right);
}

// After each statement: the host's output function may have changed the store or met a failed
// allocation, and the text takes over from there.
bool may_go_on(const ScriptCode& code) { return code.shape == store_shape() && statement_may_finish(); }

}  // namespace

std::size_t run_script_code(RunState& run, const ScriptCode& code) {
    Slot stack[code_stack_capacity + 1];
    Slot* top = stack;  // stack[0] is never used: `top` points at the top value
    for (const Instruction* at = code.instructions;; ++at) {
        switch (at->op) {
            case Op::int_constant: (++top)->integer = at->integer; break;
            case Op::double_constant: (++top)->number = at->number; break;
            case Op::load_int: (++top)->integer = at->variable->value.integer; break;
            case Op::load_double: (++top)->number = at->variable->value.number; break;
            case Op::assign_int: assign_integer_unwarned(at->variable, top->integer); break;
            case Op::assign_double: assign_double(at->variable, top->number); break;
            case Op::int_add: integer_operation(*at, top, int_add); break;
            case Op::int_subtract: integer_operation(*at, top, int_subtract); break;
            case Op::int_multiply: integer_operation(*at, top, int_multiply); break;
            case Op::int_divide: integer_operation(*at, top, int_divide); break;
            case Op::int_modulo: integer_operation(*at, top, int_modulo); break;
            case Op::int_power: integer_operation(*at, top, int_power); break;
            case Op::int_and: integer_operation(*at, top, std::bit_and<>()); break;
            case Op::int_xor: integer_operation(*at, top, std::bit_xor<>()); break;
            case Op::int_shift_right: integer_operation(*at, top, int_shift_right); break;
            case Op::int_shift_left: integer_operation(*at, top, int_shift_left); break;
            case Op::int_equal: integer_operation(*at, top, std::equal_to<>()); break;
            case Op::int_not_equal: integer_operation(*at, top, std::not_equal_to<>()); break;
            case Op::int_greater: integer_operation(*at, top, std::greater<>()); break;
            case Op::int_greater_equal: integer_operation(*at, top, std::greater_equal<>()); break;
            case Op::int_less: integer_operation(*at, top, std::less<>()); break;
            case Op::int_less_equal: integer_operation(*at, top, std::less_equal<>()); break;
            case Op::logical_and: integer_operation(*at, top, std::logical_and<>()); break;
            case Op::logical_or: integer_operation(*at, top, std::logical_or<>()); break;
            case Op::logical_not: top->integer = !top->integer; break;
            case Op::bit_not: top->integer = ~top->integer; break;
            case Op::int_negate: top->integer = int_negate(top->integer); break;
            case Op::double_add: number_operation(*at, top, std::plus<>()); break;
            case Op::double_subtract: number_operation(*at, top, std::minus<>()); break;
            case Op::double_multiply: number_operation(*at, top, std::multiplies<>()); break;
            case Op::double_divide: number_operation(*at, top, double_divide); break;
            case Op::double_modulo: number_operation(*at, top, double_modulo); break;
            case Op::double_power: number_operation(*at, top, double_power); break;
            case Op::double_negate: top->number = -top->number; break;
            case Op::double_equal: number_comparison(*at, top, double_equal); break;
            case Op::double_not_equal: number_comparison(*at, top, double_not_equal); break;
            case Op::double_greater: number_comparison(*at, top, double_greater); break;
            case Op::double_greater_equal: number_comparison(*at, top, double_greater_equal); break;
            case Op::double_less: number_comparison(*at, top, double_less); break;
            case Op::double_less_equal: number_comparison(*at, top, double_less_equal); break;
            case Op::int_to_double: top->number = top->integer; break;
            case Op::double_to_int: top->integer = double_to_int(top->number); break;
            case Op::apply_function: top->number = apply_function(at->variable, top->number); break;
            case Op::tick_count: (++top)->integer = tick_count(); break;
            case Op::finish_int:
                finish_integer_statement(run, (top--)->integer);
                if (!may_go_on(code)) return at->offset;
                break;
            case Op::finish_double:
                finish_double_statement(run, (top--)->number);
                if (!may_go_on(code)) return at->offset;
                break;
            case Op::continue_with_text: return at->offset;
            case Op::end: return whole_text_ran;
        }
    }
}

void free_script_code(ScriptCode& code) {
    deallocate(code.instructions);
    free_recorded_names(code.names);
    code.instructions = nullptr;
    code.count = code.capacity = 0;
}
