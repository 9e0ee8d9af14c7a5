// Compiles a script's text into instructions, for the statements that run the same every time.
//
// The parse mirrors the grammar's (grammar.y): the same operator precedence, with prefix
// operators taking every operator that binds tighter than they do, an assignment taking its
// whole right side up to an operator that binds looser than `=`, and the same kinds of operand
// for each operator. Where the grammar would take another turn or report a syntax error, the
// parse gives up on the statement, and the text runs it. The differential test of prepared runs
// holds the two equal.
#include <optional>

#include "compiled_operators.h"
#include "grammar.hpp"
#include "memory.h"
#include "scanner.h"
#include "script_code.h"
#include "variable.h"

namespace {

using namespace compiled_operators;

enum class Kind { integer, real };

// Names resolve in the active store, without making any: a name the store lacks would be made
// by the run, so the compiled part ends before its statement. Each is recorded for a text that
// goes on after the compiled part.
class StoreResolver final : public NameResolver {
public:
    explicit StoreResolver(RecordedNames& recorded) : names(recorded) {}
    int token_of(std::string_view name, SemanticValue* value) const override {
        const NameKey key = key_of(name);
        Variable* variable = find_variable(key);
        if (!variable || !record_name(names, key, variable->type)) return 0;
        value->variable = variable;
        return variable->type;
    }

private:
    RecordedNames& names;
};

class Compiler {
public:
    explicit Compiler(ScriptCode& compiled) : code(compiled) {}

    // Compiles statement after statement from the scanner's text, up to its end or the first
    // statement that does not compile. False when memory ran out.
    bool compile_statements() {
        for (;;) {
            const std::size_t statement_start = scanner_offset();
            const std::size_t first_instruction = code.count;
            depth = 0;
            advance();
            if (token == TOKEN_SEMICOLON) continue;
            if (token == 0 && !scanner_stopped_quietly()) return emit(Op::end);
            const std::optional<Kind> kind = expression(logical_level);
            if (!kind || token != TOKEN_SEMICOLON || failed) {
                code.count = first_instruction;
                return !failed && emit_offset(Op::continue_with_text, statement_start);
            }
            if (!emit_offset(*kind == Kind::integer ? Op::finish_int : Op::finish_double, scanner_offset())) return false;
        }
    }

private:
    void advance() { token = next_token(&value); }

    bool emit(Op op) {
        if (code.count == code.capacity) {
            const std::size_t capacity = code.capacity ? code.capacity * 2 : 16;
            void* grown = capacity <= SIZE_MAX / sizeof(Instruction)
                              ? reallocate(code.instructions, capacity * sizeof(Instruction))
                              : nullptr;
            if (!grown) {
                failed = true;
                return false;
            }
            code.instructions = static_cast<Instruction*>(grown);
            code.capacity = capacity;
        }
        code.instructions[code.count] = Instruction{op, RightOperand::stack, {}};
        ++code.count;
        return true;
    }
    bool emit_offset(Op op, std::size_t offset) {
        if (!emit(op)) return false;
        last().offset = offset;
        return true;
    }
    Instruction& last() { return code.instructions[code.count - 1]; }

    // A binary instruction whose right side is one constant or variable takes it in itself: the
    // value is read at the same moment, with one instruction less to run.
    void fold_right_operand(std::size_t right_side) {
        if (code.count != right_side + 2) return;
        Instruction& operand = code.instructions[right_side];
        const Instruction& binary = code.instructions[right_side + 1];
        RightOperand right;
        switch (operand.op) {
            case Op::int_constant:
            case Op::double_constant: right = RightOperand::constant; break;
            case Op::load_int:
            case Op::load_double: right = RightOperand::variable; break;
            default: return;
        }
        operand.op = binary.op;
        operand.right = right;
        --code.count;
    }

    // The stack grows by `pushed` values, within its capacity.
    bool push(int pushed) {
        depth += pushed;
        return depth <= code_stack_capacity;
    }

    // An expression whose operators bind at `level` or tighter; its kind, or none when the
    // statement does not compile.
    std::optional<Kind> expression(int level) {
        std::optional<Kind> left = operand();
        while (left) {
            const BinaryOperator& op = binary_operator(token);
            if (op.level == 0 || op.level < level) break;
            advance();
            const std::size_t right_side = code.count;
            const std::optional<Kind> right = expression(op.right_to_left ? op.level : op.level + 1);
            const std::optional<Op> instruction = *left == Kind::integer ? op.integer : op.real;
            if (right != left || !instruction || !emit(*instruction)) return std::nullopt;
            fold_right_operand(right_side);
            push(-1);
            if (op.compares) left = Kind::integer;
        }
        return left;
    }

    // A value and the prefix operators before it.
    std::optional<Kind> operand() {
        if (++nesting > code_stack_capacity) return std::nullopt;
        std::optional<Kind> kind = prefixed_operand();
        --nesting;
        return kind;
    }

    std::optional<Kind> prefixed_operand() {
        const int prefix = token;
        const SemanticValue prefix_value = value;
        advance();
        switch (prefix) {
            case TOKEN_INT_CONST: return constant(Op::int_constant, prefix_value, Kind::integer);
            case TOKEN_DOUBLE_CONST: return constant(Op::double_constant, prefix_value, Kind::real);
            case TOKEN_INT_VAR: return variable(prefix_value.variable, Kind::integer);
            case TOKEN_DOUBLE_VAR: return variable(prefix_value.variable, Kind::real);
            case TOKEN_LPAREN: {
                const std::optional<Kind> kind = expression(logical_level);
                if (token != TOKEN_RPAREN) return std::nullopt;
                advance();
                return kind;
            }
            case TOKEN_MINUS: return unary(Op::int_negate, Op::double_negate);
            case TOKEN_NOT: return unary(Op::logical_not, std::nullopt);
            case TOKEN_BITNOT: return unary(Op::bit_not, std::nullopt);
            case TOKEN_INT_CAST: return converted(Kind::real, Op::double_to_int, Kind::integer);
            case TOKEN_DOUBLE_CAST: return converted(Kind::integer, Op::int_to_double, Kind::real);
            case TOKEN_FUNCTION: return function_call(prefix_value.variable);
            case TOKEN_GETTICKCOUNT: return tick_count();
            case TOKEN_INT_DECL: return declaration(TOKEN_INT_VAR);
            case TOKEN_DOUBLE_DECL: return declaration(TOKEN_DOUBLE_VAR);
            default: return std::nullopt;
        }
    }

    std::optional<Kind> constant(Op op, SemanticValue constant_value, Kind kind) {
        if (!emit(op) || !push(1)) return std::nullopt;
        if (kind == Kind::integer) last().integer = constant_value.integer;
        if (kind == Kind::real) last().number = constant_value.number;
        return kind;
    }

    // A variable's value, or an assignment to it. An assignment that `and` or `or` follows is
    // warned about by the grammar: the text runs that statement.
    std::optional<Kind> variable(Variable* named, Kind kind) {
        const bool assigned = token == TOKEN_ASSIGN;
        if (assigned) {
            advance();
            if (expression(assignment_level + 1) != kind || token == TOKEN_AND || token == TOKEN_OR) return std::nullopt;
        }
        const Op op = assigned ? (kind == Kind::integer ? Op::assign_int : Op::assign_double)
                               : (kind == Kind::integer ? Op::load_int : Op::load_double);
        if (!emit(op) || !push(assigned ? 0 : 1)) return std::nullopt;
        last().variable = named;
        return kind;
    }

    std::optional<Kind> unary(Op on_integer, std::optional<Op> on_real) {
        const std::optional<Kind> kind = expression(unary_level + 1);
        const std::optional<Op> op = kind == Kind::integer ? std::optional(on_integer) : on_real;
        if (!kind || !op || !emit(*op)) return std::nullopt;
        return kind;
    }

    std::optional<Kind> converted(Kind from, Op op, Kind to) {
        if (expression(cast_level + 1) != from || !emit(op)) return std::nullopt;
        return to;
    }

    // A built-in function of an integer or a double.
    std::optional<Kind> function_call(Variable* function) {
        if (token != TOKEN_LPAREN) return std::nullopt;
        advance();
        const std::optional<Kind> kind = expression(logical_level);
        if (!kind || token != TOKEN_RPAREN) return std::nullopt;
        advance();
        if ((kind == Kind::integer && !emit(Op::int_to_double)) || !emit(Op::apply_function)) return std::nullopt;
        last().variable = function;
        return Kind::real;
    }

    std::optional<Kind> tick_count() {
        if (token != TOKEN_LPAREN) return std::nullopt;
        advance();
        if (token != TOKEN_RPAREN) return std::nullopt;
        advance();
        if (!emit(Op::tick_count) || !push(1)) return std::nullopt;
        return Kind::integer;
    }

    // A declaration of a name that already has the declared type changes nothing and gives 1;
    // one that retypes the store's record is left to the text.
    std::optional<Kind> declaration(int declared) {
        if (token != declared) return std::nullopt;
        SemanticValue one;
        one.integer = 1;
        advance();
        return constant(Op::int_constant, one, Kind::integer);
    }

    ScriptCode& code;
    int token = 0;
    SemanticValue value{};
    int depth = 0;    // of the stack, at the instruction emitted last
    int nesting = 0;  // of operands being compiled
    bool failed = false;  // memory ran out
};

}  // namespace

bool compile_script(const char* text, std::size_t length, ScriptCode& code) {
    free_script_code(code);
    // A failure this thread met before (in a host call) would end the quiet scan at once, as if
    // the text ended there; the run that follows forgets it too.
    forget_allocation_failures();
    code.shape = store_shape();
    scanner_open_text_in_place(text, length);
    StoreResolver resolver(code.names);
    scanner_scan_quietly(&resolver);
    Compiler compiler(code);
    const bool compiled = compiler.compile_statements();
    scanner_close_text();
    if (!compiled) {
        free_script_code(code);
        return false;
    }
    // The code is kept for many runs: it gives back the room it grew into and did not use.
    if (void* fitted = reallocate(code.instructions, code.count * sizeof(Instruction))) {
        code.instructions = static_cast<Instruction*>(fitted);
        code.capacity = code.count;
    }
    return true;
}

bool code_fits_store(const ScriptCode& code) { return code.instructions && code.shape == store_shape(); }
