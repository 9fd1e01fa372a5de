// The clock and locale ports: the times the system gives, and the Japanese
// locale's formats, which the core then renders as the system itself would.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "clock/date_format.h"
#include "clock/title_clock.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_clock.h"
#include "win32/ports/win_locale.h"

namespace tomari {
namespace {

SYSTEMTIME ToSystemTime(const DateTime& t) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDay = static_cast<WORD>(t.day);
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  return st;
}

// Minutes from 1601 of `t`, and the weekday the system gives its date.
long long Minutes(const DateTime& t, int* weekday) {
  SYSTEMTIME st = ToSystemTime(t), normalised;
  FILETIME ft;
  if (!SystemTimeToFileTime(&st, &ft) || !FileTimeToSystemTime(&ft, &normalised)) return -1;
  *weekday = normalised.wDayOfWeek;
  return static_cast<long long>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32 |
                                 ft.dwLowDateTime) / 600000000ULL);
}

TEST(ClockTest, UtcIsTheSystemTimeAndLocalIsShiftedByTheZone) {
  Win32Clock clock;
  TIME_ZONE_INFORMATION zone;
  const DWORD which = GetTimeZoneInformation(&zone);
  long bias = zone.Bias;  // minutes, UTC = local + bias
  if (which == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  if (which == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
  DateTime utc, local;
  for (int i = 0; i < 5; ++i) {  // all inside one minute: the difference is the zone's
    utc = clock.UtcNow();
    local = clock.LocalNow();
    if (clock.UtcNow().minute == utc.minute) break;
  }
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  int utcDay = -1, localDay = -1;
  const long long u = Minutes(utc, &utcDay), l = Minutes(local, &localDay);
  const long long system =
      static_cast<long long>((static_cast<ULONGLONG>(now.dwHighDateTime) << 32 |
                              now.dwLowDateTime) / 600000000ULL);
  EXPECT_LE(system - u, 1);
  EXPECT_GE(system - u, 0);
  EXPECT_EQ(u - l, bias);
  EXPECT_EQ(utc.dayOfWeek, utcDay);
  EXPECT_EQ(local.dayOfWeek, localDay);
  EXPECT_TRUE(local.millisecond >= 0 && local.millisecond <= 999) << local.millisecond;
}

std::string SystemForm(bool date, DWORD flags, const SYSTEMTIME& st) {
  wchar_t buf[128];
  const int n = date ? GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, flags, &st, nullptr, buf, 128,
                                       nullptr)
                     : GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, flags, &st, nullptr, buf, 128);
  return n > 1 ? WideToUtf8(std::wstring_view(buf, static_cast<size_t>(n - 1))) : std::string();
}

TEST(LocaleTest, JapaneseFormatsRenderedByTheCoreAsTheSystemDoes) {
  ASSERT_EQ(GetUserDefaultLCID(), 0x411u) << "run under LANG=ja_JP.UTF-8";
  Win32Locale locale;
  const LocaleFormats& f = locale.Formats();
  EXPECT_EQ(f.am + f.pm, "午前午後");
  EXPECT_EQ(f.dayNames[0] + f.abbrevDayNames[6] + f.monthNames[11], "日曜日土12月");
  EXPECT_EQ(f.gregorianEraName, "西暦");
  const DateTime friday{2003, 1, 17, 17, 30, 5, 0, 5};
  EXPECT_EQ(FormatDateTime(BuildClockFormat(" <yyyy/mm/dd hh:mm:ss> "), friday, f),
            " <2003/01/17 17:30:05> ");
  EXPECT_EQ(FormatDateTime("h AMPM ttttt", friday, f), "5 午後 17:30:05");
  for (const DateTime& t : {friday, DateTime{1989, 1, 8, 0, 0, 0, 0, 0},
                            DateTime{2019, 5, 1, 9, 5, 9, 0, 3}}) {
    SYSTEMTIME st = ToSystemTime(t);
    int weekday = 0;
    Minutes(t, &weekday);
    st.wDayOfWeek = static_cast<WORD>(weekday);
    EXPECT_EQ(FormatDateTime("ddddd", t, f), SystemForm(true, DATE_SHORTDATE, st));
    EXPECT_EQ(FormatDateTime("dddddd", t, f), SystemForm(true, DATE_LONGDATE, st));
    EXPECT_EQ(FormatDateTime("ttttt", t, f), SystemForm(false, 0, st));
  }
}

}  // namespace
}  // namespace tomari
