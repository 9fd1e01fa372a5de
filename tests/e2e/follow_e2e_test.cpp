// Following by window events: a target that reports its moves and activations
// is followed at once, with a tick period so long that the timer cannot be
// what moved the widget; a target that reports nothing is followed by the tick.
#include <gtest/gtest.h>

#include "win32/win32_test_support.h"

using namespace win32test;

namespace {

// Centred above the target, as the default anchors put the widget.
bool Above(HWND widget, HWND target) {
  const RECT w = WindowRect(widget), t = WindowRect(target);
  return w.bottom == t.top && (w.left - t.left) - (t.right - w.right) <= 1 &&
         (t.right - w.right) - (w.left - t.left) <= 1;
}
bool FollowsTo(HWND widget, HWND target) {
  return WaitUntil([&] { return Above(widget, target); }, 10000);
}
void MoveBy(HWND h, int dx, int dy) {
  const RECT r = WindowRect(h);
  SetWindowPos(h, nullptr, r.left + dx, r.top + dy, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TEST(FollowEvents, AReportingTargetIsFollowedWithoutTheTimer) {
  TomariRun run;
  // Ten minutes: within this test the tracking timer never fires.
  ASSERT_TRUE(run.Start(L"follow-events", "[Main]\r\nTiming=600000\r\n"));
  Target silent, reporting;
  HWND quiet = silent.Start(L"--rect 60,400,300,200", true) ? silent.hwnd() : nullptr;
  ASSERT_TRUE(quiet);
  HWND t = reporting.Start(L"--notify-events --rect 200,200,400,300", true) ? reporting.hwnd() : nullptr;
  ASSERT_TRUE(t);
  ASSERT_TRUE(FollowsTo(run.widget, t)) << "the activation's event attaches";
  for (const POINT step : {POINT{40, 0}, POINT{0, 30}, POINT{-70, -20}}) {
    MoveBy(t, step.x, step.y);
    EXPECT_TRUE(FollowsTo(run.widget, t)) << step.x << "," << step.y;
  }
  // The control: a window that reports nothing is not followed, neither when
  // it comes to the front nor when it moves; only a timer tick could do that.
  ASSERT_TRUE(Activate(quiet));
  MoveBy(quiet, 20, 0);
  Pump(1500);
  EXPECT_TRUE(Above(run.widget, t));
  EXPECT_TRUE(run.Close());
}

TEST(FollowEvents, ASilentTargetIsFollowedByTheTick) {
  TomariRun run;
  ASSERT_TRUE(run.Start(L"follow-tick", "[Main]\r\nTiming=200\r\n"));
  Target target;
  HWND t = target.Start(L"--rect 200,200,400,300", true) ? target.hwnd() : nullptr;
  ASSERT_TRUE(t);
  ASSERT_TRUE(FollowsTo(run.widget, t));
  MoveBy(t, 50, 40);
  EXPECT_TRUE(FollowsTo(run.widget, t));
  EXPECT_TRUE(run.Close());
}
