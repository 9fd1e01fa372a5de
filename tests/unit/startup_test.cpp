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

TEST(Startup, AppFolderEndsInOneBackslashAndTheTickIntervalIsPositive) {
  EXPECT_EQ(WithTrailingBackslash("D:\\ツール\\トマリギ"), "D:\\ツール\\トマリギ\\");
  EXPECT_EQ(WithTrailingBackslash("C:\\"), "C:\\");
  EXPECT_EQ(TrackingInterval(std::numeric_limits<std::int32_t>::max()), 0x7FFFFFFFu);
  // 0 stops the tick; so does a negative value, which no timer can take.
  EXPECT_FALSE(TrackingInterval(0).has_value() || TrackingInterval(-1).has_value());
}

TEST(OwnWindows, DialogsOpenAndCloseAroundTheWidgetsSlot) {
  OwnWindowList list;
  EXPECT_EQ(list.Add(kWidget), 1);
  EXPECT_EQ(list.Add(kSettings), 2);
  EXPECT_EQ(list.Add(kEditor), 3);
  for (int bad : {0, 4, -1}) list.Remove(bad);  // the null slot and slots past either end
  EXPECT_EQ(list.Count(), 3);

  list.Remove(2);  // a middle slot: the gap closes
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ((std::vector{list.At(0), list.At(1), list.At(2)}),
            (std::vector<WindowHandle>{0, kWidget, kEditor}));
  EXPECT_TRUE(list.Contains(kEditor));
  list.Remove(2);  // the last slot
  EXPECT_FALSE(list.Contains(kEditor));
}

class StartupWorld : public ::testing::Test, protected test::World {};

TEST_F(StartupWorld, CloseRestoresLeavesTopMostRemovesTheClockThenSaves) {
  AddTarget(kA);
  // The save goes into the desktop's log, among the window calls.
  files.onWrite = [this](const std::string& path) { desktop.Record("Save", 0, path); };
  app.menu.TitleClockChecked = true;
  desktop.SetForegroundWindow(kA);
  TrackingTick(app, ports);
  Menu_TopMost_Click(app, ports);
  desktop.ClearLog();

  CloseRequest(app, ports);
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{
                               "SetTopMost(256, 0)", "Widget.SetTopMost(16, 0)",
                               "SetTitle(256, \"Target\")", "Save(0, C:\\Tomari\\Setting.ini)"}));
}

}  // namespace
}  // namespace tomari
