#pragma once
// Start-up and the widget's load steps.
#include <optional>
#include <string>

#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// Ends `folder` with a backslash.
std::string WithTrailingBackslash(std::string folder);
// Empties the own-window list, finds TransG32.dll and the layered-window API.
void ProbeCapabilities(App& app, FileSystem& fs, WindowSystem& windows);
// Whether a second instance may run, read straight from Setting.ini.
bool MultipleInstancesAllowed(const std::string& appFolder, FileSystem& fs, TextCodec& codec);
// The tracking timer's period for a Timing value; nullopt stops the tick.
std::optional<unsigned> TrackingInterval(std::int32_t timing);
// The core part of the widget's load: settings, own-window slot, no target yet.
void WidgetLoad(App& app, Ports& ports);

}  // namespace tomari
