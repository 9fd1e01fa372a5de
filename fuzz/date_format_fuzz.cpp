// The clock's format language and the title clock text: any pattern, any
// zone settings read from Setting.ini and any regional texts give a text whose
// length is bounded by the pattern's length.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "clock/date_format.h"
#include "clock/title_clock.h"
#include "fuzz_ports.h"

using namespace tomari;
using fuzz::Fail;

namespace {

int DaysIn(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// The longest text any single pattern character can bring: a regional
// picture's every character replaced by the longest regional text or number.
std::size_t PerCharacter(const LocaleFormats& loc) {
  std::size_t longest = 16;  // digits of the largest number, a sign
  auto see = [&](const std::string& s) { longest = std::max(longest, s.size() + 16); };
  for (const auto* s :
       {&loc.timeSeparator, &loc.dateSeparator, &loc.am, &loc.pm, &loc.gregorianEraName})
    see(*s);
  for (const auto& s : loc.dayNames) see(s);
  for (const auto& s : loc.abbrevDayNames) see(s);
  for (const auto& s : loc.monthNames) see(s);
  for (const auto& s : loc.abbrevMonthNames) see(s);
  return (loc.shortDate.size() + loc.longDate.size() + loc.timeFormat.size() + 8) * longest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  LocaleFormats loc;
  const bool regional = in.ConsumeBool();
  if (regional) {
    loc.shortDate = in.ConsumeRandomLengthString(16);
    loc.longDate = in.ConsumeRandomLengthString(16);
    loc.timeFormat = in.ConsumeRandomLengthString(16);
    loc.am = in.ConsumeRandomLengthString(8);
    loc.dateSeparator = in.ConsumeRandomLengthString(4);
    loc.dayNames[in.ConsumeIntegralInRange(0, 6)] = in.ConsumeRandomLengthString(8);
    loc.monthNames[in.ConsumeIntegralInRange(0, 11)] = in.ConsumeRandomLengthString(8);
    loc.eraCalendar = in.ConsumeBool();
  }
  DateTime t;
  if (in.ConsumeBool()) {
    t.year = in.ConsumeIntegralInRange(1601, 30827);
    t.month = in.ConsumeIntegralInRange(1, 12);
    t.day = in.ConsumeIntegralInRange(1, DaysIn(t.year, t.month));
  }
  t.hour = in.ConsumeIntegralInRange(0, 23);
  t.minute = in.ConsumeIntegralInRange(0, 59);
  t.second = in.ConsumeIntegralInRange(0, 59);
  Settings s;
  s.ClockWorldTime = in.ConsumeIntegral<std::int32_t>();
  s.ClockWorldTimePM = in.ConsumeIntegral<std::int32_t>();
  s.ClockWorldTimeHour = in.ConsumeIntegral<std::int32_t>();
  s.ClockWorldTimeMinute = in.ConsumeIntegral<std::int32_t>();
  s.ClockWorldTimeSDT = in.ConsumeIntegral<std::int32_t>();
  const std::string pattern = in.ConsumeRemainingBytesAsString();

  const std::size_t bound = pattern.size() * PerCharacter(loc) + 64;
  if (FormatDateTime(pattern, t, loc).size() > bound) Fail("a formatted text outgrew its bound");
  // The pattern as Setting.ini holds it, escaped before formatting.
  s.ClockFormatText = pattern;
  if (t.year == 0) t = {2026, 12, 6};
  if (ClockTextAt(s, t, loc).size() > 2 * bound) Fail("a clock text outgrew its bound");
  return 0;
}
