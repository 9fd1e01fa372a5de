#pragma once
// Top-most and opacity of the attached window: recorded when the widget attaches,
// given back when it leaves.
#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// Records the window's top-most and layered state and sets the menu checks.
void RecordWindowAttributes(App& app, WindowSystem& windows, WindowHandle h);
// Puts back what the program changed on `h` since it was recorded, and nothing
// else; a handle that is no longer a window is left alone. What a hung or slow
// window does not take now is kept as a pending restore.
void RestoreWindowAttributes(App& app, WindowSystem& windows, WindowHandle h);
// Tries the pending restores (attributes and titles) again; those whose window
// took them or has gone are forgotten.
void RetryPendingRestores(App& app, WindowSystem& windows);
// At close: waits a bounded time for a hung window to answer, then tries every
// pending restore a last time.
void FinishPendingRestores(App& app, WindowSystem& windows);

}  // namespace tomari
