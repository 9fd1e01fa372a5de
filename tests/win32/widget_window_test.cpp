// The widget window's own handling: mouse messages into pointer calls, the
// tooltip control and the skin cursor.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "win32/widget_window.h"

namespace {

BOOL CALLBACK NoteToolTip(HWND h, LPARAM p) {
  wchar_t cls[64];
  GetClassNameW(h, cls, 64);
  if (wcscmp(cls, TOOLTIPS_CLASSW) == 0) *reinterpret_cast<HWND*>(p) = h;
  return TRUE;
}

struct Event {
  std::string kind;
  int button, modifiers, x, y;
  bool operator==(const Event&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Event& e) {
  return out << e.kind << " " << e.button << " " << e.modifiers << " " << e.x << "," << e.y;
}

class WidgetWindowTest : public ::testing::Test, public tomari::WidgetEvents {
 protected:
  WidgetWindowTest() : widget(*this) {}
  void SetUp() override {
    ASSERT_TRUE(widget.Create(GetModuleHandleW(nullptr), 150, 20));
    widget.MoveTo(200, 150, false);
    widget.Show();
  }
  void OnTrackingTimer() override {}
  void OnSettingChange() override {}
  void OnHoverTimer() override {}
  void OnPointerPress(int b, int m, int x, int y) override { events.push_back({"press", b, m, x, y}); }
  // SetCursorPos makes plain hover moves of its own; only ours carry buttons.
  void OnPointerMove(int b, int m, int x, int y) override {
    if (b != 0) events.push_back({"move", b, m, x, y});
  }
  void OnPointerRelease(int b, int m, int x, int y) override {
    events.push_back({"release", b, m, x, y});
  }
  void OnCloseRequest() override {
    closes++;
    if (closeThrows) throw std::runtime_error("close step failed");
  }
  void OnWidgetDestroyed() override { destroyed++; }

  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  // Posted with the pointer at widget point (x, y), as the system would.
  void Post(UINT msg, WPARAM wp, int x, int y) {
    SetCursorPos(200 + x, 150 + y);
    PostMessageW(widget.hwnd(), msg, wp, MAKELPARAM(x, y));
    Pump();
  }
  HWND ToolTip() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), NoteToolTip, reinterpret_cast<LPARAM>(&found));
    return found;
  }
  std::wstring ToolTipText(HWND tip) {
    wchar_t buf[256] = L"";
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = widget.hwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(widget.hwnd());
    ti.lpszText = buf;
    SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&ti));
    return buf;
  }

  tomari::Win32Widget widget;
  std::vector<Event> events;
  int closes = 0;
  bool closeThrows = false;
  int destroyed = 0;
};

TEST_F(WidgetWindowTest, MouseMessagesBecomeButtonCodesModifiersAndWidgetPoints) {
  Post(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 10, 5);
  // MK_SHIFT is 4 and MK_MBUTTON 0x10: neither may pass for the other.
  Post(WM_MOUSEMOVE, MK_MBUTTON | MK_SHIFT, 12, 6);
  Post(WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON | MK_CONTROL, 14, 7);
  Post(WM_RBUTTONUP, MK_CONTROL, 16, 8);
  const std::vector<Event> expected = {{"press", 1, 1, 10, 5},
                                       {"move", 4, 1, 12, 6},
                                       {"move", 3, 2, 14, 7},
                                       {"release", 2, 2, 16, 8}};
  EXPECT_EQ(events, expected);
  // A drag to the left of the widget gives negative points, not 65535.
  Post(WM_MOUSEMOVE, MK_LBUTTON, -30, -4);
  EXPECT_EQ(events.back(), (Event{"move", 1, 0, -30, -4}));
}

TEST_F(WidgetWindowTest, TheToolTipAndTheCursorFollowTheHoveredButton) {
  HWND tip = ToolTip();
  ASSERT_TRUE(tip);
  EXPECT_TRUE(GetWindowLongW(tip, GWL_STYLE) & TTS_ALWAYSTIP);
  widget.SetToolTip("このウインドウに固定");
  EXPECT_EQ(ToolTipText(tip), L"このウインドウに固定");
  widget.SetToolTip("");
  EXPECT_EQ(ToolTipText(tip), L"");
  auto cursorOverTheWidget = [&] {
    SendMessageW(widget.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(widget.hwnd()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  widget.SetWidgetCursor(reinterpret_cast<tomari::CursorHandle>(hand));
  EXPECT_EQ(cursorOverTheWidget(), hand);
  widget.SetWidgetCursor(0);
  EXPECT_EQ(cursorOverTheWidget(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(WidgetWindowTest, CloseAndTheSessionEndGoThroughTheCloseRequestEvenWhenItFails) {
  SendMessageW(widget.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(closes, 1);
  // Answering the query ends nothing; only the session really ending does.
  EXPECT_TRUE(SendMessageW(widget.hwnd(), WM_QUERYENDSESSION, 0, 0));
  SendMessageW(widget.hwnd(), WM_ENDSESSION, FALSE, 0);
  EXPECT_EQ(closes, 1);
  SendMessageW(widget.hwnd(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(closes, 2);
  EXPECT_TRUE(IsWindow(widget.hwnd())) << "the window stays until its owner destroys it";
  EXPECT_EQ(destroyed, 0);
  // The owner's message loop ends on the destroyed event: if a failed close
  // kept the window, the process would live on without one.
  closeThrows = true;
  HWND h = widget.hwnd();
  SendMessageW(h, WM_CLOSE, 0, 0);
  EXPECT_EQ(closes, 3);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(widget.hwnd(), nullptr);
}

}  // namespace
