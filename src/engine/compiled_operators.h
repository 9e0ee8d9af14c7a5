// The grammar's operators as the compiler of prepared scripts reads them: how tightly each binds,
// loosest first, as grammar.y declares them, and the instructions of the binary ones. Internal to
// script_compiler.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "grammar.hpp"
#include "script_code.h"

namespace compiled_operators {

// Binding levels, loosest first, as grammar.y declares them.
inline constexpr int logical_level = 1;      // and, or
inline constexpr int assignment_level = 2;   // =
inline constexpr int comparison_level = 3;   // == != >= <= > <, right to left
inline constexpr int additive_level = 4;     // + -
inline constexpr int multiplicative_level = 5;  // * / %
inline constexpr int cast_level = 6;         // (int) (double)
inline constexpr int bitwise_level = 7;      // & ^ >> <<
inline constexpr int unary_level = 8;        // - ! ~
inline constexpr int power_level = 9;        // **, right to left

struct BinaryOperator {
    int level;  // 0: the token is no binary operator
    bool right_to_left;
    std::optional<Op> integer;  // the instruction for integer operands, if they are taken
    std::optional<Op> real;
    bool compares;              // gives an integer whatever its operands
};

inline constexpr BinaryOperator binary_operator_of(int token) {
    switch (token) {
        case TOKEN_AND: return {logical_level, false, Op::logical_and, {}, false};
        case TOKEN_OR: return {logical_level, false, Op::logical_or, {}, false};
        case TOKEN_EQ: return {comparison_level, true, Op::int_equal, Op::double_equal, true};
        case TOKEN_NE: return {comparison_level, true, Op::int_not_equal, Op::double_not_equal, true};
        case TOKEN_GT: return {comparison_level, true, Op::int_greater, Op::double_greater, true};
        case TOKEN_GE: return {comparison_level, true, Op::int_greater_equal, Op::double_greater_equal, true};
        case TOKEN_LT: return {comparison_level, true, Op::int_less, Op::double_less, true};
        case TOKEN_LE: return {comparison_level, true, Op::int_less_equal, Op::double_less_equal, true};
        case TOKEN_PLUS: return {additive_level, false, Op::int_add, Op::double_add, false};
        case TOKEN_MINUS: return {additive_level, false, Op::int_subtract, Op::double_subtract, false};
        case TOKEN_TIMES: return {multiplicative_level, false, Op::int_multiply, Op::double_multiply, false};
        case TOKEN_DIVIDE: return {multiplicative_level, false, Op::int_divide, Op::double_divide, false};
        case TOKEN_MODULO: return {multiplicative_level, false, Op::int_modulo, Op::double_modulo, false};
        case TOKEN_BITAND: return {bitwise_level, false, Op::int_and, {}, false};
        case TOKEN_BITXOR: return {bitwise_level, false, Op::int_xor, {}, false};
        case TOKEN_SHR: return {bitwise_level, false, Op::int_shift_right, {}, false};
        case TOKEN_SHL: return {bitwise_level, false, Op::int_shift_left, {}, false};
        case TOKEN_POWER: return {power_level, true, Op::int_power, Op::double_power, false};
        default: return {};
    }
}

// The operators by token, looked up at every level of an expression.
inline constexpr int first_operator_token = TOKEN_ASSIGN, last_operator_token = TOKEN_POWER;
inline constexpr auto binary_operators = [] {
    std::array<BinaryOperator, last_operator_token - first_operator_token + 1> table{};
    for (int token = first_operator_token; token <= last_operator_token; ++token) {
        table[static_cast<std::size_t>(token - first_operator_token)] = binary_operator_of(token);
    }
    return table;
}();

inline const BinaryOperator& binary_operator(int token) {
    static constexpr BinaryOperator none{};
    if (token < first_operator_token || token > last_operator_token) return none;
    return binary_operators[static_cast<std::size_t>(token - first_operator_token)];
}

}  // namespace compiled_operators
