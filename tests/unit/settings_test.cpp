#include "app/settings.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_codec.h"
#include "support/fake_files.h"

namespace tomari {
namespace {

using test::FakeCodec;

constexpr const char* kFolder = "C:\\Tools\\Tomari\\";
constexpr const char* kFile = "C:\\Tools\\Tomari\\Setting.ini";

class SettingsTest : public ::testing::Test {
 protected:
  App Loaded() {
    App app;
    app.facts.AppFolder = kFolder;  // no imaging library
    LoadSettings(app, fs_, codec_);
    return app;
  }
  FakeCodec codec_;
  test::FakeFileSystem fs_;
};

TEST_F(SettingsTest, FirstStartGivesTheDefaultsAndTheFirstSaveWritesEveryKeyInOrder) {
  App app = Loaded();
  ASSERT_TRUE(SaveSettings(app, fs_, codec_));
  EXPECT_EQ(fs_.Get(kFile),
            "[Main]\r\nTiming= 100\r\nMulti= 0\r\n"
            "Skin=C:\\Tools\\Tomari\\Skins\\Default\\Default.tsk\r\n"
            "[Position]\r\nAuto= 1\r\nX= 2\r\nY= 0\r\nX-Offset= 0\r\nY-Offset= 0\r\n"
            "[Layer]\r\nTransparency= 128\r\n[Drag]\r\nParent= 0\r\n"
            "[Capture]\r\nType= 0\r\nSaveType= 0\r\nSaveFolder=C:\\Tools\\Tomari\\\r\n"
            "FileType= 0\r\nJpeg_Value= 100\r\nJpeg_Progressive= 0\r\nPng_Value= 0\r\n"
            "[TitleClock]\r\nPosition= 1\r\nFormatText=\" <yyyy/mm/dd hh:mm:ss> \"\r\n"
            "WorldTime= 17\r\nWorldTime_PM= 0\r\nWorldTime_Hour= 0\r\nWorldTime_Minute= 0\r\n"
            "WorldTime_SDT= 0\r\nCheck= 0\r\n"
            "[AntiPercher001]\r\nName=\r\n");
}

TEST_F(SettingsTest, AHandEditedFileIsReadAndUpdatedInPlace) {
  fs_.Put(kFile, FakeCodec::Sjis("; edited by hand\r\n[main]\r\nTiming=50\r\nExtra=keep me\r\n"
                                 "[Capture]\r\nFileType=2\r\n[TitleClock]\r\nCheck=-1\r\n"
                                 "[AntiPercher001]\r\nName=メモ帳\r\nWindowTitle=無題 - メモ帳\r\n"
                                 "InTitle=-1\r\nWindowClass=Notepad\r\n"
                                 "[AntiPercher002]\r\nName=Calc\r\nWindowClass=CalcFrame\r\n"
                                 "[AntiPercher004]\r\nName=Orphan\r\n"));
  App app = Loaded();
  EXPECT_EQ(app.settings.CaptureFileType, 0) << "no imaging library";
  EXPECT_TRUE(app.menu.TitleClockChecked);
  // 003 is missing: 004 is not read.
  EXPECT_EQ(app.settings.ExclusionEntries,
            (std::vector<ExclusionEntry>{{"メモ帳", "無題 - メモ帳", -1, "Notepad"},
                                         {"Calc", "", 0, "CalcFrame"}}));

  ASSERT_TRUE(SaveSettings(app, fs_, codec_));
  const std::string saved = *fs_.Get(kFile);
  for (const char* part :
       {"; edited by hand\r\n[main]\r\nTiming= 50\r\nExtra=keep me\r\n",
        "[AntiPercher004]\r\nName=Orphan\r\n", "Parent= 0\r\n[AntiPercher003]\r\nName=\r\n"})
    EXPECT_NE(saved.find(part), std::string::npos) << part;
}

TEST_F(SettingsTest, AFileThatCouldNotBeReadIsNeverWritten) {
  fs_.Put(kFile, "[Main]\r\nTiming= 300\r\n[AntiPercher001]\r\nName=n\r\n");
  App app = Loaded();
  // Saving over it would replace it by one without its contents,
  fs_.failReads = true;
  EXPECT_FALSE(SaveSettings(app, fs_, codec_));
  // and a run whose load failed never writes it, even once it is readable again.
  App failed = Loaded();
  fs_.failReads = false;
  EXPECT_FALSE(SaveSettings(failed, fs_, codec_));
  EXPECT_EQ(fs_.WriteCount(kFile), 0u);
}

}  // namespace
}  // namespace tomari
