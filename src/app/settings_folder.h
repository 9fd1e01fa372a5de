#pragma once
// Where Setting.ini lives. Beside the program, as always, while that folder can
// be written; a program unpacked into a folder that cannot be written (under
// "Program Files", on a read-only share) keeps its settings in the user's
// application-data folder instead, so they are not lost on every run.
#include <string>

#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

inline constexpr const char* kSettingsFileName = "Setting.ini";
inline constexpr const char* kAppDataSubfolder = "Tomari\\";

// The folder that holds Setting.ini (and whatever else belongs beside it),
// ending in "\". AppFolder until ChooseSettingsFolder has decided otherwise.
std::string SettingsFolder(const App& app);

// Decides SettingsFolder for this run, before the settings are read:
// - Setting.ini beside the program can be created or replaced: there.
// - Otherwise, when <AppData>\Tomari\Setting.ini exists: there (a later run).
// - Otherwise the first such run: <AppData>\Tomari\ is made and Setting.ini is
//   started there with the bytes of the program folder's file (an administrator
//   may have put one there), and facts.SettingsFolderMoved is set.
// When the new place cannot be made either, it stays with the program folder.
void ChooseSettingsFolder(App& app, FileSystem& fs);

// Tells the user, once (the run that moved the settings), where they are kept.
void TellSettingsFolderMoved(const App& app, Prompts& prompts, WindowHandle owner);
// Tells the user that Setting.ini could not be read (after LoadSettings): this
// run goes on with the defaults and leaves the file as it is.
void TellSettingsUnreadable(const App& app, Prompts& prompts, WindowHandle owner);

}  // namespace tomari
