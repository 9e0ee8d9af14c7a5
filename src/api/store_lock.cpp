#include "store_lock.h"

#include <atomic>
#include <mutex>
#include <new>
#include <utility>

#include "fast_thread_local.h"
#include "memory.h"
#include "platform.h"
#include "script_run.h"
#include "store.h"
#include "store_lock_check.h"

namespace {

// A published store and its own lock. Its users are the publication and each thread that called
// on it last (among them any waiting for the lock and the holder); the last of them to let go
// frees it, so no thread waits on a lock that
// has gone, and a store made after a deinit never shares its lock with a thread of the old one.
struct LockedStore {
    PlatformLock* lock;
    VariableStore* store;
    std::atomic<bool> retired;
    int users;  // guarded by `publication`
};

// Guards `current` and every count of users, so that a thread finds the current store and
// becomes one of its users in one step. Its sections neither wait nor free anything.
std::mutex publication;
// Written under `publication`; read without it only to see whether there is one.
std::atomic<LockedStore*> current{nullptr};

// What the calling thread holds, and the store it counts itself a user of from call to call, so
// that a call on the store it used last joins nothing: one load and a comparison. It lets go of
// that store when it finds another one published, when the store is retired and it holds the
// lock no more, and when it ends. A thread that holds a lock is a user of its store.
struct Holding {
    LockedStore* locked;
    int depth;
    LockedStore* joined;
};
FAST_THREAD_LOCAL Holding holding = {nullptr, 0, nullptr};

void let_go_of_joined();

// A thread that ends while holding the lock (a listing never closed, a thread cancelled inside
// one) lets go of it as it ends, so that no other thread is shut out for good.
struct ReleaseAtThreadEnd {
    bool armed = false;
    ~ReleaseAtThreadEnd() {
        if (!armed) return;
        if (holding.locked) {
            holding.depth = 1;
            store_lock_release();
        }
        let_go_of_joined();
    }
};
thread_local ReleaseAtThreadEnd release_at_thread_end;

void free_locked_store(LockedStore* locked) {
    if (locked->store) destroy_store(locked->store);
    if (locked->lock) platform_lock_destroy(locked->lock);
    locked->~LockedStore();
    deallocate(locked);
}

// A new store holding the built-ins, with a new, free lock, counting its publication as a user.
LockedStore* make_locked_store() {
    void* place = allocate(sizeof(LockedStore));
    if (!place) return nullptr;
    auto* locked = new (place) LockedStore{platform_lock_create(), create_store(), {false}, 1};
    if (locked->lock && locked->store) return locked;
    free_locked_store(locked);
    return nullptr;
}

// Becomes a user of the current store; null when there is none.
LockedStore* join_current() {
    std::lock_guard guard(publication);
    LockedStore* locked = current.load(std::memory_order_relaxed);
    if (locked) ++locked->users;
    return locked;
}

// Kept out of line, as every path that waits or frees: the calls on the store a thread used last,
// the common ones, then save no registers for them.
[[gnu::noinline]] void leave(LockedStore* locked) {
    bool last;
    {
        std::lock_guard guard(publication);
        last = --locked->users == 0;
    }
    if (last) free_locked_store(locked);
}

// A fork copies the guard as the forking thread sees it: taken by that thread around the fork.
void hold_publication() { publication.lock(); }
void let_publication_go() { publication.unlock(); }

void let_go_of_joined() {
    if (LockedStore* joined = std::exchange(holding.joined, nullptr)) leave(joined);
}

[[gnu::noinline]] LockedStore* join_published() {
    let_go_of_joined();
    holding.joined = join_current();
    if (holding.joined) release_at_thread_end.armed = true;
    return holding.joined;
}

// The published store, with the calling thread among its users; null when there is none. The
// comparison is safe: while the thread is a user of `joined`, no other store can have its address.
LockedStore* published_store() {
    LockedStore* published = current.load(std::memory_order_acquire);
    if (published && published == holding.joined) return published;
    return join_published();
}

// A store retired while the thread waited for its lock: the thread gives the lock back and leaves.
[[gnu::noinline]] bool give_back_retired(LockedStore* locked) {
    platform_lock_release(locked->lock);
    let_go_of_joined();
    return false;
}

// Takes the lock, waiting at most `timeout_ms`, and makes its store the active one. Recursion
// touches nothing shared but the retired mark.
bool take(uint32_t timeout_ms) {
    if (LockedStore* held = holding.locked) {
        if (held->retired.load(std::memory_order_acquire)) return false;
        ++holding.depth;
        return true;
    }
    LockedStore* locked = published_store();
    if (!locked || !platform_lock_wait(locked->lock, platform_thread_id(), timeout_ms)) return false;
    if (locked->retired.load(std::memory_order_acquire)) return give_back_retired(locked);
    holding.locked = locked;
    holding.depth = 1;
    use_store(locked->store);
    note_store_lock_held(locked->store);
    return true;
}

// What a run keeps outside the store (the scanner, the run state, the statement's strings) is one
// for the process: a thread still running on a retired store uses it while runs begin on the new
// one. Made by the first init and kept for the life of the process.
std::atomic<PlatformLock*> run_lock{nullptr};
FAST_THREAD_LOCAL int run_depth = 0;

PlatformLock* the_run_lock() {
    PlatformLock* lock = run_lock.load(std::memory_order_acquire);
    if (lock) return lock;
    PlatformLock* made = platform_lock_create();
    if (!made) return nullptr;
    if (run_lock.compare_exchange_strong(lock, made, std::memory_order_acq_rel)) return made;
    platform_lock_destroy(made);  // another thread's was published first
    return lock;
}

}  // namespace

// A new store is made without the lock and published at once; only the built-ins of a repeated
// init need the lock, and go without them when another thread holds it.
bool store_lock_create() {
    static const bool fork_guarded = (platform_guard_fork(hold_publication, let_publication_go), true);
    if (!fork_guarded || !the_run_lock()) return false;
    bool published = false;
    if (!store_lock_exists()) {
        LockedStore* made = make_locked_store();
        if (!made) return false;
        {
            std::lock_guard guard(publication);
            if (!current.load(std::memory_order_relaxed)) {
                current.store(made, std::memory_order_relaxed);
                published = true;
            }
        }
        if (!published) free_locked_store(made);  // another thread's init published one first
    }
    if (!take(0)) return true;
    bool loaded = published || load_builtin_functions();
    store_lock_release();
    return loaded;
}

bool store_lock_exists() { return current.load(std::memory_order_relaxed) != nullptr; }

bool store_lock_wait() { return take(STORE_LOCK_TIMEOUT_MS); }

void store_lock_release() {
    LockedStore* locked = holding.locked;
    if (!locked || --holding.depth > 0) return;
    holding.locked = nullptr;
    note_store_lock_held(nullptr);
    platform_lock_release(locked->lock);
    // The last user frees a retired store: its holder lets go at once.
    if (locked->retired.load(std::memory_order_acquire)) let_go_of_joined();
}

// Without the wait, the store is freed by the last of its users to let go: at once when nobody
// holds its lock or waits for it; a thread that used it and is idle lets go at its next call or
// at its end.
void store_lock_destroy_and_clear() {
    const bool held = store_lock_wait();
    LockedStore* retired;
    {
        std::lock_guard guard(publication);
        retired = current.exchange(nullptr, std::memory_order_relaxed);
        if (retired) retired->retired.store(true, std::memory_order_release);
    }
    if (held) {
        // A run that called this from a host function still uses the store's records: they go
        // with the store, once the run lets its lock go.
        if (holding.locked == retired && !run_in_progress()) clear_variables();
        store_lock_release();
    }
    if (retired) leave(retired);  // the publication's part
    if (!holding.locked) let_go_of_joined();  // whatever it joined is retired now
}

int store_lock_depth() { return holding.depth; }

bool run_lock_wait() {
    if (run_depth > 0) {
        ++run_depth;
        return true;
    }
    PlatformLock* lock = run_lock.load(std::memory_order_acquire);
    if (!lock || !platform_lock_wait(lock, platform_thread_id(), STORE_LOCK_TIMEOUT_MS)) return false;
    run_depth = 1;
    return true;
}

void run_lock_release() {
    if (run_depth > 0 && --run_depth == 0) platform_lock_release(run_lock.load(std::memory_order_relaxed));
}
