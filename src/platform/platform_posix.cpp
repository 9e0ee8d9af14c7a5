#include <errno.h>
#include <linux/futex.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <stdint.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#if __has_include(<sys/single_threaded.h>)
#include <sys/single_threaded.h>
#endif
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <new>

#include "memory.h"
#include "platform.h"
#include "regscript.h"

namespace {

// A holder word is the holder's identity and the fork generation it took the lock in: a process
// made by fork counts one generation more and keeps only the thread that forked, so a word of an
// older generation names a thread that this process lacks, unless it names the survivor. The
// identity keeps 48 bits: more threads than a process can make in centuries.
constexpr int generation_bits = 16;
constexpr uint64_t generation_mask = (uint64_t{1} << generation_bits) - 1;
std::atomic<uint64_t> fork_generation{0};
std::atomic<uint64_t> fork_survivor{0};

void count_fork_in_child() {
    fork_generation.store((fork_generation.load() + 1) & generation_mask);
    fork_survivor.store(platform_thread_id());
}

uint64_t holder_word(uint64_t thread) {
    return thread << generation_bits | fork_generation.load(std::memory_order_relaxed);
}

// Whether the calling thread is the process's only one, as the C library keeps count: then no
// other thread can take a lock or wait for one, and taking and giving back need no atomic
// read-modify-write, which costs more than all the rest of a host's call. Only this thread can
// make the answer false, by starting a thread, and that start orders what it did before. Where the
// C library does not say, every call takes the atomic path.
bool only_thread() {
#if __has_include(<sys/single_threaded.h>)
    return __libc_single_threaded != 0;
#else
    return false;
#endif
}

bool holder_is_gone(uint64_t word) {
    return (word & generation_mask) != fork_generation.load() && (word >> generation_bits) != fork_survivor.load();
}

// Sleeps while `word` still reads `expected`, at most `timeout`; wakes early for a release.
void sleep_unless_changed(std::atomic<uint32_t>& word, uint32_t expected, std::chrono::nanoseconds timeout) {
    const timespec relative = {static_cast<time_t>(timeout.count() / 1000000000),
                               static_cast<long>(timeout.count() % 1000000000)};
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAIT_PRIVATE, expected, &relative, nullptr, 0);
}

void wake_all(std::atomic<uint32_t>& word) {
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAKE_PRIVATE, INT32_MAX, nullptr, nullptr, 0);
}

}  // namespace

// The holder's word is taken with one compare-and-swap when it is 0 and given back with one
// store. A thread that finds it taken sleeps on the count of releases, which every release with
// waiters moves on, so no release between its look and its sleep goes unseen. The only thread of
// the process takes and gives back with plain loads and stores (only_thread). The lock is a few
// words and nothing else, so a process made by fork, whatever the parent's threads were doing,
// finds it in a state it can use.
struct PlatformLock {
    std::atomic<uint64_t> holder{0};
    std::atomic<uint32_t> releases{0};
    std::atomic<uint32_t> waiters{0};

    bool try_take(uint64_t thread) {
        uint64_t none = 0;
        if (!only_thread()) {
            return holder.compare_exchange_strong(none, holder_word(thread), std::memory_order_acquire,
                                                  std::memory_order_relaxed);
        }
        if (holder.load(std::memory_order_acquire) != none) return false;
        holder.store(holder_word(thread), std::memory_order_relaxed);
        return true;
    }

    // Takes the lock when it is free or its holder is gone.
    bool take_or_hand_over(uint64_t thread) {
        uint64_t seen = 0;
        if (holder.compare_exchange_strong(seen, holder_word(thread))) return true;
        return holder_is_gone(seen) && holder.compare_exchange_strong(seen, holder_word(thread));
    }
};

namespace {

// Kept out of line, so that the free lock's path, one compare-and-swap, pays for none of it.
[[gnu::noinline]] bool wait_for_release(PlatformLock& lock, uint64_t thread, uint32_t timeout_ms) {
    using std::chrono::steady_clock;
    const steady_clock::time_point deadline = steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    lock.waiters.fetch_add(1);
    bool taken = false;
    for (;;) {
        const uint32_t releases_seen = lock.releases.load();
        if ((taken = lock.take_or_hand_over(thread))) break;
        const steady_clock::time_point now = steady_clock::now();
        if (now >= deadline) break;
        sleep_unless_changed(lock.releases, releases_seen, deadline - now);
    }
    lock.waiters.fetch_sub(1);
    return taken;
}

}  // namespace

PlatformLock* platform_lock_create() {
    static const bool fork_counted = pthread_atfork(nullptr, nullptr, count_fork_in_child) == 0;
    void* place = fork_counted ? allocate(sizeof(PlatformLock)) : nullptr;
    return place ? new (place) PlatformLock : nullptr;
}

void platform_lock_destroy(PlatformLock* lock) {
    lock->~PlatformLock();
    deallocate(lock);
}

bool platform_lock_wait(PlatformLock* lock, uint64_t thread, uint32_t timeout_ms) {
    return lock->try_take(thread) || wait_for_release(*lock, thread, timeout_ms);
}

namespace {

[[gnu::noinline]] void wake_waiters(PlatformLock& lock) {
    lock.releases.fetch_add(1);
    wake_all(lock.releases);
}

}  // namespace

// A waiter counted in a process that has one thread is a parent's thread seen from a child made
// by fork: there is nobody to wake.
void platform_lock_release(PlatformLock* lock) {
    if (only_thread()) {
        lock->holder.store(0, std::memory_order_release);
        return;
    }
    lock->holder.store(0);
    if (lock->waiters.load() > 0) wake_waiters(*lock);
}

uint64_t platform_lock_holder(const PlatformLock* lock) {
    return lock->holder.load(std::memory_order_relaxed) >> generation_bits;
}

void platform_guard_fork(void (*before)(), void (*after)()) { pthread_atfork(before, after, after); }

uint32_t platform_tick_count() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

namespace {

// One write to a descriptor that is no socket (a pipe, a terminal, a file), without blocking and
// without a SIGPIPE reaching the process. A descriptor that cannot take the message at once (a
// full pipe, a closed reader) is skipped; one write of 4 bytes, below PIPE_BUF, is all or nothing.
// An event descriptor refuses those 4 bytes and gets a count of one instead.
// SIGPIPE is blocked for this thread around the write, and one that the write raised is taken
// back before it is unblocked, unless the thread had one pending already.
void write_without_signal(int fd, const void* message, size_t size) {
    pollfd ready = {fd, POLLOUT, 0};
    if (poll(&ready, 1, 0) != 1 || (ready.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return;
    sigset_t pipe_signal, saved;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    if (pthread_sigmask(SIG_BLOCK, &pipe_signal, &saved) != 0) return;
    sigset_t pending;
    sigpending(&pending);
    const bool was_pending = sigismember(&pending, SIGPIPE) == 1;
    ssize_t written = write(fd, message, size);
    if (written < 0 && errno == EINVAL) {
        // An event descriptor (eventfd) takes only an 8-byte count: its counter goes up by one.
        const uint64_t one = 1;
        written = write(fd, &one, sizeof one);
    }
    if (written < 0 && errno == EPIPE && !was_pending) {
        const timespec no_wait = {0, 0};
        sigtimedwait(&pipe_signal, nullptr, &no_wait);
    }
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
}

}  // namespace

// The window handle carries a file descriptor. A socket gets one message per notification; any
// other descriptor (a pipe, a terminal, an eventfd) gets one write when it can take it without
// waiting.
void platform_post_notification(void* window) {
    int fd = static_cast<int>(reinterpret_cast<intptr_t>(window));
    const uint32_t message = REGSCRIPT_WM_VARIABLES_CHANGED;
    if (send(fd, &message, sizeof message, MSG_DONTWAIT | MSG_NOSIGNAL) < 0 && errno == ENOTSOCK) {
        write_without_signal(fd, &message, sizeof message);
    }
}
