// The date-format language of the title clock, token by token.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "clock/date_format.h"
#include "support/fake_locale.h"

namespace tomari {
namespace {

using test::EnglishLocaleFormats;
using test::JapaneseLocaleFormats;

DateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return DateTime{y, mo, d, h, mi, s, 0, 0};
}

// Friday 17 January 2003, 17:30:05: the title clock's own example.
const DateTime kFriday = At(2003, 1, 17, 17, 30, 5);

struct Case {
  const char* pattern;
  DateTime when;
  const char* expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << '"' << c.pattern << '"'; }

class EveryToken : public testing::TestWithParam<Case> {};

TEST_P(EveryToken, PrintsItsPartOfTheDate) {
  const Case& c = GetParam();
  EXPECT_EQ(FormatDateTime(c.pattern, c.when, JapaneseLocaleFormats()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, EveryToken,
    testing::Values(
        Case{":", kFriday, ":"}, Case{"/", kFriday, "/"}, Case{"c", kFriday, "2003/01/17 17:30:05"},
        Case{"d", At(2003, 1, 7), "7"}, Case{"dd", At(2003, 1, 7), "07"},
        Case{"ddd", At(2003, 1, 19), "Sun"}, Case{"dddd", At(2003, 1, 18), "Saturday"},
        Case{"aaa", At(2003, 1, 19), "日"}, Case{"aaaa", kFriday, "金曜日"},
        Case{"ddddd", kFriday, "2003/01/17"}, Case{"dddddd", kFriday, "2003年1月17日"},
        Case{"w", At(2003, 1, 19), "1"}, Case{"w", At(2003, 1, 18), "7"}, Case{"ww", kFriday, "3"},
        Case{"m", At(2003, 11, 1), "11"}, Case{"mm", kFriday, "01"},
        Case{"mmm", At(2003, 9, 1), "Sep"}, Case{"mmmm", At(2003, 12, 1), "December"},
        Case{"q", At(2003, 3, 31), "1"}, Case{"q", At(2003, 4, 1), "2"},
        Case{"q", At(2003, 12, 31), "4"}, Case{"g", kFriday, "H"}, Case{"gg", kFriday, "平"},
        Case{"ggg", kFriday, "平成"}, Case{"e", kFriday, "15"}, Case{"ee", At(1990, 5, 1), "02"},
        Case{"y", kFriday, "17"}, Case{"yy", At(2000, 6, 1), "00"}, Case{"yyyy", kFriday, "2003"},
        Case{"h", At(2003, 1, 17, 8, 5, 9), "8"}, Case{"hh", At(2003, 1, 17, 8, 5, 9), "08"},
        Case{"n", At(2003, 1, 17, 8, 5, 9), "5"}, Case{"nn", At(2003, 1, 17, 8, 5, 9), "05"},
        Case{"s", At(2003, 1, 17, 8, 5, 9), "9"}, Case{"ss", At(2003, 1, 17, 8, 5, 9), "09"},
        Case{"ttttt", At(2003, 1, 17, 8, 5, 9), "8:05:09"}, Case{"h AM/PM", kFriday, "5 PM"},
        Case{"h am/pm", kFriday, "5 pm"}, Case{"h A/P", kFriday, "5 P"},
        Case{"h a/p", kFriday, "5 p"}, Case{"h AMPM", kFriday, "5 午後"},
        Case{"h AMPM", At(2003, 1, 17, 9), "9 午前"}));

// The composer offers its rows as texts; a format built from them must work.
INSTANTIATE_TEST_SUITE_P(
    ComposerRows, EveryToken,
    testing::Values(Case{"t t t t t ", kFriday, "17:30:05 "},
                    Case{"yyyy/mm/dd", kFriday, "2003/01/17"},
                    Case{"西暦yyyy年m月d日", kFriday, "西暦2003年1月17日"},
                    Case{"ggge年m月d日", At(1984, 1, 17), "昭和59年1月17日"},
                    Case{"（aaa）t t t t t AM/PM", kFriday, "（金）17:30:05 PM"},
                    Case{" <yyyy/mm/dd hh:mm:ss> ", kFriday, " <2003/01/17 17:30:05> "}));

// Minutes come from m/mm only right after an hour token, whatever lies between.
INSTANTIATE_TEST_SUITE_P(
    MinuteOrMonth, EveryToken,
    testing::Values(Case{"hh:mm", kFriday, "17:30"}, Case{"h時m分", kFriday, "17時30分"},
                    Case{"hh:mm:ss", kFriday, "17:30:05"},
                    Case{"h m m", kFriday, "17 30 1"},     // only the first follows h
                    Case{"h dd mm", kFriday, "17 17 01"},  // another token in between
                    Case{"h mmm", kFriday, "17 Jan"},      // names stay months
                    Case{"mm/dd hh:mm", kFriday, "01/17 17:30"},
                    Case{"h\\m m", kFriday, "17m 30"}));  // escaped letters are literals

// The longest token wins at each place; the rest starts a new token.
INSTANTIATE_TEST_SUITE_P(
    LongestFirst, EveryToken,
    testing::Values(Case{"ddddddd", kFriday, "2003年1月17日17"}, Case{"yyy", kFriday, "0317"},
                    Case{"yyyyy", kFriday, "200317"}, Case{"ggggg", kFriday, "平成平"},
                    Case{"aaaaa", kFriday, "金曜日a"}, Case{"tttt", kFriday, "tttt"},
                    Case{"tttttt", kFriday, "17:30:05t"}, Case{"aa", kFriday, "aa"},
                    Case{"aaa/p", kFriday, "金/p"}));

// Backslash escapes and characters without a meaning.
INSTANTIATE_TEST_SUITE_P(
    Literals, EveryToken,
    testing::Values(Case{"\\d\\h\\:", kFriday, "dh:"}, Case{"\\\\", kFriday, "\\"},
                    Case{"hh\\", kFriday, "17"}, Case{"\\日d", kFriday, "日17"},
                    Case{"<>!?#", kFriday, "<>!?#"}, Case{"TOKYO", kFriday, "TOKYO"},
                    Case{"DD MM YYYY HH", kFriday, "DD MM YYYY HH"}, Case{"", kFriday, ""}));

// Era boundaries: the first day of each era and the day before it.
INSTANTIATE_TEST_SUITE_P(Eras, EveryToken,
                         testing::Values(Case{"g gg ggg e ee", At(1868, 9, 7), "   1868 1868"},
                                         Case{"g gg ggg e ee", At(1868, 9, 8), "M 明 明治 1 01"},
                                         Case{"ggg e", At(1912, 7, 29), "明治 45"},
                                         Case{"g gg ggg e", At(1912, 7, 30), "T 大 大正 1"},
                                         Case{"ggg e", At(1926, 12, 24), "大正 15"},
                                         Case{"g gg ggg e", At(1926, 12, 25), "S 昭 昭和 1"},
                                         Case{"ggg e", At(1989, 1, 7), "昭和 64"},
                                         Case{"g gg ggg e", At(1989, 1, 8), "H 平 平成 1"},
                                         Case{"g gg ggg ee", At(2019, 4, 30), "H 平 平成 31"},
                                         Case{"g gg ggg ee", At(2019, 5, 1), "R 令 令和 01"},
                                         Case{"ggge年", At(2026, 3, 1), "令和8年"}));

// Week 1 holds 1 January, weeks start on Sunday; 366 days in a leap year.
INSTANTIATE_TEST_SUITE_P(
    YearEnds, EveryToken,
    testing::Values(Case{"ww y", At(2003, 1, 1), "1 1"}, Case{"ww", At(2003, 1, 4), "1"},
                    Case{"ww", At(2003, 1, 5), "2"}, Case{"ww y", At(2003, 12, 31), "53 365"},
                    Case{"ww y", At(2004, 12, 31), "53 366"},
                    Case{"ww y", At(2000, 12, 31), "54 366"},  // leap year from a Saturday
                    Case{"y", At(2004, 3, 1), "61"}, Case{"y", At(1900, 12, 31), "365"}));

// Any AM/PM form puts h and hh on the 12-hour clock; noon is PM, 0 o'clock is 12.
INSTANTIATE_TEST_SUITE_P(
    TwelveHour, EveryToken,
    testing::Values(Case{"hh:nn AM/PM", At(2003, 1, 1, 0, 0), "12:00 AM"},
                    Case{"hh:nn AM/PM", At(2003, 1, 1, 11, 59), "11:59 AM"},
                    Case{"hh:nn AM/PM", At(2003, 1, 1, 12, 0), "12:00 PM"},
                    Case{"h:nn am/pm", At(2003, 1, 1, 23, 59), "11:59 pm"},
                    Case{"A/P h", At(2003, 1, 1, 0, 0), "A 12"},  // the marker may come first
                    Case{"a/p hh", At(2003, 1, 1, 12, 0), "p 12"},
                    Case{"AmPm h", At(2003, 1, 1, 12, 0), "午後 12"},
                    Case{"h:mm", At(2003, 1, 1, 0, 0), "0:00"},  // no marker: 24 hours
                    Case{"h \\AM/PM", At(2003, 1, 1, 13, 0), "13 AM/PM"},
                    Case{"hh ttttt AM/PM", At(2003, 1, 1, 13, 0), "01 13:00:00 PM"}));

TEST(DateFormat, CompleteDateShowsOnlyThePartsThatAreThere) {
  const LocaleFormats ja = JapaneseLocaleFormats();
  EXPECT_EQ(FormatDateTime("c", At(2003, 1, 17), ja), "2003/01/17");
  EXPECT_EQ(FormatDateTime("c", At(2003, 1, 17, 0, 0, 1), ja), "2003/01/17 0:00:01");
  // A value without a date part: the time alone, and dates read as 1899-12-30.
  EXPECT_EQ(FormatDateTime("c", At(0, 0, 0, 17, 30, 5), ja), "17:30:05");
  EXPECT_EQ(FormatDateTime("c", At(0, 0, 0), ja), "0:00:00");
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd", At(0, 0, 0, 8), ja), "1899/12/30");
}

TEST(DateFormat, LocaleSettingsDriveSeparatorsAndLocaleForms) {
  const LocaleFormats en = EnglishLocaleFormats();
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss", kFriday, en), "2003-01-17 17.30.05");
  EXPECT_EQ(FormatDateTime("ddddd", kFriday, en), "1/17/2003");
  EXPECT_EQ(FormatDateTime("dddddd", kFriday, en), "Friday, January 17, 2003");
  EXPECT_EQ(FormatDateTime("ttttt", kFriday, en), "5:30:05 PM");
  EXPECT_EQ(FormatDateTime("ttttt", At(2003, 1, 17, 0, 7, 0), en), "12:07:00 AM");
  EXPECT_EQ(FormatDateTime("c", kFriday, en), "1/17/2003 5:30:05 PM");
  EXPECT_EQ(FormatDateTime("h AMPM", kFriday, en), "5 PM");
  // English names of d and m tokens do not follow the locale.
  LocaleFormats ja = JapaneseLocaleFormats();
  EXPECT_EQ(FormatDateTime("dddd mmmm", kFriday, ja), "Friday January");
}

TEST(DateFormat, LocalePicturesKnowTheSystemPictureLanguage) {
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
}

TEST(DateFormat, EraCalendarLocaleCountsYearsByEra) {
  LocaleFormats loc = JapaneseLocaleFormats();
  loc.eraCalendar = true;
  loc.shortDate = "gg y/MM/dd";
  loc.longDate = "gg yyyy'年'M'月'd'日'";
  EXPECT_EQ(FormatDateTime("ddddd", kFriday, loc), "平成 15/01/17");
  EXPECT_EQ(FormatDateTime("dddddd", At(2019, 5, 1), loc), "令和 1年5月1日");
}

TEST(DateFormat, OutOfRangeFieldsCarryThroughTheCalendar) {
  const LocaleFormats ja = JapaneseLocaleFormats();
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss", At(2003, 13, 1), ja), "2004/01/01 00:00:00");
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss", At(2004, 3, 0, 23, 59, 60), ja),
            "2004/03/01 00:00:00");
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss", At(2003, 1, 1, 0, 0, -1), ja),
            "2002/12/31 23:59:59");
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh", At(2003, 1, 1, 49), ja), "2003/01/03 01");
  // The carry out of the lowest possible second (no date: from 1899/12/30).
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss", At(0, 0, 0, 0, 0, INT_MIN), ja),
            "1831/12/11 20:45:52");
}

// Random patterns from the token alphabet and stray bytes: never a crash, and
// a pattern made only of characters without meaning comes back unchanged.
TEST(DateFormat, AnyPatternIsSafe) {
  const LocaleFormats ja = JapaneseLocaleFormats();
  const std::string alphabet = "cdawmqgeyhnstAMPamp/:\\ \xe6\x97\xa5\xff";
  std::mt19937 rng(4);
  for (int round = 0; round < 2000; ++round) {
    std::string pattern;
    const int length = static_cast<int>(rng() % 24);
    for (int i = 0; i < length; ++i) pattern.push_back(alphabet[rng() % alphabet.size()]);
    const std::string out = FormatDateTime(pattern, kFriday, ja);
    EXPECT_LT(out.size(), 40 * pattern.size() + 1) << pattern;
  }
  const std::string plain = "<XYZ> [OK] #1 \xe6\x97\xa5\xe6\x9c\xac \xff";
  EXPECT_EQ(FormatDateTime(plain, kFriday, ja), plain);
}

TEST(DateFormat, AppendReusesTheBuffer) {
  const LocaleFormats ja = JapaneseLocaleFormats();
  std::string out = "x";
  AppendFormattedDateTime(out, "hh:nn", kFriday, ja);
  EXPECT_EQ(out, "x17:30");
}

TEST(BuildClockFormat, EscapesTheFifteenCharactersOnly) {
  EXPECT_EQ(BuildClockFormat(" <yyyy/mm/dd hh:mm:ss> "), " \\<yyyy/mm/dd hh:mm:ss> ");
  EXPECT_EQ(BuildClockFormat("\\!\"#$%&'=~^@{[<"),
            "\\\\\\!\\\"\\#\\$\\%\\&\\'\\=\\~\\^\\@\\{\\[\\<");
  // The closing brackets and > keep no escape; letters and kanji neither.
  EXPECT_EQ(BuildClockFormat(">}]) dh 時刻 ?*+|"), ">}]) dh 時刻 ?*+|");
  EXPECT_EQ(BuildClockFormat(""), "");
}

TEST(BuildClockFormat, TypedSpecialCharactersReachTheTitleAsTyped) {
  const LocaleFormats ja = JapaneseLocaleFormats();
  EXPECT_EQ(FormatDateTime(BuildClockFormat("!@\"hh\"@!"), kFriday, ja), "!@\"17\"@!");
  EXPECT_EQ(FormatDateTime(BuildClockFormat("\\d #$%&'=~^{[<>"), kFriday, ja), "\\17 #$%&'=~^{[<>");
}

TEST(JapaneseEra, YearOfEraCountsTheFirstCalendarYearAsOne) {
  EXPECT_STREQ(JapaneseEraOf(2019, 12, 31).name, "令和");
  EXPECT_EQ(JapaneseEraOf(2019, 12, 31).year, 1);
  EXPECT_EQ(JapaneseEraOf(2020, 1, 1).year, 2);
  EXPECT_EQ(JapaneseEraOf(1989, 12, 31).year, 1);
  EXPECT_STREQ(JapaneseEraOf(1, 1, 1).name, "");
  EXPECT_EQ(JapaneseEraOf(1, 1, 1).year, 1);
}

}  // namespace
}  // namespace tomari
