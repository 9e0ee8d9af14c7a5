// Test builds check that the engine touches a variable store only on a thread that holds the
// store's lock: the store lock tells this file which store each thread holds, and the store asks
// before every lookup and change. A touch without the lock is a programming error, and the check
// aborts the test program with a message. Other builds compile both calls to nothing.
#pragma once

struct VariableStore;

#ifdef REGSCRIPT_LOCK_CHECKS
// The calling thread now holds the lock of `store`; null: it holds no store lock any more.
void note_store_lock_held(const VariableStore* store);

// Aborts, naming the caller, unless the calling thread holds the lock of its active store. The
// caller's place comes from the compiler's builtins, which every compiler the library supports
// has (std::source_location is missing from some of them).
void assert_store_locked(const char* function = __builtin_FUNCTION(), const char* file = __builtin_FILE(),
                         int line = __builtin_LINE());
#else
inline void note_store_lock_held(const VariableStore*) {}
inline void assert_store_locked() {}
#endif
