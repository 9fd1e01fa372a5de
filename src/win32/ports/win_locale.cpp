#include "win32/ports/win_locale.h"

#include <windows.h>

#include <string>

#include "win32/ports/text_convert.h"

namespace tomari {

namespace {

// Leaves `out` alone when the system has no value.
void Read(LCTYPE type, std::string& out) {
  wchar_t buf[128];
  const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buf, 128);
  if (n > 1) out = WideToUtf8(std::wstring_view(buf, static_cast<size_t>(n - 1)));
}

void ReadCalendar(CALID calendar, CALTYPE type, std::string& out) {
  wchar_t buf[128];
  const int n =
      GetCalendarInfoEx(LOCALE_NAME_USER_DEFAULT, calendar, nullptr, type, buf, 128, nullptr);
  if (n > 1) out = WideToUtf8(std::wstring_view(buf, static_cast<size_t>(n - 1)));
}

}  // namespace

LocaleFormats ReadUserLocaleFormats() {
  LocaleFormats f;
  Read(LOCALE_STIME, f.timeSeparator);
  Read(LOCALE_SDATE, f.dateSeparator);
  Read(LOCALE_SSHORTDATE, f.shortDate);
  Read(LOCALE_SLONGDATE, f.longDate);
  Read(LOCALE_STIMEFORMAT, f.timeFormat);
  // Morning and afternoon may rightly be empty (24-hour locales).
  f.am.clear();
  f.pm.clear();
  Read(LOCALE_S1159, f.am);
  Read(LOCALE_S2359, f.pm);
  // The system counts days from Monday; ours start on Sunday.
  for (int i = 0; i < 7; ++i) {
    const auto slot = static_cast<size_t>((i + 1) % 7);
    Read(static_cast<LCTYPE>(LOCALE_SDAYNAME1 + i), f.dayNames[slot]);
    Read(static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + i), f.abbrevDayNames[slot]);
  }
  for (int i = 0; i < 12; ++i) {
    Read(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + i), f.monthNames[static_cast<size_t>(i)]);
    Read(static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + i),
         f.abbrevMonthNames[static_cast<size_t>(i)]);
  }
  DWORD calendar = CAL_GREGORIAN;
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_ICALENDARTYPE | LOCALE_RETURN_NUMBER,
                  reinterpret_cast<LPWSTR>(&calendar), sizeof(calendar) / sizeof(wchar_t));
  f.eraCalendar = calendar == CAL_JAPAN;
  if (!f.eraCalendar) ReadCalendar(calendar, CAL_SERASTRING, f.gregorianEraName);
  return f;
}

const LocaleFormats& Win32Locale::Formats() {
  if (!loaded_) Reload();
  return formats_;
}

void Win32Locale::Reload() {
  formats_ = ReadUserLocaleFormats();
  loaded_ = true;
}

}  // namespace tomari
