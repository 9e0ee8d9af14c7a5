// The machine that runs compiled scripts: one stack of integers and doubles, the meaning of each
// instruction taken from the same functions the grammar's actions call.
#include "script_code.h"

#include "declarations.h"
#include "memory.h"
#include "numbers.h"
#include "script_run.h"

namespace {

union Slot {
    int32_t integer;
    double number;
};

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
            case Op::int_add: --top, top->integer = int_add(top[0].integer, top[1].integer); break;
            case Op::int_subtract: --top, top->integer = int_subtract(top[0].integer, top[1].integer); break;
            case Op::int_multiply: --top, top->integer = int_multiply(top[0].integer, top[1].integer); break;
            case Op::int_divide: --top, top->integer = int_divide(top[0].integer, top[1].integer); break;
            case Op::int_modulo: --top, top->integer = int_modulo(top[0].integer, top[1].integer); break;
            case Op::int_power: --top, top->integer = int_power(top[0].integer, top[1].integer); break;
            case Op::int_and: --top, top->integer = top[0].integer & top[1].integer; break;
            case Op::int_xor: --top, top->integer = top[0].integer ^ top[1].integer; break;
            case Op::int_shift_right: --top, top->integer = int_shift_right(top[0].integer, top[1].integer); break;
            case Op::int_shift_left: --top, top->integer = int_shift_left(top[0].integer, top[1].integer); break;
            case Op::int_equal: --top, top->integer = top[0].integer == top[1].integer; break;
            case Op::int_not_equal: --top, top->integer = top[0].integer != top[1].integer; break;
            case Op::int_greater: --top, top->integer = top[0].integer > top[1].integer; break;
            case Op::int_greater_equal: --top, top->integer = top[0].integer >= top[1].integer; break;
            case Op::int_less: --top, top->integer = top[0].integer < top[1].integer; break;
            case Op::int_less_equal: --top, top->integer = top[0].integer <= top[1].integer; break;
            case Op::logical_and: --top, top->integer = top[0].integer && top[1].integer; break;
            case Op::logical_or: --top, top->integer = top[0].integer || top[1].integer; break;
            case Op::logical_not: top->integer = !top->integer; break;
            case Op::bit_not: top->integer = ~top->integer; break;
            case Op::int_negate: top->integer = int_negate(top->integer); break;
            case Op::double_add: --top, top->number = top[0].number + top[1].number; break;
            case Op::double_subtract: --top, top->number = top[0].number - top[1].number; break;
            case Op::double_multiply: --top, top->number = top[0].number * top[1].number; break;
            case Op::double_divide: --top, top->number = double_divide(top[0].number, top[1].number); break;
            case Op::double_modulo: --top, top->number = double_modulo(top[0].number, top[1].number); break;
            case Op::double_power: --top, top->number = double_power(top[0].number, top[1].number); break;
            case Op::double_negate: top->number = -top->number; break;
            case Op::double_equal: --top, top->integer = double_equal(top[0].number, top[1].number); break;
            case Op::double_not_equal: --top, top->integer = double_not_equal(top[0].number, top[1].number); break;
            case Op::double_greater: --top, top->integer = double_greater(top[0].number, top[1].number); break;
            case Op::double_greater_equal: --top, top->integer = double_greater_equal(top[0].number, top[1].number); break;
            case Op::double_less: --top, top->integer = double_less(top[0].number, top[1].number); break;
            case Op::double_less_equal: --top, top->integer = double_less_equal(top[0].number, top[1].number); break;
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
