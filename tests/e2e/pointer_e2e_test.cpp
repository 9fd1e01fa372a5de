// The widget at work on windows of another process, under real mouse and
// keyboard input: it perches and follows, its buttons, menu and drags act on
// the window, and whatever it changed is given back exactly.
#include <gtest/gtest.h>

#include <cstdint>
#include <cwctype>
#include <string>
#include <vector>

#include "e2e/e2e_support.h"

using namespace e2e;

namespace {

// Default skin buttons, by their number in the skin file.
constexpr int kWindowSet = 1;
constexpr int kCaptureAll = 3;
constexpr int kTopMost = 5;
constexpr int kSemiTransparent = 6;

LONG ExStyle(HWND h) { return GetWindowLongW(h, GWL_EXSTYLE); }

std::wstring Title(HWND h) {
  wchar_t buf[1024];
  const int n = GetWindowTextW(h, buf, 1024);
  return std::wstring(buf, n > 0 ? n : 0);
}

// " <yyyy/mm/dd hh:mm:ss> ": the default clock text.
bool IsDefaultClockText(const std::wstring& s) {
  const std::wstring shape = L" <0000/00/00 00:00:00> ";
  if (s.size() != shape.size()) return false;
  for (size_t i = 0; i < s.size(); ++i)
    if (shape[i] == L'0' ? !std::iswdigit(s[i]) : s[i] != shape[i]) return false;
  return true;
}

struct Layered {
  bool readable = false;
  BYTE alpha = 0;
  DWORD flags = 0;
  COLORREF key = 0;
};
Layered LayeredOf(HWND h) {
  Layered l;
  l.readable = GetLayeredWindowAttributes(h, &l.key, &l.alpha, &l.flags) != FALSE;
  return l;
}

void ClickButton(const TomariRun& run, int number) {
  const POINT p = SkinButtonCentre(run.widget, run.dir, number);
  Click(p.x, p.y);
  Pump(200);
}

POINT Grip(HWND widget) {  // the left end of the Default skin is not a button
  const RECT w = WindowRect(widget);
  return {w.left + 5, w.top + (w.bottom - w.top) / 2};
}

std::vector<std::wstring> Files(const std::wstring& dir) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do
    if (fd.cFileName[0] != L'.') names.push_back(fd.cFileName);
  while (FindNextFileW(h, &fd));
  FindClose(h);
  return names;
}

SIZE ClipboardBitmapSize() {
  SIZE size{0, 0};
  if (!OpenClipboard(nullptr)) return size;
  if (auto bmp = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
    BITMAP info{};
    if (GetObjectW(bmp, sizeof(info), &info)) size = {info.bmWidth, info.bmHeight};
  }
  CloseClipboard();
  return size;
}

}  // namespace

TEST(Pointer, PerchesFollowsActsAndGivesBackTitleAndStyles) {
  // Korean and an emoji have no Shift-JIS form: the title must survive anyway.
  const std::wstring title1 = L"時計 테스트 \U0001F426 target", title2 = L"二番目のウインドウ";
  Process p1, p2;
  HWND t1 = StartTarget(p1, L"--title \"" + title1 + L"\" --rect 300,300,400,300 --edit");
  ASSERT_TRUE(t1);
  HWND edit = FindWindowExW(t1, nullptr, L"EDIT", nullptr);
  TomariRun run;
  ASSERT_TRUE(run.Start(L"pointer", "[TitleClock]\r\nCheck=-1\r\n"
                                    "[Capture]\r\nType=1\r\nSaveType=1\r\nSaveFolder={DIR}caps\r\n"));
  const std::wstring caps = run.dir + L"caps\\";
  ASSERT_TRUE(CreateDirectoryW(caps.c_str(), nullptr));
  const RECT w = WindowRect(run.widget);
  EXPECT_GT(w.right - w.left, 150) << "the Default skin's size, not the bare widget's";
  EXPECT_TRUE(ExStyle(run.widget) & WS_EX_TOPMOST);
  EXPECT_TRUE(ExStyle(run.widget) & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(GetWindowLongW(run.widget, GWL_STYLE) & WS_CAPTION);
  // Centred above the window, and following it when it moves.
  auto centredAbove = [&](HWND t) {
    return WaitUntil(
        [&] {
          const RECT r = WindowRect(run.widget), tr = WindowRect(t);
          return r.bottom == tr.top &&
                 r.left == tr.left + ((tr.right - tr.left) - (r.right - r.left)) / 2;
        },
        5000);
  };
  EXPECT_TRUE(centredAbove(t1));
  SetWindowPos(t1, nullptr, 120, 420, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(centredAbove(t1));
  // The title clock rides after the title and advances.
  std::wstring first;
  ASSERT_TRUE(WaitUntil([&] { return (first = Title(t1)).rfind(title1, 0) == 0 &&
                                     first.size() > title1.size(); }, 5000));
  EXPECT_TRUE(IsDefaultClockText(first.substr(title1.size())));
  EXPECT_TRUE(WaitUntil([&] { return Title(t1) != first; }, 3000));
  SaveScreenshot(L"perch-default");

  // Hover shows the tooltip; the capture button writes one date-named bitmap.
  const POINT fix = SkinButtonCentre(run.widget, run.dir, kWindowSet);
  MouseTo(fix.x, fix.y);
  EXPECT_TRUE(WaitForWindow(run.process.Id(), L"tooltips_class32", 4000));
  SaveScreenshot(L"pointer-hover");
  ClickButton(run, kCaptureAll);
  EXPECT_TRUE(WaitUntil([&] { return !Files(caps).empty(); }, 5000));
  Pump(500);
  const std::vector<std::wstring> shots = Files(caps);
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(shots[0].size(), 23u) << Narrow(shots[0]);  // yyyy_mm_dd_hh_mm_ss.bmp
  const std::string bmp = ReadFileBytes(caps + shots[0]);
  ASSERT_GE(bmp.size(), 58u);
  const RECT tr = WindowRect(t1);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(*reinterpret_cast<const int32_t*>(bmp.data() + 18), tr.right - tr.left);
  EXPECT_TRUE(IsWindowVisible(run.widget));

  // Fixed to the window: top-most and semi-transparent, then another window in
  // front changes nothing.
  ClickButton(run, kWindowSet);
  ClickButton(run, kTopMost);
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(t1) & WS_EX_TOPMOST) != 0; }, 3000));
  ClickButton(run, kSemiTransparent);
  EXPECT_TRUE(WaitUntil([&] { return LayeredOf(t1).readable; }, 3000));
  EXPECT_EQ(LayeredOf(t1).alpha, 128);
  // Nothing of it took the keyboard from the user's window.
  EXPECT_EQ(GetForegroundWindow(), t1);
  GUITHREADINFO gti{};
  gti.cbSize = sizeof(gti);
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(t1, nullptr), &gti));
  EXPECT_EQ(gti.hwndFocus, edit);
  HWND t2 = StartTarget(p2, L"--title \"" + title2 + L"\" --rect 600,300,300,200");
  ASSERT_TRUE(t2);
  Pump(500);
  EXPECT_TRUE(PerchedOn(run.widget, t1));

  // Unfixed: the widget moves on and the first window gets all of its own back.
  ClickButton(run, kWindowSet);
  ASSERT_TRUE(Activate(t2));
  EXPECT_TRUE(PerchedOn(run.widget, t2));
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(t1) & (WS_EX_TOPMOST | WS_EX_LAYERED)) == 0; },
                        3000))
      << std::hex << ExStyle(t1);
  EXPECT_TRUE(WaitUntil([&] { return Title(t1) == title1; }, 5000));
  EXPECT_TRUE(WaitUntil([&] { return Title(t2).size() > title2.size(); }, 5000));
  ASSERT_TRUE(run.Close());
  EXPECT_EQ(Title(t1), title1);
  EXPECT_EQ(Title(t2), title2);
}

TEST(Pointer, LeavingOrExitingGivesBackExactlyWhatEachWindowHad) {
  Process pt, pa, pk, pp;
  HWND topmost = StartTarget(pt, L"--title \"Top\" --rect 100,120,300,200 --topmost");
  HWND alpha200 = StartTarget(pa, L"--title \"Alpha\" --rect 450,120,300,200 --alpha 200");
  HWND keyed = StartTarget(pk, L"--title \"Keyed\" --rect 100,420,300,200 --colorkey FF00FF");
  HWND perPixel = StartTarget(pp, L"--title \"PerPixel\" --rect 450,420,300,200 --per-pixel-alpha");
  ASSERT_TRUE(topmost && alpha200 && keyed && perPixel);
  TomariRun run;
  ASSERT_TRUE(run.Start(L"pointer-restore"));

  // Top-most by its program, un-top-mosted through the widget: top-most again
  // once the widget leaves it.
  ASSERT_TRUE(Activate(topmost));
  ASSERT_TRUE(PerchedOn(run.widget, topmost));
  ClickButton(run, kWindowSet);
  ClickButton(run, kTopMost);
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(topmost) & WS_EX_TOPMOST) == 0; }, 3000));
  ClickButton(run, kWindowSet);
  // Opacity 200, made opaque through the widget: 200 again after leaving.
  ASSERT_TRUE(Activate(alpha200));
  ASSERT_TRUE(PerchedOn(run.widget, alpha200));
  // The z-order is given back posted (a hung window must not block us): wait for it.
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(topmost) & WS_EX_TOPMOST) != 0; }, 3000));
  ClickButton(run, kWindowSet);
  ClickButton(run, kSemiTransparent);
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(alpha200) & WS_EX_LAYERED) == 0; }, 3000));
  ClickButton(run, kWindowSet);
  // Colour-keyed and per-pixel windows the widget only visits: untouched.
  ASSERT_TRUE(Activate(keyed));
  ASSERT_TRUE(PerchedOn(run.widget, keyed));
  ASSERT_TRUE(Activate(perPixel));
  ASSERT_TRUE(PerchedOn(run.widget, perPixel));
  EXPECT_EQ(LayeredOf(alpha200).alpha, 200);
  const Layered key = LayeredOf(keyed);
  EXPECT_EQ(key.flags, static_cast<DWORD>(LWA_COLORKEY));
  EXPECT_EQ(key.key, RGB(255, 0, 255));
  // Exit while the per-pixel window carries our top-most: it is given back.
  ClickButton(run, kWindowSet);
  ClickButton(run, kTopMost);
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(perPixel) & WS_EX_TOPMOST) != 0; }, 3000));
  ASSERT_TRUE(run.Close());
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle(perPixel) & WS_EX_TOPMOST) == 0; }, 3000));
  EXPECT_TRUE(ExStyle(perPixel) & WS_EX_LAYERED);
}

TEST(Pointer, DragsMoveWidgetTargetAndOwnerAndTheMenuCopiesAndEnds) {
  Process p;
  ASSERT_TRUE(StartTarget(p, L"--title \"Owned\" --rect 300,300,360,240 --owner"));
  // The owner has the same class: find the owned window by its title.
  HWND t = FindWindowW(L"TomariTestTarget", L"Owned");
  ASSERT_TRUE(t);
  ASSERT_TRUE(Activate(t));
  HWND owner = GetWindow(t, GW_OWNER);
  TomariRun run;
  ASSERT_TRUE(run.Start(L"pointer-drag"));
  ASSERT_TRUE(PerchedOn(run.widget, t));

  // Left drag: only the widget moves, and the next placements keep it there.
  const RECT w0 = WindowRect(run.widget), t0 = WindowRect(t), o0 = WindowRect(owner);
  POINT grip = Grip(run.widget);
  Drag(grip, {grip.x + 50, grip.y - 20}, 1);
  Pump(700);
  const RECT w1 = WindowRect(run.widget);
  EXPECT_EQ(w1.left - w0.left, 50);
  EXPECT_EQ(w1.top - w0.top, -20);
  EXPECT_EQ(WindowRect(t).left, t0.left);
  // Right drag: the target comes along, its owner stays, no menu opens.
  grip = Grip(run.widget);
  Drag(grip, {grip.x, grip.y + 40}, 2);
  Pump(300);
  const RECT t1 = WindowRect(t);
  EXPECT_EQ(t1.top - t0.top, 40);
  EXPECT_EQ(t1.left, t0.left);
  EXPECT_EQ(WindowRect(owner).top, o0.top);
  EXPECT_EQ(WaitForWindow(run.process.Id(), L"#32768", 0), nullptr) << "a drag opened the menu";
  // Ctrl + right drag: the owner comes along too. The keyboard goes in at the X
  // server: Wine forgets a Ctrl sent with SendInput at the next X mouse event.
  grip = Grip(run.widget);
  std::string words = "mousemove " + std::to_string(grip.x) + " " + std::to_string(grip.y) +
                      " keydown ctrl sleep 0.1 mousedown 3 sleep 0.1";
  for (int step = 1; step <= 6; ++step)
    words += " mousemove " + std::to_string(grip.x + 5 * step) + " " + std::to_string(grip.y) +
             " sleep 0.05";
  ASSERT_TRUE(XInput(words + " mouseup 3 sleep 0.1 keyup ctrl"))
      << "no X input channel (run through scripts/test)";
  Pump(400);
  EXPECT_EQ(WindowRect(t).left - t1.left, 30);
  EXPECT_EQ(WindowRect(owner).left - o0.left, 30);

  // Menu: ウインドウ(&W) > 画面キャプチャ(&C) > ウインドウ内部(&C) copies the inside.
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  grip = Grip(run.widget);
  Click(grip.x, grip.y, 2);
  ASSERT_TRUE(WaitForWindow(0, L"#32768", 3000));
  SaveScreenshot(L"pointer-menu");
  for (WORD key : {WORD('W'), WORD('C'), WORD('C')}) {
    TapKey(key);
    Pump(150);
  }
  // Two items share &C in the capture submenu: the first press selects, Enter runs.
  if (WaitForWindow(0, L"#32768", 300)) TapKey(VK_RETURN);
  RECT client{};
  GetClientRect(t, &client);
  SIZE size{};
  EXPECT_TRUE(WaitUntil([&] { return (size = ClipboardBitmapSize()).cx != 0; }, 5000));
  EXPECT_EQ(size.cx, client.right);
  EXPECT_EQ(size.cy, client.bottom);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == t; }, 3000))
      << "the user's window has the keyboard again";

  // Escape closes the menu; 終了(&X) ends the program, which saves the drop offsets.
  Click(grip.x, grip.y, 2);
  ASSERT_TRUE(WaitForWindow(0, L"#32768", 3000));
  TapKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !WaitForWindow(0, L"#32768", 0); }, 3000));
  Click(grip.x, grip.y, 2);
  ASSERT_TRUE(WaitForWindow(0, L"#32768", 3000));
  TapKey('X');
  EXPECT_TRUE(run.process.WaitExit(10000));
  const std::string saved = run.SettingsFile();
  EXPECT_NE(saved.find("X-Offset= 50\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Y-Offset=-20\r\n"), std::string::npos) << saved;
  // The copied picture outlives the program that put it there.
  EXPECT_EQ(ClipboardBitmapSize().cx, client.right);
}
