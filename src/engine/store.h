// The variable store: every variable that scripts and the host share, and the built-in math
// functions, in one singly linked list, newest first. The caller holds the store lock.
#pragma once

#include <cstdint>
#include <string_view>

// A variable's type code is the token the scanner returns for its name: INT_VAR, STRING_VAR,
// DOUBLE_VAR or FUNCTION, defined with the other tokens by the grammar.
#include "grammar.hpp"

// The type code of a record a script deleted; it waits among the retired records to be freed.
constexpr int32_t REMOVED_VAR = 0;

using MathFunction = double (*)(double);

union VariableValue {
    int32_t integer;
    char* text;  // owned by the record; null when a string variable holds no text
    double number;
    MathFunction function;
};

struct Variable {
    char* name;  // the record's own copy; any bytes but NUL, also empty
    int32_t type;
    VariableValue value;
    Variable* next;
};

// The newest record named `name`, compared byte for byte, or null.
Variable* find_variable(std::string_view name);

// A new record at the head, with a zero value; does not look for an existing one.
// Null when memory runs out.
Variable* create_variable(std::string_view name, int32_t type);

// Unlinks and frees `variable` if it is in the store: 1; 0 (freeing nothing) when it is not.
int remove_variable(Variable* variable);

// Unlinks `variable` like remove_variable, but keeps the record itself, typed REMOVED_VAR, until
// free_retired_variables: a script may still hold a pointer to it in the statement that deleted
// it. Returns 1 when it was in the store, else 0.
int retire_variable(Variable* variable);

// Frees the records retired since the last call.
void free_retired_variables();

// Frees every record; the store is empty afterwards.
void clear_variables();

// Adds sin, cos, atan, ln, exp, sqrt in that order, so that sqrt stands nearest the head.
void load_builtin_functions();

// The newest record, for walks of the whole store (listing, tests).
Variable* first_variable();

// The host's listing cursor: the next record a listing examines, or null. Removing the record it
// stands on moves it to the next one, and clearing the store clears it, so it never refers to a
// freed record.
extern Variable* list_cursor;

// Replaces the text of a string variable with a copy of `text` (null: no text), freeing the old
// one. Returns false, changing nothing, when memory runs out.
bool set_variable_text(Variable* variable, const char* text);

// Gives `variable` the type code `type` and that type's zero value (an empty text for a
// string), freeing an old text first.
void retype_variable(Variable* variable, int32_t type);
