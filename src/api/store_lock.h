// The store lock: a recursive lock, held by one thread at a time, that guards the variable store.
// Every wait is bounded.
//
// The lock exists together with a store: init_registers publishes a store with a new, free lock,
// deinit_registers retires it. Taking the lock makes its store the active one for the holder. A
// thread still holding the lock of a retired store finishes on it, and the store and its lock
// are freed once no thread holds or waits for that lock any more; a later init never waits for
// that and shares nothing with it. A thread that ends while holding the lock lets go of it.
//
// A run also takes the run lock, which guards what a run keeps outside the store (the scanner,
// the run state, the scratch list): a run on a retired store may still be going on.
#pragma once

#include <cstdint>

constexpr uint32_t STORE_LOCK_TIMEOUT_MS = 1000;

// Publishes a new store holding the built-in functions, with a new lock, when there is none. When there is one,
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

// The run lock, recursive and bounded as the store lock; taken inside it. False before the first
// init, or when another thread's run keeps it past the timeout.
bool run_lock_wait();
void run_lock_release();

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

// Takes the store lock and the run lock for one run; `held` when both were had.
class RunLockScope {
public:
    RunLockScope() : store(), held(store.held && run_lock_wait()) {}
    ~RunLockScope() {
        if (held) run_lock_release();
    }
    RunLockScope(const RunLockScope&) = delete;
    RunLockScope& operator=(const RunLockScope&) = delete;

private:
    StoreLockScope store;

public:
    const bool held;
};
