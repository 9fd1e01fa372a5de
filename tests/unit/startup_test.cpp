#include "app/startup.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "perch/tracking.h"
#include "support/world.h"

namespace tomari {
namespace {

using test::kWidget;

const std::string kFolder = "C:\\Program Files\\Tomari\\";

TEST(Startup, AppFolderEndsInOneBackslashAndTheTickIntervalIsPositive) {
  EXPECT_EQ(WithTrailingBackslash("D:\\ツール\\トマリギ"), "D:\\ツール\\トマリギ\\");
  EXPECT_EQ(WithTrailingBackslash("C:\\"), "C:\\");
  EXPECT_EQ(TrackingInterval(1), 1u);
  EXPECT_EQ(TrackingInterval(std::numeric_limits<std::int32_t>::max()), 0x7FFFFFFFu);
  // 0 stops the tick; so does a negative value, which no timer can take.
  EXPECT_FALSE(TrackingInterval(0).has_value() || TrackingInterval(-1).has_value());
}

class StartupWorld : public ::testing::Test, protected test::World {
 protected:
  StartupWorld() {
    app = App{};
    app.facts.AppFolder = kFolder;
  }
  void PutSettings(const std::string& text) { files.Put(kFolder + "Setting.ini", text); }
};

TEST_F(StartupWorld, ProbeFindsTheImagingLibraryAndLayeredWindows) {
  app.ownWindows.Add(0x55);
  ProbeCapabilities(app, files, desktop);
  EXPECT_EQ(app.ownWindows.Count(), 0);
  EXPECT_TRUE(app.ownWindows.Contains(0));
  EXPECT_FALSE(app.facts.HasImageLibrary);
  EXPECT_TRUE(app.facts.HasLayeredWindows);

  files.Put(kFolder + "transg32.DLL", "MZ");
  files.Put("C:\\Elsewhere\\TransG32.dll", "MZ");
  desktop.layeredApi = false;
  ProbeCapabilities(app, files, desktop);
  EXPECT_TRUE(app.facts.HasImageLibrary);
  EXPECT_FALSE(app.facts.HasLayeredWindows);

  app.facts.AppFolder = "C:\\Elsewhere\\Sub\\";
  ProbeCapabilities(app, files, desktop);
  EXPECT_FALSE(app.facts.HasImageLibrary);
}

TEST_F(StartupWorld, SecondInstanceOnlyWithMulti) {
  EXPECT_FALSE(MultipleInstancesAllowed(kFolder, files, codec)) << "no file";
  for (const auto& [text, allowed] :
       {std::pair{"[Main]\r\nTiming= 100\r\nMulti= 0\r\n", false},
        std::pair{"[main]\r\nmulti=-1\r\n", true}, std::pair{"[Other]\r\nMulti=1\r\n", false}}) {
    PutSettings(text);
    EXPECT_EQ(MultipleInstancesAllowed(kFolder, files, codec), allowed) << text;
  }
  EXPECT_EQ(files.writeCalls, 0u) << "asking must not write";
}

TEST_F(StartupWorld, WidgetLoadReadsSettingsAndTakesSlotOne) {
  PutSettings("[Main]\r\nTiming= 250\r\n[Position]\r\nX= 4\r\n");
  ProbeCapabilities(app, files, desktop);
  WidgetLoad(app, ports);
  EXPECT_EQ(app.settings.MainTiming, 250);
  EXPECT_EQ(app.settings.PositionX, 4);
  EXPECT_EQ(app.ownWindows.Count(), 1);
  EXPECT_EQ(app.ownWindows.At(1), kWidget);
  EXPECT_EQ(app.WidgetHandle, kWidget);
  EXPECT_EQ(app.TargetWindow, kWidget);

  // No target yet: a tick with the widget itself in front does nothing.
  desktop.SetForegroundWindow(kWidget);
  TrackingTick(app, ports);
  EXPECT_TRUE(widget.moves.empty());
  EXPECT_EQ(app.target.AttachedWindow, 0u);
}

}  // namespace
}  // namespace tomari
