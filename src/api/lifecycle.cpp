// init_registers, deinit_registers, reset_registers and the window registration.
#include "notification.h"
#include "regscript.h"
#include "store.h"
#include "store_lock.h"

// The built-ins are loaded under the lock, so that a thread still inside a call that began
// before a deinit_registers never sees the store change beneath it.
int32_t REGSCRIPT_CDECL init_registers(void) {
    store_lock_create();
    if (StoreLockScope lock; lock.held) load_builtin_functions();
    return 0;
}

int32_t REGSCRIPT_CDECL deinit_registers(void) {
    store_lock_destroy_and_clear();
    return 0;
}

int32_t REGSCRIPT_CDECL reset_registers(void) {
    {
        StoreLockScope lock;
        if (!lock.held) return -1;
        clear_variables();
        load_builtin_functions();
    }
    notify_variables_changed();
    return 0;
}

void REGSCRIPT_STDCALL set_register_window(void* window) { set_notification_window(window); }
