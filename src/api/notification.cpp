#include "notification.h"

#include <atomic>

#include "platform.h"

namespace {

// Read by any thread without the store lock: a setter notifies after releasing it.
std::atomic<void*> notify_window{nullptr};

}  // namespace

void set_notification_window(void* window) { notify_window = window; }

void notify_variables_changed() {
    if (void* window = notify_window.load()) platform_post_notification(window);
}
