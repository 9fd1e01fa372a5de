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
// Gives each control in `tips` (control id, string id) a tooltip; the tooltip
// window is owned by the dialog and goes with it.
struct ControlTip {
  int control;
  UINT text;
};
void AddControlTips(HINSTANCE instance, HWND dialog, const ControlTip* tips, int count);

}  // namespace tomari
