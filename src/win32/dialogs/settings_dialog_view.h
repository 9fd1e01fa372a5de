#pragma once
// The settings dialog's window: nine pages behind a tab control over a
// SettingsDialogModel, which holds every value and rule.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "app/app.h"
#include "dialogs/settings_dialog.h"
#include "platform/ports.h"

namespace tomari {

// The dialogs the settings dialog opens over itself. Each is given the
// settings dialog as owner; an empty hook does nothing.
struct SettingsDialogServices {
  // The chosen skin file, or nothing when the chooser was cancelled.
  std::function<std::optional<std::string>(HWND owner, const std::string& currentSkin)> chooseSkin;
  // True on OK, with `entry` updated; on Cancel `entry` is left as it was.
  std::function<bool(HWND owner, ExclusionEntry& entry)> editExclusion;
  // The composed format text for the zone in `zone`, or nothing on Cancel.
  std::function<std::optional<std::string>(HWND owner, const Settings& zone)> composeFormat;
};

// Shows the dialog modally over `owner`; true when it closed by OK. The model
// keeps the page last shown.
bool ShowSettingsDialogView(HINSTANCE instance, HWND owner, App& app, Ports& ports,
                            SettingsDialogModel& model, const SettingsDialogServices& services);

}  // namespace tomari
