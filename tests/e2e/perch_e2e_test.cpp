// Tomari.exe perching on a window of another process, under Wine.
#include <gtest/gtest.h>

#include <string>

#include "e2e/e2e_support.h"

using namespace e2e;

namespace {

constexpr const wchar_t* kWidgetClass = L"TomariWidget";

// Where the anchor table puts a widget of w x h beside `t` (no offsets, no clamp).
POINT AnchorPoint(const RECT& t, int ax, int ay, int w, int h) {
  auto base = [](int anchor, int lo, int hi, int size) {
    switch (anchor) {
      case 0: return lo - size;
      case 1: return lo;
      case 2: return lo + ((hi - lo) - size) / 2;
      case 3: return hi - size;
      case 4: return hi;
      default: return 0;
    }
  };
  return {base(ax, t.left, t.right, w), base(ay, t.top, t.bottom, h)};
}

bool WidgetAt(HWND widget, LONG x, LONG y) {
  RECT r = WindowRect(widget);
  return r.left == x && r.top == y;
}

using Running = TomariRun;

}  // namespace

TEST(Perching, WidgetSitsAboveTheTargetAndFollowsItWithoutTakingTheKeyboard) {
  Process target;
  HWND t = StartTarget(target, L"--title \"Perch target\" --rect 300,300,400,300 --edit");
  ASSERT_TRUE(t);
  HWND edit = FindWindowExW(t, nullptr, L"EDIT", nullptr);
  ASSERT_TRUE(edit);

  Running run;
  ASSERT_TRUE(run.Start(L"perch"));
  RECT w = WindowRect(run.widget);
  const int ww = w.right - w.left, wh = w.bottom - w.top;
  // The Default skin's size, not the bare widget's.
  EXPECT_GT(ww, 150);
  EXPECT_GT(wh, 20);
  LONG ex = GetWindowLongW(run.widget, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(GetWindowLongW(run.widget, GWL_STYLE) & WS_CAPTION);

  RECT tr = WindowRect(t);
  POINT expect = AnchorPoint(tr, 2, 0, ww, wh);
  EXPECT_TRUE(WaitUntil([&] { return WidgetAt(run.widget, expect.x, expect.y); }, 5000))
      << "widget at " << WindowRect(run.widget).left << "," << WindowRect(run.widget).top
      << ", expected " << expect.x << "," << expect.y;
  SaveScreenshot(L"perch-default");

  // The target is moved: the widget follows at the next ticks.
  SetWindowPos(t, nullptr, 120, 420, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  tr = WindowRect(t);
  expect = AnchorPoint(tr, 2, 0, ww, wh);
  EXPECT_TRUE(WaitUntil([&] { return WidgetAt(run.widget, expect.x, expect.y); }, 5000))
      << "widget at " << WindowRect(run.widget).left << "," << WindowRect(run.widget).top
      << ", expected " << expect.x << "," << expect.y;

  // Many ticks later the user's window still has the keyboard.
  Pump(600);
  EXPECT_EQ(GetForegroundWindow(), t);
  GUITHREADINFO gti{};
  gti.cbSize = sizeof(gti);
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(t, nullptr), &gti));
  EXPECT_EQ(gti.hwndFocus, edit);
  EXPECT_EQ(gti.hwndActive, t);

  EXPECT_TRUE(run.Close());
}

TEST(Perching, AnchorsOffsetsAndTheMonitorClamp) {
  // Inside the bottom-right corner, pulled 12 pixels left by the offset.
  {
    Process target;
    HWND t = StartTarget(target, L"--rect 200,150,500,400");
    ASSERT_TRUE(t);
    Running run;
    ASSERT_TRUE(run.Start(L"anchor1",
                          "[Main]\r\nTiming=50\r\n[Position]\r\nX=3\r\nY=3\r\n"
                          "X-Offset=-12\r\nY-Offset=5\r\n"));
    RECT tr = WindowRect(t);
    RECT w = WindowRect(run.widget);
    POINT p = AnchorPoint(tr, 3, 3, w.right - w.left, w.bottom - w.top);
    EXPECT_TRUE(WaitUntil([&] { return WidgetAt(run.widget, p.x - 12, p.y + 5); }, 5000))
        << "widget at " << WindowRect(run.widget).left << "," << WindowRect(run.widget).top;
    EXPECT_TRUE(run.Close());
  }
  // Outside to the left of a target at the screen's left edge: clamped to x = 0.
  {
    Process target;
    HWND t = StartTarget(target, L"--rect 0,200,300,200");
    ASSERT_TRUE(t);
    Running run;
    ASSERT_TRUE(run.Start(L"anchor2", "[Position]\r\nX=0\r\nY=1\r\n"));
    RECT tr = WindowRect(t);
    RECT w = WindowRect(run.widget);
    POINT p = AnchorPoint(tr, 0, 1, w.right - w.left, w.bottom - w.top);
    ASSERT_LT(p.x, 0);
    EXPECT_TRUE(WaitUntil([&] { return WidgetAt(run.widget, 0, p.y); }, 5000))
        << "widget at " << WindowRect(run.widget).left << "," << WindowRect(run.widget).top;
    EXPECT_TRUE(run.Close());
  }
}

TEST(Skins, WithoutTheSkinFileTheBareWidgetPerches) {
  Process target;
  HWND t = StartTarget(target, L"--title \"No skin\" --rect 300,300,400,300");
  ASSERT_TRUE(t);
  Running run;
  ASSERT_TRUE(run.Start(L"noskin", "[Main]\r\nSkin=C:\\nowhere\\Missing.tsk\r\n"));
  RECT w = WindowRect(run.widget);
  EXPECT_EQ(w.right - w.left, 150);
  EXPECT_EQ(w.bottom - w.top, 20);
  POINT p = AnchorPoint(WindowRect(t), 2, 0, 150, 20);
  EXPECT_TRUE(WaitUntil([&] { return WidgetAt(run.widget, p.x, p.y); }, 5000));
  SaveScreenshot(L"noskin");
  ASSERT_TRUE(run.Close());
  // The stored path is kept as the user chose it.
  EXPECT_NE(ReadFileBytes(run.dir + L"Setting.ini").find("Skin=C:\\nowhere\\Missing.tsk\r\n"),
            std::string::npos);
}

TEST(Skins, TheDefaultAndTheMapSkinPerchWithTheirOutlines) {
  Process target;
  HWND t = StartTarget(target, L"--title \"Skins\" --rect 260,260,480,300");
  ASSERT_TRUE(t);
  for (const char* skin : {"Default\\Default.tsk", "Branch\\Branch.tsk"}) {
    SCOPED_TRACE(skin);
    Running run;
    ASSERT_TRUE(run.Start(L"skin", std::string("[Main]\r\nSkin={DIR}Skins\\") + skin + "\r\n"));
    RECT w = WindowRect(run.widget);
    POINT p = AnchorPoint(WindowRect(t), 2, 0, w.right - w.left, w.bottom - w.top);
    EXPECT_TRUE(WaitUntil([&] { return WidgetAt(run.widget, p.x, p.y); }, 5000));
    // Both skins have key-coloured corners: the window's region leaves them out.
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(run.widget, rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_TRUE(PtInRegion(rgn, (w.right - w.left) / 2, (w.bottom - w.top) / 2));
    DeleteObject(rgn);
    SaveScreenshot(std::string(skin).find("Branch") != std::string::npos ? L"skin-branch"
                                                                           : L"skin-default");
    ASSERT_TRUE(run.Close());
  }
}

TEST(Instances, ASecondInstanceEndsWithoutAWindowUnlessMultiAllowsIt) {
  Running first;
  ASSERT_TRUE(first.Start(L"instance"));
  ASSERT_EQ(CountWindows(kWidgetClass), 1);

  Process second;
  ASSERT_TRUE(second.Start(first.dir + L"Tomari.exe", L""));
  EXPECT_TRUE(second.WaitExit(10000));
  EXPECT_EQ(CountWindows(kWidgetClass), 1);
  EXPECT_TRUE(first.Close());

  // With Multi set, a second instance runs with a widget of its own.
  Running a, b;
  ASSERT_TRUE(a.Start(L"multi-a", "[Main]\r\nMulti=1\r\n"));
  ASSERT_TRUE(b.Start(L"multi-b", "[Main]\r\nMulti=1\r\n"));
  EXPECT_EQ(CountWindows(kWidgetClass), 2);
  EXPECT_TRUE(a.Close());
  EXPECT_TRUE(b.Close());
}

TEST(Shutdown, WmCloseWritesTheDefaultSettingsFile) {
  Running run;
  ASSERT_TRUE(run.Start(L"first-start"));
  Pump(300);
  ASSERT_TRUE(run.Close());
  const std::string folder = Narrow(run.dir);
  const std::string expected =
      "[Main]\r\nTiming= 100\r\nMulti= 0\r\nSkin=" + folder +
      "Skins\\Default\\Default.tsk\r\n"
      "[Position]\r\nAuto= 1\r\nX= 2\r\nY= 0\r\nX-Offset= 0\r\nY-Offset= 0\r\n"
      "[Layer]\r\nTransparency= 128\r\n"
      "[Drag]\r\nParent= 0\r\n"
      "[Capture]\r\nType= 0\r\nSaveType= 0\r\nSaveFolder=" + folder +
      "\r\nFileType= 0\r\nJpeg_Value= 100\r\nJpeg_Progressive= 0\r\nPng_Value= 0\r\n"
      "[TitleClock]\r\nPosition= 1\r\nFormatText=\" <yyyy/mm/dd hh:mm:ss> \"\r\n"
      "WorldTime= 17\r\nWorldTime_PM= 0\r\nWorldTime_Hour= 0\r\nWorldTime_Minute= 0\r\n"
      "WorldTime_SDT= 0\r\nCheck= 0\r\n"
      "[AntiPercher001]\r\nName=\r\n";
  EXPECT_EQ(ReadFileBytes(run.dir + L"Setting.ini"), expected);
}

TEST(Shutdown, ATimingOfZeroStopsTheTickButTheProgramStillClosesAndSaves) {
  Process target;
  HWND t = StartTarget(target, L"--rect 300,300,300,200");
  ASSERT_TRUE(t);
  Running run;
  ASSERT_TRUE(run.Start(L"timing0", "[Main]\r\nTiming=0\r\n"));
  Pump(800);
  RECT tr = WindowRect(t);
  RECT w = WindowRect(run.widget);
  POINT p = AnchorPoint(tr, 2, 0, w.right - w.left, w.bottom - w.top);
  EXPECT_FALSE(WidgetAt(run.widget, p.x, p.y)) << "the tick ran although Timing is 0";
  ASSERT_TRUE(run.Close());
  std::string saved = ReadFileBytes(run.dir + L"Setting.ini");
  EXPECT_NE(saved.find("Timing= 0\r\n"), std::string::npos) << saved;
}
