#include "win32/dialog_base.h"

#include "win32/window_base.h"

#include <algorithm>

namespace tomari {

namespace {

void CentreOn(HWND dialog, HWND owner) {
  RECT o{}, d{};
  if (!owner || !GetWindowRect(owner, &o) || !GetWindowRect(dialog, &d)) return;
  const int w = d.right - d.left, h = d.bottom - d.top;
  int x = o.left + ((o.right - o.left) - w) / 2;
  int y = o.top + ((o.bottom - o.top) - h) / 2;
  // Kept on the owner's monitor: a widget near a screen edge must not push the
  // dialog off it.
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &mi)) {
    const RECT& wa = mi.rcWork;
    x = std::max<int>(wa.left, std::min<int>(x, wa.right - w));
    y = std::max<int>(wa.top, std::min<int>(y, wa.bottom - h));
  }
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

DialogBase::~DialogBase() {
  if (hwnd_) DestroyWindow(hwnd_);
}

INT_PTR DialogBase::RunModal(HINSTANCE instance, HWND owner) {
  if (hwnd_) return -1;  // already running
  instance_ = instance;
  owner_ = owner;
  ended_ = false;
  result_ = IDCANCEL;
  HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId_), owner,
                                   &DialogBase::Proc, reinterpret_cast<LPARAM>(this));
  if (!dialog) return -1;
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  if (!ended_) ShowWindow(dialog, SW_SHOW);

  MSG msg;
  while (!ended_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // The program is ending: give up as Cancel and let the outer loop see it.
      Cancel();
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (Guarded([&] { return PreTranslate(msg); }, [] { return false; })) continue;
    if (IsDialogMessageW(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }

  // The owner first, so that the system activates it and not some other window.
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ownWindows_.Remove(slot_);
  slot_ = 0;
  hwnd_ = nullptr;
  DestroyWindow(dialog);
  return result_;
}

void DialogBase::EndWith(INT_PTR result) {
  result_ = result;
  ended_ = true;
  // Wakes the loop when this comes from outside a message.
  if (hwnd_) PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void DialogBase::Cancel() {
  OnCancel();
  EndWith(IDCANCEL);
}

void DialogBase::Opened() {
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(LoadIconW(instance_, MAKEINTRESOURCEW(IDI_TOMARI))));
  if (centre_) CentreOn(hwnd_, owner_);
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  slot_ = ownWindows_.Add(reinterpret_cast<WindowHandle>(hwnd_));
}

INT_PTR CALLBACK DialogBase::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  DialogBase* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<DialogBase*>(lp);
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<DialogBase*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  // A handler that throws cancels the dialog rather than leave it half done.
  return Guarded([&] { return self->Dispatch(msg, wp, lp); },
                 [&]() -> INT_PTR {
                   self->EndWith(IDCANCEL);
                   return FALSE;
                 });
}

INT_PTR DialogBase::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      Opened();
      if (!OnInit()) EndWith(IDCANCEL);
      return TRUE;
    case WM_CLOSE:
      Cancel();
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      const int code = HIWORD(wp);
      if (id == IDC_DIALOG_OK && code == BN_CLICKED) {
        if (OnOk()) EndWith(IDOK);
        return TRUE;
      }
      if (id == IDC_DIALOG_CANCEL && code == BN_CLICKED) {
        Cancel();
        return TRUE;
      }
      // What the dialog manager makes of Enter and Escape: neither closes.
      if (id == IDOK || id == IDCANCEL) return TRUE;
      return OnCommand(id, code, reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
    }
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (!OnNotify(*reinterpret_cast<const NMHDR*>(lp), result)) return FALSE;
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
      return TRUE;
    }
  }
  INT_PTR result = FALSE;
  return OnMessage(msg, wp, lp, result) ? result : FALSE;
}

}  // namespace tomari
