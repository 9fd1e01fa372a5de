#include "win32/dialogs/dialog_controls.h"

#include <commctrl.h>

#include "win32/ports/text_convert.h"

namespace tomari {

std::string ControlText(HWND control) {
  const int n = GetWindowTextLengthW(control);
  if (n <= 0) return {};
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), n + 1)));
  return WideToUtf8(text);
}

void SetControlText(HWND control, const std::string& utf8) {
  SetWindowTextW(control, Utf8ToWide(utf8).c_str());
}

std::wstring ResourceString(HINSTANCE instance, UINT id) {
  const wchar_t* text = nullptr;
  // Length 0 asks for a pointer into the resource itself, so no length limit.
  const int n = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  return n > 0 ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

HWND MakeDialogToolTip(HINSTANCE instance, HWND dialog, int maxWidth) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                             instance, nullptr);
  // The longest tip wraps instead of running across the screen.
  if (tip) SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, maxWidth);
  return tip;
}

void AddControlTip(HWND tip, HWND dialog, int control, std::wstring text) {
  if (!tip) return;
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = dialog;
  ti.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, control));
  ti.lpszText = text.data();
  SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void AddControlTips(HINSTANCE instance, HWND dialog, const ControlTip* tips, int count,
                    int maxWidth) {
  HWND tip = MakeDialogToolTip(instance, dialog, maxWidth);
  for (int i = 0; i < count; ++i)
    AddControlTip(tip, dialog, tips[i].control, ResourceString(instance, tips[i].text));
}

}  // namespace tomari
