#include "memory.h"

#include <cstdlib>

#include "fast_thread_local.h"

namespace {

// Each thread's own: a failure belongs to the call that met it (a run stops at its own failure,
// never at one of a my_parse that copies its text on another thread without the lock).
FAST_THREAD_LOCAL bool failed = false;

#ifdef REGSCRIPT_FAULT_INJECTION
struct FaultInjection {
    std::size_t countdown = 0;
    bool sticky = false;
    std::size_t made = 0;
};
FaultInjection injection;

bool injected_failure() {
    ++injection.made;
    if (injection.countdown == 0) return false;
    if (--injection.countdown > 0) return false;
    if (injection.sticky) injection.countdown = 1;
    return true;
}
#else
constexpr bool injected_failure() { return false; }
#endif

void* checked(void* block) {
    if (!block) failed = true;
    return block;
}

}  // namespace

void* allocate(std::size_t size) { return checked(injected_failure() ? nullptr : std::malloc(size)); }

void* allocate_zeroed(std::size_t count, std::size_t size) {
    return checked(injected_failure() ? nullptr : std::calloc(count, size));
}

void* reallocate(void* block, std::size_t size) {
    return checked(injected_failure() ? nullptr : std::realloc(block, size));
}

void deallocate(void* block) { std::free(block); }

bool allocation_failed() { return failed; }

void forget_allocation_failures() { failed = false; }

#ifdef REGSCRIPT_FAULT_INJECTION
std::size_t fail_allocation_after(std::size_t countdown, bool sticky) {
    std::size_t made = injection.made;
    injection = {countdown, sticky, 0};
    return made;
}
#endif
