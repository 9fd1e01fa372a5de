// Win32WindowSystem against real windows: ours, and another process's
// (target_app.exe), in the Wine virtual desktop.
#include <gtest/gtest.h>

#include "win32/ports/win_windows.h"
#include "win32/win32_test_support.h"

namespace tomari {
namespace {

using win32test::OwnWindow;
using win32test::Pump;
using win32test::Target;
using win32test::WaitUntil;

TEST(WindowSystemTest, MovesAndTopMostReachAnotherProcessWithoutTakingTheKeyboard) {
  Win32WindowSystem ws;
  Target target;
  ASSERT_TRUE(target.Start(L"--rect 200,150,320,240"));
  const WindowHandle t = FromHwnd(target.hwnd());
  EXPECT_TRUE(WaitUntil([&] { return ws.Foreground() == t; }));
  Rect r;
  ASSERT_TRUE(ws.GetRect(t, r));
  EXPECT_EQ(r, (Rect{200, 150, 520, 390}));
  // A window of ours holds the keyboard; nothing done to the target takes it.
  OwnWindow own(L"Keeps the keyboard", 0, nullptr, {600, 400, 800, 600});
  SetForegroundWindow(own.hwnd());
  ASSERT_TRUE(WaitUntil([&] { return ws.Foreground() == FromHwnd(own.hwnd()); }));

  EXPECT_TRUE(ws.MoveTo(t, 40, 60));
  EXPECT_TRUE(WaitUntil([&] { return ws.GetRect(t, r) && r == Rect{40, 60, 360, 300}; }))
      << r.left << "," << r.top << " " << r.Width() << "x" << r.Height();
  ASSERT_EQ(ws.GetExStyle(t) & kExTopMost, 0u);
  EXPECT_TRUE(ws.SetTopMost(t, true));
  EXPECT_TRUE(WaitUntil([&] { return (ws.GetExStyle(t) & kExTopMost) != 0; }));
  EXPECT_TRUE(ws.SetTopMost(t, false));
  EXPECT_TRUE(WaitUntil([&] { return (ws.GetExStyle(t) & kExTopMost) == 0; }));
  Pump(200);
  EXPECT_EQ(GetForegroundWindow(), own.hwnd());
  // Our own window takes the changes before the calls return.
  const WindowHandle h = FromHwnd(own.hwnd());
  EXPECT_TRUE(ws.MoveTo(h, -50, 700));
  ASSERT_TRUE(ws.GetRect(h, r));
  EXPECT_EQ(r, (Rect{-50, 700, 150, 900}));
  EXPECT_TRUE(ws.SetTopMost(h, true));
  EXPECT_NE(ws.GetExStyle(h) & kExTopMost, 0u);
  EXPECT_TRUE(ws.SetExStyle(h, 0)) << "a style of 0 is a real style, not a failure";
}

TEST(WindowSystemTest, LayeredAttributesAreSetAndReadBackWhereTheSystemAllows) {
  Win32WindowSystem ws;
  Target alpha, plain, keyed, perPixel;
  ASSERT_TRUE(alpha.Start(L"--alpha 200"));
  ASSERT_TRUE(plain.Start(L""));
  ASSERT_TRUE(keyed.Start(L"--colorkey FF00FF"));
  ASSERT_TRUE(perPixel.Start(L"--per-pixel-alpha"));
  const WindowHandle a = FromHwnd(alpha.hwnd()), p = FromHwnd(plain.hwnd());
  EXPECT_EQ(ws.GetLayered(a), (LayeredAttributes{true, 0, 200, kLwaAlpha}));
  EXPECT_TRUE(ws.SetLayered(a, 0, 64, kLwaAlpha));
  EXPECT_EQ(ws.GetLayered(a), (LayeredAttributes{true, 0, 64, kLwaAlpha}));
  // A plain window made layered, the way the opacity command does it.
  EXPECT_FALSE(ws.GetLayered(p).readable);
  const std::uint32_t before = ws.GetExStyle(p);
  // Style and attributes land together, also when the call gives up waiting.
  ws.MakeLayered(p, 0, 128, kLwaAlpha);
  EXPECT_TRUE(WaitUntil([&] { return ws.GetLayered(p).readable; }));
  EXPECT_EQ(ws.GetExStyle(p), before | kExLayered);
  EXPECT_EQ(ws.GetLayered(p), (LayeredAttributes{true, 0, 128, kLwaAlpha}));
  const LayeredAttributes key = ws.GetLayered(FromHwnd(keyed.hwnd()));
  EXPECT_TRUE(key.readable);
  EXPECT_EQ(key.flags, kLwaColorKey);
  EXPECT_EQ(key.colorKey, static_cast<std::uint32_t>(RGB(255, 0, 255)));
  // Drawn through UpdateLayeredWindow: layered, but nothing can be read back.
  const WindowHandle pp = FromHwnd(perPixel.hwnd());
  EXPECT_NE(ws.GetExStyle(pp) & kExLayered, 0u);
  EXPECT_EQ(ws.GetLayered(pp), LayeredAttributes{});
}

TEST(WindowSystemTest, TitlesClassesAndOwnersOfAnotherProcess) {
  Win32WindowSystem ws;
  Target target;
  ASSERT_TRUE(target.Start(L"--owner --title \"한국어 제목 😀\" --class TomariTest_クラス名"));
  const WindowHandle t = FromHwnd(target.hwnd());
  // Korean and an emoji: nothing of it exists in code page 932.
  EXPECT_EQ(ws.GetTitle(t), "한국어 제목 😀");
  const std::string title = "トマリギ 시계 🕒 Ünïcödé";
  EXPECT_TRUE(ws.SetTitle(t, title));
  EXPECT_EQ(ws.GetTitle(t), title);
  std::string longTitle;
  for (int i = 0; i < 700; ++i) longTitle += "時計";
  EXPECT_TRUE(ws.SetTitle(t, longTitle));
  EXPECT_EQ(ws.GetTitle(t), longTitle) << "long titles are read whole";
  EXPECT_EQ(ws.ClassNameOf(t), "TomariTest_クラス名");
  const WindowHandle owner = ws.GetParent(t);
  EXPECT_EQ(ws.GetTitle(owner), "한국어 제목 😀 owner");
  EXPECT_EQ(ws.GetParent(owner), 0u);
  OwnWindow top;
  OwnWindow child(L"child", 0, top.hwnd(), {10, 10, 60, 40});
  EXPECT_EQ(ws.GetParent(FromHwnd(child.hwnd())), FromHwnd(top.hwnd()));
}

TEST(WindowSystemTest, AGoneWindowIsLeftAloneAndNothingIsReported) {
  Win32WindowSystem ws;
  WindowHandle gone;
  {
    Target target;
    ASSERT_TRUE(target.Start(L"--title Gone"));
    gone = FromHwnd(target.hwnd());
    EXPECT_TRUE(ws.IsWindow(gone));
  }
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(ToHwnd(gone)); }));
  for (WindowHandle h : {gone, WindowHandle{0}}) {
    EXPECT_FALSE(ws.IsWindow(h));
    Rect r{7, 7, 7, 7};
    EXPECT_FALSE(ws.GetRect(h, r));
    EXPECT_EQ(r, (Rect{7, 7, 7, 7}));
    EXPECT_EQ(ws.GetTitle(h) + ws.ClassNameOf(h), "");
    EXPECT_FALSE(ws.SetTitle(h, "x"));
    EXPECT_EQ(ws.GetExStyle(h), 0u);
    EXPECT_FALSE(ws.SetExStyle(h, kExLayered));
    EXPECT_FALSE(ws.SetTopMost(h, true));
    EXPECT_FALSE(ws.MoveTo(h, 0, 0));
    EXPECT_FALSE(ws.SetLayered(h, 0, 10, kLwaAlpha));
    EXPECT_FALSE(ws.GetLayered(h).readable);
    EXPECT_FALSE(ws.IsHung(h));
    EXPECT_EQ(ws.GetParent(h), 0u);
  }
}

}  // namespace
}  // namespace tomari
