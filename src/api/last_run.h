// The calling thread's record of its last run, which the extension functions hand to the host.
#pragma once

#include "script_run.h"

// Keeps what `run` ended with as the calling thread's last run.
void remember_run(const RunState& run);
// The calling thread's last run did not obtain the lock.
void remember_lock_failure();
// The calling thread's last run was refused: a host function called it during a run.
void remember_nested_run();
