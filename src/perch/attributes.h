#pragma once
// Top-most and opacity of the attached window: recorded when the widget attaches,
// given back when it leaves.
#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// Records the window's top-most and layered state and sets the menu checks.
void RecordWindowAttributes(App& app, WindowSystem& windows, WindowHandle h);
// Puts back what the program changed on `h` since it was recorded, and nothing
// else; a handle that is no longer a window is left alone.
void RestoreWindowAttributes(App& app, WindowSystem& windows, WindowHandle h);

}  // namespace tomari
