#include "clock/date_format.h"

#include <array>
#include <cstdint>

#include "base/text.h"
#include "clock/world_time.h"

namespace tomari {

namespace {

constexpr std::array<const char*, 7> kEnglishDays{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 7> kEnglishDaysShort{"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 7> kJapaneseDays{"日曜日", "月曜日", "火曜日", "水曜日",
                                                   "木曜日", "金曜日", "土曜日"};
constexpr std::array<const char*, 7> kJapaneseDaysShort{"日", "月", "火", "水", "木", "金", "土"};
constexpr std::array<const char*, 12> kEnglishMonths{
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 12> kEnglishMonthsShort{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct EraStart {
  int year, month, day;
  const char* initial;
  const char* kanji;
  const char* name;
};
constexpr std::array<EraStart, 5> kEras{{
    {1868, 9, 8, "M", "明", "明治"},
    {1912, 7, 30, "T", "大", "大正"},
    {1926, 12, 25, "S", "昭", "昭和"},
    {1989, 1, 8, "H", "平", "平成"},
    {2019, 5, 1, "R", "令", "令和"},
}};

enum class Tok {
  End,
  Literal,
  TimeSep,
  DateSep,
  Complete,  // c
  Day,
  Day2,
  DayShort,
  DayLong,
  ShortDate,
  LongDate,
  JaDayShort,
  JaDayLong,
  Weekday,
  Week,
  Month,
  Month2,
  MonthShort,
  MonthLong,
  Quarter,
  EraInitial,
  EraKanji,
  EraName,
  EraYear,
  EraYear2,
  DayOfYear,
  Year2,
  Year4,
  Hour,
  Hour2,
  Minute,
  Minute2,
  Second,
  Second2,
  LocaleTime,
  AmPmUpper,
  AmPmLower,
  APUpper,
  APLower,
  AmPmLocale,
};

struct Token {
  Tok kind = Tok::End;
  std::string_view text;  // the characters of a Literal
};

bool StartsWith(std::string_view s, std::size_t i, std::string_view what) {
  return s.size() - i >= what.size() && s.substr(i, what.size()) == what;
}

bool StartsWithNoCase(std::string_view s, std::size_t i, std::string_view lowerWhat) {
  if (s.size() - i < lowerWhat.size()) return false;
  for (std::size_t k = 0; k < lowerWhat.size(); ++k)
    if (AsciiLower(s[i + k]) != lowerWhat[k]) return false;
  return true;
}

std::size_t RunOf(std::string_view s, std::size_t i, char c, std::size_t max) {
  std::size_t n = 0;
  while (n < max && i + n < s.size() && s[i + n] == c) ++n;
  return n;
}

// Reads the token at s[i] and moves i past it.
Token NextToken(std::string_view s, std::size_t& i) {
  if (i >= s.size()) return {};
  const std::size_t start = i;
  auto take = [&](Tok kind, std::size_t length) {
    i += length;
    return Token{kind, {}};
  };
  switch (s[i]) {
    case '\\': {
      ++i;
      if (i >= s.size()) return {};  // nothing left to make literal
      const std::size_t n = Utf8SequenceLength(s, i);
      i += n;
      return {Tok::Literal, s.substr(start + 1, n)};
    }
    case ':':
      return take(Tok::TimeSep, 1);
    case '/':
      return take(Tok::DateSep, 1);
    case 'c':
      return take(Tok::Complete, 1);
    case 'd': {
      static constexpr Tok kinds[] = {Tok::Day,     Tok::Day2,      Tok::DayShort,
                                      Tok::DayLong, Tok::ShortDate, Tok::LongDate};
      const std::size_t n = RunOf(s, i, 'd', 6);
      return take(kinds[n - 1], n);
    }
    case 'a':
    case 'A':
      if (StartsWith(s, i, "AM/PM")) return take(Tok::AmPmUpper, 5);
      if (StartsWith(s, i, "am/pm")) return take(Tok::AmPmLower, 5);
      if (StartsWithNoCase(s, i, "ampm")) return take(Tok::AmPmLocale, 4);
      if (StartsWith(s, i, "aaaa")) return take(Tok::JaDayLong, 4);
      if (StartsWith(s, i, "aaa")) return take(Tok::JaDayShort, 3);
      if (StartsWith(s, i, "A/P")) return take(Tok::APUpper, 3);
      if (StartsWith(s, i, "a/p")) return take(Tok::APLower, 3);
      break;
    case 'w':
      return RunOf(s, i, 'w', 2) == 2 ? take(Tok::Week, 2) : take(Tok::Weekday, 1);
    case 'm': {
      static constexpr Tok kinds[] = {Tok::Month, Tok::Month2, Tok::MonthShort, Tok::MonthLong};
      const std::size_t n = RunOf(s, i, 'm', 4);
      return take(kinds[n - 1], n);
    }
    case 'q':
      return take(Tok::Quarter, 1);
    case 'g': {
      static constexpr Tok kinds[] = {Tok::EraInitial, Tok::EraKanji, Tok::EraName};
      const std::size_t n = RunOf(s, i, 'g', 3);
      return take(kinds[n - 1], n);
    }
    case 'e':
      return RunOf(s, i, 'e', 2) == 2 ? take(Tok::EraYear2, 2) : take(Tok::EraYear, 1);
    case 'y': {
      const std::size_t n = RunOf(s, i, 'y', 4);
      if (n == 4) return take(Tok::Year4, 4);
      return n >= 2 ? take(Tok::Year2, 2) : take(Tok::DayOfYear, 1);
    }
    case 'h':
      return RunOf(s, i, 'h', 2) == 2 ? take(Tok::Hour2, 2) : take(Tok::Hour, 1);
    case 'n':
      return RunOf(s, i, 'n', 2) == 2 ? take(Tok::Minute2, 2) : take(Tok::Minute, 1);
    case 's':
      return RunOf(s, i, 's', 2) == 2 ? take(Tok::Second2, 2) : take(Tok::Second, 1);
    case 't':
      if (StartsWith(s, i, "ttttt")) return take(Tok::LocaleTime, 5);
      // The time-format dialog offers the locale time as "t t t t t ": the
      // blank after the last t stays an ordinary character.
      if (StartsWith(s, i, "t t t t t")) return take(Tok::LocaleTime, 9);
      break;
    default:
      break;
  }
  const std::size_t n = Utf8SequenceLength(s, i);
  i += n;
  return {Tok::Literal, s.substr(start, n)};
}

bool IsTwelveHourMarker(Tok k) {
  return k == Tok::AmPmUpper || k == Tok::AmPmLower || k == Tok::APUpper || k == Tok::APLower ||
         k == Tok::AmPmLocale;
}

void AppendNumber(std::string& out, std::int64_t v, int minDigits) {
  char buf[24];
  int n = 0;
  const bool negative = v < 0;
  std::uint64_t u = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  do {
    buf[n++] = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  while (n < minDigits) buf[n++] = '0';
  if (negative) out.push_back('-');
  while (n > 0) out.push_back(buf[--n]);
}

int Hour12(int hour) {
  const int h = hour % 12;
  return h == 0 ? 12 : h;
}

// Everything about the value that the tokens need, worked out once.
struct Fields {
  int year, month, day, hour, minute, second;
  int dayOfWeek;  // 0 = Sunday
  int dayOfYear;
  int week;
  bool hasDate;
  JapaneseEra era;
};

Fields MakeFields(const DateTime& t) {
  Fields f{};
  f.hasDate = !(t.year == 0 && t.month == 0 && t.day == 0);
  DateTime base = t;
  if (!f.hasDate) {
    base.year = 1899;
    base.month = 12;
    base.day = 30;
  }
  // Brings any field out of its range back through the calendar.
  // In 64 bits: 59 - INT_MIN does not fit an int.
  const std::int64_t second = base.second;
  const std::int64_t carry = second >= 0 ? second / 60 : -((59 - second) / 60);
  base.second = static_cast<int>(second - carry * 60);
  const DateTime n = AddMinutes(base, carry);
  f.year = n.year;
  f.month = n.month;
  f.day = n.day;
  f.hour = n.hour;
  f.minute = n.minute;
  f.second = base.second;
  f.dayOfWeek = n.dayOfWeek;
  f.dayOfYear =
      static_cast<int>(DaysFromCivil(n.year, n.month, n.day) - DaysFromCivil(n.year, 1, 1)) + 1;
  f.week = (f.dayOfYear - 1 + DayOfWeek(n.year, 1, 1)) / 7 + 1;
  f.era = JapaneseEraOf(n.year, n.month, n.day);
  return f;
}

// Appends text between single quotes starting at pic[i] (the opening quote),
// the system's way: '' inside or outside quotes is one quote.
void AppendQuoted(std::string& out, std::string_view pic, std::size_t& i) {
  ++i;
  if (i < pic.size() && pic[i] == '\'') {
    out.push_back('\'');
    ++i;
    return;
  }
  while (i < pic.size()) {
    if (pic[i] == '\'') {
      if (i + 1 < pic.size() && pic[i + 1] == '\'') {
        out.push_back('\'');
        i += 2;
        continue;
      }
      ++i;
      return;
    }
    out.push_back(pic[i++]);
  }
}

std::size_t RunAny(std::string_view s, std::size_t i) {
  std::size_t n = 1;
  while (i + n < s.size() && s[i + n] == s[i]) ++n;
  return n;
}

void AppendDatePicture(std::string& out, std::string_view pic, const Fields& f,
                       const LocaleFormats& loc) {
  const int year = loc.eraCalendar && f.era.name[0] != '\0' ? f.era.year : f.year;
  std::size_t i = 0;
  while (i < pic.size()) {
    const char c = pic[i];
    if (c == '\'') {
      AppendQuoted(out, pic, i);
      continue;
    }
    if (c != 'd' && c != 'M' && c != 'y' && c != 'g') {
      out.push_back(c);
      ++i;
      continue;
    }
    const std::size_t n = RunAny(pic, i);
    i += n;
    switch (c) {
      case 'd':
        if (n <= 2)
          AppendNumber(out, f.day, static_cast<int>(n));
        else if (n == 3)
          out += loc.abbrevDayNames[static_cast<std::size_t>(f.dayOfWeek)];
        else
          out += loc.dayNames[static_cast<std::size_t>(f.dayOfWeek)];
        break;
      case 'M':
        if (n <= 2)
          AppendNumber(out, f.month, static_cast<int>(n));
        else if (n == 3)
          out += loc.abbrevMonthNames[static_cast<std::size_t>(f.month - 1)];
        else
          out += loc.monthNames[static_cast<std::size_t>(f.month - 1)];
        break;
      case 'y':
        if (n >= 3)
          AppendNumber(out, year, loc.eraCalendar ? 1 : 4);
        else
          AppendNumber(out, loc.eraCalendar ? year : ((year % 100) + 100) % 100,
                       static_cast<int>(n));
        break;
      default:  // 'g'
        if (loc.eraCalendar && f.era.name[0] != '\0')
          out += f.era.name;
        else
          out += loc.gregorianEraName;
        break;
    }
  }
}

void AppendTimePicture(std::string& out, std::string_view pic, const Fields& f,
                       const LocaleFormats& loc) {
  std::size_t i = 0;
  while (i < pic.size()) {
    const char c = pic[i];
    if (c == '\'') {
      AppendQuoted(out, pic, i);
      continue;
    }
    if (c != 'h' && c != 'H' && c != 'm' && c != 's' && c != 't') {
      out.push_back(c);
      ++i;
      continue;
    }
    const std::size_t n = RunAny(pic, i);
    i += n;
    const int digits = n >= 2 ? 2 : 1;
    switch (c) {
      case 'h':
        AppendNumber(out, Hour12(f.hour), digits);
        break;
      case 'H':
        AppendNumber(out, f.hour, digits);
        break;
      case 'm':
        AppendNumber(out, f.minute, digits);
        break;
      case 's':
        AppendNumber(out, f.second, digits);
        break;
      default: {  // 't': the marker, or its first character
        const std::string& marker = f.hour < 12 ? loc.am : loc.pm;
        out.append(marker, 0,
                   n >= 2 || marker.empty() ? marker.size() : Utf8SequenceLength(marker, 0));
        break;
      }
    }
  }
}

// What a token needs beyond the value itself.
struct Context {
  const Fields& f;
  const LocaleFormats& loc;
  bool twelveHour;  // the pattern has an AM/PM form somewhere
  bool afterHour;   // the token before this one was h or hh
};

bool UsesTwelveHourClock(std::string_view pattern) {
  for (std::size_t i = 0; i < pattern.size();)
    if (IsTwelveHourMarker(NextToken(pattern, i).kind)) return true;
  return false;
}

std::size_t Weekday(const Context& c) { return static_cast<std::size_t>(c.f.dayOfWeek); }
std::size_t MonthIndex(const Context& c) { return static_cast<std::size_t>(c.f.month - 1); }
bool Morning(const Context& c) { return c.f.hour < 12; }
int ClockHour(const Context& c) { return c.twelveHour ? Hour12(c.f.hour) : c.f.hour; }
// "m" right after an hour token means minutes.
int MonthOrMinute(const Context& c) { return c.afterHour ? c.f.minute : c.f.month; }

// Tokens that show one number with at least `digits` digits.
struct NumberToken {
  Tok kind;
  std::int64_t (*value)(const Context&);
  int digits;
};
constexpr NumberToken kNumberTokens[] = {
    {Tok::Day, [](const Context& c) -> std::int64_t { return c.f.day; }, 1},
    {Tok::Day2, [](const Context& c) -> std::int64_t { return c.f.day; }, 2},
    {Tok::Weekday, [](const Context& c) -> std::int64_t { return c.f.dayOfWeek + 1; }, 1},
    {Tok::Week, [](const Context& c) -> std::int64_t { return c.f.week; }, 1},
    {Tok::Month, [](const Context& c) -> std::int64_t { return MonthOrMinute(c); }, 1},
    {Tok::Month2, [](const Context& c) -> std::int64_t { return MonthOrMinute(c); }, 2},
    {Tok::Quarter, [](const Context& c) -> std::int64_t { return (c.f.month - 1) / 3 + 1; }, 1},
    {Tok::EraYear, [](const Context& c) -> std::int64_t { return c.f.era.year; }, 1},
    {Tok::EraYear2, [](const Context& c) -> std::int64_t { return c.f.era.year; }, 2},
    {Tok::DayOfYear, [](const Context& c) -> std::int64_t { return c.f.dayOfYear; }, 1},
    {Tok::Year2, [](const Context& c) -> std::int64_t { return ((c.f.year % 100) + 100) % 100; },
     2},
    {Tok::Year4, [](const Context& c) -> std::int64_t { return c.f.year; }, 1},
    {Tok::Hour, [](const Context& c) -> std::int64_t { return ClockHour(c); }, 1},
    {Tok::Hour2, [](const Context& c) -> std::int64_t { return ClockHour(c); }, 2},
    {Tok::Minute, [](const Context& c) -> std::int64_t { return c.f.minute; }, 1},
    {Tok::Minute2, [](const Context& c) -> std::int64_t { return c.f.minute; }, 2},
    {Tok::Second, [](const Context& c) -> std::int64_t { return c.f.second; }, 1},
    {Tok::Second2, [](const Context& c) -> std::int64_t { return c.f.second; }, 2},
};

// Tokens that show a name or a marker.
struct TextToken {
  Tok kind;
  std::string_view (*text)(const Context&);
};
constexpr TextToken kTextTokens[] = {
    {Tok::TimeSep, [](const Context& c) -> std::string_view { return c.loc.timeSeparator; }},
    {Tok::DateSep, [](const Context& c) -> std::string_view { return c.loc.dateSeparator; }},
    {Tok::DayShort,
     [](const Context& c) -> std::string_view { return kEnglishDaysShort[Weekday(c)]; }},
    {Tok::DayLong, [](const Context& c) -> std::string_view { return kEnglishDays[Weekday(c)]; }},
    {Tok::JaDayShort,
     [](const Context& c) -> std::string_view { return kJapaneseDaysShort[Weekday(c)]; }},
    {Tok::JaDayLong,
     [](const Context& c) -> std::string_view { return kJapaneseDays[Weekday(c)]; }},
    {Tok::MonthShort,
     [](const Context& c) -> std::string_view { return kEnglishMonthsShort[MonthIndex(c)]; }},
    {Tok::MonthLong,
     [](const Context& c) -> std::string_view { return kEnglishMonths[MonthIndex(c)]; }},
    {Tok::EraInitial, [](const Context& c) -> std::string_view { return c.f.era.initial; }},
    {Tok::EraKanji, [](const Context& c) -> std::string_view { return c.f.era.kanji; }},
    {Tok::EraName, [](const Context& c) -> std::string_view { return c.f.era.name; }},
    {Tok::AmPmUpper, [](const Context& c) -> std::string_view { return Morning(c) ? "AM" : "PM"; }},
    {Tok::AmPmLower, [](const Context& c) -> std::string_view { return Morning(c) ? "am" : "pm"; }},
    {Tok::APUpper, [](const Context& c) -> std::string_view { return Morning(c) ? "A" : "P"; }},
    {Tok::APLower, [](const Context& c) -> std::string_view { return Morning(c) ? "a" : "p"; }},
    {Tok::AmPmLocale,
     [](const Context& c) -> std::string_view {
       const std::string& marker = Morning(c) ? c.loc.am : c.loc.pm;
       return marker.empty() ? (Morning(c) ? "AM" : "PM") : std::string_view(marker);
     }},
};

template <typename Row, std::size_t N>
const Row* Lookup(const Row (&table)[N], Tok kind) {
  for (const Row& row : table)
    if (row.kind == kind) return &row;
  return nullptr;
}

// The tokens left: literal text and the locale's date and time pictures.
void AppendPicture(std::string& out, const Token& tok, const Fields& f, const LocaleFormats& loc) {
  const bool midnight = f.hour == 0 && f.minute == 0 && f.second == 0;
  switch (tok.kind) {
    case Tok::Literal:
      out += tok.text;
      break;
    case Tok::Complete:
      if (f.hasDate) AppendDatePicture(out, loc.shortDate, f, loc);
      if (f.hasDate && !midnight) out.push_back(' ');
      if (!f.hasDate || !midnight) AppendTimePicture(out, loc.timeFormat, f, loc);
      break;
    case Tok::ShortDate:
      AppendDatePicture(out, loc.shortDate, f, loc);
      break;
    case Tok::LongDate:
      AppendDatePicture(out, loc.longDate, f, loc);
      break;
    case Tok::LocaleTime:
      AppendTimePicture(out, loc.timeFormat, f, loc);
      break;
    default:  // End
      break;
  }
}

}  // namespace

JapaneseEra JapaneseEraOf(int year, int month, int day) {
  for (std::size_t k = kEras.size(); k-- > 0;) {
    const EraStart& e = kEras[k];
    if (year > e.year ||
        (year == e.year && (month > e.month || (month == e.month && day >= e.day))))
      return {e.initial, e.kanji, e.name, year - e.year + 1};
  }
  // Before 明治 there is no era this program can name; the Gregorian year
  // stands in, so that "ggge年" still reads as a year.
  return {"", "", "", year};
}

void AppendFormattedDateTime(std::string& out, std::string_view pattern, const DateTime& t,
                             const LocaleFormats& loc) {
  const Fields f = MakeFields(t);
  Context c{f, loc, UsesTwelveHourClock(pattern), false};
  bool afterHour = false;  // the last date/time token was h or hh
  for (std::size_t i = 0; i < pattern.size();) {
    const Token tok = NextToken(pattern, i);
    c.afterHour = afterHour;
    if (tok.kind != Tok::Literal && tok.kind != Tok::TimeSep && tok.kind != Tok::DateSep)
      afterHour = tok.kind == Tok::Hour || tok.kind == Tok::Hour2;
    if (const NumberToken* n = Lookup(kNumberTokens, tok.kind)) {
      AppendNumber(out, n->value(c), n->digits);
    } else if (const TextToken* x = Lookup(kTextTokens, tok.kind)) {
      out += x->text(c);
    } else {
      AppendPicture(out, tok, f, loc);
    }
  }
}

std::string FormatDateTime(std::string_view pattern, const DateTime& t, const LocaleFormats& loc) {
  std::string out;
  out.reserve(pattern.size() + 16);
  AppendFormattedDateTime(out, pattern, t, loc);
  return out;
}

std::string BuildClockFormat(std::string_view pattern) {
  // The characters a user types meaning themselves, tested in this order:
  // \ ! " # $ % & ' = ~ ^ @ { [ <
  static constexpr std::string_view kEscaped = "\\!\"#$%&'=~^@{[<";
  std::string out;
  out.reserve(pattern.size() + 8);
  for (char c : pattern) {
    if (kEscaped.find(c) != std::string_view::npos) out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

}  // namespace tomari
