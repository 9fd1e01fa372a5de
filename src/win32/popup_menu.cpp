#include "win32/popup_menu.h"

#include "win32/resources/resource.h"

namespace tomari {

namespace {

void SetState(HMENU menu, UINT id, bool enabled, bool checked) {
  EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

HMENU LoadPopupMenu(HINSTANCE instance, HMENU* popup) {
  HMENU bar = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_POPUP_MENU));
  *popup = bar ? GetSubMenu(bar, 0) : nullptr;
  return bar;
}

void SyncPopupMenu(HMENU popup, const CommandState& s) {
  // The target submenu is the first item.
  EnableMenuItem(popup, 0, MF_BYPOSITION | (s.WindowMenuEnabled ? MF_ENABLED : MF_GRAYED));
  SetState(popup, IDM_WINDOWSET, true, s.WindowSetChecked);
  SetState(popup, IDM_TITLECLOCK, true, s.TitleClockChecked);
  SetState(popup, IDM_TOPMOST, s.TopMostEnabled, s.TopMostChecked);
  SetState(popup, IDM_LAYER, s.LayerEnabled, s.LayerChecked);
}

MenuItem MenuItemFromId(UINT id) {
  switch (id) {
    case IDM_WINDOWSET: return MenuItem::WindowSet;
    case IDM_TITLECLOCK: return MenuItem::TitleClock;
    case IDM_CAPTURE_ALL: return MenuItem::CaptureAll;
    case IDM_CAPTURE_INSIDE: return MenuItem::CaptureInside;
    case IDM_STRING: return MenuItem::String;
    case IDM_TOPMOST: return MenuItem::TopMost;
    case IDM_LAYER: return MenuItem::Layer;
    case IDM_ANTIPERCHER: return MenuItem::AntiPercher;
    case IDM_SETTING: return MenuItem::Setting;
    case IDM_VERSION: return MenuItem::Version;
    case IDM_EXIT: return MenuItem::Exit;
  }
  return MenuItem::None;
}

MenuItem TrackWidgetMenu(HINSTANCE instance, HWND owner, const CommandState& state, POINT at) {
  HMENU popup = nullptr;
  HMENU bar = LoadPopupMenu(instance, &popup);
  if (!bar) return MenuItem::None;
  SyncPopupMenu(popup, state);
  // A popup menu closes on a click elsewhere only when its owner is the
  // foreground window; the user's window gets the foreground back afterwards.
  HWND previous = GetForegroundWindow();
  SetForegroundWindow(owner);
  UINT id = TrackPopupMenuEx(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y,
                             owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
  DestroyMenu(bar);
  if (previous && previous != owner && IsWindow(previous)) SetForegroundWindow(previous);
  return MenuItemFromId(id);
}

}  // namespace tomari
