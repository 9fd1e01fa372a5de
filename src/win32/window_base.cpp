#include "win32/window_base.h"

namespace tomari {

WindowBase::~WindowBase() {
  if (!hwnd_) return;
  HWND h = hwnd_;
  hwnd_ = nullptr;
  SetWindowLongPtrW(h, GWLP_USERDATA, 0);
  DestroyWindow(h);
}

bool WindowBase::RegisterWindowClass(HINSTANCE instance, const wchar_t* className, HICON icon) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &WindowBase::Proc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = className;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool WindowBase::CreateOfClass(const wchar_t* className, const wchar_t* title, DWORD style,
                               DWORD exStyle, const RECT& at, HWND owner, HINSTANCE instance) {
  // hwnd_ is set from WM_NCCREATE on, before CreateWindowExW returns.
  return CreateWindowExW(exStyle, className, title, style, at.left, at.top, at.right - at.left,
                         at.bottom - at.top, owner, nullptr, instance, this) != nullptr;
}

LRESULT CALLBACK WindowBase::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  WindowBase* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  return Guarded([&] { return self->HandleMessage(msg, wp, lp); },
                 [&] { return DefWindowProcW(hwnd, msg, wp, lp); });
}

}  // namespace tomari
