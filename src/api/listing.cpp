// The host's listing: one shared cursor walks the store newest first, each get-next function
// delivering the next variable of its kind.
#include <cstdint>
#include <string_view>

#include "host_text.h"
#include "regscript.h"
#include "store.h"
#include "store_lock.h"

namespace {

// Moves the cursor to the first record of `type` at or after it; null, and the cursor with it,
// when none is left. Built-in functions are never of a listed kind, so they are never delivered.
Variable* advance_cursor_to(int32_t type) {
    while (list_cursor && list_cursor->type != type) list_cursor = list_cursor->next;
    return list_cursor;
}

// Moves the cursor past a variable that has been delivered completely.
int32_t delivered(const Variable& variable) {
    list_cursor = variable.next;
    return 0;
}

// The shape of every get-next call: under the lock (instant inside the caller's own listing),
// find the next variable of `type`, hand out its name and let `deliver` hand out the value and
// give the result.
template <typename Deliver>
int32_t deliver_next(int32_t type, char* name_buffer, int32_t name_size, Deliver deliver) {
    StoreLockScope lock;
    if (!lock.held) return -1;
    const Variable* variable = advance_cursor_to(type);
    if (!variable) return -1;
    copy_to_host_buffer(variable->name, name_buffer, name_size);
    return deliver(*variable);
}

template <typename Number>
int32_t deliver_next_number(int32_t type, Number VariableValue::*member, char* name_buffer,
                            int32_t name_size, Number* value) {
    return deliver_next(type, name_buffer, name_size, [member, value](const Variable& variable) {
        if (value) *value = variable.value.*member;
        return delivered(variable);
    });
}

}  // namespace

// The lock is taken here and deliberately kept: the listing owns the store until
// close_list_variables releases it, so no other thread changes the store under the cursor.
int32_t REGSCRIPT_CDECL open_list_variables(void) {
    if (!store_lock_wait()) return -1;
    list_cursor = first_variable();
    return 0;
}

int32_t REGSCRIPT_CDECL get_first_variable(void) {
    StoreLockScope lock;
    if (!lock.held) return -1;
    list_cursor = first_variable();
    return 0;
}

int32_t REGSCRIPT_STDCALL get_next_int_variable(char* name_buffer, int32_t name_size, int32_t* value) {
    return deliver_next_number(INT_VAR, &VariableValue::integer, name_buffer, name_size, value);
}

int32_t REGSCRIPT_STDCALL get_next_double_variable(char* name_buffer, int32_t name_size, double* value) {
    return deliver_next_number(DOUBLE_VAR, &VariableValue::number, name_buffer, name_size, value);
}

// Without a value buffer the call only measures the text and keeps the cursor on the variable,
// so that the host can size a buffer and ask again.
int32_t REGSCRIPT_STDCALL get_next_string_variable(char* name_buffer, int32_t name_size, char* value_buffer,
                                                   int32_t value_size) {
    auto deliver_text = [value_buffer, value_size](const Variable& variable) {
        std::string_view text = variable_text(variable);
        if (!copy_to_host_buffer(text, value_buffer, value_size)) return host_text_length(text);
        return delivered(variable);
    };
    return deliver_next(STRING_VAR, name_buffer, name_size, deliver_text);
}

// Only a thread that holds the lock, which is the listing's thread, may touch the cursor; a close
// elsewhere must not end another thread's listing.
int32_t REGSCRIPT_CDECL close_list_variables(void) {
    if (store_lock_depth() > 0) {
        list_cursor = nullptr;
        store_lock_release();
    }
    return 0;
}
