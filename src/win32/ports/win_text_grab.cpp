#include "win32/ports/win_text_grab.h"

#include <windows.h>

#include <cstring>

#include "win32/ports/text_convert.h"

namespace tomari {

namespace {

HWND Hwnd(WindowHandle h) { return reinterpret_cast<HWND>(h); }
HMENU Hmenu(MenuHandle m) { return reinterpret_cast<HMENU>(m); }

// Enough UTF-16 units for 32767 characters even when all of them are pairs.
constexpr LRESULT kMaxReadUnits = 2 * 32767;

BOOL CALLBACK AddChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<WindowHandle>*>(list)->push_back(
      reinterpret_cast<WindowHandle>(child));
  return TRUE;
}

}  // namespace

std::int64_t Win32WindowTexts::NowMs() { return static_cast<std::int64_t>(GetTickCount64()); }

std::string Win32WindowTexts::Title(WindowHandle h) {
  // InternalGetWindowText reads the stored title without a message, so a hung
  // window answers at once.
  std::wstring buffer(1024, L'\0');
  const int n = InternalGetWindowText(Hwnd(h), buffer.data(), static_cast<int>(buffer.size()));
  return n > 0 ? WideToUtf8(std::wstring_view(buffer.data(), static_cast<size_t>(n))) : "";
}

std::vector<WindowHandle> Win32WindowTexts::Descendants(WindowHandle h) {
  std::vector<WindowHandle> out;
  if (h != 0 && IsWindow(Hwnd(h))) EnumChildWindows(Hwnd(h), AddChild, reinterpret_cast<LPARAM>(&out));
  return out;
}

std::string Win32WindowTexts::TextByMessage(WindowHandle h, int timeoutMs) {
  if (timeoutMs <= 0) return {};
  const DWORD start = GetTickCount();
  DWORD_PTR length = 0;
  const UINT flags = SMTO_ABORTIFHUNG | SMTO_BLOCK;
  if (SendMessageTimeoutW(Hwnd(h), WM_GETTEXTLENGTH, 0, 0, flags, static_cast<UINT>(timeoutMs),
                          &length) == 0 ||
      length == 0)
    return {};
  const DWORD spent = GetTickCount() - start;
  if (spent >= static_cast<DWORD>(timeoutMs)) return {};
  const LRESULT units = static_cast<LRESULT>(length) > kMaxReadUnits ? kMaxReadUnits : length;
  std::wstring buffer(static_cast<size_t>(units) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (SendMessageTimeoutW(Hwnd(h), WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                          flags, static_cast<UINT>(timeoutMs) - spent, &copied) == 0)
    return {};
  buffer.resize(wcsnlen(buffer.data(), buffer.size()));
  return WideToUtf8(buffer);
}

MenuHandle Win32WindowTexts::MenuBar(WindowHandle h) {
  // A child window's "menu" is its control id, not a menu.
  if ((GetWindowLongW(Hwnd(h), GWL_STYLE) & WS_CHILD) != 0) return 0;
  return reinterpret_cast<MenuHandle>(GetMenu(Hwnd(h)));
}

MenuHandle Win32WindowTexts::SystemMenu(WindowHandle h) {
  return reinterpret_cast<MenuHandle>(GetSystemMenu(Hwnd(h), FALSE));
}

int Win32WindowTexts::MenuItemCount(MenuHandle m) {
  const int n = GetMenuItemCount(Hmenu(m));
  return n < 0 ? 0 : n;
}

std::string Win32WindowTexts::MenuItemText(MenuHandle m, int position) {
  const int n = GetMenuStringW(Hmenu(m), static_cast<UINT>(position), nullptr, 0, MF_BYPOSITION);
  if (n <= 0) return {};
  std::wstring buffer(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetMenuStringW(Hmenu(m), static_cast<UINT>(position), buffer.data(),
                                 static_cast<int>(buffer.size()), MF_BYPOSITION);
  return got > 0 ? WideToUtf8(std::wstring_view(buffer.data(), static_cast<size_t>(got))) : "";
}

MenuHandle Win32WindowTexts::SubMenu(MenuHandle m, int position) {
  return reinterpret_cast<MenuHandle>(GetSubMenu(Hmenu(m), position));
}

bool Win32TextClipboard::SetText(const std::string& text) {
  const std::wstring wide = Utf8ToWide(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return false;
  void* p = GlobalLock(memory);
  if (p == nullptr) {
    GlobalFree(memory);
    return false;
  }
  std::memcpy(p, wide.c_str(), bytes);
  GlobalUnlock(memory);
  if (!OpenClipboard(Hwnd(owner_))) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  const bool ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!ok) GlobalFree(memory);
  return ok;
}

}  // namespace tomari
