#include "app/settings.h"

#include <cstdint>

#include "app/settings_folder.h"
#include "base/ini.h"

namespace tomari {
namespace {

constexpr const char* kDefaultSkin = "Skins\\Default\\Default.tsk";
constexpr int kMaxExclusionEntries = 999;

// One key of Setting.ini: an integer field with its default, or a string field
// (whose defaults depend on the application folder, see LoadSettings).
struct Key {
  const char* section;
  const char* key;
  std::int32_t Settings::*intField = nullptr;
  std::int32_t intDefault = 0;
  std::string Settings::*stringField = nullptr;
  bool quoted = false;  // always written in double quotes, as earlier versions did
};

// In the order in which the file is written.
const Key kKeys[] = {
    {"Main", "Timing", &Settings::MainTiming, 100},
    {"Main", "Multi", &Settings::MainMulti, 0},
    {"Main", "Skin", nullptr, 0, &Settings::MainSkin},
    {"Position", "Auto", &Settings::PositionAuto, 1},
    {"Position", "X", &Settings::PositionX, 2},
    {"Position", "Y", &Settings::PositionY, 0},
    {"Position", "X-Offset", &Settings::PositionXOffset, 0},
    {"Position", "Y-Offset", &Settings::PositionYOffset, 0},
    {"Layer", "Transparency", &Settings::LayerTransparency, 128},
    {"Drag", "Parent", &Settings::DragParent, 0},
    {"Capture", "Type", &Settings::CaptureType, 0},
    {"Capture", "SaveType", &Settings::CaptureSaveType, 0},
    {"Capture", "SaveFolder", nullptr, 0, &Settings::CaptureSaveFolder},
    {"Capture", "FileType", &Settings::CaptureFileType, 0},
    {"Capture", "Jpeg_Value", &Settings::CaptureJpegValue, 100},
    {"Capture", "Jpeg_Progressive", &Settings::CaptureJpegProgressive, 0},
    {"Capture", "Png_Value", &Settings::CapturePngValue, 0},
    {"TitleClock", "Position", &Settings::ClockPosition, 1},
    {"TitleClock", "FormatText", nullptr, 0, &Settings::ClockFormatText, true},
    {"TitleClock", "WorldTime", &Settings::ClockWorldTime, 17},
    {"TitleClock", "WorldTime_PM", &Settings::ClockWorldTimePM, 0},
    {"TitleClock", "WorldTime_Hour", &Settings::ClockWorldTimeHour, 0},
    {"TitleClock", "WorldTime_Minute", &Settings::ClockWorldTimeMinute, 0},
    {"TitleClock", "WorldTime_SDT", &Settings::ClockWorldTimeSDT, 0},
};

// The title clock's check mark is menu state, not a field of the record.
constexpr const char* kClockSection = "TitleClock";
constexpr const char* kClockCheck = "Check";

std::string StringDefault(const std::string Settings::*field, const StartupFacts& facts) {
  if (field == &Settings::CaptureSaveFolder) return facts.AppFolder;
  if (field == &Settings::ClockFormatText) return Settings{}.ClockFormatText;
  return {};  // Skin: an empty value is replaced below
}

// "AntiPercher001" ... "AntiPercher999"; more digits only beyond that.
std::string ExclusionSection(std::size_t number) {
  std::string digits = std::to_string(number);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return "AntiPercher" + digits;
}

}  // namespace

std::string SettingsPath(const App& app) { return SettingsFolder(app) + kSettingsFileName; }

void LoadSettings(App& app, FileSystem& fs, TextCodec& codec) {
  Settings& s = app.settings;
  IniFile ini(codec);
  app.facts.SettingsUnreadable =
      ini.Load(fs, SettingsPath(app)) == IniFile::LoadResult::kUnreadable;

  // Our own values are read in full: the 127-byte cut of the profile functions
  // would break a long (Japanese) skin path or save folder after one restart.
  constexpr std::size_t kWhole = 0;
  for (const Key& k : kKeys) {
    if (k.intField != nullptr) {
      s.*k.intField = ini.ReadInt(k.section, k.key, k.intDefault);
    } else {
      s.*k.stringField =
          ini.ReadString(k.section, k.key, StringDefault(k.stringField, app.facts), kWhole);
    }
  }
  if (s.MainSkin.empty()) s.MainSkin = app.facts.AppFolder + kDefaultSkin;
  if (s.CaptureSaveFolder.empty() || s.CaptureSaveFolder.back() != '\\') {
    s.CaptureSaveFolder += '\\';
  }

  app.menu.TitleClockChecked = ini.ReadInt(kClockSection, kClockCheck, 0) != 0;

  // JPEG and PNG are written by the imaging library only.
  if (!app.facts.HasImageLibrary) s.CaptureFileType = 0;

  // The list ends at the first section without a name.
  s.ExclusionEntries.clear();
  for (int i = 1; i <= kMaxExclusionEntries; ++i) {
    const std::string section = ExclusionSection(static_cast<std::size_t>(i));
    ExclusionEntry entry;
    entry.Name = ini.ReadString(section, "Name", "", kWhole);
    if (entry.Name.empty()) break;
    entry.WindowTitle = ini.ReadString(section, "WindowTitle", "", kWhole);
    entry.InTitle = ini.ReadInt(section, "InTitle", 0);
    entry.WindowClass = ini.ReadString(section, "WindowClass", "", kWhole);
    s.ExclusionEntries.push_back(std::move(entry));
  }
}

bool SaveSettings(const App& app, FileSystem& fs, TextCodec& codec) {
  const Settings& s = app.settings;
  const std::string path = SettingsPath(app);
  // Writing over a file we could not read would lose whatever else it holds:
  // what this run holds are defaults, not the user's settings.
  if (app.facts.SettingsUnreadable) return false;
  IniFile ini(codec);
  if (ini.Load(fs, path) == IniFile::LoadResult::kUnreadable) return false;

  for (const Key& k : kKeys) {
    if (k.intField != nullptr) {
      ini.Write(k.section, k.key, FormatIniInt(s.*k.intField));
    } else if (k.quoted) {
      ini.Write(k.section, k.key, "\"" + s.*k.stringField + "\"");
    } else {
      ini.Write(k.section, k.key, QuoteIniValue(s.*k.stringField));
    }
  }
  ini.Write(kClockSection, kClockCheck, FormatIniInt(app.menu.TitleClockChecked ? -1 : 0));

  std::size_t number = 0;
  for (const ExclusionEntry& entry : s.ExclusionEntries) {
    const std::string section = ExclusionSection(++number);
    ini.Write(section, "Name", QuoteIniValue(entry.Name));
    ini.Write(section, "WindowTitle", QuoteIniValue(entry.WindowTitle));
    ini.Write(section, "InTitle", FormatIniInt(entry.InTitle));
    ini.Write(section, "WindowClass", QuoteIniValue(entry.WindowClass));
  }
  // Sections of a longer earlier list stay; this empty name hides them. A
  // full list needs none: reading stops there anyway, and a section beyond it
  // was never read, so blanking it would lose what it holds.
  if (number < static_cast<std::size_t>(kMaxExclusionEntries))
    ini.Write(ExclusionSection(number + 1), "Name", "");

  return ini.Save(fs, path);
}

}  // namespace tomari
