#pragma once
// Following between ticks: the system reports what happens to windows (the
// foreground changed, a window moved, was minimised, shown, hidden or
// destroyed), and a report that can change what the tracking tick decides runs
// the tick at once instead of at the next timer period. Bursts (a window being
// dragged reports every step) collapse into one tick per pass of the message
// loop. The timer stays the upper bound: nothing here is needed for
// correctness, only for latency.
#include <cstdint>

#include "app/app.h"

namespace tomari {

enum class WindowEventKind { Foreground, Location, Minimize, Restore, Show, Hide, Destroy };

struct WindowEvent {
  WindowEventKind kind = WindowEventKind::Location;
  WindowHandle window = 0;
  // Which part of the window: the window itself is object 0 (OBJID_WINDOW),
  // child 0 (CHILDID_SELF); carets, cursors and controls report other values.
  std::int32_t object = 0;
  std::int32_t child = 0;
};

// True when the event can change the tracking tick's outcome: a new foreground
// window that is not ours while the tick follows the foreground, or anything
// that happens to the current target's own window.
bool ConcernsTracking(const App& app, const WindowEvent& e);

// Turns a stream of events into tick requests: at most one outstanding.
class TickCoalescer {
 public:
  // True when the caller must ask for a tick now: the event concerns tracking
  // and no tick is waiting yet.
  bool Offer(const App& app, const WindowEvent& e);
  // The asked-for tick is due: true (once) when one was asked for.
  bool Take();

 private:
  bool pending_ = false;
};

}  // namespace tomari
