#include "store_lock.h"

#include <atomic>

#include "platform.h"
#include "statements.h"
#include "store.h"

namespace {

// The published store; null while the lock does not exist.
std::atomic<VariableStore*> current{nullptr};
int depth = 0;  // only the holder touches it

// Frees the retired stores while the platform lock is held by the caller, who uses none of them.
void give_back_platform_lock() {
    if (has_retired_stores()) destroy_retired_stores();
    platform_lock_release();
}

// Takes the lock, waiting at most `timeout_ms`, and makes the current store the active one. The
// uncontended path is one compare-and-swap; recursion touches no atomic but the holder's word.
bool take(uint32_t timeout_ms) {
    const uint64_t me = platform_thread_id();
    if (platform_lock_holder() == me) {
        if (active_store() != current.load(std::memory_order_acquire)) return false;  // retired
        ++depth;
        return true;
    }
    if (!current.load(std::memory_order_relaxed) || !platform_lock_wait(me, timeout_ms)) return false;
    VariableStore* store = current.load(std::memory_order_acquire);
    if (!store) {  // retired while we waited
        give_back_platform_lock();
        return false;
    }
    use_store(store);
    depth = 1;
    return true;
}

}  // namespace

// A new store is made without the lock and published at once; only the built-ins of a repeated
// init need the lock, and go without them when another thread holds it.
bool store_lock_create() {
    bool published = false;
    if (!current.load(std::memory_order_acquire)) {
        VariableStore* store = create_store();
        if (!store) return false;
        VariableStore* none = nullptr;
        published = current.compare_exchange_strong(none, store, std::memory_order_acq_rel);
        if (!published) destroy_store(store);  // another thread's init published one first
    }
    if (!take(0)) return true;
    bool loaded = published || load_builtin_functions();
    store_lock_release();
    return loaded;
}

bool store_lock_exists() { return current.load(std::memory_order_relaxed) != nullptr; }

bool store_lock_wait() { return take(STORE_LOCK_TIMEOUT_MS); }

void store_lock_release() {
    if (platform_lock_holder() != platform_thread_id() || --depth > 0) return;
    give_back_platform_lock();
    // A deinit that timed out may have retired a store after the look above and found the lock
    // still taken: look once more, now that it is free.
    if (has_retired_stores() && platform_lock_wait(platform_thread_id(), 0)) give_back_platform_lock();
}

// Without the wait, the store is freed by whoever lets the lock go next: at once when nobody
// holds it. A caller that holds it on a store retired earlier frees it at its own last release.
void store_lock_destroy_and_clear() {
    const bool held = store_lock_wait();
    VariableStore* retired = current.exchange(nullptr, std::memory_order_acq_rel);
    // A run that called this from a host function still uses the store's records: they go with
    // the store, once the run lets the lock go.
    if (held && !run_in_progress()) clear_variables();
    if (retired) retire_store(retired);
    const uint64_t me = platform_thread_id();
    if (held) {
        store_lock_release();
    } else if (retired && platform_lock_holder() != me && platform_lock_wait(me, 0)) {
        give_back_platform_lock();
    }
}

int store_lock_depth() { return platform_lock_holder() == platform_thread_id() ? depth : 0; }
