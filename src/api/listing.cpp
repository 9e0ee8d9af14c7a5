// The host's listing: one shared cursor walks the store newest first, each get-next function
// delivering the next variable of its kind.
#include <atomic>
#include <cstdint>
#include <string_view>

#include "host_text.h"
#include "regscript.h"
#include "store.h"
#include "store_lock.h"

namespace {

// A close on a thread that holds no listing cannot touch the cursor, which the listing's thread
// uses under the lock; it leaves this mark, and the listing's next get-next call ends the walk.
std::atomic<bool> closed_elsewhere{false};

// Moves the cursor to the next record of `type` and hands out its name; null, with the cursor,
// when none is left. Built-in functions are never of a listed kind, so they are never delivered.
// The caller holds the lock.
// The cursor is part of the store it walks (see listing_cursor), so a store made anew after a
// listing began starts without one.
const Variable* next_listed(int32_t type, char* name_buffer, int32_t name_size) {
    if (closed_elsewhere.exchange(false)) set_listing_cursor(nullptr);
    Variable* cursor = listing_cursor();
    while (cursor && cursor->type != type) cursor = cursor->next;
    set_listing_cursor(cursor);
    if (cursor) copy_to_host_buffer(cursor->name, name_buffer, name_size);
    return cursor;
}

// Puts the cursor on the newest record; the caller holds the lock.
void start_listing() {
    closed_elsewhere = false;
    set_listing_cursor(first_variable());
}

}  // namespace

// The lock is taken here and deliberately kept: the listing owns the store until
// close_list_variables releases it, so no other thread changes the store under the cursor.
int32_t REGSCRIPT_CDECL open_list_variables(void) {
    if (!store_lock_wait()) return -1;
    start_listing();
    return 0;
}

int32_t REGSCRIPT_CDECL get_first_variable(void) {
    StoreLockScope lock;
    if (!lock.held) return -1;
    start_listing();
    return 0;
}

// Each get-next call takes the lock for itself (at once inside the caller's own listing), hands
// out the next variable of its kind and moves the cursor past it.
int32_t REGSCRIPT_STDCALL get_next_int_variable(char* name_buffer, int32_t name_size, int32_t* value) {
    StoreLockScope lock;
    if (!lock.held) return -1;
    const Variable* variable = next_listed(INT_VAR, name_buffer, name_size);
    if (!variable) return -1;
    if (value) *value = variable->value.integer;
    set_listing_cursor(variable->next);
    return 0;
}

int32_t REGSCRIPT_STDCALL get_next_double_variable(char* name_buffer, int32_t name_size, double* value) {
    StoreLockScope lock;
    if (!lock.held) return -1;
    const Variable* variable = next_listed(DOUBLE_VAR, name_buffer, name_size);
    if (!variable) return -1;
    if (value) *value = variable->value.number;
    set_listing_cursor(variable->next);
    return 0;
}

// Without a value buffer the call only measures the text and keeps the cursor on the variable,
// so that the host can size a buffer and ask again.
int32_t REGSCRIPT_STDCALL get_next_string_variable(char* name_buffer, int32_t name_size, char* value_buffer,
                                                   int32_t value_size) {
    StoreLockScope lock;
    if (!lock.held) return -1;
    const Variable* variable = next_listed(STRING_VAR, name_buffer, name_size);
    if (!variable) return -1;
    std::string_view text = variable_text(*variable);
    if (!copy_to_host_buffer(text, value_buffer, value_size)) return host_text_length(text);
    set_listing_cursor(variable->next);
    return 0;
}

// The listing's thread releases the lock its open took. A close on any other thread ends the
// walk all the same, but cannot release a lock it does not hold.
int32_t REGSCRIPT_CDECL close_list_variables(void) {
    if (store_lock_depth() > 0) {
        set_listing_cursor(nullptr);
        store_lock_release();
    } else {
        closed_elsewhere = true;
    }
    return 0;
}
