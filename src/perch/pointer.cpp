#include "perch/pointer.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/saturate.h"
#include "commands/menu_handlers.h"
#include "commands/widget_face.h"
#include "perch/placement.h"

namespace tomari {

namespace {

bool HasTarget(const App& app, Ports& ports) {
  return app.TargetWindow != 0 && app.TargetWindow != ports.widget.Handle();
}

// Moves `h` to its drag origin plus the drag's distance so far. A window first
// seen in this drag (Ctrl pressed midway, say) starts where it stands now,
// less this step.
void MoveBy(App& app, WindowSystem& windows, WindowHandle h, int dx, int dy) {
  auto& origins = app.drag.DragOrigins;
  auto it = std::find_if(origins.begin(), origins.end(),
                         [h](const DragState::DragOrigin& o) { return o.window == h; });
  const Point total{app.drag.DragTotalX, app.drag.DragTotalY};
  if (it == origins.end()) {
    Rect r;
    if (!windows.GetRect(h, r)) return;  // closed meanwhile
    const Point origin{Saturate<int>(std::int64_t{r.left} - (total.x - dx)),
                       Saturate<int>(std::int64_t{r.top} - (total.y - dy))};
    it = origins.insert(origins.end(), {h, origin});
  }
  windows.MoveTo(h, Saturate<int>(std::int64_t{it->origin.x} + total.x),
                 Saturate<int>(std::int64_t{it->origin.y} + total.y));
}

// The pressed point stays under the pointer: the widget moves by the pointer's
// distance from it, and with the right button the target moves along.
void Drag(App& app, Ports& ports, int button, int modifiers, int x, int y) {
  const int dx = Saturate<int>(std::int64_t{x} - app.drag.PressX);
  const int dy = Saturate<int>(std::int64_t{y} - app.drag.PressY);
  if (dx == 0 && dy == 0) return;
  const Rect r = ports.widget.GetRect();
  ports.widget.MoveTo(Saturate<int>(std::int64_t{r.left} + dx), Saturate<int>(std::int64_t{r.top} + dy),
                      false);
  app.drag.DragTotalX = Saturate<int>(std::int64_t{app.drag.DragTotalX} + dx);
  app.drag.DragTotalY = Saturate<int>(std::int64_t{app.drag.DragTotalY} + dy);
  if (button == kButtonRight && HasTarget(app, ports))
    MoveWindowChain(app, ports.windows, app.TargetWindow, dx, dy, modifiers);
}

// A right drag carried the target with the widget, so the widget's place
// relative to it has not changed. The base of the last placement may still
// show the target where it stood before (its moves land asynchronously), which
// would turn the drag distance into a user offset and push the widget away from
// the target at the next tick: take the base from where the target was sent.
void RebaseOnCarriedTarget(App& app, Ports& ports) {
  if (!HasTarget(app, ports)) return;
  const auto& origins = app.drag.DragOrigins;
  auto it = std::find_if(origins.begin(), origins.end(), [&](const DragState::DragOrigin& o) {
    return o.window == app.TargetWindow;
  });
  Rect t;
  if (it == origins.end() || !ports.windows.GetRect(app.TargetWindow, t)) return;
  const int left = Saturate<int>(std::int64_t{it->origin.x} + app.drag.DragTotalX);
  const int top = Saturate<int>(std::int64_t{it->origin.y} + app.drag.DragTotalY);
  const Rect w = ports.widget.GetRect();
  app.placement.BaseX = AnchorBase(app.settings.PositionX, left, left + t.Width(), w.Width());
  app.placement.BaseY = AnchorBase(app.settings.PositionY, top, top + t.Height(), w.Height());
}

}  // namespace

void PointerPress(App& app, Ports& ports, int button, int modifiers, int x, int y) {
  DragState& w = app.drag;
  w.Pressed = true;
  w.PressX = x;
  w.PressY = y;
  const Rect r = ports.widget.GetRect();
  w.PressLeft = r.left;
  w.PressTop = r.top;
  w.DragOrigins.clear();
  w.DragTotalX = w.DragTotalY = 0;
  RefreshButtons(app, ports, x, y, button);
}

void PointerMove(App& app, Ports& ports, int button, int modifiers, int x, int y) {
  // A plain hover, a middle-button drag or both buttons at once end any press.
  if (button != kButtonLeft && button != kButtonRight) PointerCaptureLost(app);
  if (app.drag.Pressed) Drag(app, ports, button, modifiers, x, y);
}

void PointerCaptureLost(App& app) {
  DragState& w = app.drag;
  w.Pressed = false;
  w.DragOrigins.clear();
  w.DragTotalX = w.DragTotalY = 0;
}

CommandResult PointerRelease(App& app, Ports& ports, CommandSink& sink, int button, int modifiers,
                             int x, int y) {
  DragState& w = app.drag;
  if (!w.Pressed) return CommandResult::Done;
  Drag(app, ports, button, modifiers, x, y);
  const Rect r = ports.widget.GetRect();
  if (button == kButtonRight) RebaseOnCarriedTarget(app, ports);
  // Written on a click too: when the last placement was clamped to the monitor,
  // the clamped distance becomes part of the user's offset.
  if (HasTarget(app, ports)) {
    app.settings.PositionXOffset = Saturate<int>(std::int64_t{r.left} - app.placement.BaseX);
    app.settings.PositionYOffset = Saturate<int>(std::int64_t{r.top} - app.placement.BaseY);
  }
  if (r.left == w.PressLeft && r.top == w.PressTop) {
    CommandResult result = CommandResult::Done;
    if (button == kButtonRight)
      result = ShowPopupMenu(app, ports, sink);
    else if (button == kButtonLeft)
      result = RunButtonCommand(app, ports, sink, x, y);
    if (result == CommandResult::Exited) return result;
  }
  w.Pressed = false;
  return CommandResult::Done;
}

bool HoverTick(App& app, Ports& ports) {
  if (app.Busy) return false;
  const int state = app.drag.Pressed ? 1 : 0;
  const Point p = ports.screen.CursorPos();
  const Rect r = ports.widget.GetRect();
  return RefreshButtonsIfChanged(app, ports, Saturate<int>(std::int64_t{p.x} - r.left),
                                 Saturate<int>(std::int64_t{p.y} - r.top), state);
}

void MoveWindowChain(App& app, WindowSystem& windows, WindowHandle window, int dx, int dy,
                     int modifiers) {
  if (dx == 0 && dy == 0) return;
  if ((modifiers & kModCtrl) != 0) {
    const std::int32_t levels = app.settings.DragParent;
    // The system's chains end; a broken one must not move a window twice.
    std::vector<WindowHandle> moved{window};
    std::int32_t n = 0;
    for (WindowHandle p = windows.GetParent(window);
         p != 0 && std::find(moved.begin(), moved.end(), p) == moved.end();
         p = windows.GetParent(p)) {
      MoveBy(app, windows, p, dx, dy);
      moved.push_back(p);
      if (levels != 0 && ++n == levels) break;
    }
  }
  MoveBy(app, windows, window, dx, dy);
}

}  // namespace tomari
