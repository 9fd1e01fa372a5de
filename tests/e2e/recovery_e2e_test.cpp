// A run of Tomari.exe that does not end by itself (killed, or crashed) still
// leaves no window altered: the crash gives back on its way down, and after a
// kill the next start gives back what the journal holds.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "win32/win32_test_support.h"

using namespace win32test;

namespace {

// Default skin buttons, by their number in the skin file.
constexpr int kWindowSet = 1;
constexpr int kTopMost = 5;
constexpr int kSemiTransparent = 6;
const std::wstring kTitle = L"復元 Recovery";

std::wstring Title(HWND h) {
  wchar_t buf[512];
  const int n = GetWindowTextW(h, buf, 512);
  return std::wstring(buf, n > 0 ? n : 0);
}

LONG ExStyle(HWND h) { return GetWindowLongW(h, GWL_EXSTYLE); }

int Alpha(HWND h) {
  BYTE alpha = 0;
  DWORD flags = 0;
  if (!GetLayeredWindowAttributes(h, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA)) return -1;
  return alpha;
}

bool ItsOwnAgain(HWND t) {
  return Title(t) == kTitle && (ExStyle(t) & (WS_EX_TOPMOST | WS_EX_LAYERED)) == 0;
}

std::string Describe(HWND t) {
  return Narrow(Title(t)) + " ex=" + std::to_string(ExStyle(t)) + " alpha=" +
         std::to_string(Alpha(t));
}

}  // namespace

TEST(Recovery, AKilledOrCrashedRunLeavesNoWindowAltered) {
  int altered = 0;
  for (const bool kill : {true, false}) {
    SCOPED_TRACE(kill ? "killed" : "crashed");
    Target p;
    HWND t = p.Start(L"--title \"" + kTitle + L"\" --rect 300,300,400,300", true) ? p.hwnd() : nullptr;
    ASSERT_TRUE(t);
    TomariRun run;
    ASSERT_TRUE(run.Start(kill ? L"recovery-kill" : L"recovery-crash",
                          "[TitleClock]\r\nCheck=-1\r\n[Layer]\r\nTransparency=100\r\n"));
    ASSERT_TRUE(PerchedOn(run.widget, t));
    ASSERT_TRUE(WaitUntil([&] { return Title(t).size() > kTitle.size(); }, 5000));
    for (int button : {kWindowSet, kTopMost, kSemiTransparent}) {
      Click(run.Button(button));
      Pump(200);
    }
    ASSERT_TRUE(WaitUntil([&] { return (ExStyle(t) & WS_EX_TOPMOST) && Alpha(t) == 100; }, 5000))
        << Describe(t);

    if (kill) {
      run.process.Kill();
      ASSERT_FALSE(run.process.Running());
      EXPECT_FALSE(ItsOwnAgain(t)) << "nothing gives back after TerminateProcess";
      wchar_t cls[256] = L"";
      GetClassNameW(t, cls, 256);
      EXPECT_NE(ReadBytes(run.dir + L"Tomari.journal").find(Narrow(cls)), std::string::npos);
      // The next run only gives back: its tick stays off.
      WriteBytes(run.dir + L"Setting.ini", "[Main]\r\nTiming=0\r\n");
      Process again;
      ASSERT_TRUE(again.Start(run.dir + L"Tomari.exe", L""));
      HWND widget = FindWindowOf(again.Id(), L"TomariWidget", 15000);
      ASSERT_TRUE(widget);
      EXPECT_TRUE(WaitUntil([&] { return ItsOwnAgain(t); }, 5000)) << Describe(t);
      PostMessageW(widget, WM_CLOSE, 0, 0);
      EXPECT_TRUE(again.WaitExit(15000));
    } else {
      // A fault in a thread of the program: nothing in it handles that.
      HANDLE fault = CreateRemoteThread(run.process.Handle(), nullptr, 0,
                                        reinterpret_cast<LPTHREAD_START_ROUTINE>(8), nullptr, 0,
                                        nullptr);
      ASSERT_TRUE(fault) << GetLastError();
      CloseHandle(fault);
      ASSERT_TRUE(run.process.WaitExit(15000));
      EXPECT_TRUE(WaitUntil([&] { return ItsOwnAgain(t); }, 5000)) << Describe(t);
    }
    if (!ItsOwnAgain(t)) ++altered;
    EXPECT_EQ(ReadBytes(run.dir + L"Tomari.journal"), "") << "nothing is owed any more";
  }
  std::printf("[ figures  ] windows left altered after a kill and a crash: %d of 2\n", altered);
}
