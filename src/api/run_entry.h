// The one way into the engine for every kind of host run, so that all of them are refused alike.
#pragma once

#include <cstdint>

// Takes the store lock, has `run` run `script` and hands its result back: remembers how the run
// ended as the calling thread's last run, writes the error line to `error_line` (when given) and
// notifies the host once the lock is released. A failed lock wait runs nothing and returns 0. So
// does a call from inside a host function, which writes error line 0 and leaves the run in
// progress as it was.
int32_t enter_run(void (*run)(const void* script), const void* script, int32_t* error_line);
