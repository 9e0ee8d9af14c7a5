// The one way into a script run: run_parser and prepared scripts both come through here, so that
// what every run must do (the lock, the refusal of a run from inside a host function, the
// last-run record, the notification) is done in one place.
#pragma once

#include <cstdint>

// Runs `text` holding the store lock, records the calling thread's last run, writes the error
// line and posts the notification, as run_parser promises. Returns the run result. A failed lock
// wait runs nothing and returns 0; so does a call from inside a host function, which writes error
// line 0 and leaves the run in progress as it was.
int32_t run_script_text(const char* text, int32_t* error_line);
