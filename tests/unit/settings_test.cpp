#include "app/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/ini.h"
#include "support/fake_codec.h"
#include "support/fake_files.h"

namespace tomari {
namespace {

using test::FakeCodec;
using test::FakeFileSystem;

constexpr const char* kFolder = "C:\\Tools\\Tomari\\";
constexpr const char* kFile = "C:\\Tools\\Tomari\\Setting.ini";

std::string Repeat(const std::string& s, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += s;
  return out;
}

// Every stored field, so a field that is not saved or not loaded shows up.
void ExpectSameSettings(const Settings& a, const Settings& b) {
  EXPECT_EQ(a.MainTiming, b.MainTiming);
  EXPECT_EQ(a.MainMulti, b.MainMulti);
  EXPECT_EQ(a.MainSkin, b.MainSkin);
  EXPECT_EQ(a.PositionAuto, b.PositionAuto);
  EXPECT_EQ(a.PositionX, b.PositionX);
  EXPECT_EQ(a.PositionY, b.PositionY);
  EXPECT_EQ(a.PositionXOffset, b.PositionXOffset);
  EXPECT_EQ(a.PositionYOffset, b.PositionYOffset);
  EXPECT_EQ(a.LayerTransparency, b.LayerTransparency);
  EXPECT_EQ(a.DragParent, b.DragParent);
  EXPECT_EQ(a.CaptureType, b.CaptureType);
  EXPECT_EQ(a.CaptureSaveType, b.CaptureSaveType);
  EXPECT_EQ(a.CaptureSaveFolder, b.CaptureSaveFolder);
  EXPECT_EQ(a.CaptureFileType, b.CaptureFileType);
  EXPECT_EQ(a.CaptureJpegValue, b.CaptureJpegValue);
  EXPECT_EQ(a.CaptureJpegProgressive, b.CaptureJpegProgressive);
  EXPECT_EQ(a.CapturePngValue, b.CapturePngValue);
  EXPECT_EQ(a.ClockPosition, b.ClockPosition);
  EXPECT_EQ(a.ClockFormatText, b.ClockFormatText);
  EXPECT_EQ(a.ClockWorldTime, b.ClockWorldTime);
  EXPECT_EQ(a.ClockWorldTimePM, b.ClockWorldTimePM);
  EXPECT_EQ(a.ClockWorldTimeHour, b.ClockWorldTimeHour);
  EXPECT_EQ(a.ClockWorldTimeMinute, b.ClockWorldTimeMinute);
  EXPECT_EQ(a.ClockWorldTimeSDT, b.ClockWorldTimeSDT);
  EXPECT_EQ(a.ExclusionEntries, b.ExclusionEntries);
}

class SettingsTest : public ::testing::Test {
 protected:
  App NewApp(const std::string& folder = kFolder, bool imageLibrary = false) {
    App app;
    app.facts.AppFolder = folder;
    app.facts.HasImageLibrary = imageLibrary;
    return app;
  }
  App Loaded(const std::string& folder = kFolder, bool imageLibrary = false) {
    App app = NewApp(folder, imageLibrary);
    LoadSettings(app, fs_, codec_);
    return app;
  }
  FakeCodec codec_;
  FakeFileSystem fs_;
};

// ---- First start ------------------------------------------------------------

using SettingsFirstStart = SettingsTest;

TEST_F(SettingsFirstStart, NoFileGivesTheDefaults) {
  App app = NewApp();
  // Whatever the record held before is replaced.
  app.settings.MainTiming = 7;
  app.settings.ExclusionEntries.push_back({"x", "y", 1, "z"});
  app.menu.TitleClockChecked = true;
  LoadSettings(app, fs_, codec_);

  Settings expected;
  expected.MainSkin = std::string(kFolder) + "Skins\\Default\\Default.tsk";
  expected.CaptureSaveFolder = kFolder;
  ExpectSameSettings(app.settings, expected);
  EXPECT_FALSE(app.menu.TitleClockChecked);
  EXPECT_EQ(SettingsPath(app), kFile);
}

TEST_F(SettingsFirstStart, FirstSaveWritesEveryKeyInOrderOnce) {
  App app = Loaded();
  ASSERT_TRUE(SaveSettings(app, fs_, codec_));
  EXPECT_EQ(fs_.writeCalls, 1u);
  EXPECT_EQ(fs_.Get(kFile),
            "[Main]\r\n"
            "Timing= 100\r\n"
            "Multi= 0\r\n"
            "Skin=C:\\Tools\\Tomari\\Skins\\Default\\Default.tsk\r\n"
            "[Position]\r\n"
            "Auto= 1\r\n"
            "X= 2\r\n"
            "Y= 0\r\n"
            "X-Offset= 0\r\n"
            "Y-Offset= 0\r\n"
            "[Layer]\r\n"
            "Transparency= 128\r\n"
            "[Drag]\r\n"
            "Parent= 0\r\n"
            "[Capture]\r\n"
            "Type= 0\r\n"
            "SaveType= 0\r\n"
            "SaveFolder=C:\\Tools\\Tomari\\\r\n"
            "FileType= 0\r\n"
            "Jpeg_Value= 100\r\n"
            "Jpeg_Progressive= 0\r\n"
            "Png_Value= 0\r\n"
            "[TitleClock]\r\n"
            "Position= 1\r\n"
            "FormatText=\" <yyyy/mm/dd hh:mm:ss> \"\r\n"
            "WorldTime= 17\r\n"
            "WorldTime_PM= 0\r\n"
            "WorldTime_Hour= 0\r\n"
            "WorldTime_Minute= 0\r\n"
            "WorldTime_SDT= 0\r\n"
            "Check= 0\r\n"
            "[AntiPercher001]\r\n"
            "Name=\r\n");
}

// ---- Round trips --------------------------------------------------------------

using SettingsRoundTrip = SettingsTest;

TEST_F(SettingsRoundTrip, EveryFieldSurvivesSaveAndLoad) {
  App app = NewApp(kFolder, true);
  Settings& s = app.settings;
  s.MainTiming = 250;
  s.MainMulti = 1;
  // Longer than the 127 bytes of the profile functions, in Shift-JIS too.
  s.MainSkin = "E:\\スキン集\\" + Repeat("とても長いフォルダ名", 8) + "\\Blue.tsk";
  s.PositionAuto = 0;
  s.PositionX = 4;
  s.PositionY = 3;
  s.PositionXOffset = -12;
  s.PositionYOffset = 12;
  s.LayerTransparency = 200;
  s.DragParent = 10;
  s.CaptureType = 1;
  s.CaptureSaveType = 1;
  s.CaptureSaveFolder = "F:\\" + Repeat("画像フォルダ", 15) + "\\";
  s.CaptureFileType = 2;
  s.CaptureJpegValue = 75;
  s.CaptureJpegProgressive = -1;
  s.CapturePngValue = 2;
  s.ClockPosition = 0;
  s.ClockFormatText = "  [hh:mm:ss] ";
  s.ClockWorldTime = 0;
  s.ClockWorldTimePM = -1;
  s.ClockWorldTimeHour = 5;
  s.ClockWorldTimeMinute = 30;
  s.ClockWorldTimeSDT = 1;
  s.ExclusionEntries = {{"メモ帳", "無題 - メモ帳", -1, "Notepad"},
                        {"Calc", "", 0, "CalcFrame"},
                        {"#1 ; semi", "Title ; with # signs", 0, ""}};
  app.menu.TitleClockChecked = true;
  ASSERT_TRUE(SaveSettings(app, fs_, codec_));

  const std::string bytes = *fs_.Get(kFile);
  EXPECT_NE(bytes.find("X-Offset=-12\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("Y-Offset= 12\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("Check=-1\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("FormatText=\"  [hh:mm:ss] \"\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("[AntiPercher004]\r\nName=\r\n"), std::string::npos);
  EXPECT_NE(bytes.find(FakeCodec::Sjis("Name=メモ帳\r\n")), std::string::npos);

  App back = Loaded(kFolder, true);
  ExpectSameSettings(back.settings, s);
  EXPECT_TRUE(back.menu.TitleClockChecked);

  // A second save of what was loaded changes nothing.
  ASSERT_TRUE(SaveSettings(back, fs_, codec_));
  EXPECT_EQ(fs_.Get(kFile), bytes);
}

TEST_F(SettingsRoundTrip, ATitleOutsideShiftJisMakesTheFileUtf8) {
  fs_.Put(kFile, FakeCodec::Sjis("; 手で書いた\r\n[Main]\r\nTiming=50\r\n"));
  App app = Loaded();
  app.settings.ExclusionEntries.push_back({"Café", "Ελληνικά 🙂", 0, "Frame"});
  ASSERT_TRUE(SaveSettings(app, fs_, codec_));
  const std::string bytes = *fs_.Get(kFile);
  EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF; 手で書いた\r\n[Main]\r\nTiming= 50\r\n", 0), 0u);
  EXPECT_NE(bytes.find("WindowTitle=Ελληνικά 🙂\r\n"), std::string::npos);

  App back = Loaded();
  ExpectSameSettings(back.settings, app.settings);
  // And it stays UTF-8 from then on.
  ASSERT_TRUE(SaveSettings(back, fs_, codec_));
  EXPECT_EQ(fs_.Get(kFile), bytes);
}

// ---- Files edited by hand ----------------------------------------------------

using SettingsHandEdited = SettingsTest;

TEST_F(SettingsHandEdited, IsReadAndRewrittenKeepingWhatItDoesNotKnow) {
  fs_.Put(kFile, FakeCodec::Sjis("; Tomari settings, edited by hand\r\n"
                                 "[main]\r\n"
                                 "Timing=50\r\n"
                                 "Skin=C:\\Skins\\Blue\\Blue.tsk\r\n"
                                 "Extra=keep me\r\n"
                                 "[Position]\r\n"
                                 "X-Offset=-12\r\n"
                                 "Y-Offset = 7\r\n"
                                 "[Capture]\r\n"
                                 "SaveFolder=D:\\Shots\r\n"
                                 "FileType=2\r\n"
                                 "\r\n"
                                 "[TitleClock]\r\n"
                                 "Check=-1\r\n"
                                 "FormatText=\" [hh:mm] \"\r\n"
                                 "[AntiPercher001]\r\n"
                                 "Name=メモ帳\r\n"
                                 "WindowTitle=無題 - メモ帳\r\n"
                                 "InTitle=-1\r\n"
                                 "WindowClass=Notepad\r\n"
                                 "[AntiPercher002]\r\n"
                                 "Name=Calc\r\n"
                                 "WindowClass=CalcFrame\r\n"
                                 "[AntiPercher004]\r\n"
                                 "Name=Orphan\r\n"
                                 "[Unknown]\r\n"
                                 "; a note\r\n"
                                 "Foo=bar"));
  App app = Loaded(kFolder, false);
  const Settings& s = app.settings;
  EXPECT_EQ(s.MainTiming, 50);
  EXPECT_EQ(s.MainMulti, 0);
  EXPECT_EQ(s.MainSkin, "C:\\Skins\\Blue\\Blue.tsk");
  EXPECT_EQ(s.PositionXOffset, -12);
  EXPECT_EQ(s.PositionYOffset, 7);
  EXPECT_EQ(s.CaptureSaveFolder, "D:\\Shots\\");
  EXPECT_EQ(s.CaptureFileType, 0);  // no imaging library
  EXPECT_EQ(s.ClockFormatText, " [hh:mm] ");
  EXPECT_TRUE(app.menu.TitleClockChecked);
  ASSERT_EQ(s.ExclusionEntries.size(), 2u);  // 003 is missing: 004 is not read
  EXPECT_EQ(s.ExclusionEntries[0], (ExclusionEntry{"メモ帳", "無題 - メモ帳", -1, "Notepad"}));
  EXPECT_EQ(s.ExclusionEntries[1], (ExclusionEntry{"Calc", "", 0, "CalcFrame"}));

  ASSERT_TRUE(SaveSettings(app, fs_, codec_));
  EXPECT_EQ(fs_.Get(kFile), FakeCodec::Sjis("; Tomari settings, edited by hand\r\n"
                                            "[main]\r\n"
                                            "Timing= 50\r\n"
                                            "Skin=C:\\Skins\\Blue\\Blue.tsk\r\n"
                                            "Extra=keep me\r\n"
                                            "Multi= 0\r\n"
                                            "[Position]\r\n"
                                            "X-Offset=-12\r\n"
                                            "Y-Offset= 7\r\n"
                                            "Auto= 1\r\n"
                                            "X= 2\r\n"
                                            "Y= 0\r\n"
                                            "[Capture]\r\n"
                                            "SaveFolder=D:\\Shots\\\r\n"
                                            "FileType= 0\r\n"
                                            "Type= 0\r\n"
                                            "SaveType= 0\r\n"
                                            "Jpeg_Value= 100\r\n"
                                            "Jpeg_Progressive= 0\r\n"
                                            "Png_Value= 0\r\n"
                                            "\r\n"
                                            "[TitleClock]\r\n"
                                            "Check=-1\r\n"
                                            "FormatText=\" [hh:mm] \"\r\n"
                                            "Position= 1\r\n"
                                            "WorldTime= 17\r\n"
                                            "WorldTime_PM= 0\r\n"
                                            "WorldTime_Hour= 0\r\n"
                                            "WorldTime_Minute= 0\r\n"
                                            "WorldTime_SDT= 0\r\n"
                                            "[AntiPercher001]\r\n"
                                            "Name=メモ帳\r\n"
                                            "WindowTitle=無題 - メモ帳\r\n"
                                            "InTitle=-1\r\n"
                                            "WindowClass=Notepad\r\n"
                                            "[AntiPercher002]\r\n"
                                            "Name=Calc\r\n"
                                            "WindowClass=CalcFrame\r\n"
                                            "WindowTitle=\r\n"
                                            "InTitle= 0\r\n"
                                            "[AntiPercher004]\r\n"
                                            "Name=Orphan\r\n"
                                            "[Unknown]\r\n"
                                            "; a note\r\n"
                                            "Foo=bar\r\n"
                                            "[Layer]\r\n"
                                            "Transparency= 128\r\n"
                                            "[Drag]\r\n"
                                            "Parent= 0\r\n"
                                            "[AntiPercher003]\r\n"
                                            "Name=\r\n"));
}

TEST_F(SettingsHandEdited, SaveFolderAndSkinEdgeValues) {
  fs_.Put(kFile,
          FakeCodec::Sjis("[Main]\r\nSkin=  \r\n[Capture]\r\nSaveFolder=C:\\\r\nFileType=2\r\n"));
  App app = Loaded(kFolder, true);
  EXPECT_EQ(app.settings.MainSkin, std::string(kFolder) + "Skins\\Default\\Default.tsk");
  EXPECT_EQ(app.settings.CaptureSaveFolder, "C:\\");
  EXPECT_EQ(app.settings.CaptureFileType, 2);  // kept with the imaging library

  // An emptied folder becomes "\"; a folder whose last Shift-JIS byte is 0x5C
  // still gets its backslash.
  fs_.Put(kFile, FakeCodec::Sjis("[Capture]\r\nSaveFolder=\r\n"));
  EXPECT_EQ(Loaded().settings.CaptureSaveFolder, "\\");
  fs_.Put(kFile, FakeCodec::Sjis("[Capture]\r\nSaveFolder=D:\\表\r\n"));
  EXPECT_EQ(Loaded().settings.CaptureSaveFolder, "D:\\表\\");
}

TEST_F(SettingsHandEdited, LongValuesAreReadInFull) {
  const std::string skin = "C:\\" + Repeat("長い名前", 20) + "\\Skin.tsk";  // 172 Shift-JIS bytes
  fs_.Put(kFile, FakeCodec::Sjis("[Main]\r\nSkin=" + skin +
                                 "\r\n[AntiPercher001]\r\nName=" + Repeat("n", 200) + "\r\n"));
  App app = Loaded();
  EXPECT_EQ(app.settings.MainSkin, skin);
  ASSERT_EQ(app.settings.ExclusionEntries.size(), 1u);
  EXPECT_EQ(app.settings.ExclusionEntries[0].Name, Repeat("n", 200));
  // Skin files still get the old cut through the same reader.
  EXPECT_EQ(ReadIniString(fs_, codec_, kFile, "Main", "Skin", ""),
            "C:\\" + Repeat("長い名前", 15) + "長い");
}

// ---- Exclusion sections --------------------------------------------------

using SettingsExclusions = SettingsTest;

TEST_F(SettingsExclusions, AShorterListHidesTheRestBehindAnEmptyName) {
  App app = Loaded();
  for (int i = 1; i <= 5; ++i) {
    app.settings.ExclusionEntries.push_back(
        {"Entry" + std::to_string(i), "Title" + std::to_string(i), i % 2, "Class"});
  }
  ASSERT_TRUE(SaveSettings(app, fs_, codec_));
  EXPECT_EQ(Loaded().settings.ExclusionEntries.size(), 5u);

  app.settings.ExclusionEntries.resize(2);
  ASSERT_TRUE(SaveSettings(app, fs_, codec_));
  auto read = [&](const char* section, const char* key) {
    return ReadIniString(fs_, codec_, kFile, section, key, "<missing>");
  };
  EXPECT_EQ(read("AntiPercher003", "Name"), "");
  EXPECT_EQ(read("AntiPercher003", "WindowTitle"), "Title3");
  EXPECT_EQ(read("AntiPercher004", "Name"), "Entry4");
  EXPECT_EQ(read("AntiPercher005", "Name"), "Entry5");
  EXPECT_EQ(read("AntiPercher006", "Name"), "");

  App back = Loaded();
  ASSERT_EQ(back.settings.ExclusionEntries.size(), 2u);
  EXPECT_EQ(back.settings.ExclusionEntries[1], (ExclusionEntry{"Entry2", "Title2", 0, "Class"}));
}

TEST_F(SettingsExclusions, ABlankNameEndsTheListAndAtMost999AreRead) {
  fs_.Put(kFile,
          "[AntiPercher001]\r\nName=A\r\n[AntiPercher002]\r\nName= \t \r\n"
          "[AntiPercher003]\r\nName=C\r\n");
  EXPECT_EQ(Loaded().settings.ExclusionEntries.size(), 1u);

  std::string many;
  for (int i = 1; i <= 1000; ++i) {
    char section[64];
    std::snprintf(section, sizeof section, "[AntiPercher%03d]\r\nName=E%d\r\n", i, i);
    many += section;
  }
  fs_.Put(kFile, many);
  App app = Loaded();
  ASSERT_EQ(app.settings.ExclusionEntries.size(), 999u);
  EXPECT_EQ(app.settings.ExclusionEntries.back().Name, "E999");
}

// ---- Failures -----------------------------------------------------------

using SettingsFailure = SettingsTest;

TEST_F(SettingsFailure, AFailedSaveLeavesTheOldFile) {
  const std::string old = "; mine\r\n[Main]\r\nTiming= 300\r\n";
  fs_.Put(kFile, old);
  App app = Loaded();
  app.settings.MainTiming = 20;
  fs_.failWrites = true;
  EXPECT_FALSE(SaveSettings(app, fs_, codec_));
  EXPECT_EQ(fs_.Get(kFile), old);
  EXPECT_EQ(app.settings.MainTiming, 20);

  // Nor is a file that could not be read replaced by one without its contents.
  fs_.failWrites = false;
  fs_.failReads = true;
  EXPECT_FALSE(SaveSettings(app, fs_, codec_));
  EXPECT_EQ(fs_.WriteCount(kFile), 0u);
  EXPECT_EQ(fs_.Get(kFile), old);
}

TEST_F(SettingsFailure, ARunWhoseLoadFailedNeverWritesTheFile) {
  const std::string old = "[Main]\r\nTiming= 300\r\n[AntiPercher001]\r\nName=n\r\n";
  fs_.Put(kFile, old);
  fs_.failReads = true;
  App app = Loaded();
  EXPECT_EQ(app.settings.MainTiming, 100);  // runs on the defaults
  // The file is readable again by the time the run saves.
  fs_.failReads = false;
  app.settings.ExclusionEntries.push_back({"x", "y", 0, "z"});
  EXPECT_FALSE(SaveSettings(app, fs_, codec_));
  EXPECT_EQ(fs_.WriteCount(kFile), 0u);
  EXPECT_EQ(fs_.Get(kFile), old);
  // A missing file is no failure: the first save creates it.
  fs_.Erase(kFile);
  App fresh = Loaded();
  EXPECT_TRUE(SaveSettings(fresh, fs_, codec_));
}

TEST_F(SettingsRoundTrip, StringsWithOuterBlanksOrQuotesSurvive) {
  App app = Loaded();
  app.settings.MainSkin = "\"C:\\Skins\\a.tsk\"";
  app.settings.ExclusionEntries = {{" Name ", " Title ", 1, "\"Class\""}, {"n", "t", 0, "c"}};
  ASSERT_TRUE(SaveSettings(app, fs_, codec_));
  const std::string file = *fs_.Get(kFile);
  EXPECT_NE(file.find("Name=n\r\nWindowTitle=t\r\n"), std::string::npos);  // the rest stays bare
  ExpectSameSettings(Loaded().settings, app.settings);
}

}  // namespace
}  // namespace tomari
