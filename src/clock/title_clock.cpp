// Provisional: replaced by the title clock work.
#include "clock/title_clock.h"

namespace tomari {

std::string CurrentClockText(App&, Ports&) { return {}; }

void SetTitleClock(App& app, WindowSystem& windows, WindowHandle h, const std::string& text) {
  if (h == 0) {
    if (app.clock.Window != 0 && windows.IsWindow(app.clock.Window) &&
        windows.GetTitle(app.clock.Window) == app.clock.LastTitle)
      windows.SetTitle(app.clock.Window, app.clock.OriginalTitle);
    app.clock = {};
  }
  (void)text;
}

}  // namespace tomari
