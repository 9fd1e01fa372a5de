#include "clock/date_format.h"

#include <array>
#include <cstdint>

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

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view s, std::size_t i, std::string_view lowerWhat) {
  if (s.size() - i < lowerWhat.size()) return false;
  for (std::size_t k = 0; k < lowerWhat.size(); ++k)
    if (Lower(s[i + k]) != lowerWhat[k]) return false;
  return true;
}

std::size_t RunOf(std::string_view s, std::size_t i, char c, std::size_t max) {
  std::size_t n = 0;
  while (n < max && i + n < s.size() && s[i + n] == c) ++n;
  return n;
}

// Length in bytes of the UTF-8 character that starts at s[i]; a stray byte
// counts as one character so that no input can stall the scan.
std::size_t CharLength(std::string_view s, std::size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  std::size_t n = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
  if (i + n > s.size()) n = s.size() - i;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return k;
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
      const std::size_t n = CharLength(s, i);
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
  const std::size_t n = CharLength(s, i);
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
  const int carry = base.second >= 0 ? base.second / 60 : -((59 - base.second) / 60);
  base.second -= carry * 60;
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
        out.append(marker, 0, n >= 2 || marker.empty() ? marker.size() : CharLength(marker, 0));
        break;
      }
    }
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
  bool twelveHour = false;
  for (std::size_t i = 0; i < pattern.size();)
    if (IsTwelveHourMarker(NextToken(pattern, i).kind)) {
      twelveHour = true;
      break;
    }

  const Fields f = MakeFields(t);
  const auto month = static_cast<std::size_t>(f.month - 1);
  const auto weekday = static_cast<std::size_t>(f.dayOfWeek);
  const bool morning = f.hour < 12;
  bool afterHour = false;  // the last date/time token was h or hh

  for (std::size_t i = 0; i < pattern.size();) {
    const Token tok = NextToken(pattern, i);
    const bool wasAfterHour = afterHour;
    if (tok.kind != Tok::Literal && tok.kind != Tok::TimeSep && tok.kind != Tok::DateSep)
      afterHour = tok.kind == Tok::Hour || tok.kind == Tok::Hour2;
    switch (tok.kind) {
      case Tok::End:
        break;
      case Tok::Literal:
        out += tok.text;
        break;
      case Tok::TimeSep:
        out += loc.timeSeparator;
        break;
      case Tok::DateSep:
        out += loc.dateSeparator;
        break;
      case Tok::Complete:
        if (f.hasDate) AppendDatePicture(out, loc.shortDate, f, loc);
        if (f.hasDate && (f.hour != 0 || f.minute != 0 || f.second != 0)) out.push_back(' ');
        if (!f.hasDate || f.hour != 0 || f.minute != 0 || f.second != 0)
          AppendTimePicture(out, loc.timeFormat, f, loc);
        break;
      case Tok::Day:
        AppendNumber(out, f.day, 1);
        break;
      case Tok::Day2:
        AppendNumber(out, f.day, 2);
        break;
      case Tok::DayShort:
        out += kEnglishDaysShort[weekday];
        break;
      case Tok::DayLong:
        out += kEnglishDays[weekday];
        break;
      case Tok::ShortDate:
        AppendDatePicture(out, loc.shortDate, f, loc);
        break;
      case Tok::LongDate:
        AppendDatePicture(out, loc.longDate, f, loc);
        break;
      case Tok::JaDayShort:
        out += kJapaneseDaysShort[weekday];
        break;
      case Tok::JaDayLong:
        out += kJapaneseDays[weekday];
        break;
      case Tok::Weekday:
        AppendNumber(out, f.dayOfWeek + 1, 1);
        break;
      case Tok::Week:
        AppendNumber(out, f.week, 1);
        break;
      case Tok::Month:
        AppendNumber(out, wasAfterHour ? f.minute : f.month, 1);
        break;
      case Tok::Month2:
        AppendNumber(out, wasAfterHour ? f.minute : f.month, 2);
        break;
      case Tok::MonthShort:
        out += kEnglishMonthsShort[month];
        break;
      case Tok::MonthLong:
        out += kEnglishMonths[month];
        break;
      case Tok::Quarter:
        AppendNumber(out, (f.month - 1) / 3 + 1, 1);
        break;
      case Tok::EraInitial:
        out += f.era.initial;
        break;
      case Tok::EraKanji:
        out += f.era.kanji;
        break;
      case Tok::EraName:
        out += f.era.name;
        break;
      case Tok::EraYear:
        AppendNumber(out, f.era.year, 1);
        break;
      case Tok::EraYear2:
        AppendNumber(out, f.era.year, 2);
        break;
      case Tok::DayOfYear:
        AppendNumber(out, f.dayOfYear, 1);
        break;
      case Tok::Year2:
        AppendNumber(out, ((f.year % 100) + 100) % 100, 2);
        break;
      case Tok::Year4:
        AppendNumber(out, f.year, 1);
        break;
      case Tok::Hour:
        AppendNumber(out, twelveHour ? Hour12(f.hour) : f.hour, 1);
        break;
      case Tok::Hour2:
        AppendNumber(out, twelveHour ? Hour12(f.hour) : f.hour, 2);
        break;
      case Tok::Minute:
        AppendNumber(out, f.minute, 1);
        break;
      case Tok::Minute2:
        AppendNumber(out, f.minute, 2);
        break;
      case Tok::Second:
        AppendNumber(out, f.second, 1);
        break;
      case Tok::Second2:
        AppendNumber(out, f.second, 2);
        break;
      case Tok::LocaleTime:
        AppendTimePicture(out, loc.timeFormat, f, loc);
        break;
      case Tok::AmPmUpper:
        out += morning ? "AM" : "PM";
        break;
      case Tok::AmPmLower:
        out += morning ? "am" : "pm";
        break;
      case Tok::APUpper:
        out += morning ? "A" : "P";
        break;
      case Tok::APLower:
        out += morning ? "a" : "p";
        break;
      case Tok::AmPmLocale: {
        const std::string& marker = morning ? loc.am : loc.pm;
        out += marker.empty() ? (morning ? "AM" : "PM") : marker;
        break;
      }
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
