#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdint.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform.h"
#include "regscript.h"

namespace {

// The holder's identity in one atomic word, taken with one compare-and-swap when it is 0 and
// given back with one plain store. A thread that finds it taken sleeps on a condition variable
// (steady clock) until the holder lets go or time runs out. The release looks for waiters without
// a fence between its store and that look, so a waiter that announces itself at that moment may
// miss the wake-up: no waiter sleeps longer than a millisecond before it looks again.
struct ProcessLock {
    std::atomic<uint64_t> holder{0};
    std::atomic<int> waiters{0};
    std::mutex guard;
    std::condition_variable released;

    bool try_take(uint64_t thread) {
        uint64_t none = 0;
        return holder.compare_exchange_strong(none, thread, std::memory_order_acquire, std::memory_order_relaxed);
    }
};

ProcessLock process_lock;

// Kept out of line, so that the free lock's path, one compare-and-swap, pays for none of it.
[[gnu::noinline]] bool wait_for_release(uint64_t thread, uint32_t timeout_ms) {
    using std::chrono::steady_clock;
    constexpr auto longest_sleep = std::chrono::milliseconds(1);
    const steady_clock::time_point deadline = steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    std::unique_lock guard(process_lock.guard);
    ++process_lock.waiters;
    bool taken = process_lock.try_take(thread);
    for (steady_clock::time_point now = steady_clock::now(); !taken && now < deadline; now = steady_clock::now()) {
        process_lock.released.wait_for(guard, std::min<steady_clock::duration>(longest_sleep, deadline - now));
        taken = process_lock.try_take(thread);
    }
    --process_lock.waiters;
    return taken;
}

}  // namespace

bool platform_lock_wait(uint64_t thread, uint32_t timeout_ms) {
    return process_lock.try_take(thread) || wait_for_release(thread, timeout_ms);
}

void platform_lock_release() {
    process_lock.holder.store(0, std::memory_order_release);
    if (process_lock.waiters.load(std::memory_order_relaxed) > 0) {
        std::lock_guard guard(process_lock.guard);
        process_lock.released.notify_one();
    }
}

uint64_t platform_lock_holder() { return process_lock.holder.load(std::memory_order_relaxed); }

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
    if (write(fd, message, size) < 0 && errno == EPIPE && !was_pending) {
        const timespec no_wait = {0, 0};
        sigtimedwait(&pipe_signal, nullptr, &no_wait);
    }
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
}

}  // namespace

// The window handle carries a file descriptor. A socket gets one message per notification; any
// other descriptor gets one write when it can take it without waiting.
void platform_post_notification(void* window) {
    int fd = static_cast<int>(reinterpret_cast<intptr_t>(window));
    const uint32_t message = REGSCRIPT_WM_VARIABLES_CHANGED;
    if (send(fd, &message, sizeof message, MSG_DONTWAIT | MSG_NOSIGNAL) < 0 && errno == ENOTSOCK) {
        write_without_signal(fd, &message, sizeof message);
    }
}
