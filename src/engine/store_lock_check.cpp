#include "store_lock_check.h"

#ifdef REGSCRIPT_LOCK_CHECKS

#include <cstdio>
#include <cstdlib>

#include "fast_thread_local.h"
#include "store.h"

namespace {

// Each thread's own, as the lock's holding is.
FAST_THREAD_LOCAL const VariableStore* held_store = nullptr;

}  // namespace

void note_store_lock_held(const VariableStore* store) { held_store = store; }

void assert_store_locked(const char* function, const char* file, int line) {
    if (held_store && held_store == active_store()) return;
    std::fprintf(stderr,
                 "regscript: %s (%s:%u) ran on a thread that does not hold the store lock; take the "
                 "lock (StoreLockScope) around the call\n",
                 function, file, static_cast<unsigned>(line));
    std::fflush(stderr);
    std::abort();
}

#endif
