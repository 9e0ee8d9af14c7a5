#include "store_lock.h"

#include <atomic>

#include "platform.h"
#include "store.h"

namespace {

std::atomic<bool> lock_exists{false};
// Set when the store must be emptied by whichever thread holds the lock next.
std::atomic<bool> clear_pending{false};
std::atomic<uintptr_t> owner{0};
int depth = 0;  // only the owner touches it

bool held_by_caller() { return owner.load(std::memory_order_relaxed) == platform_thread_id(); }

void clear_if_pending() {
    if (clear_pending.load(std::memory_order_relaxed) && clear_pending.exchange(false)) clear_variables();
}

// Takes the platform lock, first time on this thread.
bool acquire(uint32_t timeout_ms) {
    if (!platform_lock_wait(timeout_ms)) return false;
    owner.store(platform_thread_id(), std::memory_order_relaxed);
    depth = 1;
    clear_if_pending();
    return true;
}

}  // namespace

void store_lock_create() { lock_exists = true; }

bool store_lock_exists() { return lock_exists; }

bool store_lock_wait() {
    if (!lock_exists) return false;
    if (held_by_caller()) {
        ++depth;
        return true;
    }
    if (!acquire(STORE_LOCK_TIMEOUT_MS)) return false;
    if (!lock_exists) {  // destroyed while we waited
        store_lock_release();
        return false;
    }
    return true;
}

void store_lock_release() {
    if (!held_by_caller() || --depth > 0) return;
    clear_if_pending();
    owner.store(0, std::memory_order_relaxed);
    platform_lock_release();
    // A deinit that timed out may have asked for a clear after the check above and found the
    // lock still taken: look once more, now that the lock is free.
    if (clear_pending && acquire(0)) store_lock_release();
}

void store_lock_destroy_and_clear() {
    bool existed = lock_exists;
    bool held = store_lock_wait();
    lock_exists = false;
    if (held) {
        clear_variables();
        store_lock_release();
    } else if (existed) {
        clear_pending = true;
        if (acquire(0)) store_lock_release();
    }
}

int store_lock_depth() { return held_by_caller() ? depth : 0; }
