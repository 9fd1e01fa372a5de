// The time of the chosen zone: the city table, user-defined offsets, summer
// time and the calendar roll-over.
#include <gtest/gtest.h>

#include <climits>

#include "clock/world_time.h"
#include "support/fake_desktop.h"

namespace tomari {
namespace {

DateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return DateTime{y, mo, d, h, mi, s, 0, 0};
}

// Fields compared one by one, so a failure says which.
void ExpectTime(const DateTime& t, int y, int mo, int d, int h, int mi, int s) {
  EXPECT_EQ(t.year, y);
  EXPECT_EQ(t.month, mo);
  EXPECT_EQ(t.day, d);
  EXPECT_EQ(t.hour, h);
  EXPECT_EQ(t.minute, mi);
  EXPECT_EQ(t.second, s);
}

Settings City(int k, int sdt = 0) {
  Settings s;
  s.ClockWorldTime = k;
  s.ClockWorldTimeSDT = sdt;
  return s;
}

Settings UserOffset(bool behind, int hours, int minutes, int sdt) {
  Settings s;
  s.ClockWorldTime = 0;
  s.ClockWorldTimePM = behind ? 1 : 0;
  s.ClockWorldTimeHour = hours;
  s.ClockWorldTimeMinute = minutes;
  s.ClockWorldTimeSDT = sdt;
  return s;
}

TEST(ZoneTable, CitiesAreFoundByTheirSettingsIndex) {
  const auto& cities = TimeZoneCities();
  for (int k = 1; k <= kTimeZoneCityCount; ++k) {
    const TimeZoneCity* c = FindTimeZoneCity(k);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c, &cities[static_cast<std::size_t>(k - 1)]);
    EXPECT_EQ(c->index, k);
  }
  EXPECT_STREQ(FindTimeZoneCity(17)->name, "東京(TYO)");
  EXPECT_STREQ(FindTimeZoneCity(4)->name, "ローマ（ROM)");
  EXPECT_EQ(FindTimeZoneCity(11)->offsetMinutes, 330);
  EXPECT_EQ(FindTimeZoneCity(31)->offsetMinutes, -180);
  EXPECT_EQ(FindTimeZoneCity(0), nullptr);
  EXPECT_EQ(FindTimeZoneCity(32), nullptr);
  EXPECT_EQ(FindTimeZoneCity(-17), nullptr);
}

TEST(ZoneTable, OffsetTextReadsAsANumber) {
  static_assert(ParseOffsetMinutes("+5.5") == 330);
  EXPECT_EQ(ParseOffsetMinutes("-3.5"), -210);
  EXPECT_EQ(ParseOffsetMinutes("+5.75"), 345);
  EXPECT_EQ(ParseOffsetMinutes(" +9 hours"), 540);
  EXPECT_EQ(ParseOffsetMinutes("+1.01"), 61);  // 60.6 minutes, rounded
  EXPECT_EQ(ParseOffsetMinutes("-1.01"), -61);
  EXPECT_EQ(ParseOffsetMinutes(".5"), 30);
  EXPECT_EQ(ParseOffsetMinutes(""), 0);
  EXPECT_EQ(ParseOffsetMinutes("abc"), 0);
  EXPECT_GT(ParseOffsetMinutes("99999999999999999999.99999999999"), 0);  // clamped, no overflow
}

TEST(WorldTime, CitiesShiftUtcByTheirOffset) {
  const DateTime utc = At(2003, 1, 17, 8, 30, 5);
  ExpectTime(WorldTimeAt(City(17), utc), 2003, 1, 17, 17, 30, 5);     // Tokyo
  ExpectTime(WorldTimeAt(City(1), utc), 2003, 1, 17, 8, 30, 5);       // UTC
  ExpectTime(WorldTimeAt(City(21), utc), 2003, 1, 16, 22, 30, 5);     // Honolulu, day before
  ExpectTime(WorldTimeAt(City(17, 1), utc), 2003, 1, 17, 18, 30, 5);  // summer time
  ExpectTime(WorldTimeAt(City(27, 1), utc), 2003, 1, 17, 4, 30, 5);   // New York, summer
}

TEST(WorldTime, RollsBackOverMonthEndsAndLeapDays) {
  ExpectTime(WorldTimeAt(City(21), At(2004, 3, 1, 5, 0, 0)), 2004, 2, 29, 19, 0, 0);
  ExpectTime(WorldTimeAt(City(23), At(2003, 3, 1, 3, 0, 0)), 2003, 2, 28, 19, 0, 0);
  ExpectTime(WorldTimeAt(City(31), At(2000, 1, 1, 1, 0, 0)), 1999, 12, 31, 22, 0, 0);
  ExpectTime(WorldTimeAt(City(20), At(1999, 12, 31, 12, 0, 0)), 2000, 1, 1, 0, 0, 0);
}

TEST(WorldTime, UserDefinedOffsetWithSignAndSummerTime) {
  const DateTime utc = At(2003, 1, 17, 8, 30, 5);
  // Minus 3 h 30 min with summer time: UTC - 2:30.
  ExpectTime(WorldTimeAt(UserOffset(true, 3, 30, 1), utc), 2003, 1, 17, 6, 0, 5);
  ExpectTime(WorldTimeAt(UserOffset(true, 3, 30, 0), utc), 2003, 1, 17, 5, 0, 5);
  ExpectTime(WorldTimeAt(UserOffset(false, 5, 45, 0), utc), 2003, 1, 17, 14, 15, 5);
  ExpectTime(WorldTimeAt(UserOffset(false, 5, 45, 1), utc), 2003, 1, 17, 15, 15, 5);
  ExpectTime(WorldTimeAt(UserOffset(false, 0, 0, 0), utc), 2003, 1, 17, 8, 30, 5);
  // The sign also comes from WorldTime_PM when hours are 0: minutes go back.
  ExpectTime(WorldTimeAt(UserOffset(true, 0, 45, 0), utc), 2003, 1, 17, 7, 45, 5);
  // The stored summer-time value is the number of hours added.
  ExpectTime(WorldTimeAt(UserOffset(false, 0, 0, 2), utc), 2003, 1, 17, 10, 30, 5);
}

TEST(WorldTime, OutOfRangeSettingsNeverBreakIt) {
  const DateTime utc = At(2003, 1, 17, 8, 30, 5);
  ExpectTime(WorldTimeAt(City(99), utc), 2003, 1, 17, 8, 30, 5);
  ExpectTime(WorldTimeAt(City(-1, 1), utc), 2003, 1, 17, 9, 30, 5);
  const DateTime far = WorldTimeAt(UserOffset(false, INT_MAX, INT_MAX, INT_MAX), utc);
  EXPECT_GT(far.year, 2003);
  EXPECT_GE(far.month, 1);
  EXPECT_LE(far.month, 12);
  const DateTime past = WorldTimeAt(UserOffset(true, INT_MAX, INT_MAX, INT_MIN), utc);
  EXPECT_LT(past.year, 2003);
  EXPECT_GE(past.day, 1);
}

TEST(WorldTime, DropsMillisecondsAndFillsTheWeekday) {
  DateTime utc = At(2003, 1, 17, 23, 59, 59);
  utc.millisecond = 999;
  utc.dayOfWeek = 3;  // wrong on purpose: the clock's weekday is not used
  const DateTime t = WorldTimeAt(City(17), utc);
  ExpectTime(t, 2003, 1, 18, 8, 59, 59);
  EXPECT_EQ(t.millisecond, 0);
  EXPECT_EQ(t.dayOfWeek, 6);  // Saturday
}

TEST(Calendar, DaysAndWeekdays) {
  EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
  EXPECT_EQ(DaysFromCivil(2000, 3, 1) - DaysFromCivil(2000, 2, 28), 2);
  EXPECT_EQ(DaysFromCivil(1900, 3, 1) - DaysFromCivil(1900, 2, 28), 1);
  EXPECT_EQ(DaysFromCivil(2003, 13, 1), DaysFromCivil(2004, 1, 1));
  EXPECT_EQ(DaysFromCivil(2003, 0, 1), DaysFromCivil(2002, 12, 1));
  EXPECT_EQ(DayOfWeek(2003, 1, 17), 5);
  EXPECT_EQ(DayOfWeek(1868, 9, 8), 2);
  EXPECT_EQ(DayOfWeek(1969, 12, 28), 0);
  ExpectTime(AddMinutes(At(2003, 1, 1, 0, 0, 7), -1), 2002, 12, 31, 23, 59, 7);
  ExpectTime(AddMinutes(At(2003, 1, 1), 60LL * 24 * 365), 2004, 1, 1, 0, 0, 0);
}

}  // namespace
}  // namespace tomari
