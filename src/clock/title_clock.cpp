#include "clock/title_clock.h"

#include "clock/date_format.h"
#include "clock/world_time.h"

namespace tomari {

namespace {

// `s` without its first `n` characters; unchanged unless it is longer than that.
std::string_view DropFirst(std::string_view s, std::size_t n) {
  if (CharacterCount(s) <= n) return s;
  std::size_t i = 0;
  for (std::size_t seen = 0; seen < n; ++seen) {
    ++i;
    while (i < s.size() && IsUtf8Continuation(s[i])) ++i;
  }
  return s.substr(i);
}

// `s` without its last `n` characters; unchanged unless it is longer than that.
std::string_view DropLast(std::string_view s, std::size_t n) {
  if (CharacterCount(s) <= n) return s;
  std::size_t end = s.size();
  for (std::size_t seen = 0; seen < n; ++seen) {
    while (end > 0 && IsUtf8Continuation(s[end - 1])) --end;
    if (end > 0) --end;
  }
  return s.substr(0, end);
}

bool IsConcat(std::string_view whole, std::string_view a, std::string_view b) {
  return whole.size() == a.size() + b.size() && whole.substr(0, a.size()) == a &&
         whole.substr(a.size()) == b;
}

void RemoveClock(App& app, WindowSystem& windows) {
  ClockRecord record = std::move(app.clock);
  app.clock = {};
  // A window that has gone takes its clock with it; there is nothing to give back.
  if (record.Window == 0 || !windows.IsWindow(record.Window)) return;
  const std::string title = windows.GetTitle(record.Window);
  if (title == record.LastTitle) {
    // What we wrote is still there: give back exactly the original.
    if (title != record.OriginalTitle) windows.SetTitle(record.Window, record.OriginalTitle);
    return;
  }
  const std::size_t n = CharacterCount(record.Text);
  const std::string_view stripped = record.Before ? DropFirst(title, n) : DropLast(title, n);
  // Otherwise the window has put up a title of its own since, which stays.
  if (stripped == record.OriginalTitle) windows.SetTitle(record.Window, record.OriginalTitle);
}

}  // namespace

std::string ClockTextAt(const Settings& s, const DateTime& utc, const LocaleFormats& loc) {
  return FormatDateTime(BuildClockFormat(s.ClockFormatText), WorldTimeAt(s, utc), loc);
}

std::string CurrentClockText(App& app, Ports& ports, Locale& locale) {
  return ClockTextAt(app.settings, ports.clock.UtcNow(), locale.Formats());
}

std::string CurrentClockText(App& app, Ports& ports) {
  return CurrentClockText(app, ports, ports.locale);
}

void SetTitleClock(App& app, WindowSystem& windows, WindowHandle h, const std::string& text) {
  if (h == 0) {
    RemoveClock(app, windows);
    return;
  }
  const bool before = app.settings.ClockPosition == 0;
  // The clock never stays behind on a window it has left, and it moves to the
  // other end of a title only by way of the plain title.
  if (app.clock.Window != 0 && (app.clock.Window != h || app.clock.Before != before))
    RemoveClock(app, windows);
  // A window that does not answer is left alone; writing would only time out.
  if (windows.IsHung(h)) return;

  ClockRecord& record = app.clock;
  const std::string title = windows.GetTitle(h);
  if (title.empty()) return;  // a window without a title gets no clock
  record.Before = before;

  const std::string& original = record.OriginalTitle;
  if (before ? IsConcat(title, text, original) : IsConcat(title, original, text)) return;

  const std::size_t n = CharacterCount(record.Text);
  const std::string_view stripped = before ? DropFirst(title, n) : DropLast(title, n);
  // When what is left is not the title we know, the window has set a new title
  // of its own: that is the one to keep and, later, to give back.
  if (stripped != original) record.OriginalTitle = title;
  std::string newTitle = before ? text + record.OriginalTitle : record.OriginalTitle + text;

  record.Window = h;
  record.Text = text;
  windows.SetTitle(h, newTitle);
  record.LastTitle = std::move(newTitle);
}

}  // namespace tomari
