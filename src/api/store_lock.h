// The store lock: one process-wide recursive lock, held by one thread at a time, that guards
// the variable store, the scratch list and the run state. Every wait is bounded.
#pragma once

#include <cstdint>

constexpr uint32_t STORE_LOCK_TIMEOUT_MS = 1000;

// Makes the lock usable (again); an existing lock is kept.
void store_lock_create();

// True between store_lock_create and store_lock_destroy_and_clear.
bool store_lock_exists();

// Waits at most STORE_LOCK_TIMEOUT_MS; false when the lock does not exist, is destroyed during
// the wait, or stays held by another thread. The holding thread may take it again.
bool store_lock_wait();

// Undoes one store_lock_wait; no effect on a thread that does not hold the lock.
void store_lock_release();

// Waits as store_lock_wait does, then destroys the lock and empties the store. When another
// thread still holds the lock, the store is emptied as soon as that thread lets it go.
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
