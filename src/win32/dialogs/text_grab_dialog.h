#pragma once
// The text grab: the texts the target window shows, listed for reading and
// copying.
#include <windows.h>

#include "app/app.h"
#include "platform/text_grab.h"

namespace tomari {

// Shows the list over `owner` for `app.TargetWindow`, read again on each
// collection, until it is closed.
void ShowTextGrab(HINSTANCE instance, HWND owner, App& app, WindowTexts& texts,
                  TextClipboard& clipboard);

}  // namespace tomari
