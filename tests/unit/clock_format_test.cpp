// The date-format language of the title clock, token by token.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "clock/date_format.h"
#include "support/fake_locale.h"

namespace tomari {
namespace {

using test::JapaneseLocaleFormats;

DateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return DateTime{y, mo, d, h, mi, s, 0, 0};
}

// Friday 17 January 2003, 17:30:05: the title clock's own example.
const DateTime kFriday = At(2003, 1, 17, 17, 30, 5);

TEST(DateFormat, EveryTokenPrintsItsPartOfTheDate) {
  const struct {
    const char* pattern;
    DateTime when;
    const char* expected;
  } kRows[] = {
      {"ddd dddd aaa aaaa w", At(2003, 1, 19), "Sun Sunday 日 日曜日 1"},
      {"mm", kFriday, "01"},
      {"m mmm mmmm", At(2003, 9, 1), "9 Sep September"},
      {"q", At(2003, 3, 31), "1"},
      {"y yy yyyy", At(2000, 6, 1), "153 00 2000"},
      // Minutes come from m/mm only right after an hour token, whatever lies between.
      {"h時m分 h m m", kFriday, "17時30分 17 30 1"},
      {"h dd mm h\\m m", kFriday, "17 17 01 17m 30"},
      // The longest token wins at each place; the rest starts a new token.
      {"ddddddd yyy", kFriday, "2003年1月17日17 0317"},
      {"yyyyy ggggg aaaaa tttttt aa", kFriday, "200317 平成平 金曜日a 17:30:05t aa"},
      // Backslash escapes and characters without a meaning.
      {"\\d\\h\\: \\\\ \\日d", kFriday, "dh: \\ 日17"},
      {"hh\\", kFriday, "17"},
      {"DD MM YYYY HH <>!?#", kFriday, "DD MM YYYY HH <>!?#"},
      {"", kFriday, ""},
      // Eras: the day before the first one, and the last day of one.
      {"g gg ggg e ee", At(1868, 9, 7), "   1868 1868"},
      {"ggg e", At(1989, 1, 7), "昭和 64"},
      // Week 1 holds 1 January, weeks start on Sunday; 366 days in a leap year.
      {"ww", At(2003, 1, 4), "1"},
      {"ww y", At(2000, 12, 31), "54 366"},
      // Any AM/PM form puts h and hh on the 12-hour clock; noon is PM, 0 o'clock is 12.
      {"A/P h", At(2003, 1, 1, 0, 0), "A 12"},  // the marker may come first
      {"AmPm h", At(2003, 1, 1, 12, 0), "午後 12"},
      {"h:mm", At(2003, 1, 1, 0, 0), "0:00"},
      {"hh ttttt AM/PM", At(2003, 1, 1, 13, 0), "01 13:00:00 PM"},
      // A complete date shows only the parts that are there; no date reads as 1899-12-30.
      {"c", At(2003, 1, 17), "2003/01/17"},
      {"c", At(2003, 1, 17, 0, 0, 1), "2003/01/17 0:00:01"},
      {"yyyy/mm/dd", At(0, 0, 0, 8), "1899/12/30"},
      // Out-of-range fields carry through the calendar.
      {"yyyy/mm/dd hh:nn:ss", At(2003, 13, 1), "2004/01/01 00:00:00"},
      {"yyyy/mm/dd hh:nn:ss", At(2004, 3, 0, 23, 59, 60), "2004/03/01 00:00:00"},
      {"yyyy/mm/dd hh:nn:ss", At(2003, 1, 1, 0, 0, -1), "2002/12/31 23:59:59"},
      {"yyyy/mm/dd hh", At(2003, 1, 1, 49), "2003/01/03 01"},
      {"yyyy/mm/dd hh:nn:ss", At(0, 0, 0, 0, 0, INT_MIN), "1831/12/11 20:45:52"},
  };
  const LocaleFormats ja = JapaneseLocaleFormats();
  for (const auto& r : kRows)
    EXPECT_EQ(FormatDateTime(r.pattern, r.when, ja), r.expected) << '"' << r.pattern << '"';
}

TEST(DateFormat, LocalePicturesAreReadTheSystemsWay) {
  // Locale pictures are read in the system's picture language.
  LocaleFormats loc = JapaneseLocaleFormats();
  loc.longDate = "ggyyyy'年'MMMM d'日' (dddd) ''x''";
  EXPECT_EQ(FormatDateTime("dddddd", kFriday, loc), "西暦2003年1月 17日 (金曜日) 'x'");
  loc.shortDate = "yy/M/d ddd MMM";
  EXPECT_EQ(FormatDateTime("ddddd", kFriday, loc), "03/1/17 金 1");
  loc.timeFormat = "tt hh'時'mm'分' H 'o''clock' t";
  EXPECT_EQ(FormatDateTime("ttttt", kFriday, loc), "午後 05時30分 17 o'clock 午");
  loc.timeFormat = "'unterminated";
  EXPECT_EQ(FormatDateTime("ttttt", kFriday, loc), "unterminated");
  // A locale without morning/afternoon text: the AMPM token falls back to AM/PM.
  loc.am.clear();
  EXPECT_EQ(FormatDateTime("AMPM", At(2003, 1, 17, 9), loc), "AM");
  // An era calendar counts years by era.
  loc.eraCalendar = true;
  loc.longDate = "gg yyyy'年'M'月'd'日'";
  EXPECT_EQ(FormatDateTime("dddddd", At(2019, 5, 1), loc), "令和 1年5月1日");
}

}  // namespace
}  // namespace tomari
