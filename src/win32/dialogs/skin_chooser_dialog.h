#pragma once
// The skin chooser: the skins under the Skins folder with a preview of the
// selected one, and a skin taken from any other folder.
#include <windows.h>

#include <optional>
#include <string>

#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// Shows the chooser over `owner` with `currentSkin` (the skin file named by the
// caller) selected when listed. The chosen .tsk path on OK, nothing on Cancel.
std::optional<std::string> ShowSkinChooser(HINSTANCE instance, HWND owner, App& app, Ports& ports,
                                           const std::string& currentSkin);

}  // namespace tomari
