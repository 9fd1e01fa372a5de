// A run's start, the list of our own windows it begins, and its close.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "app/own_windows.h"
#include "perch/shutdown.h"
#include "perch/tracking.h"
#include "support/world.h"

namespace tomari {
namespace {

using test::kWidget;

constexpr WindowHandle kA = 0x100, kSettings = 0x20, kEditor = 0x30;
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
};

TEST(OwnWindows, DialogsOpenAndCloseAroundTheWidgetsSlot) {
  OwnWindowList list;
  EXPECT_EQ(list.Add(kWidget), 1);
  EXPECT_EQ(list.Add(kSettings), 2);
  EXPECT_EQ(list.Add(kEditor), 3);
  for (int bad : {0, 4, -1}) list.Remove(bad);  // the null slot and slots past either end
  EXPECT_EQ(list.Count(), 3);

  list.Remove(2);  // a middle slot: the gap closes
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.At(1), kWidget);
  EXPECT_EQ(list.At(2), kEditor);
  EXPECT_EQ(list.At(0), 0u);
  EXPECT_FALSE(list.Contains(kSettings));
  EXPECT_TRUE(list.Contains(kEditor));
  list.Remove(2);
  EXPECT_FALSE(list.Contains(kEditor));
}

TEST_F(StartupWorld, CloseRestoresLeavesTopMostRemovesTheClockThenSaves) {
  ProbeCapabilities(app, files, desktop);
  WidgetLoad(app, ports);
  AddTarget(kA);
  // The save goes into the desktop's log, among the window calls.
  files.onWrite = [this](const std::string& path) { desktop.Record("Save", 0, path); };
  app.menu.TitleClockChecked = true;
  desktop.SetForegroundWindow(kA);
  TrackingTick(app, ports);
  ASSERT_EQ(app.clock.Window, kA);
  desktop.SetTopMost(kA, true);  // the top-most command
  app.target.ChangedTopMost = true;
  desktop.ClearLog();

  CloseRequest(app, ports);
  std::vector<std::string> ops;
  for (const std::string& c : desktop.calls) ops.push_back(c.substr(0, c.find('(')));
  EXPECT_EQ(ops, (std::vector<std::string>{"SetTopMost", "Widget.SetTopMost", "SetTitle", "Save"}));
  EXPECT_EQ(desktop.Window(kA).exStyle, 0u);
  EXPECT_EQ(desktop.Window(kA).title, "Target");
  EXPECT_FALSE(widget.topMost);
  EXPECT_NE(files.Get(kFolder + "Setting.ini").value_or("").find("Check=-1"), std::string::npos)
      << "the clock's check is saved as it was, on";
}

}  // namespace
}  // namespace tomari
