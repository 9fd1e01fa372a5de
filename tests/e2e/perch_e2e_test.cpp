// Tomari.exe as a user meets it, under Wine: how it starts and ends, where the
// widget perches, and what the skins look like (screenshots).
#include <gtest/gtest.h>

#include <string>

#include "e2e/e2e_support.h"

using namespace e2e;

namespace {

constexpr const wchar_t* kWidgetClass = L"TomariWidget";

bool WidgetAt(HWND widget, LONG x, LONG y) {
  return WaitUntil([&] { return WindowRect(widget).left == x && WindowRect(widget).top == y; },
                   5000);
}

}  // namespace

TEST(Startup, FirstRunWritesTheDefaultsAndASecondInstanceEndsAtOnce) {
  TomariRun run;
  ASSERT_TRUE(run.Start(L"first-start"));
  Process second;
  ASSERT_TRUE(second.Start(run.dir + L"Tomari.exe", L""));
  EXPECT_TRUE(second.WaitExit(10000));
  EXPECT_EQ(CountWindows(kWidgetClass), 1);
  ASSERT_TRUE(run.Close());
  const std::string folder = Narrow(run.dir);
  EXPECT_EQ(run.SettingsFile(),
            "[Main]\r\nTiming= 100\r\nMulti= 0\r\nSkin=" + folder +
                "Skins\\Default\\Default.tsk\r\n"
                "[Position]\r\nAuto= 1\r\nX= 2\r\nY= 0\r\nX-Offset= 0\r\nY-Offset= 0\r\n"
                "[Layer]\r\nTransparency= 128\r\n[Drag]\r\nParent= 0\r\n"
                "[Capture]\r\nType= 0\r\nSaveType= 0\r\nSaveFolder=" + folder +
                "\r\nFileType= 0\r\nJpeg_Value= 100\r\nJpeg_Progressive= 0\r\nPng_Value= 0\r\n"
                "[TitleClock]\r\nPosition= 1\r\nFormatText=\" <yyyy/mm/dd hh:mm:ss> \"\r\n"
                "WorldTime= 17\r\nWorldTime_PM= 0\r\nWorldTime_Hour= 0\r\nWorldTime_Minute= 0\r\n"
                "WorldTime_SDT= 0\r\nCheck= 0\r\n[AntiPercher001]\r\nName=\r\n");
}

TEST(Startup, TheMapSkinPerchesWhereTheSettingsSayClampedToTheScreen) {
  Process target;
  HWND t = StartTarget(target, L"--rect 0,200,300,200");
  ASSERT_TRUE(t);
  TomariRun run;
  // Outside to the left of a target at the screen's left edge, 5 pixels down.
  ASSERT_TRUE(run.Start(L"skin-branch", "[Main]\r\nSkin={DIR}Skins\\Branch\\Branch.tsk\r\n"
                                        "[Position]\r\nX=0\r\nY=1\r\nY-Offset=5\r\n"));
  const RECT w = WindowRect(run.widget);
  EXPECT_TRUE(WidgetAt(run.widget, 0, WindowRect(t).top + 5))
      << WindowRect(run.widget).left << "," << WindowRect(run.widget).top;
  // The skin's key-coloured corners are left out of the window's region.
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(run.widget, rgn), ERROR);
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  EXPECT_TRUE(PtInRegion(rgn, (w.right - w.left) / 2, (w.bottom - w.top) / 2));
  DeleteObject(rgn);
  SaveScreenshot(L"skin-branch");
  EXPECT_TRUE(run.Close());
}

TEST(Startup, WithoutItsSkinAndWithTheTickOffTheBareWidgetStaysAndSaves) {
  Process target;
  HWND t = StartTarget(target, L"--rect 300,300,300,200");
  ASSERT_TRUE(t);
  TomariRun run;
  ASSERT_TRUE(run.Start(L"noskin", "[Main]\r\nTiming=0\r\nSkin=C:\\nowhere\\Missing.tsk\r\n"));
  const RECT before = WindowRect(run.widget);
  EXPECT_EQ(before.right - before.left, 150);
  EXPECT_EQ(before.bottom - before.top, 20);
  Pump(800);
  EXPECT_EQ(WindowRect(run.widget).left, before.left) << "the tick ran although Timing is 0";
  SaveScreenshot(L"noskin");
  ASSERT_TRUE(run.Close());
  // The stored path is kept as the user chose it.
  const std::string saved = run.SettingsFile();
  EXPECT_NE(saved.find("Timing= 0\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Skin=C:\\nowhere\\Missing.tsk\r\n"), std::string::npos) << saved;
}
