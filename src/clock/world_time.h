#pragma once
// Calendar arithmetic and the time of the chosen zone.
#include <array>
#include <cstdint>
#include <string_view>

#include "app/app.h"
#include "platform/ports.h"
#include "platform/types.h"

namespace tomari {

struct TimeZoneCity {
  int index;               // 1-31, the WorldTime setting that selects it
  const char* name;        // as the settings page lists it
  const char* offsetText;  // hours from UTC, as the string table holds it
  int offsetMinutes;       // offsetText read as a number, times 60, rounded
};

inline constexpr int kTimeZoneCityCount = 31;

// The cities in list order (element 0 is index 1).
const std::array<TimeZoneCity, kTimeZoneCityCount>& TimeZoneCities();
// The city for a WorldTime value, or nullptr outside 1-31.
const TimeZoneCity* FindTimeZoneCity(std::int32_t worldTime);

// Reads an offset in hours such as "+9", "-3", "+5.5", " 0" and returns minutes,
// rounded half away from zero. What follows the number is ignored and text
// without a number reads as 0, so a damaged entry can only mean UTC.
constexpr int ParseOffsetMinutes(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Whole hours, then up to 6 fraction digits in millionths of an hour; longer
  // input is clamped so that no value can overflow.
  std::int64_t hours = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    if (hours < 100000) hours = hours * 10 + (text[i] - '0');
  std::int64_t millionths = 0;
  if (i < text.size() && text[i] == '.') {
    ++i;
    std::int64_t scale = 100000;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10)
      millionths += (text[i] - '0') * scale;
  }
  const std::int64_t minutesTimesMillion = (hours * 1000000 + millionths) * 60;
  const std::int64_t minutes = (minutesTimesMillion + 500000) / 1000000;
  return static_cast<int>(negative ? -minutes : minutes);
}

// Days since 1970-01-01 of a proleptic Gregorian date; months outside 1-12
// carry into the year and days outside the month carry into the next ones.
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day);
// 0 = Sunday.
int DayOfWeek(int year, int month, int day);
// `t` moved by `minutes` through the calendar, seconds kept, milliseconds
// dropped, dayOfWeek filled in.
DateTime AddMinutes(const DateTime& t, std::int64_t minutes);

// Minutes to add to UTC for the zone and summer time of the settings.
std::int64_t WorldTimeOffsetMinutes(const Settings& s);
// The date and time of the chosen zone at the UTC instant `utc`.
DateTime WorldTimeAt(const Settings& s, const DateTime& utc);
// The date and time of the chosen zone now.
DateTime GetWorldTime(const Settings& s, Clock& clock);

}  // namespace tomari
