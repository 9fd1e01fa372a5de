#pragma once
// The close request: the steps that end a run, above the subsystems they touch.
#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// Gives the target back its state, leaves the top-most band, removes the
// title clock and saves the settings. The caller then frees the skin and ends.
void CloseRequest(App& app, Ports& ports);

}  // namespace tomari
