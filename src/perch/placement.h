#pragma once
#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// The base position for an anchor value along one axis: `lo`/`hi` are the
// target's edges, `size` the widget's extent. Unknown anchors give 0.
int AnchorBase(int anchor, int lo, int hi, int size);
// The whole rectangle of the monitor that overlaps `r` most, else the nearest.
Rect GetMonitorRect(Screen& screen, const Rect& r);
// Puts the widget at its anchor beside `target`, kept on its monitor.
void PlaceWidget(App& app, Ports& ports, WindowHandle target);
// The same for a target whose outer rectangle the caller has just read.
void PlaceWidgetAt(App& app, Ports& ports, const Rect& target);

}  // namespace tomari
