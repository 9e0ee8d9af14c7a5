#include <windows.h>

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

}  // namespace

// WAIT_ABANDONED (a thread ended while holding the lock) still hands the lock over; the store
// lock above keeps its own owner and depth and starts afresh.
bool platform_lock_wait(uint32_t timeout_ms) {
    const DWORD result = WaitForSingleObject(process_lock(), timeout_ms);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void platform_lock_release() { ReleaseMutex(process_lock()); }

uint32_t platform_tick_count() { return GetTickCount(); }

void platform_post_notification(void* window) {
    PostMessageA(static_cast<HWND>(window), REGSCRIPT_WM_VARIABLES_CHANGED, 0, 0);
}
