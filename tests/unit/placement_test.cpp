#include "perch/placement.h"

#include <gtest/gtest.h>

#include "support/world.h"

namespace tomari {
namespace {

constexpr WindowHandle kTarget = 0x100;

class Placement : public ::testing::Test, protected test::World {
 protected:
  Placement() { desktop.AddWindow(kTarget, "Target", "TargetClass", Rect{100, 100, 500, 400}); }
  // Places against the target and returns where the widget went.
  Point Place(int anchorX, int anchorY, int offsetX = 0, int offsetY = 0) {
    app.settings.PositionX = anchorX;
    app.settings.PositionY = anchorY;
    app.settings.PositionXOffset = offsetX;
    app.settings.PositionYOffset = offsetY;
    const auto before = widget.moves.size();
    PlaceWidget(app, ports, kTarget);
    if (widget.moves.size() != before + 1) return Point{-99999, -99999};
    return Point{widget.moves.back().x, widget.moves.back().y};
  }
};

TEST_F(Placement, TwoMonitorsUseTheOneTheWidgetOverlapsMost) {
  desktop.monitors = {Rect{0, 0, 1024, 768}, Rect{1024, 0, 2304, 1024}};
  // Across the seam: more of it on the first monitor, so it is pushed back
  // onto the first (left and up), not kept on the second ...
  desktop.Window(kTarget).rect = Rect{700, 700, 1050, 900};
  EXPECT_EQ(Place(4, 1, -80, 50), (Point{960, 768 - 32}));
  // ... and more of it on the second: pushed right onto the second.
  EXPECT_EQ(Place(4, 1, -50, 50), (Point{1024, 750}));
}

TEST(MonitorRect, LargestOverlapThenNearestThenFirst) {
  test::FakeDesktop screen;
  screen.monitors = {Rect{0, 0, 100, 100}, Rect{100, 0, 200, 100}, Rect{0, 200, 100, 300}};
  EXPECT_EQ(GetMonitorRect(screen, Rect{60, 10, 150, 20}), screen.monitors[1]);
  // Equal overlap: the first (primary) wins.
  EXPECT_EQ(GetMonitorRect(screen, Rect{50, 10, 150, 20}), screen.monitors[0]);
  // In the gap between the first and third monitors, nearer the third.
  EXPECT_EQ(GetMonitorRect(screen, Rect{10, 160, 20, 190}), screen.monitors[2]);
  // Diagonal distance, not the distance along one axis.
  // (Counting dx + dy instead would pick the third.)
  EXPECT_EQ(GetMonitorRect(screen, Rect{300, 250, 310, 260}), screen.monitors[1]);
  // Equally near: the first.
  EXPECT_EQ(GetMonitorRect(screen, Rect{10, 145, 20, 155}), screen.monitors[0]);
  // Far away does not overflow, and still tells the distances apart.
  EXPECT_EQ(GetMonitorRect(screen, Rect{2000000000, 2000000000, 2100000000, 2100000000}),
            screen.monitors[2]);
  EXPECT_EQ(GetMonitorRect(screen, Rect{-2100000000, -2100000000, -2000000000, -2000000000}),
            screen.monitors[0]);
}

TEST_F(Placement, ClosedTargetAndWildOffsetsStayWellDefined) {
  desktop.Close(kTarget);
  EXPECT_EQ(Place(2, 0), (Point{0, 0}));  // against an empty rectangle, clamped
  EXPECT_EQ(Place(4, 4, 2147483647, -2147483647 - 1), (Point{1024 - 64, 0}));
  EXPECT_EQ(Place(0, 0, -2147483647 - 1, 2147483647), (Point{0, 768 - 32}));
}

}  // namespace
}  // namespace tomari
