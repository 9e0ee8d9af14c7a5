#include "store.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "name_index.h"

namespace {

Variable* store_head = nullptr;
Variable* retired_head = nullptr;
Variable** walk_position = nullptr;

struct BuiltinFunction {
    const char* name;
    MathFunction function;
};

double builtin_sin(double x) { return std::sin(x); }
double builtin_cos(double x) { return std::cos(x); }
double builtin_atan(double x) { return std::atan(x); }
double builtin_ln(double x) { return std::log(x); }
double builtin_exp(double x) { return std::exp(x); }
double builtin_sqrt(double x) { return std::sqrt(x); }

constexpr BuiltinFunction builtin_functions[] = {
    {"sin", builtin_sin},  {"cos", builtin_cos}, {"atan", builtin_atan},
    {"ln", builtin_ln},    {"exp", builtin_exp}, {"sqrt", builtin_sqrt},
};

char* copy_text(std::string_view text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy) {
        std::memcpy(copy, text.data(), text.size());
        copy[text.size()] = '\0';
    }
    return copy;
}

void free_value(Variable* variable) {
    if (variable->type == STRING_VAR) std::free(variable->value.text);
}

void free_record(Variable* variable) {
    free_value(variable);
    std::free(variable->name);
    std::free(variable);
}

// After the newest record of a name has gone, an older one of the same name (only a repeated
// load of the built-ins makes such twins) becomes the one lookups find.
void unindex_variable(Variable* variable) {
    if (index_find(variable->name) != variable) return;
    index_remove(variable);
    for (Variable* older = variable->next; older; older = older->next) {
        if (std::strcmp(older->name, variable->name) == 0) {
            index_insert(older);
            return;
        }
    }
}

// Unlinks `variable` from the store by identity; false when it is not there.
bool unlink_variable(Variable* variable) {
    for (Variable** link = &store_head; *link; link = &(*link)->next) {
        if (*link == variable) {
            *link = variable->next;
            if (walk_position && *walk_position == variable) *walk_position = variable->next;
            unindex_variable(variable);
            return true;
        }
    }
    return false;
}

}  // namespace

Variable* find_variable(std::string_view name) { return index_find(name); }

Variable* create_variable(std::string_view name, int32_t type) {
    Variable* variable = static_cast<Variable*>(std::malloc(sizeof(Variable)));
    char* name_copy = copy_text(name);
    if (!variable || !name_copy) {
        std::free(variable);
        std::free(name_copy);
        return nullptr;
    }
    variable->name = name_copy;
    if (!index_insert(variable)) {
        std::free(variable);
        std::free(name_copy);
        return nullptr;
    }
    variable->type = type;
    std::memset(&variable->value, 0, sizeof variable->value);
    variable->next = store_head;
    store_head = variable;
    return variable;
}

int remove_variable(Variable* variable) {
    if (!unlink_variable(variable)) return 0;
    free_record(variable);
    return 1;
}

int retire_variable(Variable* variable) {
    if (!unlink_variable(variable)) return 0;
    retype_variable(variable, REMOVED_VAR);
    variable->next = retired_head;
    retired_head = variable;
    return 1;
}

void free_retired_variables() {
    while (Variable* variable = retired_head) {
        retired_head = variable->next;
        free_record(variable);
    }
}

void clear_variables() {
    if (walk_position) *walk_position = nullptr;
    index_clear();
    while (Variable* variable = store_head) {
        store_head = variable->next;
        free_record(variable);
    }
}

void load_builtin_functions() {
    for (const BuiltinFunction& builtin : builtin_functions) {
        if (Variable* variable = create_variable(builtin.name, FUNCTION)) {
            variable->value.function = builtin.function;
        }
    }
}

Variable* first_variable() { return store_head; }

void track_walk_position(Variable** position) { walk_position = position; }

bool set_variable_text(Variable* variable, const char* text) {
    char* copy = nullptr;
    if (text && !(copy = copy_text(text))) return false;
    std::free(variable->value.text);
    variable->value.text = copy;
    return true;
}

void retype_variable(Variable* variable, int32_t type) {
    free_value(variable);
    variable->type = type;
    std::memset(&variable->value, 0, sizeof variable->value);
    if (type == STRING_VAR) variable->value.text = copy_text("");
}
