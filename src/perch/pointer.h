#pragma once
// Mouse input on the widget, in widget pixels: a left click runs the skin button
// under the pointer, a right click opens the popup menu, a drag with either
// button moves the widget and remembers where it was dropped, and a right drag
// carries the target (with Ctrl its owners too). The hover tick keeps the
// buttons' looks, the tooltip and the cursor in step with the pointer.
#include "app/app.h"
#include "commands/commands.h"
#include "platform/ports.h"

namespace tomari {

class CommandSink;

// Button codes; more than one bit when several buttons are held.
inline constexpr int kButtonLeft = 1;
inline constexpr int kButtonRight = 2;
inline constexpr int kButtonMiddle = 4;
// Modifier mask.
inline constexpr int kModShift = 1;
inline constexpr int kModCtrl = 2;
inline constexpr int kModAlt = 4;

// The hover tick's period in milliseconds.
inline constexpr unsigned kHoverInterval = 50;

// (x, y) is the pointer relative to the widget's top-left corner; it goes
// negative outside the widget while the mouse is captured.
void PointerPress(App& app, Ports& ports, int button, int modifiers, int x, int y);
void PointerMove(App& app, Ports& ports, int button, int modifiers, int x, int y);
// A release where the widget stands where it stood at the press is a click.
// Pressed is cleared only once the command or the menu has returned, so the
// tracking tick keeps off the widget meanwhile.
CommandResult PointerRelease(App& app, Ports& ports, CommandSink& sink, int button, int modifiers,
                             int x, int y);
// The press ends without a command: its release went elsewhere (the mouse was
// taken by the system) or no button is held any more.
void PointerCaptureLost(App& app);
// True when it presented a new face.
bool HoverTick(App& app, Ports& ports);

// Moves `window` by (dx, dy) screen pixels; with Ctrl first its owner chain,
// nearest first, DragParent levels of it (0: all). Each window moves to where
// it stood when the drag began (DragState::DragOrigins) plus the drag's whole
// distance so far, (dx, dy) being this step's part of it.
void MoveWindowChain(App& app, WindowSystem& windows, WindowHandle window, int dx, int dy,
                     int modifiers);

}  // namespace tomari
