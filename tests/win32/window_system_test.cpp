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

class WindowSystemTest : public ::testing::Test {
 protected:
  // A window of ours that holds the keyboard, to see that calls on others leave it there.
  static bool TakeTheKeyboard(const OwnWindow& own) {
    SetForegroundWindow(own.hwnd());
    return WaitUntil([&] { return GetForegroundWindow() == own.hwnd(); });
  }
  Win32WindowSystem ws;
};

TEST_F(WindowSystemTest, ForegroundIsOurWindowOrAnotherProcesssWindow) {
  OwnWindow own(L"Ours");
  SetForegroundWindow(own.hwnd());
  EXPECT_TRUE(WaitUntil([&] { return ws.Foreground() == FromHwnd(own.hwnd()); }));

  Target target;  // makes itself the foreground window once it is shown
  ASSERT_TRUE(target.Start(L"--title Theirs"));
  EXPECT_TRUE(WaitUntil([&] { return ws.Foreground() == FromHwnd(target.hwnd()); }));
}

TEST_F(WindowSystemTest, RectIsTheOuterRectangle) {
  Target target;
  ASSERT_TRUE(target.Start(L"--rect 120,80,300,200"));
  Rect r;
  ASSERT_TRUE(ws.GetRect(FromHwnd(target.hwnd()), r));
  EXPECT_EQ(r, (Rect{120, 80, 420, 280}));

  Rect untouched{1, 2, 3, 4};
  EXPECT_FALSE(ws.GetRect(0, untouched));
  EXPECT_EQ(untouched, (Rect{1, 2, 3, 4}));
}

TEST_F(WindowSystemTest, MoveToMovesAnotherProcesssWindowWithoutSizingOrActivating) {
  Target target;
  ASSERT_TRUE(target.Start(L"--rect 200,150,320,240"));
  OwnWindow own(L"Keeps the keyboard", 0, nullptr, {600, 400, 800, 600});
  ASSERT_TRUE(TakeTheKeyboard(own));

  const WindowHandle t = FromHwnd(target.hwnd());
  EXPECT_TRUE(ws.MoveTo(t, 40, 60));
  Rect r;
  EXPECT_TRUE(WaitUntil([&] { return ws.GetRect(t, r) && r.left == 40 && r.top == 60; }))
      << r.left << "," << r.top;
  EXPECT_EQ(r.Width(), 320);
  EXPECT_EQ(r.Height(), 240);
  Pump(200);
  EXPECT_EQ(GetForegroundWindow(), own.hwnd());
}

TEST_F(WindowSystemTest, MoveToMovesOurOwnWindowAtOnce) {
  OwnWindow own(L"Ours", 0, nullptr, {100, 100, 300, 250});
  const WindowHandle h = FromHwnd(own.hwnd());
  EXPECT_TRUE(ws.MoveTo(h, -50, 700));
  Rect r;
  ASSERT_TRUE(ws.GetRect(h, r));
  EXPECT_EQ(r, (Rect{-50, 700, 150, 850}));
}

TEST_F(WindowSystemTest, TopMostOnAndOffWithoutActivating) {
  Target target;
  ASSERT_TRUE(target.Start(L"--rect 100,100,300,200"));
  OwnWindow own(L"Keeps the keyboard", 0, nullptr, {600, 400, 800, 600});
  ASSERT_TRUE(TakeTheKeyboard(own));

  const WindowHandle t = FromHwnd(target.hwnd());
  ASSERT_EQ(ws.GetExStyle(t) & kExTopMost, 0u);
  EXPECT_TRUE(ws.SetTopMost(t, true));
  EXPECT_TRUE(WaitUntil([&] { return (ws.GetExStyle(t) & kExTopMost) != 0; }));
  EXPECT_TRUE(ws.SetTopMost(t, false));
  EXPECT_TRUE(WaitUntil([&] { return (ws.GetExStyle(t) & kExTopMost) == 0; }));
  Pump(200);
  EXPECT_EQ(GetForegroundWindow(), own.hwnd());

  // Our own window takes the change before the call returns.
  const WindowHandle h = FromHwnd(own.hwnd());
  EXPECT_TRUE(ws.SetTopMost(h, true));
  EXPECT_NE(ws.GetExStyle(h) & kExTopMost, 0u);
  EXPECT_TRUE(ws.SetTopMost(h, false));
  EXPECT_EQ(ws.GetExStyle(h) & kExTopMost, 0u);
}

TEST_F(WindowSystemTest, ExStyleIsReadAndWrittenOnAnotherProcesssWindow) {
  Target target;
  ASSERT_TRUE(target.Start(L""));
  const WindowHandle t = FromHwnd(target.hwnd());
  const std::uint32_t before = ws.GetExStyle(t);
  ASSERT_EQ(before & kExLayered, 0u);
  EXPECT_TRUE(ws.SetExStyle(t, before | kExLayered));
  EXPECT_EQ(ws.GetExStyle(t), before | kExLayered);
  EXPECT_TRUE(ws.SetExStyle(t, before));
  EXPECT_EQ(ws.GetExStyle(t), before);
  // A style of 0 is a real style, not a failure.
  OwnWindow own;
  EXPECT_TRUE(ws.SetExStyle(FromHwnd(own.hwnd()), 0));
}

TEST_F(WindowSystemTest, LayeredAlphaIsSetAndReadBack) {
  EXPECT_TRUE(ws.HasLayeredWindowsApi());
  Target target;
  ASSERT_TRUE(target.Start(L"--alpha 200"));
  const WindowHandle t = FromHwnd(target.hwnd());
  EXPECT_EQ(ws.GetLayered(t), (LayeredAttributes{true, 0, 200, kLwaAlpha}));

  EXPECT_TRUE(ws.SetLayered(t, 0, 64, kLwaAlpha));
  EXPECT_EQ(ws.GetLayered(t), (LayeredAttributes{true, 0, 64, kLwaAlpha}));

  // Making a plain window layered the way the opacity command does.
  Target plain;
  ASSERT_TRUE(plain.Start(L""));
  const WindowHandle p = FromHwnd(plain.hwnd());
  EXPECT_FALSE(ws.GetLayered(p).readable);
  ASSERT_TRUE(ws.SetExStyle(p, ws.GetExStyle(p) | kExLayered));
  EXPECT_TRUE(ws.SetLayered(p, 0, 128, kLwaAlpha));
  EXPECT_EQ(ws.GetLayered(p), (LayeredAttributes{true, 0, 128, kLwaAlpha}));
}

TEST_F(WindowSystemTest, ColourKeyAndPerPixelLayeredWindows) {
  Target keyed;
  ASSERT_TRUE(keyed.Start(L"--colorkey FF00FF"));
  LayeredAttributes key = ws.GetLayered(FromHwnd(keyed.hwnd()));
  EXPECT_TRUE(key.readable);
  EXPECT_EQ(key.flags, kLwaColorKey);
  EXPECT_EQ(key.colorKey, static_cast<std::uint32_t>(RGB(255, 0, 255)));

  // Drawn through UpdateLayeredWindow: layered, but nothing can be read back.
  Target perPixel;
  ASSERT_TRUE(perPixel.Start(L"--per-pixel-alpha"));
  const WindowHandle p = FromHwnd(perPixel.hwnd());
  EXPECT_NE(ws.GetExStyle(p) & kExLayered, 0u);
  EXPECT_EQ(ws.GetLayered(p), LayeredAttributes{});
}

TEST_F(WindowSystemTest, NonAnsiTitlesSurviveAnotherProcesssWindow) {
  // Korean and an emoji (a surrogate pair): nothing of it exists in code page 932.
  Target target;
  ASSERT_TRUE(target.Start(L"--title \"한국어 제목 😀\""));
  const WindowHandle t = FromHwnd(target.hwnd());
  EXPECT_EQ(ws.GetTitle(t), "한국어 제목 😀");

  const std::string title = "トマリギ 시계 2024/05/06 🕒 Ünïcödé";
  EXPECT_TRUE(ws.SetTitle(t, title));
  EXPECT_EQ(ws.GetTitle(t), title);
  wchar_t raw[64] = L"";
  GetWindowTextW(target.hwnd(), raw, 64);
  EXPECT_STREQ(raw, L"トマリギ 시계 2024/05/06 🕒 Ünïcödé");

  EXPECT_TRUE(ws.SetTitle(t, ""));
  EXPECT_EQ(ws.GetTitle(t), "");
}

TEST_F(WindowSystemTest, LongTitlesAreReadWhole) {
  Target target;
  ASSERT_TRUE(target.Start(L""));
  const WindowHandle t = FromHwnd(target.hwnd());
  std::string title;
  for (int i = 0; i < 700; ++i) title += "時計";  // 1400 characters
  ASSERT_TRUE(ws.SetTitle(t, title));
  EXPECT_EQ(ws.GetTitle(t), title);
}

TEST_F(WindowSystemTest, ClassNames) {
  Target target;
  ASSERT_TRUE(target.Start(L"--class TomariTest_クラス名"));
  EXPECT_EQ(ws.ClassNameOf(FromHwnd(target.hwnd())), "TomariTest_クラス名");
  OwnWindow own;
  EXPECT_EQ(ws.ClassNameOf(FromHwnd(own.hwnd())), "TomariWin32TestOwn");
  EXPECT_EQ(ws.ClassNameOf(0), "");
}

TEST_F(WindowSystemTest, ParentIsTheOwnerOfATopLevelWindow) {
  Target target;
  ASSERT_TRUE(target.Start(L"--owner --title Owned"));
  const WindowHandle owner = ws.GetParent(FromHwnd(target.hwnd()));
  ASSERT_NE(owner, 0u);
  EXPECT_EQ(ws.GetTitle(owner), "Owned owner");
  EXPECT_EQ(ws.GetParent(owner), 0u);

  OwnWindow top;
  OwnWindow child(L"child", 0, top.hwnd(), {10, 10, 60, 40});
  EXPECT_EQ(ws.GetParent(FromHwnd(child.hwnd())), FromHwnd(top.hwnd()));
  EXPECT_EQ(ws.GetParent(FromHwnd(top.hwnd())), 0u);
}

TEST_F(WindowSystemTest, AGoneWindowIsLeftAlone) {
  WindowHandle gone;
  {
    Target target;
    ASSERT_TRUE(target.Start(L"--title Gone"));
    gone = FromHwnd(target.hwnd());
    EXPECT_TRUE(ws.IsWindow(gone));
  }
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(ToHwnd(gone)); }));
  EXPECT_FALSE(ws.IsWindow(gone));
  EXPECT_FALSE(ws.IsWindow(0));
  Rect r{7, 7, 7, 7};
  EXPECT_FALSE(ws.GetRect(gone, r));
  EXPECT_EQ(r, (Rect{7, 7, 7, 7}));
  EXPECT_EQ(ws.GetTitle(gone), "");
  EXPECT_FALSE(ws.SetTitle(gone, "x"));
  EXPECT_EQ(ws.GetExStyle(gone), 0u);
  EXPECT_FALSE(ws.SetExStyle(gone, kExLayered));
  EXPECT_FALSE(ws.SetTopMost(gone, true));
  EXPECT_FALSE(ws.MoveTo(gone, 0, 0));
  EXPECT_FALSE(ws.SetLayered(gone, 0, 10, kLwaAlpha));
  EXPECT_FALSE(ws.GetLayered(gone).readable);
  EXPECT_FALSE(ws.IsHung(gone));
  EXPECT_EQ(ws.GetParent(gone), 0u);
}

}  // namespace
}  // namespace tomari
