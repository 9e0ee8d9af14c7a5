#include <errno.h>
#include <pthread.h>
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

// pthread_self is a read of the thread pointer; a live thread's value is never 0.
uintptr_t platform_thread_id() { return static_cast<uintptr_t>(pthread_self()); }

uint32_t platform_tick_count() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

// The window handle carries a file descriptor. A socket gets one message per notification and
// never raises SIGPIPE; anything else gets one write.
void platform_post_notification(void* window) {
    int fd = static_cast<int>(reinterpret_cast<intptr_t>(window));
    const uint32_t message = REGSCRIPT_WM_VARIABLES_CHANGED;
    if (send(fd, &message, sizeof message, MSG_DONTWAIT | MSG_NOSIGNAL) < 0 && errno == ENOTSOCK) {
        [[maybe_unused]] ssize_t ignored = write(fd, &message, sizeof message);
    }
}
