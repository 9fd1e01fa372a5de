#include "clock/title_clock.h"

#include <algorithm>

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

// Gives the record's window its title back; false while that is still owed
// (the window did not take the write).
bool GiveBackTitle(WindowSystem& windows, const ClockRecord& record) {
  // A window that has gone takes its clock with it; there is nothing to give back.
  if (record.Window == 0 || !windows.IsWindow(record.Window)) return true;
  if (windows.IsHung(record.Window)) return false;
  const std::string title = windows.GetTitle(record.Window);
  bool ours = title == record.LastTitle;
  if (!ours) {
    // A write that timed out may have landed since: the title then carries the
    // clock text we sent. Anything else is a title of the window's own, which stays.
    const std::size_t n = CharacterCount(record.Text);
    ours = (record.Before ? DropFirst(title, n) : DropLast(title, n)) == record.OriginalTitle;
  }
  if (!ours || title == record.OriginalTitle) return true;
  return windows.SetTitle(record.Window, record.OriginalTitle);
}

void RemoveClock(App& app, WindowSystem& windows) {
  ClockRecord record = std::move(app.clock);
  app.clock = {};
  if (!GiveBackTitle(windows, record)) app.PendingTitles.push_back(std::move(record));
}

// Carries on a clock whose title `h` still owes, instead of decorating the
// decorated title a second time.
void TakeBackPending(App& app, WindowHandle h, bool before) {
  auto& pending = app.PendingTitles;
  auto it = std::find_if(pending.begin(), pending.end(), [&](const ClockRecord& r) {
    return r.Window == h && r.Before == before;
  });
  if (it == pending.end()) return;
  app.clock = std::move(*it);
  pending.erase(it);
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

void RetryTitleRestores(App& app, WindowSystem& windows) {
  std::erase_if(app.PendingTitles,
                [&](const ClockRecord& r) { return GiveBackTitle(windows, r); });
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
  if (app.clock.Window == 0) TakeBackPending(app, h, before);
  // A window that does not answer is left alone; writing would only time out.
  if (windows.IsHung(h)) return;

  ClockRecord& record = app.clock;
  const std::string title = windows.GetTitle(h);
  if (title.empty()) return;  // a window without a title gets no clock
  const bool known = record.Window == h;
  // The title is as the window gave it back after our last write: only a new
  // clock text is worth a write.
  if (known && title == record.LastTitle && text == record.Text) return;
  if (!known || title != record.LastTitle) {
    const std::size_t n = CharacterCount(record.Text);
    const std::string_view stripped = before ? DropFirst(title, n) : DropLast(title, n);
    // When what is left is not the title we know, the window has set a new
    // title of its own: that is the one to keep and, later, to give back.
    if (!known || stripped != record.OriginalTitle) record.OriginalTitle = title;
  }
  record.Window = h;
  record.Before = before;
  record.Text = text;
  windows.SetTitle(h, before ? text + record.OriginalTitle : record.OriginalTitle + text);
  // Compared next time against what the window kept, which may differ from
  // what it was given (a cut at its length limit, characters it cannot hold).
  record.LastTitle = windows.GetTitle(h);
}

}  // namespace tomari
