#include "app/settings_folder.h"

namespace tomari {

std::string SettingsFolder(const App& app) {
  return app.facts.SettingsFolder.empty() ? app.facts.AppFolder : app.facts.SettingsFolder;
}

void ChooseSettingsFolder(App& app, FileSystem& fs) {
  StartupFacts& facts = app.facts;
  facts.SettingsFolder = facts.AppFolder;
  facts.SettingsFolderMoved = false;
  const std::string beside = facts.AppFolder + kSettingsFileName;
  if (fs.CanReplace(beside)) return;

  const std::string appData = fs.AppDataFolder();
  if (appData.empty()) return;
  const std::string folder = appData + kAppDataSubfolder;
  const std::string moved = folder + kSettingsFileName;
  if (fs.Exists(moved)) {
    facts.SettingsFolder = folder;
    return;
  }
  // The user's settings come along; a file that cannot be read stays where it
  // is and is neither copied nor written over (LoadSettings marks it).
  std::string bytes;
  if (fs.Exists(beside) && !fs.ReadAll(beside, bytes)) return;
  if (!fs.MakeFolder(folder) || !fs.WriteAtomic(moved, bytes)) return;
  facts.SettingsFolder = folder;
  facts.SettingsFolderMoved = true;
}

void TellSettingsFolderMoved(const App& app, Prompts& prompts, WindowHandle owner) {
  if (!app.facts.SettingsFolderMoved) return;
  prompts.ShowMessage(owner,
                      "プログラムのフォルダーに設定ファイル（" + std::string(kSettingsFileName) +
                          "）を保存できません。\n設定は次の場所に保存します。\n\n" +
                          SettingsFolder(app) + kSettingsFileName,
                      kDisplayName, kMbOk | kMbIconInformation);
}

void TellSettingsUnreadable(const App& app, Prompts& prompts, WindowHandle owner) {
  if (!app.facts.SettingsUnreadable) return;
  prompts.ShowMessage(
      owner,
      "設定ファイルを読み込めません。\n" + SettingsFolder(app) + kSettingsFileName +
          "\n\n他のプログラムが使用中か、読み取りが許可されていない可能性があります。"
          "\n今回は既定の設定で動作し、このファイルには保存しません。",
      kDisplayName, kMbOk | kMbIconExclamation);
}

}  // namespace tomari
