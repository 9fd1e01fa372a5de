// The widget under real mouse and keyboard input (SendInput), on the Default
// skin, acting on windows of another process.
#include <gtest/gtest.h>

#include <string>

#include "e2e/e2e_support.h"

using namespace e2e;

namespace {

// Default skin buttons, by their number in the skin file.
constexpr int kWindowSet = 1;
constexpr int kTopMost = 5;
constexpr int kSemiTransparent = 6;

LONG ExStyle(HWND h) { return GetWindowLongW(h, GWL_EXSTYLE); }

bool Layered(HWND h, BYTE* alpha, DWORD* flags, COLORREF* key = nullptr) {
  COLORREF k = 0;
  BYTE a = 0;
  DWORD f = 0;
  if (!GetLayeredWindowAttributes(h, &k, &a, &f)) return false;
  if (alpha) *alpha = a;
  if (flags) *flags = f;
  if (key) *key = k;
  return true;
}

// The visible tooltip of process `pid`, with its text.
HWND VisibleToolTip(DWORD pid, std::wstring* text) {
  HWND tip = WaitForWindow(pid, L"tooltips_class32", 0);
  if (!tip) return nullptr;
  wchar_t buf[256] = L"";
  GetWindowTextW(tip, buf, 256);
  *text = buf;
  return tip;
}

}  // namespace

TEST(Pointer, HoverShowsTheTooltipAndClicksFixTopMostAndSemiTransparent) {
  Process p1, p2;
  HWND t1 = StartTarget(p1, L"--title \"First\" --rect 150,200,420,260");
  ASSERT_TRUE(t1);
  TomariRun run;
  ASSERT_TRUE(run.Start(L"pointer-buttons"));
  ASSERT_TRUE(PerchedOn(run.widget, t1));

  // Hover: the tooltip of the button under the pointer.
  POINT fix = SkinButtonCentre(run.widget, run.dir, kWindowSet);
  MouseTo(fix.x, fix.y);
  // (Its text is checked in-process: another process cannot read it.)
  std::wstring tipText;
  EXPECT_TRUE(WaitUntil([&] { return VisibleToolTip(run.process.Id(), &tipText) != nullptr; },
                        4000));
  SaveScreenshot(L"pointer-hover");

  // Fix the widget to the first window, then make it top-most and semi-transparent.
  Click(fix.x, fix.y);
  Pump(300);
  POINT top = SkinButtonCentre(run.widget, run.dir, kTopMost);
  Click(top.x, top.y);
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(t1) & WS_EX_TOPMOST) != 0; }, 3000));
  POINT semi = SkinButtonCentre(run.widget, run.dir, kSemiTransparent);
  Click(semi.x, semi.y);
  BYTE alpha = 0;
  DWORD flags = 0;
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(t1) & WS_EX_LAYERED) != 0; }, 3000));
  EXPECT_TRUE(Layered(t1, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_TRUE(flags & LWA_ALPHA);
  // The click did not take the keyboard from the user's window.
  EXPECT_EQ(GetForegroundWindow(), t1);

  // Fixed: another window in front changes nothing.
  HWND t2 = StartTarget(p2, L"--title \"Second\" --rect 600,300,300,200");
  ASSERT_TRUE(t2);
  Pump(500);
  EXPECT_TRUE(PerchedOn(run.widget, t1));

  // Unfix: the widget moves on and the first window gets its own state back.
  fix = SkinButtonCentre(run.widget, run.dir, kWindowSet);
  Click(fix.x, fix.y);
  ASSERT_TRUE(Activate(t2));
  EXPECT_TRUE(PerchedOn(run.widget, t2));
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(t1) & (WS_EX_TOPMOST | WS_EX_LAYERED)) == 0; },
                        3000))
      << std::hex << ExStyle(t1);
  EXPECT_TRUE(run.Close());
}

TEST(Pointer, LeavingOrExitingGivesBackExactlyWhatEachWindowHad) {
  Process pt, pa, pk, pp, other;
  HWND topmost = StartTarget(pt, L"--title \"Top\" --rect 100,120,300,200 --topmost");
  HWND alpha200 = StartTarget(pa, L"--title \"Alpha\" --rect 450,120,300,200 --alpha 200");
  HWND keyed = StartTarget(pk, L"--title \"Keyed\" --rect 100,420,300,200 --colorkey FF00FF");
  HWND perPixel = StartTarget(pp, L"--title \"PerPixel\" --rect 450,420,300,200 --per-pixel-alpha");
  ASSERT_TRUE(topmost && alpha200 && keyed && perPixel);
  TomariRun run;
  ASSERT_TRUE(run.Start(L"pointer-restore"));

  // A window made top-most by its program, un-top-mosted through the widget, is
  // top-most again once the widget leaves it.
  ASSERT_TRUE(Activate(topmost));
  ASSERT_TRUE(PerchedOn(run.widget, topmost));
  POINT fix = SkinButtonCentre(run.widget, run.dir, kWindowSet);
  Click(fix.x, fix.y);
  POINT top = SkinButtonCentre(run.widget, run.dir, kTopMost);
  Click(top.x, top.y);
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(topmost) & WS_EX_TOPMOST) == 0; }, 3000));
  Click(fix.x, fix.y);  // unfix

  // Opacity 200, made opaque through the widget: 200 again after leaving.
  ASSERT_TRUE(Activate(alpha200));
  ASSERT_TRUE(PerchedOn(run.widget, alpha200));
  // The z-order is given back posted (a hung window must not block us): wait for it.
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(topmost) & WS_EX_TOPMOST) != 0; }, 3000));
  fix = SkinButtonCentre(run.widget, run.dir, kWindowSet);
  Click(fix.x, fix.y);
  POINT semi = SkinButtonCentre(run.widget, run.dir, kSemiTransparent);
  Click(semi.x, semi.y);
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(alpha200) & WS_EX_LAYERED) == 0; }, 3000));
  Click(fix.x, fix.y);

  // Colour-keyed and per-pixel windows the widget only visits: untouched.
  ASSERT_TRUE(Activate(keyed));
  ASSERT_TRUE(PerchedOn(run.widget, keyed));
  ASSERT_TRUE(Activate(perPixel));
  ASSERT_TRUE(PerchedOn(run.widget, perPixel));
  BYTE a = 0;
  DWORD f = 0;
  COLORREF k = 0;
  EXPECT_TRUE(Layered(alpha200, &a, &f));
  EXPECT_EQ(a, 200);
  EXPECT_TRUE(ExStyle(keyed) & WS_EX_LAYERED);
  EXPECT_TRUE(Layered(keyed, nullptr, &f, &k));
  EXPECT_EQ(f, static_cast<DWORD>(LWA_COLORKEY));
  EXPECT_EQ(k, RGB(255, 0, 255));
  EXPECT_TRUE(ExStyle(perPixel) & WS_EX_LAYERED);

  // Exit while the per-pixel window carries our top-most: it is given back.
  fix = SkinButtonCentre(run.widget, run.dir, kWindowSet);
  Click(fix.x, fix.y);
  top = SkinButtonCentre(run.widget, run.dir, kTopMost);
  Click(top.x, top.y);
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(perPixel) & WS_EX_TOPMOST) != 0; }, 3000));
  ASSERT_TRUE(run.Close());
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(perPixel) & WS_EX_TOPMOST) == 0; }, 3000));
  EXPECT_TRUE(ExStyle(perPixel) & WS_EX_LAYERED);
}

TEST(Pointer, DragsMoveTheWidgetTheTargetAndItsOwner) {
  Process p;
  ASSERT_TRUE(StartTarget(p, L"--title \"Owned\" --rect 300,300,360,240 --owner"));
  // The owner has the same class: find the owned window by its title.
  HWND t = FindWindowW(L"TomariTestTarget", L"Owned");
  ASSERT_TRUE(t);
  ASSERT_TRUE(Activate(t));
  HWND owner = GetWindow(t, GW_OWNER);
  ASSERT_TRUE(owner);
  TomariRun run;
  ASSERT_TRUE(run.Start(L"pointer-drag"));
  ASSERT_TRUE(PerchedOn(run.widget, t));
  RECT w = WindowRect(run.widget);
  // The grip at the left end of the Default skin is not a button.
  POINT grip{w.left + 5, w.top + (w.bottom - w.top) / 2};

  // Left drag: only the widget moves, and the next placements keep it there.
  w = WindowRect(run.widget);
  RECT tBefore = WindowRect(t);
  grip = {w.left + 5, w.top + (w.bottom - w.top) / 2};
  Drag(grip, {grip.x + 50, grip.y - 20}, 1);
  Pump(400);
  RECT w2 = WindowRect(run.widget);
  EXPECT_EQ(w2.left - w.left, 50);
  EXPECT_EQ(w2.top - w.top, -20);
  EXPECT_EQ(WindowRect(t).left, tBefore.left);
  // The next placements keep it where it was dropped.
  Pump(300);
  EXPECT_EQ(WindowRect(run.widget).left, w2.left);
  w = WindowRect(run.widget);
  grip = {w.left + 5, w.top + (w.bottom - w.top) / 2};

  // Right drag: the target comes along, its owner stays.
  RECT t0 = WindowRect(t), o0 = WindowRect(owner);
  Drag(grip, {grip.x, grip.y + 40}, 2);
  Pump(300);
  RECT t1 = WindowRect(t), o1 = WindowRect(owner);
  EXPECT_EQ(t1.top - t0.top, 40);
  EXPECT_EQ(t1.left, t0.left);
  EXPECT_EQ(o1.top, o0.top);
  EXPECT_EQ(WaitForWindow(run.process.Id(), L"#32768", 0), nullptr) << "a drag opened the menu";

  // Ctrl + right drag: the owner comes along too. The keyboard goes in at the X
  // server: Wine forgets a Ctrl sent with SendInput at the next X mouse event.
  w = WindowRect(run.widget);
  grip = {w.left + 5, w.top + (w.bottom - w.top) / 2};
  std::string words = "mousemove " + std::to_string(grip.x) + " " + std::to_string(grip.y) +
                      " keydown ctrl sleep 0.1 mousedown 3 sleep 0.1";
  for (int step = 1; step <= 6; ++step)
    words += " mousemove " + std::to_string(grip.x + 5 * step) + " " + std::to_string(grip.y) +
             " sleep 0.05";
  words += " mouseup 3 sleep 0.1 keyup ctrl";
  if (XInput(words)) {
    Pump(400);
    EXPECT_EQ(WindowRect(t).left - t1.left, 30);
    EXPECT_EQ(WindowRect(owner).left - o1.left, 30);
    EXPECT_EQ(WindowRect(owner).top, o1.top);
  } else {
    ADD_FAILURE() << "no X input channel (run through scripts/test)";
  }

  ASSERT_TRUE(run.Close());
  // The right drags carried the target along, so the drop offsets stand.
  const std::string saved = run.SettingsFile();
  EXPECT_NE(saved.find("X-Offset= 50\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Y-Offset=-20\r\n"), std::string::npos) << saved;
}

TEST(Pointer, RightClickOpensTheMenuAndItsExitEndsTheProgram) {
  Process p;
  HWND t = StartTarget(p, L"--title \"Menu\" --rect 300,300,360,240");
  ASSERT_TRUE(t);
  TomariRun run;
  ASSERT_TRUE(run.Start(L"pointer-menu"));
  ASSERT_TRUE(PerchedOn(run.widget, t));
  RECT w = WindowRect(run.widget);
  POINT grip{w.left + 5, w.top + (w.bottom - w.top) / 2};

  // Open and dismiss.
  Click(grip.x, grip.y, 2);
  HWND menu = WaitForWindow(0, L"#32768", 3000);
  EXPECT_TRUE(menu);
  SaveScreenshot(L"pointer-menu");
  TapKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return WaitForWindow(0, L"#32768", 0) == nullptr; }, 3000));
  // The user's window has the keyboard again.
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == t; }, 3000));

  // Open again and choose 終了(&X) from the keyboard.
  Click(grip.x, grip.y, 2);
  ASSERT_TRUE(WaitForWindow(0, L"#32768", 3000));
  TapKey('X');
  EXPECT_TRUE(run.process.WaitExit(10000));
  EXPECT_NE(run.SettingsFile().find("[Main]\r\nTiming= 100\r\n"), std::string::npos);
}
