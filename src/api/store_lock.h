// The store lock: one process-wide recursive lock, held by one thread at a time, that guards
// the variable store, the scratch list and the run state. Every wait is bounded.
//
// The lock exists together with a store: init_registers publishes a store (the lock comes into
// being), deinit_registers retires it (the lock is gone). Taking the lock makes the current store
// the active one for the holder. A thread still holding the lock on a retired store finishes on
// it, and the store is freed once no thread holds the lock any more; a later init never waits
// for that and never shares anything with it.
#pragma once

#include <cstdint>

constexpr uint32_t STORE_LOCK_TIMEOUT_MS = 1000;

// Publishes a new store holding the built-in functions when there is none. When there is one,
// adds the built-ins to it again, if the lock can be had at once (otherwise the store already
// holds them). Never waits. False when memory runs out; no store is published then.
bool store_lock_create();

// True between store_lock_create and store_lock_destroy_and_clear.
bool store_lock_exists();

// Waits at most STORE_LOCK_TIMEOUT_MS; false when the lock does not exist, is destroyed during
// the wait, or stays held by another thread. The holding thread may take it again, as long as
// its store has not been retired.
bool store_lock_wait();

// Undoes one store_lock_wait; no effect on a thread that does not hold the lock.
void store_lock_release();

// Waits as store_lock_wait does, then retires the store, emptying it when the wait succeeded.
// A thread that still holds the lock finishes on the retired store.
void store_lock_destroy_and_clear();

// How many times the calling thread holds the lock (0: not at all).
int store_lock_depth();

// Takes the lock for one scope; the scope checks `held` before touching the store.
class StoreLockScope {
public:
    StoreLockScope() : held(store_lock_wait()) {}
    ~StoreLockScope() {
        if (held) store_lock_release();
    }
    StoreLockScope(const StoreLockScope&) = delete;
    StoreLockScope& operator=(const StoreLockScope&) = delete;

    const bool held;
};
