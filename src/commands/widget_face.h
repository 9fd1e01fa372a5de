#pragma once
// The widget's face: the skin put onto the widget, each button's look for the
// pointer, and the tooltip and cursor of the button under it.
#include <string>

#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// The label of the widget without a skin: "トマリギ Ver.1.4.4".
std::string NoSkinLabel();

// Loads the skin named by the settings and sizes, shapes and redraws the
// widget as if the pointer were off it. Without a skin the widget is the plain
// 150 x 20 rectangle with the version text. The new skin is loaded before the
// old one is let go: when loading fails with an exception (out of memory), the
// skin on show stays, or the plain widget comes up if there was none. False
// when the skin on show was kept.
bool ApplySkin(App& app, Ports& ports);

// Every button's look for the pointer at widget pixel (x, y); `mouseButton` 1
// (the left button held) gives the button under the pointer its pressed look.
// Not shown: a look with no states when no skin is loaded.
ButtonLook ComputeButtonLook(const App& app, int x, int y, int mouseButton);
// Composes the widget's face for the pointer and presents it with the tooltip
// and cursor of the button under the pointer. Without a skin nothing is drawn.
void RefreshButtons(App& app, Ports& ports, int x, int y, int mouseButton);
// The same, but presents only when the look differs from the one on the
// screen. True when it presented.
bool RefreshButtonsIfChanged(App& app, Ports& ports, int x, int y, int mouseButton);

}  // namespace tomari
