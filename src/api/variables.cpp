// The host's access to single variables: type, read, write and delete by name.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "host_text.h"
#include "notification.h"
#include "regscript.h"
#include "script_run.h"
#include "store.h"
#include "store_lock.h"

namespace {

// The host may pass a NULL name; no variable has it.
Variable* find_named_variable(const char* name) { return name ? find_variable(key_of(name)) : nullptr; }

Variable* of_type(Variable* variable, int32_t type) {
    return variable && variable->type == type ? variable : nullptr;
}

// The variable `name` if it has `type`, else null. The caller holds the lock.
Variable* find_typed_variable(const char* name, int32_t type) {
    return of_type(find_named_variable(name), type);
}

// The variable `name`, created with `type` when there is none; null when it has another type or
// memory runs out. The caller holds the lock.
Variable* find_or_create_variable(const char* name, int32_t type) {
    if (!name) return nullptr;
    const NameKey key = key_of(name);
    Variable* variable = find_variable(key);
    return of_type(variable ? variable : create_variable(key, type), type);
}

int32_t host_type_number(int32_t type) {
    switch (type) {
        case INT_VAR: return REGSCRIPT_INT;
        case DOUBLE_VAR: return REGSCRIPT_DOUBLE;
        case STRING_VAR: return REGSCRIPT_STRING;
        default: return -1;
    }
}

// Stores `text` in the variable `name`, found or created as a string variable. False when it has
// another type or memory runs out; the store is then as it was. The caller holds the lock.
bool store_text(const char* name, const char* text) {
    if (!name) return false;
    const NameKey key = key_of(name);
    Variable* variable = find_variable(key);
    const bool created = !variable;
    if (created) variable = create_variable(key, STRING_VAR);
    if (!variable || variable->type != STRING_VAR) return false;
    if (set_variable_text(variable, text)) return true;
    if (created) remove_variable(variable);
    return false;
}

// Removes the variable `name` unless it is a function. True when the host is to be notified:
// something was removed or a function's name was given. Inside a host function, the statement in
// progress may hold the record: it is retired until the statement ends, as a script's `delete`.
bool remove_named_variable(const char* name) {
    Variable* variable = find_named_variable(name);
    if (!variable) return false;
    if (is_function(variable->type)) return true;
    if (run_in_progress()) {
        retire_variable(variable);
    } else {
        remove_variable(variable);
    }
    return true;
}

}  // namespace

int32_t REGSCRIPT_STDCALL get_variable_type(const char* name) {
    StoreLockScope lock;
    if (!lock.held) return -1;
    const Variable* variable = find_named_variable(name);
    return variable ? host_type_number(variable->type) : -1;
}

int32_t REGSCRIPT_STDCALL get_int_variable(const char* name) {
    StoreLockScope lock;
    if (!lock.held) return 0;
    const Variable* variable = find_typed_variable(name, INT_VAR);
    return variable ? variable->value.integer : 0;
}

double REGSCRIPT_STDCALL get_double_variable(const char* name) {
    StoreLockScope lock;
    if (!lock.held) return 0.0;
    const Variable* variable = find_typed_variable(name, DOUBLE_VAR);
    return variable ? variable->value.number : 0.0;
}

// The buffer may be the name's own: it is written only after the lookup.
int32_t REGSCRIPT_STDCALL get_string_variable(const char* name, char* buffer, int32_t size) {
    StoreLockScope lock;
    const Variable* variable = lock.held ? find_typed_variable(name, STRING_VAR) : nullptr;
    if (!variable) {
        if (buffer && size >= 1) buffer[0] = '\0';  // every failure leaves the host an empty text
        return -1;
    }
    std::string_view text = variable_text(*variable);
    return copy_to_host_buffer(text, buffer, size) ? 0 : host_text_length(text);
}

// The setters notify whatever happened, also when the lock wait fails.
int32_t REGSCRIPT_STDCALL set_int_variable(const char* name, int32_t value) {
    Variable* variable;
    {
        StoreLockScope lock;
        variable = lock.held ? find_or_create_variable(name, INT_VAR) : nullptr;
        if (variable) variable->value.integer = value;
    }
    notify_variables_changed();
    return variable ? 0 : -1;
}

int32_t REGSCRIPT_STDCALL set_double_variable(const char* name, double value) {
    Variable* variable;
    {
        StoreLockScope lock;
        variable = lock.held ? find_or_create_variable(name, DOUBLE_VAR) : nullptr;
        if (variable) variable->value.number = value;
    }
    notify_variables_changed();
    return variable ? 0 : -1;
}

int32_t REGSCRIPT_STDCALL set_string_variable(const char* name, const char* text) {
    bool stored;
    {
        StoreLockScope lock;
        stored = lock.held && store_text(name, text);
    }
    notify_variables_changed();
    return stored ? 0 : -1;
}

// A failed wait notifies only when the lock exists, that is when it timed out: before
// init_registers and after deinit_registers nothing happens.
void REGSCRIPT_STDCALL delete_variable(const char* name) {
    bool changed;
    {
        StoreLockScope lock;
        changed = lock.held ? remove_named_variable(name) : store_lock_exists();
    }
    if (changed) notify_variables_changed();
}
