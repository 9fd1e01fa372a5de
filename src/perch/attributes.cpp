#include "perch/attributes.h"

#include <algorithm>

#include "base/saturate.h"
#include "clock/title_clock.h"

namespace tomari {

namespace {

// How long the close waits, once in all, for a hung window to answer so that it
// can get back what we changed on it.
constexpr unsigned kShutdownWaitMs = 1000;

bool GiveBackLayer(WindowSystem& windows, WindowHandle h, const RecordedAttributes& s) {
  const std::uint32_t ex = windows.GetExStyle(h);
  if (!s.TargetLayered) return (ex & kExLayered) == 0 || windows.SetExStyle(h, ex & ~kExLayered);
  const LayeredAttributes& a = s.TargetLayeredAttributes;
  // Without readable attributes the window draws its own layered content.
  if (!a.readable) return (ex & kExLayered) != 0 || windows.SetExStyle(h, ex | kExLayered);
  if ((ex & kExLayered) == 0) return windows.MakeLayered(h, a.colorKey, a.alpha, a.flags);
  return windows.SetLayered(h, a.colorKey, a.alpha, a.flags);
}

// Gives back what is still owed to the window; false while some of it is left.
bool GiveBack(WindowSystem& windows, PendingRestore& r) {
  // A closed window's handle may already name another program's new window.
  if (!windows.IsWindow(r.window)) return true;
  RecordedAttributes& s = r.state;
  // The z-order change is posted, so even a hung window takes it without us waiting.
  if (s.ChangedTopMost && windows.SetTopMost(r.window, s.TargetTopMost)) s.ChangedTopMost = false;
  if (s.ChangedLayer && !windows.IsHung(r.window) && GiveBackLayer(windows, r.window, s))
    s.ChangedLayer = false;
  return !s.ChangedTopMost && !s.ChangedLayer;
}

void RetryAll(App& app, WindowSystem& windows) {
  std::erase_if(app.target.PendingRestores,
                [&](PendingRestore& r) { return GiveBack(windows, r); });
}

}  // namespace

void RecordWindowAttributes(App& app, WindowSystem& windows, WindowHandle h) {
  RecordedAttributes now;
  const std::uint32_t ex = windows.GetExStyle(h);
  now.TargetTopMost = (ex & kExTopMost) != 0;
  now.TargetLayered = (ex & kExLayered) != 0;
  // The whole layered state is kept, not only an opacity: a window layered with
  // a colour key, or drawn with per-pixel alpha, must get exactly that back.
  if (app.facts.HasLayeredWindows && now.TargetLayered) {
    now.TargetLayeredAttributes = windows.GetLayered(h);
    const LayeredAttributes& a = now.TargetLayeredAttributes;
    if (a.readable && (a.flags & kLwaAlpha) != 0) now.TargetAlpha = a.alpha;
  }
  app.menu.TopMostChecked = now.TargetTopMost;
  app.menu.LayerChecked = now.TargetAlpha != 0;

  TargetRecord& w = app.target;
  auto& pending = w.PendingRestores;
  auto owed = std::find_if(pending.begin(), pending.end(),
                           [h](const PendingRestore& r) { return r.window == h; });
  // A window that still owes its state shows our change now: the record to
  // give back stays the one it is owed.
  if (owed != pending.end()) {
    now = owed->state;
    pending.erase(owed);
  }
  static_cast<RecordedAttributes&>(w) = now;
}

void RestoreWindowAttributes(App& app, WindowSystem& windows, WindowHandle h) {
  TargetRecord& w = app.target;
  PendingRestore r{h, w};
  r.state.ChangedLayer = r.state.ChangedLayer && app.facts.HasLayeredWindows;
  // The menu still shows the window being left.
  r.OurTopMost = app.menu.TopMostChecked;
  r.OurLayered = app.menu.LayerChecked;
  r.OurAlpha = Saturate<std::uint8_t>(app.settings.LayerTransparency);
  w.ChangedTopMost = false;
  w.ChangedLayer = false;
  if (h == 0 || (!r.state.ChangedTopMost && !r.state.ChangedLayer)) return;
  std::erase_if(w.PendingRestores, [h](const PendingRestore& p) { return p.window == h; });
  if (!GiveBack(windows, r)) w.PendingRestores.push_back(r);
}

void RetryPendingRestores(App& app, WindowSystem& windows) {
  RetryAll(app, windows);
  RetryTitleRestores(app, windows);
}

void FinishPendingRestores(App& app, WindowSystem& windows) {
  // One bounded wait in all, so that closing stays prompt however many windows
  // hang; a window still hung after it keeps the change.
  bool waited = false;
  auto waitFor = [&](WindowHandle h) {
    if (waited || !windows.IsHung(h)) return;
    waited = true;
    windows.WaitForAnswer(h, kShutdownWaitMs);
  };
  for (const PendingRestore& r : app.target.PendingRestores) waitFor(r.window);
  for (const ClockRecord& r : app.PendingTitles) waitFor(r.Window);
  RetryPendingRestores(app, windows);
}

}  // namespace tomari
