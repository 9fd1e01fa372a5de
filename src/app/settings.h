#pragma once
// Setting.ini: the settings record read at start and written whole.
#include <string>

#include "app/app.h"
#include "app/settings_folder.h"
#include "platform/ports.h"

namespace tomari {

std::string SettingsPath(const App& app);
// Fills app.settings (and the title clock check) from SettingsPath(app).
// A file that exists but cannot be read leaves the defaults and marks the run
// (facts.SettingsUnreadable) so that nothing is ever written over it.
void LoadSettings(App& app, FileSystem& fs, TextCodec& codec);
// Writes every key in order, atomically. False when the file could not be
// written or must not be (see LoadSettings); the old file is then untouched.
bool SaveSettings(const App& app, FileSystem& fs, TextCodec& codec);

}  // namespace tomari
