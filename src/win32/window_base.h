#pragma once
// The bridge from the system's window procedure to an object. The object rides
// in GWLP_USERDATA from WM_NCCREATE until WM_NCDESTROY, and no exception ever
// unwinds into the system: a message whose handler throws gets the default
// handling instead, so a failing WM_CLOSE still destroys the window.
//
//   class MyWindow final : public WindowBase {
//     LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
//       ...
//       return DefaultHandling(msg, wp, lp);
//     }
//   };
//   RegisterWindowClass(instance, L"MyClass", icon);
//   window.CreateOfClass(L"MyClass", ...);
#include <windows.h>

#include <type_traits>

namespace tomari {

class WindowBase {
 public:
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;
  HWND hwnd() const { return hwnd_; }

  // Registers a class whose windows are driven by WindowBase objects.
  // Registering the same name again is harmless.
  static bool RegisterWindowClass(HINSTANCE instance, const wchar_t* className, HICON icon);

 protected:
  WindowBase() = default;
  // A derived class destroys its window in its own destructor (so that the
  // last messages still reach it); what is left here is only cut loose.
  virtual ~WindowBase();

  bool CreateOfClass(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                     const RECT& at, HWND owner, HINSTANCE instance);
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
  LRESULT DefaultHandling(UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd_, msg, wp, lp);
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
};

// Runs `body`; if it throws, runs `fallback` instead. Every callback the
// system makes into this program goes through here.
template <typename Body, typename Fallback>
auto Guarded(Body&& body, Fallback&& fallback) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    try {
      return fallback();
    } catch (...) {
      if constexpr (!std::is_void_v<decltype(body())>) return {};
    }
  }
}

}  // namespace tomari
