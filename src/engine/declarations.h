// Assignments, declarations and deletion: the only ways a script changes the store.
//
// A variable token carries its record, and the same statement may delete or re-declare that
// record before an assignment to it is reduced (`x = delete x`, `s = cut("abc", int s, 1)`).
// Deleted records therefore stay allocated, typed REMOVED_VAR, until the statement ends, and an
// assignment writes its record only while the record still has the assignment's type.
//
// After an allocation has failed in a run, none of them changes the store any more.
#pragma once

#include <cstdint>

struct Variable;

// Each yields the assigned value.
int32_t assign_integer(Variable* variable, int32_t value);
// assign_integer without its warning, which reads the token after the value: for compiled code,
// which has checked that no `and` or `or` follows.
int32_t assign_integer_unwarned(Variable* variable, int32_t value);
double assign_double(Variable* variable, double value);
// A missing text changes nothing. Otherwise the variable gets its own copy of `text`, a scratch
// string, which is also the result and stays readable to the end of the statement.
char* assign_string(Variable* variable, char* text);

// `int x`, `double x`, `string x`: a variable of another type starts over with the zero value of
// the new one (0, 0.0, the empty text); one of the same type is left as it is. Yields 1.
int32_t declare_variable(Variable* variable, int32_t type);

// `delete x`: 1 when the variable was removed, 0 when it was already gone.
int32_t delete_variable_in_script(Variable* variable);
