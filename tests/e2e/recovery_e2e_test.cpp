// A run of Tomari.exe that does not end by itself (killed, or crashed) still
// leaves no window altered: the crash gives back on its way down, and after a
// kill the next start gives back what the journal holds.
#include <gtest/gtest.h>

#include <string>

#include "win32/win32_test_support.h"

using namespace win32test;

TEST(Recovery, AKilledOrCrashedRunLeavesNoWindowAltered) {
  const std::wstring title = L"復元 Recovery";
  for (const bool kill : {true, false}) {
    SCOPED_TRACE(kill ? "killed" : "crashed");
    Target p;
    ASSERT_TRUE(p.Start(L"--title \"" + title + L"\" --rect 300,300,400,300", true));
    const HWND t = p.hwnd();
    auto itsOwnAgain = [&] {
      return TextOf(t) == title &&
             (GetWindowLongW(t, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_LAYERED)) == 0;
    };
    TomariRun run;
    ASSERT_TRUE(run.Start(kill ? L"recovery-kill" : L"recovery-crash",
                          "[TitleClock]\r\nCheck=-1\r\n[Layer]\r\nTransparency=100\r\n"));
    ASSERT_TRUE(PerchedOn(run.widget, t));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(t).size() > title.size(); }));
    run.Press({1, 5, 6});  // fixed, top-most, semi-transparent
    ASSERT_TRUE(WaitUntil([&] {
      return (GetWindowLongW(t, GWL_EXSTYLE) & WS_EX_TOPMOST) && LayeredAlpha(t) == 100;
    })) << Narrow(TextOf(t));
    if (kill) {
      run.process.Kill();
      EXPECT_FALSE(itsOwnAgain()) << "nothing gives back after TerminateProcess";
      wchar_t cls[256] = L"";
      GetClassNameW(t, cls, 256);
      EXPECT_NE(ReadBytes(run.dir + L"Tomari.journal").find(Narrow(cls)), std::string::npos);
      // The next run only gives back: its tick stays off.
      WriteBytes(run.dir + L"Setting.ini", "[Main]\r\nTiming=0\r\n");
      ASSERT_TRUE(run.Restart());
      EXPECT_TRUE(WaitUntil([&] { return itsOwnAgain(); })) << Narrow(TextOf(t));
      EXPECT_TRUE(run.Close());
    } else {
      // A fault in a thread of the program: nothing in it handles that.
      HANDLE fault =
          CreateRemoteThread(run.process.Handle(), nullptr, 0,
                             reinterpret_cast<LPTHREAD_START_ROUTINE>(8), nullptr, 0, nullptr);
      ASSERT_TRUE(fault) << GetLastError();
      CloseHandle(fault);
      ASSERT_TRUE(run.process.WaitExit(15000));
      EXPECT_TRUE(WaitUntil([&] { return itsOwnAgain(); })) << Narrow(TextOf(t));
    }
    EXPECT_EQ(ReadBytes(run.dir + L"Tomari.journal"), "") << "nothing is owed any more";
  }
}
