// The time of the chosen zone: the city table, user-defined offsets, summer
// time and the calendar roll-over.
#include <gtest/gtest.h>

#include <array>
#include <climits>

#include "clock/world_time.h"

namespace tomari {
namespace {

using Fields = std::array<int, 6>;  // year, month, day, hour, minute, second

DateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return DateTime{y, mo, d, h, mi, s, 0, 0};
}
Fields F(const DateTime& t) { return {t.year, t.month, t.day, t.hour, t.minute, t.second}; }

// City `k` (0: the user's own offset, `behind` UTC or not by h:mi) with `sdt`
// hours of summer time.
Settings Zone(int k, int sdt = 0, bool behind = false, int h = 0, int mi = 0) {
  Settings s;
  s.ClockWorldTime = k;
  s.ClockWorldTimeSDT = sdt;
  s.ClockWorldTimePM = behind ? 1 : 0;
  s.ClockWorldTimeHour = h;
  s.ClockWorldTimeMinute = mi;
  return s;
}

TEST(ZoneTable, CitiesAreFoundByTheirSettingsIndexAndOffsetsReadAsNumbers) {
  for (int k = 1; k <= kTimeZoneCityCount; ++k)
    EXPECT_EQ(FindTimeZoneCity(k), &TimeZoneCities()[static_cast<std::size_t>(k - 1)]) << k;
  for (int k : {0, 32, -17}) EXPECT_EQ(FindTimeZoneCity(k), nullptr) << k;

  const std::pair<const char*, int> kOffsets[] = {
      {"+5.5", 330},  {"-3.5", -210}, {"+5.75", 345}, {" +9 hours", 540}, {"+1.01", 61},
      {"-1.01", -61}, {".5", 30},     {"", 0},        {"abc", 0}};
  for (const auto& [text, minutes] : kOffsets) EXPECT_EQ(ParseOffsetMinutes(text), minutes) << text;
  EXPECT_GT(ParseOffsetMinutes("99999999999999999999.99999999999"), 0);  // clamped, no overflow
}

TEST(WorldTime, ShiftsUtcByTheZoneAndRollsOverTheCalendar) {
  const DateTime utc = At(2003, 1, 17, 8, 30, 5);
  const struct {
    Settings zone;
    DateTime utc;
    Fields expected;
  } kCases[] = {
      {Zone(17), utc, {2003, 1, 17, 17, 30, 5}},    // Tokyo
      {Zone(21), utc, {2003, 1, 16, 22, 30, 5}},    // Honolulu, day before
      {Zone(27, 1), utc, {2003, 1, 17, 4, 30, 5}},  // New York, summer
      {Zone(21), At(2004, 3, 1, 5), {2004, 2, 29, 19, 0, 0}},
      {Zone(31), At(2000, 1, 1, 1), {1999, 12, 31, 22, 0, 0}},
      {Zone(20), At(1999, 12, 31, 12), {2000, 1, 1, 0, 0, 0}},
      // Minus 3 h 30 min with summer time: UTC - 2:30.
      {Zone(0, 1, true, 3, 30), utc, {2003, 1, 17, 6, 0, 5}},
      // The stored summer-time value is the number of hours added.
      {Zone(0, 2, false, 5, 45), utc, {2003, 1, 17, 16, 15, 5}},
      // The sign also comes from WorldTime_PM when hours are 0: minutes go back.
      {Zone(0, 0, true, 0, 45), utc, {2003, 1, 17, 7, 45, 5}},
      {Zone(99), utc, {2003, 1, 17, 8, 30, 5}},  // outside the list: UTC
  };
  for (const auto& c : kCases)
    EXPECT_EQ(F(WorldTimeAt(c.zone, c.utc)), c.expected) << c.zone.ClockWorldTime;

  const DateTime far = WorldTimeAt(Zone(0, INT_MAX, false, INT_MAX, INT_MAX), utc);
  EXPECT_GT(far.year, 2003);
  EXPECT_TRUE(far.month >= 1 && far.month <= 12);
  const DateTime past = WorldTimeAt(Zone(0, INT_MIN, true, INT_MAX, INT_MAX), utc);
  EXPECT_LT(past.year, 2003);
  EXPECT_GE(past.day, 1);

  // The clock's weekday is not used (wrong on purpose here); milliseconds go.
  const DateTime late{2003, 1, 17, 23, 59, 59, 999, 3};
  EXPECT_EQ(WorldTimeAt(Zone(17), late), (DateTime{2003, 1, 18, 8, 59, 59, 0, 6}));
}

}  // namespace
}  // namespace tomari
