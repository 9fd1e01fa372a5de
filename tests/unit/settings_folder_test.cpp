#include "app/settings_folder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/settings.h"
#include "support/fake_codec.h"
#include "support/fake_files.h"
#include "support/fake_prompts.h"

namespace tomari {
namespace {

constexpr const char* kProgram = "C:\\Program Files\\Tomari\\";
constexpr const char* kRoaming = "C:\\Users\\u\\AppData\\Roaming\\";
constexpr const char* kMoved = "C:\\Users\\u\\AppData\\Roaming\\Tomari\\";
const std::string kBeside = std::string(kProgram) + "Setting.ini";
const std::string kMovedFile = std::string(kMoved) + "Setting.ini";

TEST(SettingsFolderTest, MovesToAppDataOnlyWhenTheProgramFolderCannotBeWritten) {
  struct Case {
    const char* name;
    bool programReadOnly;
    bool appDataKnown;
    bool appDataReadOnly;
    std::optional<const char*> besideTiming;  // Setting.ini beside the program
    std::optional<const char*> movedTiming;   // an earlier run's moved file
    bool besideUnreadable;
    const char* folder;
    bool moved;
    const char* timingRead;
  };
  const Case cases[] = {
      {"writable: stays, even beside an old moved file", false, true, false, "150", "250", false,
       kProgram, false, "150"},
      {"first run: the user's file comes along", true, true, false, "150", {}, false, kMoved, true,
       "150"},
      {"first run without a file", true, true, false, {}, {}, false, kMoved, true, "100"},
      {"later run: read from the moved file", true, true, false, "150", "250", false, kMoved,
       false, "250"},
      {"no application-data folder", true, false, false, "150", {}, false, kProgram, false, "150"},
      {"application-data folder read-only too", true, true, true, "150", {}, false, kProgram,
       false, "150"},
      {"unreadable file: neither copied nor replaced", true, true, false, "150", {}, true,
       kProgram, false, "100"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::FakeFileSystem fs;
    test::FakeCodec codec;
    test::FakePrompts prompts;
    if (c.programReadOnly) fs.readOnlyFolders.push_back(kProgram);
    if (c.appDataReadOnly) fs.readOnlyFolders.push_back(kRoaming);
    if (c.appDataKnown) fs.appData = kRoaming;
    if (c.besideTiming) fs.Put(kBeside, std::string("[Main]\r\nTiming=") + *c.besideTiming + "\r\n");
    if (c.movedTiming) fs.Put(kMovedFile, std::string("[Main]\r\nTiming=") + *c.movedTiming + "\r\n");
    const std::optional<std::string> besideBefore = fs.Get(kBeside);
    fs.failReads = c.besideUnreadable;

    App app;
    app.facts.AppFolder = kProgram;
    ChooseSettingsFolder(app, fs);
    EXPECT_EQ(SettingsFolder(app), c.folder);
    EXPECT_EQ(app.facts.SettingsFolderMoved, c.moved);
    LoadSettings(app, fs, codec);
    EXPECT_EQ(std::to_string(app.settings.MainTiming), c.timingRead);

    TellSettingsFolderMoved(app, prompts, 0);
    ASSERT_EQ(prompts.messages.size(), c.moved ? 1u : 0u);
    if (c.moved) {
      EXPECT_EQ(prompts.messages[0].title, "トマリギ");
      EXPECT_NE(prompts.messages[0].text.find(kMovedFile), std::string::npos);
    }

    // Saving goes to the chosen folder and nowhere else.
    app.settings.MainTiming = 321;
    EXPECT_EQ(fs.Exists(kMovedFile), std::string(c.folder) == kMoved || c.movedTiming);
    EXPECT_EQ(app.facts.SettingsUnreadable, c.besideUnreadable);
    const bool writable = std::string(c.folder) == kMoved || !c.programReadOnly;
    EXPECT_EQ(SaveSettings(app, fs, codec), writable);
    const std::string saved = std::string(c.folder) + "Setting.ini";
    if (writable) {
      EXPECT_NE(fs.Get(saved).value_or("").find("Timing= 321"), std::string::npos);
    }
    if (saved != kBeside) {
      EXPECT_EQ(fs.Get(kBeside), besideBefore);
    }
  }
}

}  // namespace
}  // namespace tomari
