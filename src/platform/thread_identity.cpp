// Thread identities that are never reused. The system's own thread numbers are (a pthread_t or a
// Windows thread id may return with a new thread once the old one has ended), and a thread that
// ends while holding the store lock must not be mistaken for a later thread that got its number.
#include <atomic>

#include "fast_thread_local.h"
#include "platform.h"

namespace {

std::atomic<uint64_t> last_thread_id{0};

FAST_THREAD_LOCAL uint64_t thread_id = 0;

}  // namespace

uint64_t platform_thread_id() {
    if (thread_id == 0) thread_id = last_thread_id.fetch_add(1, std::memory_order_relaxed) + 1;
    return thread_id;
}
