// run_parser and the one entry every run goes through, holding the store lock from start to end.
#include "run.h"

#include "last_run.h"
#include "notification.h"
#include "regscript.h"
#include "script_run.h"
#include "store_lock.h"

int32_t enter_run(void (*run)(void* context), void* context, int32_t* error_line) {
    int32_t result;
    {
        RunLockScope lock;
        if (!lock.held) {
            remember_lock_failure();
            return 0;
        }
        if (run_in_progress()) {
            remember_nested_run();
            if (error_line) *error_line = 0;
            return 0;
        }
        run(context);
        remember_run(run_state());
        if (error_line) *error_line = run_state().reported_line;
        result = run_state().result;
    }
    notify_variables_changed();
    return result;
}

int32_t REGSCRIPT_STDCALL run_parser(const char* script, int32_t* error_line) {
    const auto run = [](void* text) { run_text(static_cast<const char*>(text)); };
    return enter_run(run, const_cast<char*>(script ? script : ""), error_line);
}
