#include "app/settings_folder.h"

#include <gtest/gtest.h>

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
    const auto has = [&](char letter) { return c.world.find(letter) != std::string_view::npos; };
    if (has('r')) fs.readOnlyFolders.push_back(kProgram);
    if (has('R')) fs.readOnlyFolders.push_back(kRoaming);
    if (has('a')) fs.appData = kRoaming;
    for (const auto& [path, timing] :
         {std::pair{kBeside, c.besideTiming}, std::pair{kMovedFile, c.movedTiming}})
      if (*timing) fs.Put(path, std::string("[Main]\r\nTiming=") + timing + "\r\n");
    fs.failReads = has('u');

    App app;
    app.facts.AppFolder = kProgram;
    ChooseSettingsFolder(app, fs);
    EXPECT_EQ(SettingsFolder(app), c.folder);
    EXPECT_EQ(app.facts.SettingsFolderMoved, c.moved);
    LoadSettings(app, fs, codec);
    EXPECT_EQ(std::to_string(app.settings.MainTiming), c.timingRead);

    // One message, naming the moved file or the one that could not be read.
    TellSettingsFolderMoved(app, prompts, 0);
    TellSettingsUnreadable(app, prompts, 0);
    ASSERT_EQ(prompts.messages.size(), c.moved || has('u') ? 1u : 0u);
    if (c.moved || has('u')) {
      EXPECT_NE(prompts.messages[0].text.find(c.moved ? kMovedFile : kBeside), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace tomari
