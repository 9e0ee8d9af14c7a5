#include <windows.h>

#include <atomic>

#include "platform.h"
#include "regscript.h"

namespace {

// An unnamed mutex, made on first use; C++ makes the initialisation of a function-local static
// thread-safe. It is never closed: a thread may be inside WaitForSingleObject on it at any
// moment, even while the DLL is being unloaded, and a closed handle could be reused for another
// object by then. The process's exit frees it.
HANDLE process_lock() {
    static const HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    return mutex;
}

// Written by the holder only: after its wait succeeds and before it releases.
std::atomic<uint64_t> holder{0};

}  // namespace

// WAIT_ABANDONED (a thread ended while holding the lock) still hands the lock over; the dead
// thread's identity is never given again, and the new holder's replaces it.
bool platform_lock_wait(uint64_t thread, uint32_t timeout_ms) {
    const DWORD result = WaitForSingleObject(process_lock(), timeout_ms);
    if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED) return false;
    holder.store(thread, std::memory_order_relaxed);
    return true;
}

void platform_lock_release() {
    holder.store(0, std::memory_order_relaxed);
    ReleaseMutex(process_lock());
}

uint64_t platform_lock_holder() { return holder.load(std::memory_order_relaxed); }

uint32_t platform_tick_count() { return GetTickCount(); }

void platform_post_notification(void* window) {
    PostMessageA(static_cast<HWND>(window), REGSCRIPT_WM_VARIABLES_CHANGED, 0, 0);
}
