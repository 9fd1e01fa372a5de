#pragma once
// Regional settings for the core's tests: by default those of a Japanese
// Windows with the Gregorian calendar, spelled out here so that a change of the
// port's own defaults cannot slip past the tests.
#include "platform/locale.h"

namespace tomari::test {

// ja-JP as the system reports it.
inline LocaleFormats JapaneseLocaleFormats() {
  LocaleFormats f;
  f.timeSeparator = ":";
  f.dateSeparator = "/";
  f.shortDate = "yyyy/MM/dd";
  f.longDate = "yyyy'年'M'月'd'日'";
  f.timeFormat = "H:mm:ss";
  f.am = "午前";
  f.pm = "午後";
  f.dayNames = {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};
  f.abbrevDayNames = {"日", "月", "火", "水", "木", "金", "土"};
  f.monthNames = {"1月", "2月", "3月", "4月",  "5月",  "6月",
                  "7月", "8月", "9月", "10月", "11月", "12月"};
  f.abbrevMonthNames = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"};
  f.gregorianEraName = "西暦";
  return f;
}
class FakeLocale : public Locale {
 public:
  LocaleFormats formats = JapaneseLocaleFormats();
  const LocaleFormats& Formats() override { return formats; }
};

}  // namespace tomari::test
