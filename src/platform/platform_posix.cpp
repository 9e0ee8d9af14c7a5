#include <errno.h>
#include <stdint.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <mutex>

#include "platform.h"
#include "regscript.h"

namespace {

std::timed_mutex process_lock;

}  // namespace

bool platform_lock_wait(uint32_t timeout_ms) {
    return process_lock.try_lock_for(std::chrono::milliseconds(timeout_ms));
}

void platform_lock_release() { process_lock.unlock(); }

uintptr_t platform_thread_id() {
    // A thread-local's address is unique among live threads and never null.
    thread_local char marker;
    return reinterpret_cast<uintptr_t>(&marker);
}

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
