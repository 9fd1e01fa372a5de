#include "app/settings_folder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

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
    // Letters: r the program folder is read-only, a the application-data folder
    // is known, R it is read-only too, u Setting.ini beside the program cannot be read.
    std::string_view world;
    const char* besideTiming;  // Setting.ini beside the program, "" for none
    const char* movedTiming;   // an earlier run's moved file, "" for none
    const char* folder;
    bool moved;
    const char* timingRead;
  };
  const Case cases[] = {
      {"writable: stays, even beside an old moved file", "a", "150", "250", kProgram, false, "150"},
      {"first run: the user's file comes along", "ra", "150", "", kMoved, true, "150"},
      {"first run without a file", "ra", "", "", kMoved, true, "100"},
      {"later run: read from the moved file", "ra", "150", "250", kMoved, false, "250"},
      {"no application-data folder", "r", "150", "", kProgram, false, "150"},
      {"application-data folder read-only too", "raR", "150", "", kProgram, false, "150"},
      {"unreadable file: neither copied nor replaced", "rau", "150", "", kProgram, false, "100"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::FakeFileSystem fs;
    test::FakeCodec codec;
    test::FakePrompts prompts;
    const bool programReadOnly = c.world.find('r') != std::string_view::npos;
    if (programReadOnly) fs.readOnlyFolders.push_back(kProgram);
    if (c.world.find('R') != std::string_view::npos) fs.readOnlyFolders.push_back(kRoaming);
    if (c.world.find('a') != std::string_view::npos) fs.appData = kRoaming;
    for (const auto& [path, timing] :
         {std::pair{kBeside, c.besideTiming}, std::pair{kMovedFile, c.movedTiming}})
      if (*timing) fs.Put(path, std::string("[Main]\r\nTiming=") + timing + "\r\n");
    const std::optional<std::string> besideBefore = fs.Get(kBeside);
    const bool unreadable = c.world.find('u') != std::string_view::npos;
    fs.failReads = unreadable;

    App app;
    app.facts.AppFolder = kProgram;
    ChooseSettingsFolder(app, fs);
    EXPECT_EQ(SettingsFolder(app), c.folder);
    EXPECT_EQ(app.facts.SettingsFolderMoved, c.moved);
    LoadSettings(app, fs, codec);
    EXPECT_EQ(std::to_string(app.settings.MainTiming), c.timingRead);

    TellSettingsFolderMoved(app, prompts, 0);
    TellSettingsUnreadable(app, prompts, 0);
    ASSERT_EQ(prompts.messages.size(), c.moved || unreadable ? 1u : 0u);
    if (c.moved || unreadable) {
      EXPECT_NE(prompts.messages[0].text.find(c.moved ? kMovedFile : kBeside), std::string::npos);
      EXPECT_EQ(prompts.messages[0].style, unreadable ? kMbIconExclamation : kMbIconInformation);
    }

    // Saving goes to the chosen folder and nowhere else.
    app.settings.MainTiming = 321;
    EXPECT_EQ(fs.Exists(kMovedFile), std::string(c.folder) == kMoved || *c.movedTiming);
    EXPECT_EQ(app.facts.SettingsUnreadable, unreadable);
    const bool writable = std::string(c.folder) == kMoved || !programReadOnly;
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
