// What the popup menu's items and the skin buttons do. Every change to the
// attached window is flagged, so that leaving it gives back exactly that.
#include "commands/menu_handlers.h"

#include <algorithm>
#include <string>
#include <utility>

#include "app/journal.h"
#include "base/saturate.h"
#include "commands/capture.h"
#include "commands/widget_face.h"
#include "skin/skin.h"

namespace tomari {

namespace {

// A window we may change: still there and answering. A hung program would
// block us on a style change and would not show it anyway.
bool Reachable(WindowSystem& windows, WindowHandle h) {
  return h != 0 && windows.IsWindow(h) && !windows.IsHung(h);
}

std::uint8_t AlphaByte(std::int32_t opacity) { return Saturate<std::uint8_t>(opacity); }

// Both ticks idle while a modal dialog runs its own message loop; afterwards
// the widget goes back above whatever the dialog left on top.
template <class ShowDialog>
void WhileBusy(App& app, Ports& ports, ShowDialog&& show) {
  const bool wasBusy = app.Busy;
  app.Busy = true;
  show();
  app.Busy = wasBusy;
  ports.widget.SetTopMost(true);
}

// The journal learns of a change before the window does: should we end in
// between, the entry names a state the window does not show, and is dropped.
void WriteAhead(App& app, Ports& ports) { SyncJournal(app, ports.windows, ports.files); }

void CaptureForButton(App& app, Ports& ports, int inside, const std::string& value) {
  CaptureTarget(app, ports, inside, ParseCaptureDestination(value));
}

}  // namespace

// A window drawn with per-pixel alpha (layered, its attributes unreadable)
// would lose its own picture to an opacity of ours for good: leaving it could
// give back the layered bit but not what it showed. It is not offered.
bool OpacityCanBeGivenBack(const App& app) {
  return !(app.target.TargetLayered && !app.target.TargetLayeredAttributes.readable);
}

void Menu_WindowSet_Click(App& app, Ports& ports) {
  CommandState& m = app.menu;
  m.WindowSetChecked = !m.WindowSetChecked;
  m.TopMostEnabled = m.WindowSetChecked;
  m.LayerEnabled = m.WindowSetChecked && app.facts.HasLayeredWindows && OpacityCanBeGivenBack(app);
  RefreshButtons(app, ports, -1, -1, 0);
}

void Menu_TitleClock_Click(App& app) { app.menu.TitleClockChecked = !app.menu.TitleClockChecked; }

void Menu_Capture_Set_Click(App& app, Ports& ports, int index) {
  CaptureTarget(app, ports, index != 0 ? 1 : 0, -1, -1);
}

void Menu_String_Click(App& app, Ports& ports, CommandSink& sink) {
  WhileBusy(app, ports, [&] { sink.ShowTextGrab(); });
}

void Menu_TopMost_Click(App& app, Ports& ports) {
  const WindowHandle h = app.target.AttachedWindow;
  if (!Reachable(ports.windows, h)) return;
  app.menu.TopMostChecked = !app.menu.TopMostChecked;
  // TargetTopMost stays as recorded: leaving the window gives that back.
  app.target.ChangedTopMost = true;
  WriteAhead(app, ports);
  ports.windows.SetTopMost(h, app.menu.TopMostChecked);
}

void Menu_Layer_Click(App& app, Ports& ports) {
  // Without the system's layered-window call, none is ever made.
  if (!app.facts.HasLayeredWindows) return;
  WindowSystem& windows = ports.windows;
  const WindowHandle h = app.target.AttachedWindow;
  if (!Reachable(windows, h) || !OpacityCanBeGivenBack(app)) return;
  app.menu.LayerChecked = !app.menu.LayerChecked;
  app.target.ChangedLayer = true;
  WriteAhead(app, ports);
  const std::uint32_t ex = windows.GetExStyle(h);
  if (app.menu.LayerChecked) {
    const std::uint8_t alpha = AlphaByte(app.settings.LayerTransparency);
    if ((ex & kExLayered) == 0)
      windows.MakeLayered(h, 0, alpha, kLwaAlpha);
    else
      windows.SetLayered(h, 0, alpha, kLwaAlpha);
  } else if ((ex & kExLayered) != 0) {
    windows.SetExStyle(h, ex & ~kExLayered);
  }
}

void Menu_AntiPercher_Click(App& app, Ports& ports, CommandSink& sink) {
  WhileBusy(app, ports, [&] { sink.ShowExclusionEditor(); });
}

void Menu_Setting_Click(App& app, Ports& ports, CommandSink& sink) {
  WhileBusy(app, ports, [&] { sink.ShowSettings(); });
}

void Menu_Version_Click(App& app, Ports& ports, CommandSink& sink) {
  WhileBusy(app, ports, [&] { sink.ShowVersion(); });
}

CommandResult Menu_Exit_Click(CommandSink& sink) {
  sink.Exit();
  return CommandResult::Exited;
}

void SetTransparency(App& app, Ports& ports, std::int32_t opacity) {
  const std::uint8_t alpha = AlphaByte(opacity);
  app.settings.LayerTransparency = alpha;
  // Only a window we made (or found) semi-transparent takes the new opacity.
  if (!app.facts.HasLayeredWindows || !app.menu.LayerChecked) return;
  const WindowHandle h = app.target.AttachedWindow;
  if (!Reachable(ports.windows, h)) return;
  app.target.ChangedLayer = true;
  WriteAhead(app, ports);
  ports.windows.SetLayered(h, 0, alpha, kLwaAlpha);
}

void ChangeSkin(App& app, Ports& ports, const std::string& value) {
  std::string previous = std::exchange(app.settings.MainSkin, app.skin.folder + value);
  // The setting names the skin on show, or the next start would try again.
  if (!ApplySkin(app, ports)) app.settings.MainSkin = std::move(previous);
}

void OpenLink(Shell& shell, const std::string& value) {
  // The shell would open the current folder for an empty name.
  if (value.empty()) return;
  shell.Open(value);
}

void OpenMail(Shell& shell, const std::string& value) { shell.Open("mailto:" + value); }

CommandResult ShowPopupMenu(App& app, Ports& ports, CommandSink& sink) {
  return RunMenuItem(app, ports, sink, sink.OpenPopupMenu());
}

CommandResult RunMenuItem(App& app, Ports& ports, CommandSink& sink, MenuItem item) {
  switch (item) {
    case MenuItem::None:
      break;
    case MenuItem::WindowSet:
      Menu_WindowSet_Click(app, ports);
      break;
    case MenuItem::TitleClock:
      Menu_TitleClock_Click(app);
      break;
    case MenuItem::CaptureAll:
      Menu_Capture_Set_Click(app, ports, 0);
      break;
    case MenuItem::CaptureInside:
      Menu_Capture_Set_Click(app, ports, 1);
      break;
    case MenuItem::String:
      Menu_String_Click(app, ports, sink);
      break;
    case MenuItem::TopMost:
      Menu_TopMost_Click(app, ports);
      break;
    case MenuItem::Layer:
      Menu_Layer_Click(app, ports);
      break;
    case MenuItem::AntiPercher:
      Menu_AntiPercher_Click(app, ports, sink);
      break;
    case MenuItem::Setting:
      Menu_Setting_Click(app, ports, sink);
      break;
    case MenuItem::Version:
      Menu_Version_Click(app, ports, sink);
      break;
    case MenuItem::Exit:
      return Menu_Exit_Click(sink);
  }
  return CommandResult::Done;
}

CommandResult RunCommand(App& app, Ports& ports, CommandSink& sink, Command command,
                         const std::string& value) {
  switch (command) {
    case Command::WindowSet:
      Menu_WindowSet_Click(app, ports);
      break;
    case Command::CaptureInside:
      CaptureForButton(app, ports, 1, value);
      break;
    case Command::CaptureAll:
      CaptureForButton(app, ports, 0, value);
      break;
    case Command::GetText:
      Menu_String_Click(app, ports, sink);
      break;
    case Command::AntiPercher:
      Menu_AntiPercher_Click(app, ports, sink);
      break;
    case Command::TitleClock:
      Menu_TitleClock_Click(app);
      break;
    case Command::TopMost:
      Menu_TopMost_Click(app, ports);
      break;
    case Command::SemiTransparent:
      Menu_Layer_Click(app, ports);
      break;
    case Command::Transparency:
      SetTransparency(app, ports, TransparencyValue(value));
      break;
    case Command::Setting:
      Menu_Setting_Click(app, ports, sink);
      break;
    case Command::ChangeSkin:
      ChangeSkin(app, ports, value);
      break;
    case Command::Link:
      OpenLink(ports.shell, value);
      break;
    case Command::Mail:
      OpenMail(ports.shell, value);
      break;
    case Command::About:
      Menu_Version_Click(app, ports, sink);
      break;
    case Command::Popup:
      return ShowPopupMenu(app, ports, sink);
    case Command::Exit:
      return Menu_Exit_Click(sink);
    case Command::None:
      break;
  }
  return CommandResult::Done;
}

}  // namespace tomari
