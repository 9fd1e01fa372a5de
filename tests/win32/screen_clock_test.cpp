// Win32Screen in the Wine virtual desktop, and Win32Clock.
#include <gtest/gtest.h>

#include <ctime>

#include "win32/ports/win_clock.h"
#include "win32/ports/win_screen.h"
#include "win32/win32_test_support.h"

namespace tomari {
namespace {

TEST(ScreenTest, TheVirtualDesktopIsOneWholeMonitor) {
  Win32Screen screen;
  // Whole rectangle: the work area would be smaller by a taskbar, if any.
  EXPECT_EQ(screen.Monitors(), (std::vector<Rect>{{0, 0, 1024, 768}}));
}

TEST(ScreenTest, CursorPosFollowsThePointer) {
  Win32Screen screen;
  ASSERT_TRUE(SetCursorPos(123, 456));
  EXPECT_TRUE(win32test::WaitUntil([&] { return screen.CursorPos() == Point{123, 456}; }));
  ASSERT_TRUE(SetCursorPos(900, 20));
  EXPECT_TRUE(win32test::WaitUntil([&] { return screen.CursorPos() == Point{900, 20}; }));
}

// Days since 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097LL + doe - 719468;
}

long long SecondsSinceEpoch(const DateTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 +
         t.second;
}

// What the comparison of seconds against the system cannot see.
void ExpectWeekdayAndMilliseconds(const DateTime& t) {
  EXPECT_TRUE(t.millisecond >= 0 && t.millisecond <= 999) << t.millisecond;
  // 1970-01-01 was a Thursday.
  EXPECT_EQ(t.dayOfWeek, static_cast<int>(((DaysFromCivil(t.year, t.month, t.day) % 7) + 11) % 7));
}

TEST(ClockTest, UtcNowIsTheSystemTime) {
  Win32Clock clock;
  const long long before = static_cast<long long>(std::time(nullptr));
  const DateTime utc = clock.UtcNow();
  const long long after = static_cast<long long>(std::time(nullptr));
  ExpectWeekdayAndMilliseconds(utc);
  EXPECT_GE(SecondsSinceEpoch(utc), before - 1);
  EXPECT_LE(SecondsSinceEpoch(utc), after + 1);
}

TEST(ClockTest, LocalNowIsUtcShiftedByTheTimeZone) {
  Win32Clock clock;
  TIME_ZONE_INFORMATION zone;
  DWORD which = GetTimeZoneInformation(&zone);
  long bias = zone.Bias;  // minutes, UTC = local + bias
  if (which == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  if (which == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;

  DateTime utc, local;
  // Take both inside one second, so that the difference is the zone's alone.
  for (int i = 0; i < 5; ++i) {
    utc = clock.UtcNow();
    local = clock.LocalNow();
    if (utc.second == local.second) break;
  }
  ExpectWeekdayAndMilliseconds(local);
  EXPECT_EQ((SecondsSinceEpoch(utc) - SecondsSinceEpoch(local)) / 60, bias);
}

}  // namespace
}  // namespace tomari
