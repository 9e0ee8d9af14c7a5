// The change notification to the host's registered window.
#pragma once

// Tells the registered window, if any, that the variables may have changed. Callers post it
// after releasing the store lock.
void notify_variables_changed();
