#pragma once
// The widget: a caption-less, top-most tool window that never takes the
// keyboard, stays out of the taskbar and Alt+Tab, and shows either the skin's
// composed face or, without a skin, a plain label.
#include <windows.h>

#include <string>

#include "platform/ports.h"
#include "win32/ports/gdi_handles.h"
#include "win32/window_base.h"

namespace tomari {

// What the widget window reports to the program that owns it.
class WidgetEvents {
 public:
  virtual ~WidgetEvents() = default;
  virtual void OnTrackingTimer() = 0;
  // A tick asked for with RequestTrackingTick.
  virtual void OnTrackNow() {}
  virtual void OnHoverTimer() = 0;
  // Mouse input in widget pixels. `button`: kButtonLeft/Right/Middle (for a
  // move, the buttons held); `modifiers`: kModShift/Ctrl/Alt (perch/pointer.h).
  virtual void OnPointerPress(int button, int modifiers, int x, int y) = 0;
  virtual void OnPointerMove(int button, int modifiers, int x, int y) = 0;
  virtual void OnPointerRelease(int button, int modifiers, int x, int y) = 0;
  // The user changed regional settings (date and time formats), or the
  // monitors changed (added, removed, moved, resized).
  virtual void OnSettingChange() = 0;
  // The widget moved to a monitor of another DPI (or that monitor's DPI changed).
  virtual void OnDpiChanged(int dpi) {}
  // WM_CLOSE from anyone, or the session really ending.
  virtual void OnCloseRequest() = 0;
  // The window is gone (WM_DESTROY), however that came about; the program's
  // message loop ends here, so a close that failed half way cannot leave a
  // process without a window running.
  virtual void OnWidgetDestroyed() {}
};

inline constexpr const wchar_t* kWidgetClassName = L"TomariWidget";

class Win32Widget final : public WindowBase, public WidgetWindow {
 public:
  explicit Win32Widget(WidgetEvents& events) : events_(events) {}
  ~Win32Widget() override;
  Win32Widget(const Win32Widget&) = delete;
  Win32Widget& operator=(const Win32Widget&) = delete;

  // Creates the window hidden.
  bool Create(HINSTANCE instance, int width, int height);
  void Show();
  void Destroy();
  // The DPI of the monitor the widget is on.
  int Dpi() const;
  // The tracking tick's period; 0 stops it. The program's message loop runs
  // the tick (WaitForMessageOrTick); inside a modal loop of the system's, such
  // as the popup menu's, ModalTracking has a timer run it instead.
  void SetTrackingInterval(unsigned milliseconds);
  // Waits until a message is queued (true) or the tracking tick is due
  // (false, the tick is then owed), whichever comes first.
  bool WaitForMessageOrTick();
  void ModalTracking(bool on);
  // The hover tick's period. It runs only while the pointer is over the widget
  // (or a press holds the mouse), and once more when the pointer has left.
  void SetHoverInterval(unsigned milliseconds);
  // OnTrackNow comes from the message loop, after what is queued now.
  void RequestTrackingTick();

  WindowHandle Handle() override;
  Rect GetRect() override;
  void MoveTo(int x, int y, bool topMost) override;
  void SetTopMost(bool topMost) override;
  void Redraw() override;
  void SetSize(int width, int height) override;
  void SetShape(const WidgetShape& shape) override;
  void Present(const Bitmap& face) override;
  void SetLabel(const std::string& text) override;
  void SetToolTip(const std::string& text) override;
  void SetWidgetCursor(CursorHandle cursor) override;

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void Paint(HDC dc);
  void PaintLabel(HDC dc, const RECT& rc);
  void CreateToolTip(HINSTANCE instance);
  void Pointer(UINT msg, WPARAM wp, LPARAM lp);
  void StartHover();
  void StopHoverUnlessInside();
  bool AboveOtherWindows() const;

  WidgetEvents& events_;
  gdi::Object font_;
  Bitmap face_;
  std::wstring label_;
  HWND tooltip_ = nullptr;
  std::wstring tooltipText_;
  HCURSOR cursor_ = nullptr;  // null: the arrow
  unsigned trackingInterval_ = 0;
  unsigned long long trackingDue_ = 0;  // GetTickCount64 time of the next tick
  unsigned hoverInterval_ = 0;
  bool hoverRunning_ = false;
  bool leaveTracked_ = false;
};

}  // namespace tomari
