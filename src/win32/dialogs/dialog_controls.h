#pragma once
// Small helpers the dialogs share for moving text in and out of controls.
#include <windows.h>

#include <string>

namespace tomari {

// A control's text as UTF-8.
std::string ControlText(HWND control);
void SetControlText(HWND control, const std::string& utf8);
// A string of the program's string table.
std::wstring ResourceString(HINSTANCE instance, UINT id);
// A tooltip window for the dialog's controls, owned by the dialog (it goes with
// it); tips wider than `maxWidth` pixels wrap. Null when it cannot be made.
HWND MakeDialogToolTip(HINSTANCE instance, HWND dialog, int maxWidth = 360);
// Gives one control of the dialog the tooltip text (copied by the tooltip).
void AddControlTip(HWND tip, HWND dialog, int control, std::wstring text);
// Gives each control in `tips` (control id, string id) a tooltip.
struct ControlTip {
  int control;
  UINT text;
};
void AddControlTips(HINSTANCE instance, HWND dialog, const ControlTip* tips, int count,
                    int maxWidth = 360);

}  // namespace tomari
