// The change notification to the host's registered window.
#pragma once

// Registers the window that notifications go to; null registers none.
void set_notification_window(void* window);

// Tells the registered window, if any, that the variables may have changed. Callers post it
// after releasing the store lock.
void notify_variables_changed();
