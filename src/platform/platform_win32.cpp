#include <windows.h>

#include <atomic>
#include <new>

#include "memory.h"
#include "platform.h"
#include "regscript.h"

// An unnamed mutex and the identity of its holder, which only the holder writes: after its wait
// succeeds and before it releases.
struct PlatformLock {
    HANDLE mutex;
    std::atomic<uint64_t> holder{0};
};

PlatformLock* platform_lock_create() {
    void* place = allocate(sizeof(PlatformLock));
    if (!place) return nullptr;
    auto* lock = new (place) PlatformLock{CreateMutexA(nullptr, FALSE, nullptr)};
    if (!lock->mutex) {
        platform_lock_destroy(lock);
        return nullptr;
    }
    return lock;
}

void platform_lock_destroy(PlatformLock* lock) {
    if (lock->mutex) CloseHandle(lock->mutex);
    lock->~PlatformLock();
    deallocate(lock);
}

// WAIT_ABANDONED (a thread ended while holding the lock) still hands the lock over; the dead
// thread's identity is never given again, and the new holder's replaces it.
bool platform_lock_wait(PlatformLock* lock, uint64_t thread, uint32_t timeout_ms) {
    const DWORD result = WaitForSingleObject(lock->mutex, timeout_ms);
    if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED) return false;
    lock->holder.store(thread, std::memory_order_relaxed);
    return true;
}

void platform_lock_release(PlatformLock* lock) {
    lock->holder.store(0, std::memory_order_relaxed);
    ReleaseMutex(lock->mutex);
}

uint64_t platform_lock_holder(const PlatformLock* lock) { return lock->holder.load(std::memory_order_relaxed); }

void platform_guard_fork(void (*)(), void (*)()) {}

uint32_t platform_tick_count() { return GetTickCount(); }

void platform_post_notification(void* window) {
    PostMessageA(static_cast<HWND>(window), REGSCRIPT_WM_VARIABLES_CHANGED, 0, 0);
}
