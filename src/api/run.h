// The one way into a script run: run_parser and prepared scripts both come through here, so that
// what every run must do (the lock, the last-run record, the notification) is done in one place.
#pragma once

#include <cstdint>

// Runs `text` holding the store lock, records the calling thread's last run, writes the error
// line and posts the notification, as run_parser promises. Returns the run result.
int32_t run_script_text(const char* text, int32_t* error_line);
