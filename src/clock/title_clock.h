#pragma once
// The clock in the target's title bar.
#include <string>

#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// The clock text for now, in the chosen zone and format.
std::string CurrentClockText(App& app, Ports& ports);
// With a window: put `text` into its title. With 0: give the decorated window
// its own title back and forget it.
void SetTitleClock(App& app, WindowSystem& windows, WindowHandle h, const std::string& text);

}  // namespace tomari
