// The close request: what a run gives back and saves as it ends.
#include "perch/shutdown.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "perch/tracking.h"
#include "support/world.h"

namespace tomari {
namespace {

using test::kWidget;

constexpr WindowHandle kA = 0x100;
const std::string kFolder = "C:\\Program Files\\Tomari\\";

struct Closing : ::testing::Test, test::World {
  Closing() {
    app = App{};
    app.facts.AppFolder = kFolder;
    ProbeCapabilities(app, files, desktop);
    WidgetLoad(app, ports);
    AddTarget(kA);
    // The save goes into the desktop's log, among the window calls.
    files.onWrite = [this](const std::string& path) { desktop.Record("Save", 0, path); };
  }
  std::vector<std::string> Ops() const {
    std::vector<std::string> ops;
    for (const std::string& c : desktop.calls) ops.push_back(c.substr(0, c.find('(')));
    return ops;
  }
};

TEST_F(Closing, RestoresLeavesTopMostRemovesClockThenSaves) {
  app.menu.TitleClockChecked = true;
  desktop.SetForegroundWindow(kA);
  TrackingTick(app, ports);
  ASSERT_EQ(app.clock.Window, kA);
  desktop.SetTopMost(kA, true);  // the top-most command
  app.target.ChangedTopMost = true;
  desktop.ClearLog();

  CloseRequest(app, ports);
  EXPECT_EQ(Ops(),
            (std::vector<std::string>{"SetTopMost", "Widget.SetTopMost", "SetTitle", "Save"}));
  EXPECT_EQ(desktop.Window(kA).exStyle, 0u);
  EXPECT_EQ(desktop.Window(kA).title, "Target");
  EXPECT_FALSE(widget.topMost);
  EXPECT_NE(files.Get(kFolder + "Setting.ini").value_or("").find("Check=-1"), std::string::npos)
      << "the clock's check is saved as it was, on";
}

TEST_F(Closing, WithoutATargetOrWithAVanishedOneStillLeavesTopMostAndSaves) {
  for (const bool vanished : {false, true}) {
    if (vanished) {
      desktop.SetForegroundWindow(kA);
      TrackingTick(app, ports);
      desktop.SetTopMost(kA, true);
      app.target.ChangedTopMost = true;
      desktop.Close(kA);
      TrackingTick(app, ports);
      ASSERT_EQ(app.TargetWindow, kWidget);
    }
    widget.SetTopMost(true);
    desktop.ClearLog();
    CloseRequest(app, ports);
    EXPECT_EQ(Ops(), (std::vector<std::string>{"Widget.SetTopMost", "Save"})) << vanished;
    EXPECT_FALSE(widget.topMost);
  }
}

}  // namespace
}  // namespace tomari
