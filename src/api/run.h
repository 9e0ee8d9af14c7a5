// The one way into a script run: run_parser and prepared scripts both come through here, so that
// what every run must do (the lock, the refusal of a run from inside a host function, the
// last-run record, the notification) is done in one place.
#pragma once

#include <cstdint>

// Runs a script holding the store lock: `run(context)` runs it in the engine. Records the calling
// thread's last run, writes the error line and posts the notification, as run_parser promises.
// Returns the run result. A failed lock wait runs nothing and returns 0; so does a call from
// inside a host function, which writes error line 0 and leaves the run in progress as it was.
int32_t enter_run(void (*run)(void* context), void* context, int32_t* error_line);
