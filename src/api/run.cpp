// run_parser: one script run, holding the store lock from start to end.
#include "notification.h"
#include "parser.h"
#include "regscript.h"
#include "scanner.h"
#include "statements.h"
#include "store_lock.h"

int32_t REGSCRIPT_STDCALL run_parser(const char* script, int32_t* error_line) {
    int32_t result;
    {
        StoreLockScope lock;
        if (!lock.held) return 0;
        token_location.first_line = 1;
        token_location.first_column = 0;
        recorded_error_line = 0;
        if (scanner_open_text(script ? script : "")) {
            parse();
            scanner_close_text();
        }
        finish_run();
        if (error_line) *error_line = recorded_error_line;
        result = run_result;
    }
    notify_variables_changed();
    return result;
}
