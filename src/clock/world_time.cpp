#include "clock/world_time.h"

namespace tomari {

namespace {

constexpr std::array<TimeZoneCity, kTimeZoneCityCount> kCities{{
#define TOMARI_ZONE(k, name, offset) {k, name, offset, ParseOffsetMinutes(offset)},
#include "clock/zone_table.inc"
#undef TOMARI_ZONE
}};

constexpr bool IndexedInOrder() {
  for (int i = 0; i < kTimeZoneCityCount; ++i)
    if (kCities[static_cast<std::size_t>(i)].index != i + 1) return false;
  return true;
}
static_assert(IndexedInOrder(), "zone_table.inc must list the cities 1 to 31 in order");

constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// The inverse of DaysFromCivil for an in-range month.
void CivilFromDays(std::int64_t z, std::int64_t& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

int ClampToInt(std::int64_t v) {
  constexpr std::int64_t lo = -2000000000, hi = 2000000000;
  return static_cast<int>(v < lo ? lo : (v > hi ? hi : v));
}

}  // namespace

const std::array<TimeZoneCity, kTimeZoneCityCount>& TimeZoneCities() { return kCities; }

const TimeZoneCity* FindTimeZoneCity(std::int32_t worldTime) {
  if (worldTime < 1 || worldTime > kTimeZoneCityCount) return nullptr;
  return &kCities[static_cast<std::size_t>(worldTime - 1)];
}

std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
  year += FloorDiv(month - 1, 12);
  month = month - 1 - FloorDiv(month - 1, 12) * 12 + 1;
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = FloorDiv(year, 400);
  const std::int64_t yoe = year - era * 400;
  const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

int DayOfWeek(int year, int month, int day) {
  // 1970-01-01 was a Thursday.
  const std::int64_t days = DaysFromCivil(year, month, day);
  return static_cast<int>(days - FloorDiv(days + 4, 7) * 7 + 4);
}

DateTime AddMinutes(const DateTime& t, std::int64_t minutes) {
  const std::int64_t total =
      DaysFromCivil(t.year, t.month, t.day) * 1440 + std::int64_t{t.hour} * 60 + t.minute + minutes;
  const std::int64_t days = FloorDiv(total, 1440);
  const std::int64_t ofDay = total - days * 1440;
  DateTime r;
  std::int64_t year = 0;
  CivilFromDays(days, year, r.month, r.day);
  r.year = ClampToInt(year);
  r.hour = static_cast<int>(ofDay / 60);
  r.minute = static_cast<int>(ofDay % 60);
  r.second = t.second;
  r.dayOfWeek = static_cast<int>(days - FloorDiv(days + 4, 7) * 7 + 4);
  return r;
}

std::int64_t WorldTimeOffsetMinutes(const Settings& s) {
  const std::int64_t sdt = s.ClockWorldTimeSDT;
  if (s.ClockWorldTime == 0) {
    const std::int64_t hour = s.ClockWorldTimeHour;
    const std::int64_t minute = s.ClockWorldTimeMinute;
    if (s.ClockWorldTimePM != 0) return (sdt - hour) * 60 - minute;
    return (hour + sdt) * 60 + minute;
  }
  // A WorldTime outside the list has no offset of its own: UTC.
  const TimeZoneCity* city = FindTimeZoneCity(s.ClockWorldTime);
  return sdt * 60 + (city ? city->offsetMinutes : 0);
}

DateTime WorldTimeAt(const Settings& s, const DateTime& utc) {
  DateTime whole = utc;
  // Seconds outside 0-59 from a damaged clock carry like the other fields.
  const std::int64_t carry = FloorDiv(whole.second, 60);
  whole.second = static_cast<int>(whole.second - carry * 60);
  return AddMinutes(whole, WorldTimeOffsetMinutes(s) + carry);
}

DateTime GetWorldTime(const Settings& s, Clock& clock) { return WorldTimeAt(s, clock.UtcNow()); }

}  // namespace tomari
