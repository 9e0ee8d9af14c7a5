#include "declarations.h"

#include "store.h"

int32_t assign_integer(Variable* variable, int32_t value) {
    if (variable->type == INT_VAR) variable->value.integer = value;
    return value;
}

double assign_double(Variable* variable, double value) {
    if (variable->type == DOUBLE_VAR) variable->value.number = value;
    return value;
}

char* assign_string(Variable* variable, char* text) {
    if (text && variable->type == STRING_VAR) set_variable_text(variable, text);
    return text;
}

int32_t declare_variable(Variable* variable, int32_t type) {
    if (variable->type != type) retype_variable(variable, type);
    return 1;
}

int32_t delete_variable_in_script(Variable* variable) { return retire_variable(variable); }
