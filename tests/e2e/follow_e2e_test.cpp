// Following by window events: a target that reports its moves and activations
// is followed at once, with a tick period so long that the timer cannot be
// what moved the widget. (The tick's own following is seen in widget_e2e.)
#include <gtest/gtest.h>

#include "win32/win32_test_support.h"

using namespace win32test;

namespace {

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
  ASSERT_TRUE(silent.Start(L"--rect 60,400,300,200", true));
  ASSERT_TRUE(reporting.Start(L"--notify-events --rect 200,200,400,300", true));
  const HWND t = reporting.hwnd();
  auto follows = [&] { return PerchedOn(run.widget, t, true, 10000); };
  ASSERT_TRUE(follows()) << "the activation's event attaches";
  for (const POINT step : {POINT{40, 0}, POINT{0, 30}, POINT{-70, -20}}) {
    MoveBy(t, step.x, step.y);
    EXPECT_TRUE(follows()) << step.x << "," << step.y;
  }
  // The control: a window that reports nothing is not followed, neither when
  // it comes to the front nor when it moves; only a timer tick could do that.
  ASSERT_TRUE(Activate(silent.hwnd()));
  MoveBy(silent.hwnd(), 20, 0);
  Pump(1500);
  EXPECT_TRUE(PerchedOn(run.widget, t, true, 0));
  EXPECT_TRUE(run.Close());
}
