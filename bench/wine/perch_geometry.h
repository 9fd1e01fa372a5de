#pragma once
// Where a perching widget of the default placement (centred above the target,
// kept on the monitor) stands: what the benchmark waits for, and what the
// polling program does.
#include <windows.h>

namespace bench {

inline POINT PerchPosition(const RECT& target, int width, int height) {
  int x = target.left + ((target.right - target.left) - width) / 2;
  int y = target.top - height;
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  const RECT self{x, y, x + width, y + height};
  if (GetMonitorInfoW(MonitorFromRect(&self, MONITOR_DEFAULTTONEAREST), &mi)) {
    const RECT& m = mi.rcMonitor;
    if (x < m.left) x = m.left;
    if (y < m.top) y = m.top;
    if (x + width > m.right) x = m.right - width;
    if (y + height > m.bottom) y = m.bottom - height;
  }
  return {x, y};
}

inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace bench
