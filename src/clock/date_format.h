#pragma once
// The date-and-time formatting language of the title clock.
//
// Tokens, matched left to right, the longest first:
//   :  /                 the locale's time and date separators
//   c                    ddddd and ttttt, date first (date only at midnight,
//                        time only for a value without a date)
//   d dd ddd dddd        day, 01-31, Sun-Sat, Sunday-Saturday
//   ddddd dddddd         the locale's short / long date
//   aaa aaaa             日-土 / 日曜日-土曜日
//   w ww                 weekday Sunday 1 - Saturday 7 / week of the year 1-54
//                        (weeks start on Sunday; week 1 holds 1 January)
//   m mm                 month 1-12 / 01-12; minutes right after an hour token
//   mmm mmmm             Jan-Dec / January-December
//   q                    quarter
//   g gg ggg             era initial (M T S H R) / first kanji / era name
//   e ee                 year of the era / the same as two digits
//   y yy yyyy            day of the year / two-digit year / the year
//   h hh  n nn  s ss     hour, minute, second without and with a leading zero
//   ttttt                the locale's time; "t t t t t" (as the time-format
//                        dialog inserts it) reads the same
//   AM/PM am/pm A/P a/p  12-hour clock with that marker (noon is PM)
//   AMPM (any case)      12-hour clock with the locale's morning/afternoon text
// Any AM/PM form anywhere in the pattern puts h and hh on the 12-hour clock.
// A backslash makes the next character literal; everything else is copied.
#include <string>
#include <string_view>

#include "platform/locale.h"
#include "platform/types.h"

namespace tomari {

// A date and time of day. A value whose year, month and day are all 0 has no
// date part: "c" then shows the time only, and date tokens see 1899-12-30.
// dayOfWeek and millisecond are ignored.
std::string FormatDateTime(std::string_view pattern, const DateTime& t, const LocaleFormats& loc);
// The same, appending to `out` (no allocation once `out` has grown).
void AppendFormattedDateTime(std::string& out, std::string_view pattern, const DateTime& t,
                             const LocaleFormats& loc);

// Escapes the characters that the user means literally in a clock pattern.
std::string BuildClockFormat(std::string_view pattern);

// Japanese eras. `index` 0 is the time before 明治 (no era: empty names, and
// the year of the era is the Gregorian year).
struct JapaneseEra {
  const char* initial;  // "M"
  const char* kanji;    // "明"
  const char* name;     // "明治"
  int year;             // year of the era, 1 in its first calendar year
};
JapaneseEra JapaneseEraOf(int year, int month, int day);

}  // namespace tomari
