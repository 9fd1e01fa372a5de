#include "perch/tracking.h"

#include "app/journal.h"
#include "clock/title_clock.h"
#include "commands/commands.h"
#include "commands/widget_face.h"
#include "perch/attributes.h"
#include "perch/exclusion.h"
#include "perch/placement.h"

namespace tomari {

namespace {

void Attach(App& app, Ports& ports, WindowHandle target) {
  RestoreWindowAttributes(app, ports.windows, app.target.AttachedWindow);
  RecordWindowAttributes(app, ports.windows, target);
  // Above a target that may itself be top-most.
  ports.widget.SetTopMost(true);
  app.menu.WindowMenuEnabled = true;
  // The buttons that need a target come alive.
  RefreshButtons(app, ports, -1, -1, 0);
  ports.widget.Redraw();
  app.target.AttachedWindow = target;
}

void FollowTarget(App& app, Ports& ports, WindowHandle target, const Rect& rect) {
  PlaceWidgetAt(app, ports, rect);
  app.placement.Against = rect;
  if (app.menu.TitleClockChecked) {
    if (target != app.clock.Window && app.clock.Window != 0)
      SetTitleClock(app, ports.windows, 0, "");
    SetTitleClock(app, ports.windows, target, CurrentClockText(app, ports));
  } else if (app.clock.Window != 0) {
    SetTitleClock(app, ports.windows, 0, "");
  }
}

void LoseTarget(App& app, Ports& ports) {
  if (app.menu.TitleClockChecked && app.clock.Window != 0)
    SetTitleClock(app, ports.windows, 0, "");
  app.TargetWindow = ports.widget.Handle();
  app.menu.WindowSetChecked = false;
  // TopMostEnabled / LayerEnabled stay as the fixed-mode command left them, so
  // they are ready for the next target.
  app.menu.WindowMenuEnabled = false;
  RefreshButtons(app, ports, -1, -1, 0);
  ports.widget.Redraw();
  ports.widget.MoveTo(0, 0, false);
  // AttachedWindow keeps the vanished handle, so the next target is attached.
}

}  // namespace

void TrackingTick(App& app, Ports& ports) {
  if (app.Busy) return;
  const JournalAfter journal(app, ports.windows, ports.files);
  WindowSystem& windows = ports.windows;
  RetryPendingRestores(app, windows);

  // Every read of another window is a call into another process (or the
  // window server), and the tick runs several times a second: each question is
  // asked at most once per tick. The foreground window is nearly always the
  // target itself, whose answers the checks below give.
  bool targetChecked = false;
  if (!app.drag.Pressed && !app.menu.WindowSetChecked) {
    const WindowHandle h = windows.Foreground();
    // A click on the widget or a window switch in progress (null foreground)
    // leaves the previous target in place, and so does a window that stopped
    // answering: it could not be attached, and commands would act on it.
    if (h != app.TargetWindow && !IsExcludedWindow(app, windows, h) && !windows.IsHung(h)) {
      app.TargetWindow = h;
      targetChecked = true;
    }
  }
  const WindowHandle target = app.TargetWindow;
  if (!targetChecked && IsExcludedWindow(app, windows, target)) return;

  // The rectangle read for the placement also tells whether the window is
  // still there.
  Rect rect;
  const bool placing = app.settings.PositionAuto != 0;
  const bool alive = placing ? windows.GetRect(target, rect) : windows.IsWindow(target);
  // A program that stopped answering is left alone until it answers again:
  // nothing we send it may make us wait, and nothing we change would show.
  // Asking is a call into the window server, so a target that stands where it
  // was last placed against is not asked: the tick changes nothing of it then
  // (its title clock asks for itself).
  const bool standing = alive && placing && target == app.target.AttachedWindow &&
                        rect == app.placement.Against;
  if (!targetChecked && !standing && windows.IsHung(target)) return;

  if (app.target.AttachedWindow != target) Attach(app, ports, target);

  if (alive)
    FollowTarget(app, ports, target, rect);
  else
    LoseTarget(app, ports);
}

}  // namespace tomari
