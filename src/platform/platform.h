// What the library needs from the operating system, one implementation per platform.
#pragma once

#include <cstdint>

// The process-wide lock under the store lock: one thread at a time, with a timed wait. It is
// made on first use and lives as long as the process, so no thread can ever wait on a lock that
// has gone. It knows its holder by the identity the holder took it with (platform_thread_id);
// recursion and the lock's lifecycle are kept above it.
// The holder never waits again: the lock is not recursive on every platform.
bool platform_lock_wait(uint64_t thread, uint32_t timeout_ms);
void platform_lock_release();
// The identity of the thread holding the lock, 0 when none does. Exact for the calling thread.
uint64_t platform_lock_holder();

// A number that identifies the calling thread, never 0 and never shared with another thread of
// the process, even one that has ended.
uint64_t platform_thread_id();

// Milliseconds since the system started, wrapping at 2^32.
uint32_t platform_tick_count();

// Tells `window` that the variables may have changed, without waiting; failures are ignored.
void platform_post_notification(void* window);
