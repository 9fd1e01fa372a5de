#include "win32/ports/win_screen.h"

#include <windows.h>

#include <algorithm>

namespace tomari {

namespace {

struct Monitor {
  Rect rect;
  bool primary = false;
};

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  const RECT& r = info.rcMonitor;
  try {
    reinterpret_cast<std::vector<Monitor>*>(param)->push_back(
        Monitor{Rect{r.left, r.top, r.right, r.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  } catch (...) {
    return FALSE;  // no exception may cross back into user32
  }
  return TRUE;
}

}  // namespace

std::vector<Rect> Win32Screen::Monitors() {
  if (!monitors_.empty()) return monitors_;
  std::vector<Monitor> monitors;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  std::stable_partition(monitors.begin(), monitors.end(),
                        [](const Monitor& m) { return m.primary; });
  std::vector<Rect> rects;
  rects.reserve(monitors.size());
  for (const Monitor& m : monitors) rects.push_back(m.rect);
  if (rects.empty()) {
    // Placement always needs a screen to clamp to. Not kept: the monitors are
    // asked again next time.
    rects.push_back(Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    return rects;
  }
  monitors_ = rects;
  return rects;
}

Point Win32Screen::CursorPos() {
  POINT p;
  if (GetCursorPos(&p)) lastCursor_ = Point{p.x, p.y};
  return lastCursor_;
}

}  // namespace tomari
