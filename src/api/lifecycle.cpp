// init_registers, deinit_registers, reset_registers and the window registration.
#include "notification.h"
#include "regscript.h"
#include "script_run.h"
#include "store.h"
#include "store_lock.h"

// Never waits: a thread still inside a call that began before a deinit_registers finishes on the
// store it began with, and this call makes a new one.
int32_t REGSCRIPT_CDECL init_registers(void) { return store_lock_create() ? 0 : -1; }

int32_t REGSCRIPT_CDECL deinit_registers(void) {
    store_lock_destroy_and_clear();
    return 0;
}

// The host's functions stay. Refused inside a host function: the run's parser holds records of
// the store.
int32_t REGSCRIPT_CDECL reset_registers(void) {
    bool loaded;
    {
        StoreLockScope lock;
        if (!lock.held || run_in_progress()) return -1;
        clear_variables_keeping_host_functions();
        loaded = load_builtin_functions();
    }
    notify_variables_changed();
    return loaded ? 0 : -1;
}

void REGSCRIPT_STDCALL set_register_window(void* window) { set_notification_window(window); }
