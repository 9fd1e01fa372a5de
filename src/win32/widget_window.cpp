#include "win32/widget_window.h"
#include "win32/ports/dib.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "win32/ports/text_convert.h"
#include "win32/resources/resource.h"

namespace tomari {

namespace {

constexpr UINT_PTR kTrackingTimer = 1;
constexpr UINT_PTR kHoverTimer = 2;

// The message's button flags as 1 left, 2 right, 4 middle. MK_SHIFT is 4 and
// MK_MBUTTON 0x10, so wParam cannot be passed on as it is.
int HeldButtons(WPARAM wp) {
  int b = 0;
  if (wp & MK_LBUTTON) b |= 1;
  if (wp & MK_RBUTTON) b |= 2;
  if (wp & MK_MBUTTON) b |= 4;
  return b;
}

// The keys are read from the keyboard too: they are usually pressed while
// another program's window has the keyboard, and the message's flags may only
// know what this thread saw.
int Modifiers(WPARAM wp) {
  int m = 0;
  if ((wp & MK_SHIFT) || GetAsyncKeyState(VK_SHIFT) < 0) m |= 1;
  if ((wp & MK_CONTROL) || GetAsyncKeyState(VK_CONTROL) < 0) m |= 2;
  if (GetKeyState(VK_MENU) < 0) m |= 4;
  return m;
}

int CALLBACK NoteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// The first of these that the system has; the label is Japanese, so a face
// with Japanese glyphs must be chosen explicitly.
HFONT CreateLabelFont() {
  const wchar_t* faces[] = {L"Meiryo UI", L"MS UI Gothic", L"IPAGothic", L"IPAPGothic"};
  HDC dc = GetDC(nullptr);
  HFONT chosen = nullptr;
  for (const wchar_t* face : faces) {
    LOGFONTW lf{};
    lf.lfCharSet = SHIFTJIS_CHARSET;
    wcsncpy_s(lf.lfFaceName, face, _TRUNCATE);
    bool found = false;
    EnumFontFamiliesExW(dc, &lf, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    if (found) {
      chosen = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, face);
      break;
    }
  }
  ReleaseDC(nullptr, dc);
  return chosen;
}

}  // namespace

Win32Widget::~Win32Widget() {
  Destroy();
  if (font_) DeleteObject(font_);
}

bool Win32Widget::Create(HINSTANCE instance, int width, int height) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &Win32Widget::Proc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TOMARI));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kWidgetClassName;
  RegisterClassExW(&wc);
  font_ = CreateLabelFont();
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&icc);
  // A tool window stays out of the taskbar and Alt+Tab; WS_EX_NOACTIVATE keeps a
  // click on the widget from taking the keyboard from the user's window.
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kWidgetClassName,
                          L"トマリギ", WS_POPUP, 0, 0, width, height, nullptr, nullptr, instance,
                          this);
  if (!hwnd_) return false;
  CreateToolTip(instance);
  return true;
}

void Win32Widget::CreateToolTip(HINSTANCE instance) {
  // TTS_ALWAYSTIP: the widget is almost never the active window.
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                             instance, nullptr);
  if (!tooltip_) return;
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = hwnd_;
  ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
  ti.lpszText = const_cast<wchar_t*>(L"");
  // Always active: an empty text shows nothing, and a tip that is switched on
  // only after the pointer stopped would wait for the next move to appear.
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Win32Widget::Show() {
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd_);
}

void Win32Widget::Destroy() {
  if (hwnd_) {
    KillTimer(hwnd_, kTrackingTimer);
    KillTimer(hwnd_, kHoverTimer);
    HWND h = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(h);
  }
}

void Win32Widget::SetTrackingInterval(unsigned milliseconds) {
  KillTimer(hwnd_, kTrackingTimer);
  if (milliseconds == 0) return;
  if (milliseconds > USER_TIMER_MAXIMUM) milliseconds = USER_TIMER_MAXIMUM;
  SetTimer(hwnd_, kTrackingTimer, milliseconds, nullptr);
}

void Win32Widget::SetHoverInterval(unsigned milliseconds) {
  KillTimer(hwnd_, kHoverTimer);
  if (milliseconds > 0) SetTimer(hwnd_, kHoverTimer, milliseconds, nullptr);
}

void Win32Widget::SetToolTip(const std::string& text) {
  std::wstring wide = Utf8ToWide(text);
  if (!tooltip_ || wide == tooltipText_) return;
  tooltipText_ = wide;
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = hwnd_;
  ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
  ti.lpszText = tooltipText_.data();
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
  if (tooltipText_.empty()) SendMessageW(tooltip_, TTM_POP, 0, 0);
}

void Win32Widget::SetWidgetCursor(CursorHandle cursor) {
  cursor_ = reinterpret_cast<HCURSOR>(cursor);
  // Shown at once when the pointer is over the widget; WM_SETCURSOR keeps it.
  POINT p;
  if (GetCursorPos(&p) && WindowFromPoint(p) == hwnd_)
    SetCursor(cursor_ ? cursor_ : LoadCursorW(nullptr, IDC_ARROW));
}

void Win32Widget::Pointer(UINT msg, WPARAM wp, LPARAM) {
  // Relative to where the widget stands now, not where it stood when the
  // message was queued: during a drag the widget moves between two messages,
  // and a stale offset would move it (and the target) twice. With the
  // message's own screen point every event puts the pressed point under the
  // place where that event happened.
  const DWORD pos = GetMessagePos();
  const POINT p{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
  RECT r{};
  GetWindowRect(hwnd_, &r);
  const int x = p.x - r.left, y = p.y - r.top;
  const int mods = Modifiers(wp);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const int button = msg == WM_LBUTTONDOWN ? 1 : msg == WM_RBUTTONDOWN ? 2 : 4;
      // Captured, so a fast drag never loses the widget.
      SetCapture(hwnd_);
      events_.OnPointerPress(button, mods, x, y);
      break;
    }
    case WM_MOUSEMOVE:
      events_.OnPointerMove(HeldButtons(wp), mods, x, y);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const int button = msg == WM_LBUTTONUP ? 1 : msg == WM_RBUTTONUP ? 2 : 4;
      // Released before a command or the menu runs: both need the mouse.
      if (GetCapture() == hwnd_ && HeldButtons(wp) == 0) ReleaseCapture();
      events_.OnPointerRelease(button, mods, x, y);
      break;
    }
  }
}

WindowHandle Win32Widget::Handle() { return reinterpret_cast<WindowHandle>(hwnd_); }

Rect Win32Widget::GetRect() {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return {r.left, r.top, r.right, r.bottom};
}

void Win32Widget::MoveTo(int x, int y, bool topMost) {
  UINT flags = SWP_NOSIZE | SWP_NOACTIVATE;
  if (!topMost) flags |= SWP_NOZORDER;
  SetWindowPos(hwnd_, topMost ? HWND_TOPMOST : nullptr, x, y, 0, 0, flags);
}

void Win32Widget::SetTopMost(bool topMost) {
  SetWindowPos(hwnd_, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void Win32Widget::Redraw() { InvalidateRect(hwnd_, nullptr, FALSE); }

void Win32Widget::SetSize(int width, int height) {
  SetWindowPos(hwnd_, nullptr, 0, 0, width, height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Widget::SetShape(const WidgetShape& shape) {
  if (shape.fullRectangle) {
    SetWindowRgn(hwnd_, nullptr, TRUE);
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
  if (!SetWindowRgn(hwnd_, rgn, TRUE)) DeleteObject(rgn);
}

void Win32Widget::Present(const Bitmap& face) {
  face_ = face;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void Win32Widget::SetLabel(const std::string& text) {
  label_ = Utf8ToWide(text);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT CALLBACK Win32Widget::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Win32Widget* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Win32Widget*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<Win32Widget*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self || self->hwnd_ != hwnd) return DefWindowProcW(hwnd, msg, wp, lp);
  // Nothing may unwind through the system's callback.
  try {
    return self->Handle(msg, wp, lp);
  } catch (...) {
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

LRESULT Win32Widget::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_TIMER:
      if (wp == kTrackingTimer) events_.OnTrackingTimer();
      else if (wp == kHoverTimer) events_.OnHoverTimer();
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
      if (reinterpret_cast<HWND>(lp) != hwnd_ &&
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
      events_.OnCloseRequest();
      return 0;
    case WM_SETTINGCHANGE:
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
      HDC dc = BeginPaint(hwnd_, &ps);
      Paint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void Win32Widget::Paint(HDC dc) {
  RECT rc;
  GetClientRect(hwnd_, &rc);
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
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, rc.right, rc.bottom);
  HGDIOBJ oldBmp = SelectObject(mem, bmp);
  HBRUSH back = CreateSolidBrush(RGB(0xF4, 0xF1, 0xE6));
  FillRect(mem, &rc, back);
  DeleteObject(back);
  HBRUSH edge = CreateSolidBrush(RGB(0x2F, 0x7D, 0x6D));
  FrameRect(mem, &rc, edge);
  DeleteObject(edge);
  HGDIOBJ oldFont = font_ ? SelectObject(mem, font_) : nullptr;
  SetBkMode(mem, TRANSPARENT);
  SetTextColor(mem, RGB(0x22, 0x33, 0x30));
  RECT text = rc;
  DrawTextW(mem, label_.c_str(), static_cast<int>(label_.size()), &text,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (oldFont) SelectObject(mem, oldFont);
  BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
  SelectObject(mem, oldBmp);
  DeleteObject(bmp);
  DeleteDC(mem);
}

}  // namespace tomari
