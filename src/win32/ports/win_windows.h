#pragma once
// Other programs' windows through user32's W entry points. Nothing here waits on
// another thread's window without a bound, so a hung program cannot freeze us,
// and nothing here activates a window.
#include <windows.h>

#include "platform/ports.h"

namespace tomari {

class Win32WindowSystem final : public WindowSystem {
 public:
  Win32WindowSystem();

  WindowHandle Foreground() override;
  bool IsWindow(WindowHandle h) override;
  bool IsHung(WindowHandle h) override;
  bool GetRect(WindowHandle h, Rect& r) override;
  std::uint32_t GetExStyle(WindowHandle h) override;
  // Another thread's window takes the change through a sent message, so the
  // call is made from a helper thread and given up after a short wait.
  bool SetExStyle(WindowHandle h, std::uint32_t exStyle) override;
  std::string GetTitle(WindowHandle h) override;
  bool SetTitle(WindowHandle h, const std::string& title) override;
  std::string ClassNameOf(WindowHandle h) override;
  std::uint32_t ProcessIdOf(WindowHandle h) override;
  WindowHandle GetParent(WindowHandle h) override;
  LayeredAttributes GetLayered(WindowHandle h) override;
  bool SetLayered(WindowHandle h, std::uint32_t colorKey, std::uint8_t alpha,
                  std::uint32_t flags) override;
  // Like SetExStyle, from a helper thread with a bounded wait.
  bool MakeLayered(WindowHandle h, std::uint32_t colorKey, std::uint8_t alpha,
                   std::uint32_t flags) override;
  bool WaitForAnswer(WindowHandle h, unsigned ms) override;
  bool SetTopMost(WindowHandle h, bool topMost) override;
  bool MoveTo(WindowHandle h, int x, int y) override;
  bool HasLayeredWindowsApi() override;

  // How long a title write or a style change may wait for another thread.
  static constexpr UINT kSendTimeoutMs = 200;
  static constexpr DWORD kStyleTimeoutMs = 250;

 private:
  using GetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF*, BYTE*, DWORD*);
  using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  // Looked up once: older systems' user32 lacks them.
  GetLayeredFn getLayered_ = nullptr;
  SetLayeredFn setLayered_ = nullptr;
};

inline HWND ToHwnd(WindowHandle h) { return reinterpret_cast<HWND>(h); }
inline WindowHandle FromHwnd(HWND h) { return reinterpret_cast<WindowHandle>(h); }

}  // namespace tomari
