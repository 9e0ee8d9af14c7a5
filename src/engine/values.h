// The value that travels with every token and grammar symbol, and the scanner's location.
#pragma once

#include <cstdint>

struct Variable;

union SemanticValue {
    int32_t integer;
    double number;
    char* text;  // owned by the scratch list or a variable; null for a missing string
    Variable* variable;
};

// A token's location is the scanner's two counters after the token: the line, and the number of
// semicolons since the start of that line. The scanner never writes last_line and last_column.
struct SourceLocation {
    int32_t first_line;
    int32_t first_column;
    int32_t last_line;
    int32_t last_column;
};
