#include "declarations.h"

#include "statements.h"
#include "store.h"

// Once memory has run out, the statement's values may rest on texts that could not be made: the
// run is ending, and nothing it computes from then on reaches the store.
namespace {

bool may_change(const Variable* variable, int32_t type) { return variable->type == type && statement_may_finish(); }

}  // namespace

int32_t assign_integer(Variable* variable, int32_t value) {
    if (may_change(variable, INT_VAR)) variable->value.integer = value;
    return value;
}

double assign_double(Variable* variable, double value) {
    if (may_change(variable, DOUBLE_VAR)) variable->value.number = value;
    return value;
}

char* assign_string(Variable* variable, char* text) {
    if (text && may_change(variable, STRING_VAR)) set_variable_text(variable, text);
    return text;
}

int32_t declare_variable(Variable* variable, int32_t type) {
    if (variable->type != type && statement_may_finish()) retype_variable(variable, type);
    return 1;
}

int32_t delete_variable_in_script(Variable* variable) { return statement_may_finish() ? retire_variable(variable) : 0; }
