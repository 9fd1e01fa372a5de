#include "perch/follow_events.h"

#include <gtest/gtest.h>

#include "perch/tracking.h"
#include "support/world.h"

namespace tomari {
namespace {

using test::kWidget;
using Kind = WindowEventKind;

constexpr WindowHandle kDialog = 0x20, kA = 0x100, kB = 0x200;
constexpr std::int32_t kObjectCursor = -9;

struct FollowEvents : ::testing::Test, test::World {
  FollowEvents() {
    desktop.AddWindow(kA, "A", "ClassA", Rect{100, 100, 500, 400});
    desktop.AddWindow(kB, "B", "ClassB", Rect{200, 150, 600, 450});
    app.ownWindows.Add(kDialog);
    desktop.SetForegroundWindow(kA);
    TrackingTick(app, ports);
  }
};

TEST_F(FollowEvents, OnlyTheTargetsOwnWindowAndNewForegroundWindowsConcernTracking) {
  struct Case {
    WindowEvent e;
    bool concerns;
  } cases[] = {
      {{Kind::Location, kA}, true},
      {{Kind::Minimize, kA}, true},
      {{Kind::Destroy, kA}, true},
      {{Kind::Foreground, kB}, true},
      {{Kind::Location, kB}, false},                 // not the target
      {{Kind::Location, kA, kObjectCursor}, false},  // the pointer, a caret...
      {{Kind::Location, kA, 0, 3}, false},           // a child element
      {{Kind::Foreground, kDialog}, false},          // our own windows are never targets
      {{Kind::Foreground, kWidget}, false},
      {{Kind::Foreground, 0}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ConcernsTracking(app, c.e), c.concerns)
        << static_cast<int>(c.e.kind) << " " << c.e.window << " " << c.e.object;

  // When the tick would not act, no event asks for it.
  app.menu.WindowSetChecked = true;  // fixed mode ignores the foreground
  EXPECT_FALSE(ConcernsTracking(app, {Kind::Foreground, kB}));
  EXPECT_TRUE(ConcernsTracking(app, {Kind::Location, kA}));
  app.menu.WindowSetChecked = false;
  for (bool* flag : {&app.Busy, &app.drag.Pressed}) {
    *flag = true;
    EXPECT_FALSE(ConcernsTracking(app, {Kind::Location, kA}));
    EXPECT_FALSE(ConcernsTracking(app, {Kind::Foreground, kB}));
    *flag = false;
  }
  // Without a target (the widget's own handle) only the foreground counts.
  app.TargetWindow = kWidget;
  EXPECT_FALSE(ConcernsTracking(app, {Kind::Location, kWidget}));
  EXPECT_FALSE(ConcernsTracking(app, {Kind::Location, kA}));
}

TEST_F(FollowEvents, ABurstAsksForOneTickAndTheTickFollowsTheLastPosition) {
  TickCoalescer coalescer;
  int asked = 0;
  // A drag of the target: many steps, mixed with other windows' chatter.
  for (int step = 1; step <= 30; ++step) {
    desktop.Window(kA).rect = Rect{100 + step, 100, 500 + step, 400};
    asked += coalescer.Offer(app, {Kind::Location, kA});
    asked += coalescer.Offer(app, {Kind::Location, kB});
    asked += coalescer.Offer(app, {Kind::Location, kA, kObjectCursor});
  }
  EXPECT_EQ(asked, 1);
  ASSERT_TRUE(coalescer.Take());
  EXPECT_FALSE(coalescer.Take()) << "one tick per request";
  TrackingTick(app, ports);
  EXPECT_EQ(widget.moves.back(), (test::FakeWidget::Move{298, 68, false}));
  // Ignored events leave nothing pending; the next concerning one asks again.
  EXPECT_FALSE(coalescer.Offer(app, {Kind::Destroy, kB}));
  EXPECT_FALSE(coalescer.Take());
  EXPECT_TRUE(coalescer.Offer(app, {Kind::Foreground, kB}));
}

// What a tick costs in reads of other windows: the tick runs up to a thousand
// times a second, for events and the timer alike.
TEST_F(FollowEvents, ASteadyTickReadsTheTargetOnceAndASwitchReadsTheNewWindowOnce) {
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
  TrackingTick(app, ports);
  EXPECT_EQ(reads(), "10110");
  desktop.ClearLog();
  desktop.SetForegroundWindow(kB);
  TrackingTick(app, ports);
  EXPECT_EQ(app.target.AttachedWindow, kB);
  EXPECT_EQ(reads().substr(1, 3), "111");
}

}  // namespace
}  // namespace tomari
