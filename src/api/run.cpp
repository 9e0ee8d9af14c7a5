// run_parser: one script run, holding the store lock from start to end.
#include "run_entry.h"

#include "last_run.h"
#include "notification.h"
#include "regscript.h"
#include "statements.h"
#include "store_lock.h"

int32_t enter_run(void (*run)(const void* script), const void* script, int32_t* error_line) {
    int32_t result;
    {
        StoreLockScope lock;
        if (!lock.held) {
            remember_lock_failure();
            return 0;
        }
        if (run_in_progress()) {
            remember_nested_run();
            if (error_line) *error_line = 0;
            return 0;
        }
        run(script);
        remember_run(run_state());
        if (error_line) *error_line = run_state().error_line;
        result = run_state().result;
    }
    notify_variables_changed();
    return result;
}

int32_t REGSCRIPT_STDCALL run_parser(const char* script, int32_t* error_line) {
    auto run_script_text = [](const void* text) { run_text(static_cast<const char*>(text)); };
    return enter_run(run_script_text, script ? script : "", error_line);
}
