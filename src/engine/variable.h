// One variable of the store: its name, its type code and its value.
#pragma once

#include <cstdint>

// A variable's type code. The scanner returns it as the token of the variable's name, so the
// codes are also the grammar's tokens for the four kinds of name (checked where the scanner
// returns them).
constexpr int32_t INT_VAR = 260;
constexpr int32_t STRING_VAR = 261;
constexpr int32_t DOUBLE_VAR = 262;
constexpr int32_t FUNCTION = 263;  // a built-in math function
// Functions the host defined, by the type of their result.
constexpr int32_t HOST_INT_FUNCTION = 304;
constexpr int32_t HOST_DOUBLE_FUNCTION = 305;
constexpr int32_t HOST_STRING_FUNCTION = 306;
// The type code of a record a script deleted; it waits among the retired records to be freed.
constexpr int32_t REMOVED_VAR = 0;

using MathFunction = double (*)(double);
struct HostFunction;  // host_function.h

inline bool is_host_function(int32_t type) { return type >= HOST_INT_FUNCTION && type <= HOST_STRING_FUNCTION; }
// Built-in or defined by the host: no variable, and nothing the host's variable functions change.
inline bool is_function(int32_t type) { return type == FUNCTION || is_host_function(type); }

union VariableValue {
    int32_t integer;
    char* text;  // owned by the record; null when a string variable holds no text
    double number;
    MathFunction function;
    HostFunction* host;  // owned by the record
};

struct Variable {
    char* name;  // the record's own copy, in the record's block; any bytes but NUL, also empty
    int32_t type;
    bool hides_twin;  // an older record of the same name stands behind this one (repeated built-ins)
    VariableValue value;
    Variable* next;      // the next older record
    Variable* previous;  // the next newer record; null at the head
};
