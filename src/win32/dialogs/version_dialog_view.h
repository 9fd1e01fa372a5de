#pragma once
// The version dialog's window, opened by the ABOUT button and the menu.
#include <windows.h>

#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// Modal over `owner` (the widget); returns when the dialog closes. The caller
// keeps the widget busy around it.
void ShowVersionDialog(HINSTANCE instance, HWND owner, App& app, Ports& ports);

}  // namespace tomari
