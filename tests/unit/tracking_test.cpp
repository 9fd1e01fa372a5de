#include "perch/tracking.h"

#include <gtest/gtest.h>

#include "clock/title_clock.h"
#include "support/world.h"

namespace tomari {
namespace {

using test::FakeWidget;
using test::kWidget;

constexpr WindowHandle kDialog = 0x20, kA = 0x100, kB = 0x200, kC = 0x300;

class Tracking : public ::testing::Test, protected test::World {
 protected:
  Tracking() {
    desktop.AddWindow(kA, "Window A", "ClassA", Rect{100, 100, 500, 400});
    desktop.AddWindow(kB, "Window B", "ClassB", Rect{200, 150, 600, 450});
    desktop.AddWindow(kC, "Window C", "ClassC", Rect{0, 300, 300, 700});
  }
  void Tick() { TrackingTick(app, ports); }
  void TickOn(WindowHandle foreground) {
    desktop.SetForegroundWindow(foreground);
    Tick();
  }
  FakeWidget::Move LastMove() const {
    return widget.moves.empty() ? FakeWidget::Move{-999, -999, false} : widget.moves.back();
  }
  static constexpr FakeWidget::Move kOnA{268, 68, false};  // centred above A
  static constexpr FakeWidget::Move kOnB{368, 118, false};
};

TEST_F(Tracking, FollowsTheForegroundWindowAndAttachesOncePerWindow) {
  Tick();  // no foreground window yet
  EXPECT_EQ(app.TargetWindow, kWidget);
  EXPECT_TRUE(widget.moves.empty());
  TickOn(kA);
  EXPECT_EQ(app.target.AttachedWindow, kA);
  EXPECT_TRUE(app.menu.WindowMenuEnabled);
  EXPECT_EQ(widget.topMostChanges, std::vector<bool>{true});
  EXPECT_EQ(LastMove(), kOnA);

  desktop.Window(kA).rect = Rect{110, 100, 510, 400};
  Tick();  // follows without attaching anew
  EXPECT_EQ(LastMove(), (FakeWidget::Move{278, 68, false}));
  EXPECT_EQ(widget.topMostChanges.size(), 1u);
  EXPECT_EQ(widget.redraws, 1);

  // Our own windows and the null foreground keep the target.
  app.ownWindows.Add(kDialog);
  desktop.AddWindow(kDialog, "設定", "#32770", Rect{0, 0, 300, 200});
  for (WindowHandle fg : {kWidget, WindowHandle{0}, kDialog}) {
    TickOn(fg);
    EXPECT_EQ(app.TargetWindow, kA) << fg;
  }
  desktop.ClearLog();
  TickOn(kB);
  EXPECT_EQ(app.target.AttachedWindow, kB);
  EXPECT_EQ(LastMove(), kOnB);
  EXPECT_EQ(desktop.ChangesOn(kA).size() + desktop.ChangesOn(kB).size(), 0u);
}

TEST_F(Tracking, FixedBusyAndPressedHoldTheTarget) {
  TickOn(kA);
  app.menu.WindowSetChecked = true;
  TickOn(kB);
  EXPECT_EQ(app.TargetWindow, kA);
  EXPECT_EQ(desktop.reads.foreground, 1) << "fixed mode does not even look";
  app.menu.WindowSetChecked = false;

  app.Busy = true;
  desktop.ClearLog();
  const auto moves = widget.moves.size();
  desktop.Window(kA).rect = Rect{0, 0, 10, 10};
  Tick();
  EXPECT_TRUE(desktop.calls.empty());
  EXPECT_EQ(desktop.reads.foreground + desktop.reads.isWindow + desktop.reads.getRect, 0);
  EXPECT_EQ(widget.moves.size(), moves);
  app.Busy = false;

  app.drag.Pressed = true;
  desktop.Window(kA).rect = Rect{200, 200, 600, 500};
  Tick();
  EXPECT_EQ(app.TargetWindow, kA);
  EXPECT_EQ(widget.moves.size(), moves);
  app.drag.Pressed = false;
  Tick();
  EXPECT_EQ(app.TargetWindow, kB);
}

TEST_F(Tracking, VanishedTargetParksTheWidgetAndEndsFixedMode) {
  TickOn(kA);
  app.menu.WindowSetChecked = true;
  app.menu.TopMostEnabled = true;
  const int redraws = widget.redraws;
  desktop.Close(kA);
  Tick();
  EXPECT_EQ(app.TargetWindow, kWidget);
  EXPECT_EQ(test::MenuFlags(app.menu), "---t---");
  EXPECT_EQ(LastMove(), (FakeWidget::Move{0, 0, false}));
  EXPECT_GT(widget.redraws, redraws);
  TickOn(kB);
  EXPECT_EQ(app.target.AttachedWindow, kB);
  EXPECT_TRUE(app.menu.WindowMenuEnabled);
}

TEST_F(Tracking, ExcludedAndHungWindowsAreNeverTaken) {
  app.settings.ExclusionEntries = {ExclusionEntry{"B", "", 0, "classb"}};
  TickOn(kA);
  TickOn(kB);
  EXPECT_EQ(app.TargetWindow, kA);
  // The current target is excluded itself: the tick stops before placing it.
  app.settings.ExclusionEntries.push_back(ExclusionEntry{"A", "window a", 0, ""});
  const auto moves = widget.moves.size();
  desktop.Window(kA).rect = Rect{0, 0, 100, 100};
  Tick();
  EXPECT_EQ(widget.moves.size(), moves);
  app.settings.ExclusionEntries.clear();

  desktop.Window(kC).hung = true;
  desktop.ClearLog();
  TickOn(kC);
  EXPECT_EQ(app.target.AttachedWindow, kA);
  EXPECT_TRUE(desktop.ChangesOn(kC).empty());
  desktop.Window(kC).hung = false;
  Tick();
  EXPECT_EQ(app.target.AttachedWindow, kC);

  // The attached target hangs and moves: it is not placed against any more.
  desktop.Window(kC).hung = true;
  desktop.Window(kC).rect.left += 10;
  const auto moves2 = widget.moves.size();
  Tick();
  EXPECT_EQ(widget.moves.size(), moves2);
}

TEST_F(Tracking, AboveATopMostTargetTheWidgetJoinsTheTopMostBand) {
  desktop.Window(kA).exStyle = kExTopMost;
  TickOn(kA);
  EXPECT_TRUE(app.menu.TopMostChecked);
  EXPECT_EQ(LastMove(), (FakeWidget::Move{268, 68, true}));
}

class TrackingClock : public Tracking {
 protected:
  TrackingClock() { app.menu.TitleClockChecked = true; }
  std::string Now() { return CurrentClockText(app, ports); }
  void NextSecond() { ++clock.utc.second; }
};

TEST_F(TrackingClock, GoesOnWhilePressedAndStandsStillWhileBusyHungOrExcluded) {
  TickOn(kA);
  app.drag.Pressed = true;
  NextSecond();
  TickOn(kB);
  EXPECT_EQ(desktop.Window(kA).title, "Window A" + Now());
  app.drag.Pressed = false;
  const std::string shown = desktop.Window(kA).title;
  for (int step : {0, 1, 2}) {
    app.Busy = step == 0;
    desktop.Window(kA).hung = step == 1;
    if (step == 2) app.settings.ExclusionEntries = {ExclusionEntry{"A", "Window A", 1, ""}};
    desktop.SetForegroundWindow(kA);
    NextSecond();
    Tick();
    EXPECT_EQ(desktop.Window(kA).title, shown) << step;
  }
  TickOn(kB);
  EXPECT_EQ(desktop.Window(kA).title, "Window A");
  EXPECT_EQ(desktop.Window(kB).title, "Window B" + Now());
}

TEST_F(Tracking, ClockOffOrAVanishedTargetDropsTheClock) {
  TickOn(kA);
  SetTitleClock(app, desktop, kB, " 12:00");  // left on B when it was switched off
  Tick();
  EXPECT_EQ(desktop.Window(kB).title, "Window B");
  EXPECT_EQ(app.clock.Window, 0u);

  app.menu.TitleClockChecked = true;
  SetTitleClock(app, desktop, kA, " 12:00");
  desktop.Close(kA);
  desktop.ClearLog();
  Tick();
  EXPECT_EQ(app.clock.Window, 0u);
  EXPECT_EQ(desktop.Count("SetTitle"), 0);
}

}  // namespace
}  // namespace tomari
