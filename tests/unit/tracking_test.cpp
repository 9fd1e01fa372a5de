#include "perch/tracking.h"

#include <gtest/gtest.h>

#include "clock/title_clock.h"
#include "perch/follow_events.h"
#include "support/world.h"

namespace tomari {
namespace {

using test::FakeWidget;
using Kind = WindowEventKind;

constexpr WindowHandle kDialog = 0x20, kA = 0x100, kB = 0x200;

class Tracking : public ::testing::Test, protected test::World {
 protected:
  Tracking() {
    desktop.AddWindow(kA, "Window A", "ClassA", Rect{100, 100, 500, 400});
    desktop.AddWindow(kB, "Window B", "ClassB", Rect{200, 150, 600, 450});
  }
  void Tick() { TrackingTick(app, ports); }
  void TickOn(WindowHandle foreground) {
    desktop.SetForegroundWindow(foreground);
    Tick();
  }
  FakeWidget::Move LastMove() const {
    return widget.moves.empty() ? FakeWidget::Move{-999, -999, false} : widget.moves.back();
  }
};

TEST_F(Tracking, FollowsTheForegroundWindowAndAttachesOncePerWindow) {
  TickOn(kA);
  EXPECT_EQ(widget.topMostChanges, std::vector<bool>{true});
  EXPECT_EQ(LastMove(), (FakeWidget::Move{268, 68, false}));  // centred above A

  desktop.Window(kA).rect = Rect{110, 100, 510, 400};
  Tick();  // follows without attaching anew
  EXPECT_EQ(LastMove(), (FakeWidget::Move{278, 68, false}));
  EXPECT_EQ(widget.topMostChanges.size(), 1u);

  // Above a top-most target the widget joins the top-most band.
  desktop.Window(kB).exStyle = kExTopMost;
  TickOn(kB);
  EXPECT_EQ(LastMove(), (FakeWidget::Move{368, 118, true}));
}

TEST_F(Tracking, WithTheTargetExcludedOrHungTheWidgetStaysWhereItIs) {
  TickOn(kA);
  const auto moves = widget.moves.size();
  desktop.Window(kA).rect = Rect{0, 0, 100, 100};
  app.settings.ExclusionEntries = {ExclusionEntry{"A", "window a", 0, ""}};
  Tick();
  app.settings.ExclusionEntries.clear();
  desktop.Window(kA).hung = true;
  Tick();
  EXPECT_EQ(widget.moves.size(), moves);
}

TEST_F(Tracking, VanishedTargetParksTheWidgetEndsFixedModeAndTakesTheClockAlong) {
  app.menu.TitleClockChecked = true;
  TickOn(kA);
  app.menu.WindowSetChecked = true;
  desktop.Close(kA);
  desktop.ClearLog();
  Tick();
  EXPECT_EQ(test::MenuFlags(app.menu), "--c----");
  // There is no title left to write the clock back into.
  EXPECT_EQ(app.clock.Window, 0u);
  EXPECT_EQ(desktop.Count("SetTitle"), 0);
  EXPECT_EQ(LastMove(), (FakeWidget::Move{0, 0, false}));
  TickOn(kB);  // the next window is attached
  EXPECT_TRUE(app.menu.WindowMenuEnabled);
}

TEST_F(Tracking, TheClockRidesOnTheTargetEvenWhilePressedAndGoesWhenTurnedOff) {
  app.menu.TitleClockChecked = true;
  TickOn(kA);
  app.drag.Pressed = true;
  ++clock.utc.second;
  TickOn(kB);
  EXPECT_EQ(desktop.Window(kA).title, "Window A" + CurrentClockText(app, ports));
  app.drag.Pressed = false;
  TickOn(kB);
  EXPECT_EQ(desktop.Window(kA).title, "Window A");
  EXPECT_EQ(desktop.Window(kB).title, "Window B" + CurrentClockText(app, ports));

  app.menu.TitleClockChecked = false;
  Tick();
  EXPECT_EQ(desktop.Window(kB).title, "Window B");
}

// Which window events ask for a tick between the timer's, attached to A.
using FollowEvents = Tracking;

TEST_F(FollowEvents, OnlyTheTargetsOwnWindowAndNewForegroundWindowsConcernTracking) {
  app.ownWindows.Add(kDialog);
  TickOn(kA);
  const std::pair<WindowEvent, bool> cases[] = {
      {{Kind::Location, kA}, true},         {{Kind::Foreground, kB}, true},
      {{Kind::Location, kB}, false},         // not the target
      {{Kind::Location, kA, -9}, false},     // the pointer (OBJID_CURSOR), a caret...
      {{Kind::Location, kA, 0, 3}, false},   // a child element
      {{Kind::Foreground, kDialog}, false},  // our own windows are never targets
      {{Kind::Foreground, 0}, false},
  };
  for (const auto& [e, concerns] : cases)
    EXPECT_EQ(ConcernsTracking(app, e), concerns)
        << static_cast<int>(e.kind) << " " << e.window << " " << e.object;

  // When the tick would not act, no event asks for it.
  app.menu.WindowSetChecked = true;  // fixed mode ignores the foreground
  EXPECT_FALSE(ConcernsTracking(app, {Kind::Foreground, kB}));
  app.menu.WindowSetChecked = false;
  for (bool* flag : {&app.Busy, &app.drag.Pressed}) {
    *flag = true;
    EXPECT_FALSE(ConcernsTracking(app, {Kind::Location, kA}));
    *flag = false;
  }
}

TEST_F(FollowEvents, ABurstAsksForOneTick) {
  TickOn(kA);
  TickCoalescer coalescer;
  int asked = 0;
  // A drag of the target: many steps, mixed with other windows' chatter.
  for (int step = 1; step <= 30; ++step) {
    asked += coalescer.Offer(app, {Kind::Location, kA});
    asked += coalescer.Offer(app, {Kind::Location, kB});
  }
  EXPECT_EQ(asked, 1);
  ASSERT_TRUE(coalescer.Take());
  EXPECT_FALSE(coalescer.Take()) << "one tick per request";
}

// What a tick costs in reads of other windows: the tick runs up to a thousand
// times a second, for events and the timer alike.
TEST_F(FollowEvents, ASteadyTickReadsTheTargetOnceAndASwitchReadsTheNewWindowOnce) {
  TickOn(kA);
  app.settings.ExclusionEntries.push_back({"x", "never", 0, "NoSuchClass"});
  desktop.ClearLog();
  // Foreground, GetRect and the title (which rules the entry out before its
  // class is needed), once each; nothing else: a target standing where it was
  // placed is not asked whether it answers.
  const auto reads = [this] {
    const test::FakeReadCounts& r = desktop.reads;
    return std::to_string(r.foreground) + std::to_string(r.isHung) + std::to_string(r.getRect) +
           std::to_string(r.getTitle) + std::to_string(r.isWindow + r.getExStyle + r.getClassName);
  };
  Tick();
  EXPECT_EQ(reads(), "10110");
  desktop.ClearLog();
  TickOn(kB);
  EXPECT_EQ(reads().substr(1, 3), "111");
}

}  // namespace
}  // namespace tomari
