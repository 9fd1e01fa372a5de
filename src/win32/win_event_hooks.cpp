#include "win32/win_event_hooks.h"

#include "win32/window_base.h"

namespace tomari {

namespace {

// The callback carries no context of its own.
WinEventHooks* g_installed = nullptr;

bool KindOf(DWORD event, WindowEventKind& kind) {
  switch (event) {
    case EVENT_SYSTEM_FOREGROUND: kind = WindowEventKind::Foreground; return true;
    case EVENT_OBJECT_LOCATIONCHANGE: kind = WindowEventKind::Location; return true;
    case EVENT_SYSTEM_MINIMIZESTART: kind = WindowEventKind::Minimize; return true;
    case EVENT_SYSTEM_MINIMIZEEND: kind = WindowEventKind::Restore; return true;
    case EVENT_OBJECT_SHOW: kind = WindowEventKind::Show; return true;
    case EVENT_OBJECT_HIDE: kind = WindowEventKind::Hide; return true;
    case EVENT_OBJECT_DESTROY: kind = WindowEventKind::Destroy; return true;
    default: return false;
  }
}

}  // namespace

bool WinEventHooks::Install(Handler handler) {
  Remove();
  handler_ = std::move(handler);
  g_installed = this;
  // Narrow ranges: the one from DESTROY to LOCATIONCHANGE would also bring
  // focus, selection and state changes, which come by the thousand.
  const DWORD ranges[][2] = {{EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND},
                             {EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND},
                             {EVENT_OBJECT_DESTROY, EVENT_OBJECT_HIDE},
                             {EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE}};
  for (const auto& r : ranges) {
    if (HWINEVENTHOOK h = SetWinEventHook(r[0], r[1], nullptr, Deliver, 0, 0,
                                          WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS))
      hooks_.push_back(h);
  }
  return !hooks_.empty();
}

void WinEventHooks::Remove() {
  for (HWINEVENTHOOK h : hooks_) UnhookWinEvent(h);
  hooks_.clear();
  if (g_installed == this) g_installed = nullptr;
}

void CALLBACK WinEventHooks::Deliver(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object,
                                     LONG child, DWORD, DWORD) {
  WindowEventKind kind;
  if (g_installed == nullptr || !g_installed->handler_ || !KindOf(event, kind)) return;
  const WindowEvent e{kind, reinterpret_cast<WindowHandle>(hwnd), object, child};
  Guarded([&] { g_installed->handler_(e); }, [] {});
}

}  // namespace tomari
