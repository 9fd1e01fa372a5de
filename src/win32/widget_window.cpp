#include "win32/widget_window.h"
#include "win32/ports/dib.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "perch/pointer.h"
#include "skin/skin.h"
#include "win32/ports/text_convert.h"
#include "win32/resources/resource.h"

namespace tomari {

namespace {

constexpr UINT_PTR kTrackingTimer = 1;
constexpr UINT_PTR kHoverTimer = 2;
constexpr UINT kTrackNow = WM_APP + 1;

// The message's button flags as the core's button codes. MK_SHIFT is 4 and
// MK_MBUTTON 0x10, so wParam cannot be passed on as it is.
int HeldButtons(WPARAM wp) {
  int b = 0;
  if (wp & MK_LBUTTON) b |= kButtonLeft;
  if (wp & MK_RBUTTON) b |= kButtonRight;
  if (wp & MK_MBUTTON) b |= kButtonMiddle;
  return b;
}

int ButtonOf(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      return kButtonLeft;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return kButtonRight;
    default:
      return kButtonMiddle;
  }
}

// The keys are read from the keyboard too: they are usually pressed while
// another program's window has the keyboard, and the message's flags may only
// know what this thread saw.
int Modifiers(WPARAM wp) {
  int m = 0;
  if ((wp & MK_SHIFT) || GetAsyncKeyState(VK_SHIFT) < 0) m |= kModShift;
  if ((wp & MK_CONTROL) || GetAsyncKeyState(VK_CONTROL) < 0) m |= kModCtrl;
  if (GetKeyState(VK_MENU) < 0) m |= kModAlt;
  return m;
}

int CALLBACK NoteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// The first of these that the system has; the label is Japanese, so a face
// with Japanese glyphs must be chosen explicitly.
HFONT CreateLabelFont(int dpi) {
  const wchar_t* faces[] = {L"Meiryo UI", L"MS UI Gothic", L"IPAGothic", L"IPAPGothic"};
  gdi::WindowDC screen(nullptr);
  HFONT chosen = nullptr;
  for (const wchar_t* face : faces) {
    LOGFONTW lf{};
    lf.lfCharSet = SHIFTJIS_CHARSET;
    wcsncpy_s(lf.lfFaceName, face, _TRUNCATE);
    bool found = false;
    EnumFontFamiliesExW(screen.Get(), &lf, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    if (found) {
      chosen = CreateFontW(-MulDiv(12, dpi, USER_DEFAULT_SCREEN_DPI), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, face);
      break;
    }
  }
  return chosen;
}

}  // namespace

Win32Widget::~Win32Widget() { Destroy(); }

bool Win32Widget::Create(HINSTANCE instance, int width, int height) {
  RegisterWindowClass(instance, kWidgetClassName,
                      LoadIconW(instance, MAKEINTRESOURCEW(IDI_TOMARI)));

  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&icc);
  // A tool window stays out of the taskbar and Alt+Tab; WS_EX_NOACTIVATE keeps a
  // click on the widget from taking the keyboard from the user's window.
  if (!CreateOfClass(kWidgetClassName, L"トマリギ", WS_POPUP,
                     WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, {0, 0, width, height},
                     nullptr, instance))
    return false;
  font_ = gdi::Object(CreateLabelFont(Dpi()));
  CreateToolTip(instance);
  return true;
}

void Win32Widget::CreateToolTip(HINSTANCE instance) {
  // TTS_ALWAYSTIP: the widget is almost never the active window.
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                             instance, nullptr);
  if (!tooltip_) return;
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  // The mouse messages are relayed from HandleMessage rather than through
  // TTF_SUBCLASS: a subclassed window pays a property lookup on every message
  // it gets, the tracking timer's several times a second included.
  ti.uFlags = TTF_IDISHWND;
  ti.hwnd = hwnd();
  ti.uId = reinterpret_cast<UINT_PTR>(hwnd());
  ti.lpszText = const_cast<wchar_t*>(L"");
  // Always active: an empty text shows nothing, and a tip that is switched on
  // only after the pointer stopped would wait for the next move to appear.
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Win32Widget::Show() {
  ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd());
}

void Win32Widget::Destroy() {
  if (HWND h = hwnd()) {
    KillTimer(h, kTrackingTimer);
    KillTimer(h, kHoverTimer);
    DestroyWindow(h);
  }
}

int Win32Widget::Dpi() const {
  const UINT dpi = hwnd() ? GetDpiForWindow(hwnd()) : 0;
  return dpi ? static_cast<int>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

void Win32Widget::SetTrackingInterval(unsigned milliseconds) {
  trackingInterval_ = std::min<unsigned>(milliseconds, USER_TIMER_MAXIMUM);
  trackingDue_ = GetTickCount64() + trackingInterval_;
}

// The tick is the wait's time-out rather than a WM_TIMER: under Wine a timer
// message costs two more calls into the window server than a wait that runs
// out, and the tick runs all day long.
bool Win32Widget::WaitForMessageOrTick() {
  DWORD wait = INFINITE;
  if (trackingInterval_ != 0) {
    // GetTickCount64 only goes forward, and a new interval sets a new due time.
    const unsigned long long now = GetTickCount64();
    wait = static_cast<DWORD>(trackingDue_ > now ? trackingDue_ - now : 0);
  }
  if (MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE) !=
      WAIT_TIMEOUT)
    return true;
  // The next tick keeps the rhythm, unless this one came late by a period or more.
  const unsigned long long now = GetTickCount64();
  trackingDue_ += trackingInterval_;
  if (trackingDue_ <= now) trackingDue_ = now + trackingInterval_;
  return false;
}

void Win32Widget::ModalTracking(bool on) {
  KillTimer(hwnd(), kTrackingTimer);
  if (on && trackingInterval_ != 0) SetTimer(hwnd(), kTrackingTimer, trackingInterval_, nullptr);
}

void Win32Widget::SetHoverInterval(unsigned milliseconds) {
  hoverInterval_ = milliseconds;
  KillTimer(hwnd(), kHoverTimer);
  hoverRunning_ = false;
}

void Win32Widget::RequestTrackingTick() { PostMessageW(hwnd(), kTrackNow, 0, 0); }

// The hover tick only matters while the pointer can change a button's look:
// an idle widget takes no timer messages at all.
void Win32Widget::StartHover() {
  if (!leaveTracked_) {
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof(tme);
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = hwnd();
    leaveTracked_ = TrackMouseEvent(&tme) != FALSE;
  }
  if (hoverRunning_ || hoverInterval_ == 0) return;
  hoverRunning_ = SetTimer(hwnd(), kHoverTimer, hoverInterval_, nullptr) != 0;
}

void Win32Widget::StopHoverUnlessInside() {
  if (!hoverRunning_ || GetCapture() == hwnd()) return;
  POINT p;
  if (GetCursorPos(&p) && WindowFromPoint(p) == hwnd()) return;
  KillTimer(hwnd(), kHoverTimer);
  hoverRunning_ = false;
}

void Win32Widget::SetToolTip(const std::string& text) {
  std::wstring wide = Utf8ToWide(text);
  if (!tooltip_ || wide == tooltipText_) return;
  tooltipText_ = wide;
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = hwnd();
  ti.uId = reinterpret_cast<UINT_PTR>(hwnd());
  ti.lpszText = tooltipText_.data();
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
  if (tooltipText_.empty()) SendMessageW(tooltip_, TTM_POP, 0, 0);
}

void Win32Widget::SetWidgetCursor(CursorHandle cursor) {
  cursor_ = reinterpret_cast<HCURSOR>(cursor);
  // Shown at once when the pointer is over the widget; WM_SETCURSOR keeps it.
  POINT p;
  if (GetCursorPos(&p) && WindowFromPoint(p) == hwnd())
    SetCursor(cursor_ ? cursor_ : LoadCursorW(nullptr, IDC_ARROW));
}

void Win32Widget::Pointer(UINT msg, WPARAM wp, LPARAM lp) {
  if (tooltip_) {
    MSG relayed{hwnd(), msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
    SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
  }
  // Relative to where the widget stands now, not where it stood when the
  // message was queued: during a drag the widget moves between two messages,
  // and a stale offset would move it (and the target) twice. With the
  // message's own screen point every event puts the pressed point under the
  // place where that event happened.
  const DWORD pos = GetMessagePos();
  const POINT p{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
  RECT r{};
  GetWindowRect(hwnd(), &r);
  const int x = p.x - r.left, y = p.y - r.top;
  const int mods = Modifiers(wp);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const int button = ButtonOf(msg);
      // Captured, so a fast drag never loses the widget.
      SetCapture(hwnd());
      events_.OnPointerPress(button, mods, x, y);
      break;
    }
    case WM_MOUSEMOVE: {
      const bool wasRunning = hoverRunning_;
      StartHover();
      events_.OnPointerMove(HeldButtons(wp), mods, x, y);
      // The first look for the pointer comes now, not a period later.
      if (!wasRunning && hoverRunning_) events_.OnHoverTimer();
      break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const int button = ButtonOf(msg);
      // Released before a command or the menu runs: both need the mouse.
      if (GetCapture() == hwnd() && HeldButtons(wp) == 0) ReleaseCapture();
      events_.OnPointerRelease(button, mods, x, y);
      break;
    }
  }
}

WindowHandle Win32Widget::Handle() { return reinterpret_cast<WindowHandle>(hwnd()); }

Rect Win32Widget::GetRect() {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return {r.left, r.top, r.right, r.bottom};
}

// True when only our own windows (the tooltip) or hidden ones lie above the widget.
bool Win32Widget::AboveOtherWindows() const {
  const DWORD self = GetCurrentProcessId();
  for (HWND w = GetWindow(hwnd(), GW_HWNDPREV); w != nullptr; w = GetWindow(w, GW_HWNDPREV)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != self && IsWindowVisible(w)) return false;
  }
  return true;
}

void Win32Widget::MoveTo(int x, int y, bool topMost) {
  // The tick places the widget several times a second; a move to where it
  // stands (and a raise while nothing covers it) would change nothing but
  // still costs the window server a round of messages.
  RECT r{};
  if (GetWindowRect(hwnd(), &r) && r.left == x && r.top == y &&
      (!topMost || AboveOtherWindows()))
    return;
  UINT flags = SWP_NOSIZE | SWP_NOACTIVATE;
  if (!topMost) flags |= SWP_NOZORDER;
  SetWindowPos(hwnd(), topMost ? HWND_TOPMOST : nullptr, x, y, 0, 0, flags);
}

void Win32Widget::SetTopMost(bool topMost) {
  SetWindowPos(hwnd(), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void Win32Widget::Redraw() { InvalidateRect(hwnd(), nullptr, FALSE); }

void Win32Widget::SetSize(int width, int height) {
  SetWindowPos(hwnd(), nullptr, 0, 0, width, height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Widget::SetShape(const WidgetShape& shape) {
  if (shape.fullRectangle) {
    SetWindowRgn(hwnd(), nullptr, TRUE);
    return;
  }
  // One region from all runs in a single call: a union per run is far slower
  // for skins with ragged outlines.
  std::vector<char> buffer(sizeof(RGNDATAHEADER) + shape.runs.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(shape.runs.size());
  data->rdh.nRgnSize = static_cast<DWORD>(shape.runs.size() * sizeof(RECT));
  RECT bounds{0, 0, 0, 0};
  auto* rects = reinterpret_cast<RECT*>(data->Buffer);
  for (size_t i = 0; i < shape.runs.size(); ++i) {
    const Rect& r = shape.runs[i];
    rects[i] = {r.left, r.top, r.right, r.bottom};
    if (i == 0) {
      bounds = rects[i];
    } else {
      bounds.left = std::min<LONG>(bounds.left, r.left);
      bounds.top = std::min<LONG>(bounds.top, r.top);
      bounds.right = std::max<LONG>(bounds.right, r.right);
      bounds.bottom = std::max<LONG>(bounds.bottom, r.bottom);
    }
  }
  data->rdh.rcBound = bounds;
  HRGN rgn = ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data);
  if (!rgn) rgn = CreateRectRgn(0, 0, 0, 0);
  // The window owns the region from here on.
  if (!SetWindowRgn(hwnd(), rgn, TRUE)) DeleteObject(rgn);
}

void Win32Widget::Present(const Bitmap& face) {
  face_ = face;
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void Win32Widget::SetLabel(const std::string& text) {
  label_ = Utf8ToWide(text);
  InvalidateRect(hwnd(), nullptr, FALSE);
}

LRESULT Win32Widget::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_TIMER:
      if (wp == kTrackingTimer) {
        events_.OnTrackingTimer();
      } else if (wp == kHoverTimer) {
        events_.OnHoverTimer();
        StopHoverUnlessInside();
      }
      return 0;
    case kTrackNow:
      events_.OnTrackNow();
      return 0;
    case WM_MOUSELEAVE:
      leaveTracked_ = false;
      // The buttons go back to their idle looks at once.
      if (hoverRunning_) events_.OnHoverTimer();
      StopHoverUnlessInside();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
      Pointer(msg, wp, lp);
      return 0;
    case WM_CAPTURECHANGED:
      // Taken from us while a button is held (a system dialog, the lock screen):
      // the release will not come here, so the press ends as it ends when a move
      // shows no button held, without a command. Our own release at a button's
      // up leaves no button held and is no loss.
      if (reinterpret_cast<HWND>(lp) != hwnd() &&
          (GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0 ||
           GetKeyState(VK_MBUTTON) < 0))
        events_.OnPointerMove(0, 0, 0, 0);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT) {
        SetCursor(cursor_ ? cursor_ : LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      // If this throws, the window base's default handling destroys the window.
      events_.OnCloseRequest();
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd(), kTrackingTimer);
      KillTimer(hwnd(), kHoverTimer);
      events_.OnWidgetDestroyed();
      return 0;
    case WM_DPICHANGED:
      // The suggested rectangle is not taken: the skin is sized for the new
      // DPI and the next tick places the widget, in physical pixels.
      font_ = gdi::Object(CreateLabelFont(HIWORD(wp)));
      events_.OnDpiChanged(HIWORD(wp));
      return 0;
    case WM_SETTINGCHANGE:
    case WM_DISPLAYCHANGE:
      events_.OnSettingChange();
      break;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wp) events_.OnCloseRequest();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      Paint(dc);
      EndPaint(hwnd(), &ps);
      return 0;
    }
  }
  return DefaultHandling(msg, wp, lp);
}

void Win32Widget::Paint(HDC dc) {
  RECT rc;
  GetClientRect(hwnd(), &rc);
  if (face_.Empty()) {
    PaintLabel(dc, rc);
    return;
  }
  BITMAPINFO bi = TopDownDib32(face_.width, face_.height);
  SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(face_.width), static_cast<DWORD>(face_.height),
                    0, 0, 0, static_cast<UINT>(face_.height), face_.pixels.data(), &bi,
                    DIB_RGB_COLORS);
}

void Win32Widget::PaintLabel(HDC dc, const RECT& rc) {
  // Drawn off-screen first so the label never flickers at the tick's pace.
  gdi::MemoryDC mem(dc);
  gdi::Object bmp(CreateCompatibleBitmap(dc, rc.right, rc.bottom));
  if (!mem || !mem.Select(bmp.Get())) return;
  {
    gdi::Object back(CreateSolidBrush(RGB(0xF4, 0xF1, 0xE6)));
    FillRect(mem.Get(), &rc, static_cast<HBRUSH>(back.Get()));
    gdi::Object edge(CreateSolidBrush(RGB(0x2F, 0x7D, 0x6D)));
    FrameRect(mem.Get(), &rc, static_cast<HBRUSH>(edge.Get()));
  }
  if (font_) mem.Select(font_.Get());
  SetBkMode(mem.Get(), TRANSPARENT);
  SetTextColor(mem.Get(), RGB(0x22, 0x33, 0x30));
  RECT text = rc;
  DrawTextW(mem.Get(), label_.c_str(), static_cast<int>(label_.size()), &text,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  BitBlt(dc, 0, 0, rc.right, rc.bottom, mem.Get(), 0, 0, SRCCOPY);
}

}  // namespace tomari
