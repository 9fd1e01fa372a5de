#pragma once
// The widget's popup menu, built from the resources and kept in step with the
// command state each time it opens.
#include <windows.h>

#include "app/app.h"
#include "commands/menu_handlers.h"

namespace tomari {

// The shown part of the menu resource ("Menu"'s submenu); the caller destroys
// the returned menu bar with DestroyMenu.
HMENU LoadPopupMenu(HINSTANCE instance, HMENU* popup);
// Checks and enabled states from the command state.
void SyncPopupMenu(HMENU popup, const CommandState& state);
MenuItem MenuItemFromId(UINT id);
// Shows the menu at `at` (screen pixels) for `owner`, the right button picking
// items too, and returns the item picked without running it.
MenuItem TrackWidgetMenu(HINSTANCE instance, HWND owner, const CommandState& state, POINT at);

}  // namespace tomari
