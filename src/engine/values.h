// The value that travels with every token and grammar symbol.
#pragma once

#include <cstdint>

struct Variable;

union SemanticValue {
    int32_t integer;
    double number;
    char* text;  // owned by the scratch list or a variable; null for a missing string
    Variable* variable;
};
