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

TEST_F(Tracking, NoTargetUntilAForegroundWindowIsFound) {
  Tick();  // foreground is nothing yet
  EXPECT_EQ(app.TargetWindow, kWidget);
  EXPECT_TRUE(widget.moves.empty());
  EXPECT_FALSE(app.menu.WindowMenuEnabled);
  EXPECT_TRUE(desktop.calls.empty());
}

TEST_F(Tracking, FollowsTheForegroundWindowAndAttachesOncePerWindow) {
  TickOn(kA);
  EXPECT_EQ(app.TargetWindow, kA);
  EXPECT_EQ(app.target.AttachedWindow, kA);
  EXPECT_TRUE(app.menu.WindowMenuEnabled);
  EXPECT_EQ(widget.topMostChanges, std::vector<bool>{true});
  EXPECT_EQ(widget.redraws, 1);
  EXPECT_EQ(LastMove(), kOnA);

  // The target moves: the widget follows at the next tick, without a new attach.
  desktop.Window(kA).rect = Rect{110, 100, 510, 400};
  Tick();
  EXPECT_EQ(LastMove(), (FakeWidget::Move{278, 68, false}));
  EXPECT_EQ(widget.topMostChanges.size(), 1u);
  EXPECT_EQ(widget.redraws, 1);
  EXPECT_EQ(widget.moves.size(), 2u);

  desktop.Window(kA).rect = Rect{100, 100, 500, 400};
  TickOn(kB);
  EXPECT_EQ(app.target.AttachedWindow, kB);
  EXPECT_EQ(widget.topMostChanges.size(), 2u);
  EXPECT_EQ(LastMove(), kOnB);
  // Neither window was changed by just being followed.
  EXPECT_TRUE(desktop.ChangesOn(kA).empty());
  EXPECT_TRUE(desktop.ChangesOn(kB).empty());
}

TEST_F(Tracking, OwnWindowsAndTheNullForegroundKeepThePreviousTarget) {
  TickOn(kA);
  app.ownWindows.Add(kDialog);
  desktop.AddWindow(kDialog, "設定", "#32770", Rect{0, 0, 300, 200});
  for (WindowHandle fg : {kWidget, WindowHandle{0}, kDialog}) {
    TickOn(fg);
    EXPECT_EQ(app.TargetWindow, kA) << fg;
    EXPECT_EQ(LastMove(), kOnA) << fg;
  }
  EXPECT_EQ(widget.topMostChanges.size(), 1u);
}

TEST_F(Tracking, FixedModeIgnoresOtherForegroundWindows) {
  TickOn(kA);
  app.menu.WindowSetChecked = true;
  TickOn(kB);
  EXPECT_EQ(app.TargetWindow, kA);
  EXPECT_EQ(LastMove(), kOnA);
  EXPECT_EQ(desktop.reads.foreground, 1) << "fixed mode does not even look";
  app.menu.WindowSetChecked = false;
  Tick();
  EXPECT_EQ(app.TargetWindow, kB);
}

TEST_F(Tracking, BusyDoesNothingAtAll) {
  TickOn(kA);
  desktop.ClearLog();
  const auto moves = widget.moves.size();
  const int redraws = widget.redraws;
  app.Busy = true;
  desktop.Window(kA).rect = Rect{0, 0, 10, 10};
  TickOn(kB);
  desktop.Close(kA);
  Tick();
  EXPECT_TRUE(desktop.calls.empty());
  EXPECT_EQ(desktop.reads.foreground + desktop.reads.isWindow + desktop.reads.getRect, 0);
  EXPECT_EQ(widget.moves.size(), moves);
  EXPECT_EQ(widget.redraws, redraws);
  EXPECT_EQ(app.TargetWindow, kA);
  EXPECT_TRUE(app.menu.WindowMenuEnabled);
}

TEST_F(Tracking, PressedKeepsTheTargetAndDoesNotMove) {
  TickOn(kA);
  const auto moves = widget.moves.size();
  app.drag.Pressed = true;
  desktop.Window(kA).rect = Rect{200, 200, 600, 500};
  TickOn(kB);
  EXPECT_EQ(app.TargetWindow, kA);
  EXPECT_EQ(widget.moves.size(), moves);
  // The position is still worked out, for the drag that is going on.
  EXPECT_EQ(app.placement.BaseX, 368);
  EXPECT_EQ(app.placement.BaseY, 168);
  app.drag.Pressed = false;
  Tick();
  EXPECT_EQ(app.TargetWindow, kB);
}

TEST_F(Tracking, VanishedTargetParksTheWidgetAndEndsFixedMode) {
  TickOn(kA);
  app.menu.WindowSetChecked = true;
  app.menu.TopMostEnabled = true;
  app.menu.LayerEnabled = true;
  const int redraws = widget.redraws;
  desktop.Close(kA);
  Tick();
  EXPECT_EQ(app.TargetWindow, kWidget);
  EXPECT_FALSE(app.menu.WindowSetChecked);
  EXPECT_FALSE(app.menu.WindowMenuEnabled);
  EXPECT_TRUE(app.menu.TopMostEnabled);
  EXPECT_TRUE(app.menu.LayerEnabled);
  EXPECT_EQ(LastMove(), (FakeWidget::Move{0, 0, false}));
  EXPECT_GT(widget.redraws, redraws);
  EXPECT_EQ(app.target.AttachedWindow, kA);

  // Nothing happens while no window comes to the front.
  const auto moves = widget.moves.size();
  TickOn(kWidget);
  EXPECT_EQ(widget.moves.size(), moves);

  TickOn(kB);
  EXPECT_EQ(app.TargetWindow, kB);
  EXPECT_EQ(app.target.AttachedWindow, kB);
  EXPECT_TRUE(app.menu.WindowMenuEnabled);
  EXPECT_EQ(LastMove(), kOnB);
}

TEST_F(Tracking, ExcludedWindowsAreNeverTaken) {
  app.settings.ExclusionEntries = {ExclusionEntry{"B", "", 0, "classb"}};
  TickOn(kA);
  TickOn(kB);
  EXPECT_EQ(app.TargetWindow, kA);
  EXPECT_EQ(LastMove(), kOnA);

  // The current target is excluded itself: the tick stops before placing it.
  app.settings.ExclusionEntries.push_back(ExclusionEntry{"A", "window a", 0, ""});
  const auto moves = widget.moves.size();
  desktop.Window(kA).rect = Rect{0, 0, 100, 100};
  Tick();
  EXPECT_EQ(widget.moves.size(), moves);
  TickOn(kC);
  EXPECT_EQ(app.TargetWindow, kC);
}

TEST_F(Tracking, AttachRecordsAndLeavingRestoresOnlyWhatWasChanged) {
  desktop.Window(kA).exStyle = kExTopMost | kExLayered;
  desktop.Window(kA).layered = LayeredAttributes{true, 0, 200, kLwaAlpha};
  desktop.Window(kC).exStyle = kExLayered;
  desktop.Window(kC).layered = LayeredAttributes{true, 0xFF00FF, 0, kLwaColorKey};

  TickOn(kA);
  EXPECT_TRUE(app.target.TargetTopMost);
  EXPECT_EQ(app.target.TargetAlpha, 200);
  EXPECT_TRUE(app.menu.TopMostChecked);
  EXPECT_TRUE(app.menu.LayerChecked);
  // Above a top-most target the widget goes to the top of the top-most band.
  EXPECT_EQ(LastMove(), (FakeWidget::Move{268, 68, true}));

  // The user makes A normal and opaque through the commands.
  desktop.SetTopMost(kA, false);
  desktop.SetExStyle(kA, desktop.GetExStyle(kA) & ~kExLayered);
  app.target.ChangedTopMost = app.target.ChangedLayer = true;

  TickOn(kC);
  EXPECT_EQ(desktop.Window(kA).exStyle, kExTopMost | kExLayered);
  EXPECT_EQ(desktop.Window(kA).layered, (LayeredAttributes{true, 0, 200, kLwaAlpha}));
  EXPECT_FALSE(app.menu.TopMostChecked);
  EXPECT_FALSE(app.menu.LayerChecked);
  EXPECT_EQ(app.target.TargetAlpha, 0);

  // C was never touched by the user: leaving it leaves it exactly as it is.
  desktop.ClearLog();
  TickOn(kB);
  EXPECT_TRUE(desktop.ChangesOn(kC).empty());
  EXPECT_EQ(desktop.Window(kC).exStyle, kExLayered);
  EXPECT_EQ(desktop.Window(kC).layered, (LayeredAttributes{true, 0xFF00FF, 0, kLwaColorKey}));
}

TEST_F(Tracking, HungWindowsAreLeftAloneUntilTheyAnswer) {
  TickOn(kA);
  desktop.SetTopMost(kA, true);
  app.target.ChangedTopMost = true;

  // A new foreground window that hangs is skipped: the widget stays on the old
  // target, which keeps its changes.
  desktop.Window(kB).hung = true;
  desktop.ClearLog();
  TickOn(kB);
  EXPECT_EQ(app.TargetWindow, kA);
  EXPECT_EQ(app.target.AttachedWindow, kA);
  EXPECT_TRUE(desktop.ChangesOn(kB).empty());
  EXPECT_TRUE(desktop.ChangesOn(kA).empty());
  EXPECT_TRUE(app.target.ChangedTopMost);

  desktop.Window(kB).hung = false;
  Tick();
  EXPECT_EQ(app.target.AttachedWindow, kB);
  EXPECT_EQ(desktop.ChangesOn(kA), std::vector<std::string>{"SetTopMost(256, 0)"});
  EXPECT_EQ(LastMove(), kOnB);

  // The attached target hangs: it is not placed against any more.
  desktop.Window(kB).hung = true;
  const auto moves2 = widget.moves.size();
  Tick();
  EXPECT_EQ(widget.moves.size(), moves2);
}

TEST_F(Tracking, ClockOffRemovesALeftoverClock) {
  TickOn(kA);
  // A clock that was left on B when it was switched off.
  SetTitleClock(app, desktop, kB, " 12:00");
  app.menu.TitleClockChecked = false;
  Tick();
  EXPECT_EQ(desktop.Window(kB).title, "Window B");
  EXPECT_EQ(app.clock.Window, 0u);
}

TEST_F(Tracking, VanishedTargetForgetsItsClock) {
  app.menu.TitleClockChecked = true;
  TickOn(kA);
  SetTitleClock(app, desktop, kA, " 12:00");
  desktop.Close(kA);
  desktop.ClearLog();
  Tick();
  EXPECT_EQ(app.clock.Window, 0u);
  EXPECT_EQ(desktop.Count("SetTitle"), 0);
}

class TrackingClock : public Tracking {
 protected:
  TrackingClock() { app.menu.TitleClockChecked = true; }
  std::string Now() { return CurrentClockText(app, ports); }
  void NextSecond() { ++clock.utc.second; }
};

TEST_F(TrackingClock, ClockRidesOnTheTargetAndMovesWithIt) {
  TickOn(kA);
  const std::string first = Now();
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(desktop.Window(kA).title, "Window A" + first);
  NextSecond();
  Tick();
  EXPECT_NE(Now(), first);
  EXPECT_EQ(desktop.Window(kA).title, "Window A" + Now());

  desktop.ClearLog();
  TickOn(kB);
  EXPECT_EQ(desktop.Window(kA).title, "Window A");
  EXPECT_EQ(desktop.Window(kB).title, "Window B" + Now());
  // A got its own title back before B got the clock.
  EXPECT_EQ(desktop.Log(), (std::vector<std::string>{
                               "Widget.SetTopMost(16, 1)", "Widget.Redraw(16)",
                               "Widget.MoveTo(16, 368,118)", "SetTitle(256, \"Window A\")",
                               "SetTitle(512, \"Window B" + Now() + "\")"}));
}

TEST_F(TrackingClock, GoesOnWhilePressedAndStandsStillWhileBusy) {
  TickOn(kA);
  app.drag.Pressed = true;
  NextSecond();
  TickOn(kB);
  EXPECT_EQ(desktop.Window(kA).title, "Window A" + Now());
  app.drag.Pressed = false;
  app.Busy = true;
  const std::string shown = desktop.Window(kA).title;
  NextSecond();
  Tick();
  EXPECT_EQ(desktop.Window(kA).title, shown);
}

TEST_F(TrackingClock, ExcludedTargetKeepsItsClockUntilAnotherWindowIsAttached) {
  TickOn(kA);
  const std::string shown = desktop.Window(kA).title;
  app.settings.ExclusionEntries = {ExclusionEntry{"A", "Window A", 1, ""}};
  NextSecond();
  Tick();
  EXPECT_EQ(desktop.Window(kA).title, shown);
  TickOn(kB);
  EXPECT_EQ(desktop.Window(kA).title, "Window A");
  EXPECT_EQ(desktop.Window(kB).title, "Window B" + Now());
}

TEST_F(TrackingClock, HungTargetGetsNoClockWrite) {
  TickOn(kA);
  desktop.Window(kA).hung = true;
  desktop.ClearLog();
  NextSecond();
  Tick();
  EXPECT_EQ(desktop.Count("SetTitle"), 0);
}

}  // namespace
}  // namespace tomari
