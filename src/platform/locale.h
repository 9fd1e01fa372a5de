#pragma once
// The user's regional settings, as far as the clock formatter needs them. The
// core renders the pictures itself, so a tick costs no system call for them.
#include <array>
#include <string>

namespace tomari {

// Pictures use the system's own picture language: d dd ddd dddd, M MM MMM MMMM,
// y yy yyyy, g gg for the date; h hh H HH m mm s ss t tt for the time; text in
// single quotes is literal. Every field starts with the Japanese value, which is
// kept wherever the system has nothing to say.
struct LocaleFormats {
  std::string timeSeparator = ":";
  std::string dateSeparator = "/";
  std::string shortDate = "yyyy/MM/dd";
  std::string longDate = "yyyy'年'M'月'd'日'";
  std::string timeFormat = "H:mm:ss";
  std::string am = "午前";
  std::string pm = "午後";
  // Sunday first.
  std::array<std::string, 7> dayNames{"日曜日", "月曜日", "火曜日", "水曜日",
                                      "木曜日", "金曜日", "土曜日"};
  std::array<std::string, 7> abbrevDayNames{"日", "月", "火", "水", "木", "金", "土"};
  std::array<std::string, 12> monthNames{"1月", "2月", "3月", "4月",  "5月",  "6月",
                                         "7月", "8月", "9月", "10月", "11月", "12月"};
  std::array<std::string, 12> abbrevMonthNames{"1", "2", "3", "4",  "5",  "6",
                                               "7", "8", "9", "10", "11", "12"};
  // The user's calendar counts years by Japanese era: the pictures' g/gg give
  // the era name and y/yy the year of the era.
  bool eraCalendar = false;
  // What g/gg print with the Gregorian calendar.
  std::string gregorianEraName = "西暦";
};

class Locale {
 public:
  virtual ~Locale() = default;
  // Cheap to call on every tick; the reference stays valid until the next call.
  virtual const LocaleFormats& Formats() = 0;
};

}  // namespace tomari
