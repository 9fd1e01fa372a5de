#include "win32/widget_window.h"

#include <algorithm>
#include <vector>

#include "win32/ports/text_convert.h"
#include "win32/resources/resource.h"

namespace tomari {

namespace {

constexpr UINT_PTR kTrackingTimer = 1;

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
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &Win32Widget::Proc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TOMARI));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kWidgetClassName;
  RegisterClassExW(&wc);
  font_ = CreateLabelFont();
  // A tool window stays out of the taskbar and Alt+Tab; WS_EX_NOACTIVATE keeps a
  // click on the widget from taking the keyboard from the user's window.
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kWidgetClassName,
                          L"トマリギ", WS_POPUP, 0, 0, width, height, nullptr, nullptr, instance,
                          this);
  return hwnd_ != nullptr;
}

void Win32Widget::Show() {
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd_);
}

void Win32Widget::Destroy() {
  if (hwnd_) {
    KillTimer(hwnd_, kTrackingTimer);
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
      return 0;
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
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = face_.width;
  bi.bmiHeader.biHeight = -face_.height;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
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
