#pragma once
#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// One tick of the tracking timer: choose the target, attach, place, clock.
void TrackingTick(App& app, Ports& ports);

}  // namespace tomari
