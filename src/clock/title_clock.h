#pragma once
// The clock in the target's title bar.
#include <string>
#include <string_view>

#include "app/app.h"
#include "base/text.h"  // titles are measured in characters, not bytes
#include "platform/locale.h"
#include "platform/ports.h"

namespace tomari {

// The clock text for now, in the chosen zone and format, with the user's
// regional settings.
std::string CurrentClockText(App& app, Ports& ports, Locale& locale);
// The same with the user's locale from the ports.
std::string CurrentClockText(App& app, Ports& ports);
// The clock text for the UTC instant `utc`.
std::string ClockTextAt(const Settings& s, const DateTime& utc, const LocaleFormats& loc);

// With a window: put `text` into its title. With 0: give the decorated window
// its own title back and forget it.
// A title whose window did not take the give-back is kept in PendingTitles.
void SetTitleClock(App& app, WindowSystem& windows, WindowHandle h, const std::string& text);
// Tries the titles still owed again; forgets those given back or whose window has gone.
void RetryTitleRestores(App& app, WindowSystem& windows);

}  // namespace tomari
