// The host's access to single variables: type, read, write and delete by name.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "host_text.h"
#include "notification.h"
#include "regscript.h"
#include "store.h"
#include "store_lock.h"

namespace {

// The host may pass a NULL name; no variable has it.
Variable* find_named_variable(const char* name) { return name ? find_variable(name) : nullptr; }

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
    Variable* variable = find_variable(name);
    return of_type(variable ? variable : create_variable(name, type), type);
}

int32_t host_type_number(int32_t type) {
    switch (type) {
        case INT_VAR: return REGSCRIPT_INT;
        case DOUBLE_VAR: return REGSCRIPT_DOUBLE;
        case STRING_VAR: return REGSCRIPT_STRING;
        default: return -1;
    }
}

// Under the lock, `read` of the variable `name` of `type`; `failure` when there is none or the
// lock wait fails.
template <typename Result, typename Read>
Result read_typed_variable(const char* name, int32_t type, Result failure, Read read) {
    StoreLockScope lock;
    if (!lock.held) return failure;
    const Variable* variable = find_typed_variable(name, type);
    return variable ? read(*variable) : failure;
}

template <typename Number>
Number read_number(const char* name, int32_t type, Number VariableValue::*member) {
    return read_typed_variable(name, type, Number{},
                               [member](const Variable& variable) { return variable.value.*member; });
}

// Under the lock, finds or creates the variable `name` of `type` and lets `store` put the value
// in (false: out of memory). Notifies whatever happened, also when the lock wait fails.
template <typename Store>
int32_t write_typed_variable(const char* name, int32_t type, Store store) {
    bool stored;
    {
        StoreLockScope lock;
        Variable* variable = lock.held ? find_or_create_variable(name, type) : nullptr;
        stored = variable && store(*variable);
    }
    notify_variables_changed();
    return stored ? 0 : -1;
}

template <typename Number>
int32_t write_number(const char* name, int32_t type, Number VariableValue::*member, Number value) {
    return write_typed_variable(name, type, [member, value](Variable& variable) {
        variable.value.*member = value;
        return true;
    });
}

// Removes the variable `name` unless it is a built-in function. True when the host is to be
// notified: something was removed or a built-in's name was given.
bool remove_named_variable(const char* name) {
    Variable* variable = find_named_variable(name);
    if (!variable) return false;
    if (variable->type != FUNCTION) remove_variable(variable);
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
    return read_number(name, INT_VAR, &VariableValue::integer);
}

double REGSCRIPT_STDCALL get_double_variable(const char* name) {
    return read_number(name, DOUBLE_VAR, &VariableValue::number);
}

int32_t REGSCRIPT_STDCALL get_string_variable(const char* name, char* buffer, int32_t size) {
    // Emptied before the wait, so that every failure leaves the host an empty text.
    if (buffer && size >= 1) buffer[0] = '\0';
    return read_typed_variable(name, STRING_VAR, int32_t{-1}, [buffer, size](const Variable& variable) {
        std::string_view text = variable_text(variable);
        return copy_to_host_buffer(text, buffer, size) ? 0 : host_text_length(text);
    });
}

int32_t REGSCRIPT_STDCALL set_int_variable(const char* name, int32_t value) {
    return write_number(name, INT_VAR, &VariableValue::integer, value);
}

int32_t REGSCRIPT_STDCALL set_double_variable(const char* name, double value) {
    return write_number(name, DOUBLE_VAR, &VariableValue::number, value);
}

int32_t REGSCRIPT_STDCALL set_string_variable(const char* name, const char* text) {
    return write_typed_variable(name, STRING_VAR,
                                [text](Variable& variable) { return set_variable_text(&variable, text); });
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
