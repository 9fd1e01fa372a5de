#pragma once
// Out-of-context WinEvent hooks for what moves the widget: foreground changes,
// and location, minimise/restore, show/hide and destroy of top-level windows.
// Events are delivered on the installing thread, from its message loop, so the
// handler runs between other messages like a timer would.
#include <windows.h>

#include <functional>
#include <vector>

#include "perch/follow_events.h"

namespace tomari {

class WinEventHooks {
 public:
  using Handler = std::function<void(const WindowEvent&)>;
  WinEventHooks() = default;
  WinEventHooks(const WinEventHooks&) = delete;
  WinEventHooks& operator=(const WinEventHooks&) = delete;
  ~WinEventHooks() { Remove(); }

  // One set of hooks per process. Events of this process's own windows are
  // not reported. False when the system took none of the hooks.
  bool Install(Handler handler);
  void Remove();

 private:
  static void CALLBACK Deliver(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child,
                               DWORD thread, DWORD time);
  std::vector<HWINEVENTHOOK> hooks_;
  Handler handler_;
};

}  // namespace tomari
