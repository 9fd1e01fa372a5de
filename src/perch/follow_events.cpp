#include "perch/follow_events.h"

namespace tomari {

namespace {
constexpr std::int32_t kObjectWindow = 0;
constexpr std::int32_t kChildSelf = 0;
}  // namespace

bool ConcernsTracking(const App& app, const WindowEvent& e) {
  if (e.object != kObjectWindow || e.child != kChildSelf || e.window == 0) return false;
  // The tick would do nothing now; the timer picks up whatever changed later.
  if (app.Busy || app.drag.Pressed) return false;
  if (e.kind == WindowEventKind::Foreground)
    return !app.menu.WindowSetChecked && !app.ownWindows.Contains(e.window);
  // Only the target's own window matters; without a target TargetWindow is the
  // widget, whose events are never ours to follow.
  return e.window == app.TargetWindow && !app.ownWindows.Contains(e.window);
}

bool TickCoalescer::Offer(const App& app, const WindowEvent& e) {
  if (pending_ || !ConcernsTracking(app, e)) return false;
  pending_ = true;
  return true;
}

bool TickCoalescer::Take() {
  const bool due = pending_;
  pending_ = false;
  return due;
}

}  // namespace tomari
