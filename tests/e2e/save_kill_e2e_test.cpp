// Killing Tomari.exe at any moment of its closing save leaves Setting.ini whole:
// the old file or the new one, never a torn, empty or missing one.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "win32/win32_test_support.h"

using namespace win32test;
using Clock = std::chrono::steady_clock;

namespace {

bool TemporaryFileLeft(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  const HANDLE h = FindFirstFileW((dir + L"~tomari*.tmp").c_str(), &found);
  return h != INVALID_HANDLE_VALUE && FindClose(h);
}

}  // namespace

TEST(SaveKill, KillsAtRandomMomentsOfTheSaveNeverDamageSettingIni) {
  // Written by hand (no blank before the numbers), so that every save changes
  // it and the old and the new file can be told apart; the many exclusions
  // make the save long enough to be hit.
  std::string old = "[Main]\r\nTiming=150\r\n";
  for (int i = 1; i <= 999; ++i) {
    char section[64];
    std::snprintf(section, sizeof section, "[AntiPercher%03d]\r\nName=", i);
    old += section + Narrow(L"除外") + std::to_string(i) + "\r\nWindowTitle=Title " +
           std::to_string(i) + "\r\nInTitle=1\r\nWindowClass=Class" + std::to_string(i) + "\r\n";
  }
  TomariRun run;
  ASSERT_TRUE(run.Start(L"save-kill", old));
  const auto closing = Clock::now();
  ASSERT_TRUE(run.Close());
  const auto closeMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - closing).count();
  const std::string saved = run.SettingsFile();
  ASSERT_NE(saved.find("Timing= 150\r\n"), std::string::npos);
  ASSERT_NE(saved.find("[AntiPercher999]"), std::string::npos);

  const unsigned seed = GetTickCount();
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delayMs(0, static_cast<int>(closeMs) + 20);
  int tried = 0, sawOld = 0, sawNew = 0, cutInSave = 0;
  const auto until = Clock::now() + std::chrono::seconds(25);
  for (int round = 0; round < 60 && Clock::now() < until; ++round) {
    ASSERT_TRUE(WriteBytes(run.dir + L"Setting.ini", old));
    ASSERT_TRUE(run.Restart());
    PostMessageW(run.widget, WM_CLOSE, 0, 0);
    // Half the kills wait for the save's temporary file to show, half come at
    // any moment of the close.
    const bool atTheSave = round % 2 == 0;
    const auto give =
        Clock::now() + std::chrono::milliseconds(atTheSave ? closeMs * 3 + 1000 : delayMs(random));
    while (Clock::now() < give && run.process.Running() &&
           !(atTheSave && TemporaryFileLeft(run.dir))) {
    }
    if (atTheSave) Sleep(static_cast<DWORD>(delayMs(random) % 3));
    tried += run.process.Running();
    run.process.Kill();
    const std::string now = run.SettingsFile();
    sawOld += now == old;
    sawNew += now == saved;
    EXPECT_TRUE(now == old || now == saved) << "round " << round << ": " << now.size() << " bytes";
    cutInSave += TemporaryFileLeft(run.dir);
  }
  // The next start reads the file whole (and writes it back unchanged), and
  // clears away what a killed save left behind.
  ASSERT_TRUE(run.Restart());
  ASSERT_TRUE(run.Close());
  EXPECT_EQ(run.SettingsFile(), saved);
  EXPECT_FALSE(TemporaryFileLeft(run.dir));
  std::printf(
      "[ figures  ] kills during save: %d tried (seed %u, close %lld ms), %d left the old file, "
      "%d the new one, %d cut a save short (temporary file left)\n",
      tried, seed, static_cast<long long>(closeMs), sawOld, sawNew, cutInSave);
  EXPECT_GT(tried, 0);
}
