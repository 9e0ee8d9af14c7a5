#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdint.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform.h"
#include "regscript.h"

namespace {

// An atomic flag taken with one compare-and-swap when it is free; a thread that finds it taken
// sleeps on a condition variable (steady clock) until the holder lets go or time runs out.
// Waiters announce themselves before their last look at the flag, and a release that sees one
// wakes it under the same mutex, so no wake-up is lost.
struct ProcessLock {
    std::atomic<bool> held{false};
    std::atomic<int> waiters{0};
    std::mutex guard;
    std::condition_variable released;

    bool try_take() {
        bool expected = false;
        return held.compare_exchange_strong(expected, true);
    }
};

ProcessLock process_lock;

}  // namespace

bool platform_lock_wait(uint32_t timeout_ms) {
    if (process_lock.try_take()) return true;
    std::unique_lock guard(process_lock.guard);
    ++process_lock.waiters;
    bool taken = process_lock.released.wait_for(guard, std::chrono::milliseconds(timeout_ms),
                                                 [] { return process_lock.try_take(); });
    --process_lock.waiters;
    return taken;
}

void platform_lock_release() {
    process_lock.held = false;
    if (process_lock.waiters > 0) {
        std::lock_guard guard(process_lock.guard);
        process_lock.released.notify_one();
    }
}

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
