#include "perch/placement.h"

#include <algorithm>
#include <cstdint>

#include "base/saturate.h"

namespace tomari {

namespace {

std::int64_t Overlap(const Rect& a, const Rect& b) {
  const std::int64_t w = std::int64_t{std::min(a.right, b.right)} - std::max(a.left, b.left);
  const std::int64_t h = std::int64_t{std::min(a.bottom, b.bottom)} - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

// Squared gap between two rectangles; 0 when they touch or overlap. A double,
// because the gap along one axis alone can exceed 2^31.
double GapSquared(const Rect& a, const Rect& b) {
  auto d = [](int v) { return static_cast<double>(v); };
  const double dx = std::max({0.0, d(b.left) - d(a.right), d(a.left) - d(b.right)});
  const double dy = std::max({0.0, d(b.top) - d(a.bottom), d(a.top) - d(b.bottom)});
  return dx * dx + dy * dy;
}

}  // namespace

int AnchorBase(int anchor, int lo, int hi, int size) {
  const std::int64_t l = lo, h = hi, s = size;
  switch (anchor) {
    case 0:
      return Saturate<int>(l - s);
    case 1:
      return lo;
    case 2:
      return Saturate<int>(l + ((h - l) - s) / 2);  // truncates toward zero, as intended
    case 3:
      return Saturate<int>(h - s);
    case 4:
      return hi;
    default:
      return 0;
  }
}

Rect GetMonitorRect(Screen& screen, const Rect& r) {
  const std::vector<Rect> monitors = screen.Monitors();
  if (monitors.empty()) return r;  // nothing to keep the widget on
  const Rect* best = nullptr;
  std::int64_t bestArea = 0;
  for (const Rect& m : monitors) {
    const std::int64_t area = Overlap(r, m);
    if (area > bestArea) {
      best = &m;
      bestArea = area;
    }
  }
  if (best != nullptr) return *best;
  best = &monitors.front();
  double bestGap = GapSquared(r, *best);
  for (const Rect& m : monitors) {
    const double gap = GapSquared(r, m);
    if (gap < bestGap) {
      best = &m;
      bestGap = gap;
    }
  }
  return *best;
}

void PlaceWidget(App& app, Ports& ports, WindowHandle target) {
  if (app.settings.PositionAuto == 0) return;
  Rect t;  // stays empty when the target has just closed; the next tick notices
  ports.windows.GetRect(target, t);
  PlaceWidgetAt(app, ports, t);
}

void PlaceWidgetAt(App& app, Ports& ports, const Rect& t) {
  const Settings& s = app.settings;
  if (s.PositionAuto == 0) return;
  const Rect self = ports.widget.GetRect();
  const int w = self.Width();
  const int h = self.Height();

  app.placement.BaseX = AnchorBase(s.PositionX, t.left, t.right, w);
  app.placement.BaseY = AnchorBase(s.PositionY, t.top, t.bottom, h);
  // Offsets come from Setting.ini unchecked; 64 bits keep any sum exact.
  std::int64_t x = std::int64_t{app.placement.BaseX} + s.PositionXOffset;
  std::int64_t y = std::int64_t{app.placement.BaseY} + s.PositionYOffset;

  const int left = Saturate<int>(x);
  const int top = Saturate<int>(y);
  const Rect m = GetMonitorRect(ports.screen, Rect{left, top, Saturate<int>(std::int64_t{left} + w),
                                                   Saturate<int>(std::int64_t{top} + h)});
  if (x < m.left) x = m.left;
  if (y < m.top) y = m.top;
  if (x + w > m.right) x = std::int64_t{m.right} - w;
  if (y + h > m.bottom) y = std::int64_t{m.bottom} - h;

  if (app.drag.Pressed) return;  // the user holds the widget
  ports.widget.MoveTo(Saturate<int>(x), Saturate<int>(y), app.menu.TopMostChecked);
}

}  // namespace tomari
