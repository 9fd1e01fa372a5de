// Tomari.exe at work on windows of another process under Wine, with real mouse
// and keyboard input: how it starts and ends, where it perches and follows,
// what its buttons, menu and drags do, and that whatever it changed on a
// window is given back exactly.
#include <gtest/gtest.h>

#include <string>

#include "win32/win32_test_support.h"

using namespace win32test;

namespace {

// Default skin buttons, by their number in the skin file.
constexpr int kWindowSet = 1, kTopMost = 5, kSemiTransparent = 6;

LONG ExStyle(HWND h) { return GetWindowLongW(h, GWL_EXSTYLE); }
bool HasExStyle(HWND h, LONG bits, bool want = true) {
  return WaitUntil([&] { return ((ExStyle(h) & bits) != 0) == want; });
}
void MoveBy(HWND h, int dx, int dy) {
  const RECT r = WindowRect(h);
  SetWindowPos(h, nullptr, r.left + dx, r.top + dy, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TEST(Pointer, PerchesFollowsActsAndGivesBackTitleAndStyles) {
  // Korean and an emoji have no Shift-JIS form: the title must survive anyway.
  const std::wstring title1 = L"時計 테스트 \U0001F426 target", title2 = L"二番目のウインドウ";
  Target w1, w2;
  ASSERT_TRUE(w1.Start(L"--title \"" + title1 + L"\" --rect 300,300,400,300 --edit", true));
  const HWND t1 = w1.hwnd(), edit = FindWindowExW(t1, nullptr, L"EDIT", nullptr);
  TomariRun run;
  ASSERT_TRUE(run.Start(L"pointer", "[TitleClock]\r\nCheck=-1\r\n"));
  Process second;  // a second instance ends at once
  ASSERT_TRUE(second.Start(run.dir + L"Tomari.exe", L""));
  EXPECT_TRUE(second.WaitExit(10000));
  EXPECT_GT(WindowRect(run.widget).right - WindowRect(run.widget).left, 150) << "the skin's size";
  EXPECT_EQ(ExStyle(run.widget) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
            WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  EXPECT_FALSE(GetWindowLongW(run.widget, GWL_STYLE) & WS_CAPTION);
  // Centred above the window, and following it when it moves.
  EXPECT_TRUE(PerchedOn(run.widget, t1, true));
  SetWindowPos(t1, nullptr, 120, 420, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(PerchedOn(run.widget, t1, true));
  // The title clock rides after the whole title and advances (its format is
  // the clock's own business).
  std::wstring first;
  ASSERT_TRUE(WaitUntil([&] {
    first = TextOf(t1);
    return first.rfind(title1 + L" <", 0) == 0 && first.back() == L' ';
  }));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(t1) != first; }));
  SaveScreenshot(L"title-clock");

  // Hover shows the tooltip.
  MouseTo(run.Button(kWindowSet));
  EXPECT_TRUE(FindWindowOf(run.process.Id(), L"tooltips_class32", 4000));

  // Fixed to the window: top-most and semi-transparent, then another window in
  // front changes nothing.
  run.Press({kWindowSet, kTopMost});
  EXPECT_TRUE(HasExStyle(t1, WS_EX_TOPMOST));
  run.Press({kSemiTransparent});
  EXPECT_TRUE(WaitUntil([&] { return LayeredAlpha(t1) == 128; }));
  // Nothing of it took the keyboard from the user's window.
  EXPECT_EQ(GetForegroundWindow(), t1);
  GUITHREADINFO gti{};
  gti.cbSize = sizeof(gti);
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(t1, nullptr), &gti));
  EXPECT_EQ(gti.hwndFocus, edit);
  // The tick goes on inside the menu's modal loop: the clock still advances.
  Click(run.Grip(), 2);
  ASSERT_TRUE(FindWindowOf(0, L"#32768", 3000));
  const std::wstring inMenu = TextOf(t1);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(t1) != inMenu; }));
  TapKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !FindWindowOf(0, L"#32768"); }));
  // The second window is top-most and at opacity 200 by its own program.
  ASSERT_TRUE(
      w2.Start(L"--title \"" + title2 + L"\" --rect 600,300,300,200 --topmost --alpha 200", true));
  const HWND t2 = w2.hwnd();
  Pump(500);
  EXPECT_TRUE(PerchedOn(run.widget, t1));

  // Unfixed: the widget moves on and the first window gets all of its own back.
  run.Press({kWindowSet});
  ASSERT_TRUE(Activate(t2));
  EXPECT_TRUE(PerchedOn(run.widget, t2));
  EXPECT_TRUE(HasExStyle(t1, WS_EX_TOPMOST | WS_EX_LAYERED, false)) << std::hex << ExStyle(t1);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(t1) == title1; }));
  // Un-top-mosted and made opaque through the widget, then the program exits:
  // the second window is top-most at 200 again, its title its own.
  run.Press({kWindowSet, kTopMost, kSemiTransparent});
  EXPECT_TRUE(HasExStyle(t2, WS_EX_TOPMOST | WS_EX_LAYERED, false)) << std::hex << ExStyle(t2);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(t2).size() > title2.size(); }));
  ASSERT_TRUE(run.Close());
  EXPECT_EQ(TextOf(t1), title1);
  EXPECT_EQ(TextOf(t2), title2);
  EXPECT_TRUE(HasExStyle(t2, WS_EX_TOPMOST));
  EXPECT_EQ(LayeredAlpha(t2), 200);
}

TEST(Pointer, DragsMoveWidgetTargetAndOwnerAndTheMenuCopiesAndEnds) {
  Target owned;
  ASSERT_TRUE(owned.Start(L"--title \"Owned\" --rect 300,300,360,240 --owner", true));
  const HWND t = owned.hwnd(), owner = GetWindow(t, GW_OWNER);
  TomariRun run;
  ASSERT_TRUE(run.Start(L"pointer-drag"));  // a first run: no Setting.ini
  ASSERT_TRUE(PerchedOn(run.widget, t));

  // Left drag: only the widget moves, and the next placements keep it there.
  const RECT w0 = WindowRect(run.widget), t0 = WindowRect(t), o0 = WindowRect(owner);
  POINT grip = run.Grip();
  Drag(grip, {grip.x + 50, grip.y - 20}, 1);
  Pump(700);
  const RECT w1 = WindowRect(run.widget);
  EXPECT_EQ(w1.left - w0.left, 50);
  EXPECT_EQ(w1.top - w0.top, -20);
  EXPECT_EQ(WindowRect(t).left, t0.left);
  // Right drag: the target comes along, its owner stays, no menu opens.
  grip = run.Grip();
  Drag(grip, {grip.x, grip.y + 40}, 2);
  Pump(300);
  const RECT t1 = WindowRect(t);
  EXPECT_EQ(t1.top - t0.top, 40);
  EXPECT_EQ(t1.left, t0.left);
  EXPECT_EQ(WindowRect(owner).top, o0.top);
  EXPECT_EQ(FindWindowOf(run.process.Id(), L"#32768"), nullptr) << "a drag opened the menu";
  // Ctrl + right drag: the owner comes along too.
  grip = run.Grip();
  Drag(grip, {grip.x + 30, grip.y}, 2, true);
  Pump(400);
  EXPECT_EQ(WindowRect(t).left - t1.left, 30);
  EXPECT_EQ(WindowRect(owner).left - o0.left, 30);

  // Menu: ウインドウ(&W) > 画面キャプチャ(&C) > ウインドウ内部(&C) copies the inside.
  ClearClipboard();
  Click(run.Grip(), 2);
  ASSERT_TRUE(FindWindowOf(0, L"#32768", 3000));
  SaveScreenshot(L"menu");
  for (WORD key : {WORD('W'), WORD('C'), WORD('C')}) {
    TapKey(key);
    Pump(150);
  }
  // Two items share &C in the capture submenu: the first press selects, Enter runs.
  if (FindWindowOf(0, L"#32768", 300)) TapKey(VK_RETURN);
  RECT client{};
  GetClientRect(t, &client);
  tomari::Bitmap copied;
  EXPECT_TRUE(WaitUntil([&] { return !(copied = ClipboardBitmap()).Empty(); }));
  EXPECT_EQ(copied.width * 1000 + copied.height, client.right * 1000 + client.bottom);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == t; }))
      << "the user's window has the keyboard again";

  // Escape closes the menu; 終了(&X) ends the program, which saves the drop
  // offsets among the first run's defaults (the program's own skin).
  ASSERT_TRUE(run.Menu({VK_ESCAPE}));
  EXPECT_TRUE(WaitUntil([&] { return !FindWindowOf(0, L"#32768"); }));
  ASSERT_TRUE(run.Menu({'X'}));
  EXPECT_TRUE(run.process.WaitExit(10000));
  const std::string saved = run.SettingsFile();
  for (const std::string& line : {std::string("X-Offset= 50\r\n"), std::string("Y-Offset=-20\r\n"),
                                  "Skin=" + Narrow(run.dir) + "Skins\\Default\\Default.tsk\r\n"})
    EXPECT_NE(saved.find(line), std::string::npos) << line << " in\n" << saved;
  // The copied picture outlives the program that put it there.
  EXPECT_EQ(ClipboardBitmap().pixels, copied.pixels);
}

// Following by window events: a target that reports its moves and activations
// is followed at once, with a tick period so long that the timer cannot be
// what moved the widget.
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
