// What the library needs from the operating system, one implementation per platform.
#pragma once

#include <cstdint>

// A lock that one thread at a time holds, with a timed wait; the store lock makes one with each
// store, so that a new store never shares its lock with a thread still busy on an old one. It
// knows its holder by the identity the holder took it with (platform_thread_id); recursion and
// the lock's lifecycle are kept above it. A holder that has ended without letting go (a thread
// of the parent, seen from a process made by fork; on Windows, any ended thread) is handed over
// to the next waiter. The holder never waits again: the lock is not recursive on every platform.
struct PlatformLock;
// A free lock; null when memory runs out.
PlatformLock* platform_lock_create();
// Frees `lock`, which no thread holds and none waits on or will.
void platform_lock_destroy(PlatformLock* lock);
bool platform_lock_wait(PlatformLock* lock, uint64_t thread, uint32_t timeout_ms);
void platform_lock_release(PlatformLock* lock);
// The identity of the thread holding the lock, 0 when none does. Exact for the calling thread.
uint64_t platform_lock_holder(const PlatformLock* lock);

// Registers `before` to run in the thread that calls fork, just before it, and `after` to run in
// both processes just after it, so that state guarded by a short critical section is never
// copied half changed. Nothing happens where processes are not forked.
void platform_guard_fork(void (*before)(), void (*after)());

// A number that identifies the calling thread, never 0 and never shared with another thread of
// the process, even one that has ended.
uint64_t platform_thread_id();

// Milliseconds since the system started, wrapping at 2^32.
uint32_t platform_tick_count();

// Tells `window` that the variables may have changed, without waiting; failures are ignored.
void platform_post_notification(void* window);
