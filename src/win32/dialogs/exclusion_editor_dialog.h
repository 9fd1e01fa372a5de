#pragma once
// The exclusion entry editor: one entry, edited in place.
#include <windows.h>

#include "app/app.h"

namespace tomari {

// Shows the editor over `owner` with `entry`'s fields. True on OK, with the
// checked and trimmed fields written back into `entry`; false (Cancel, the
// close box) leaves `entry` as it was.
bool ShowExclusionEditor(HINSTANCE instance, HWND owner, App& app, ExclusionEntry& entry);

}  // namespace tomari
