#include "win32/ports/win_clock.h"

#include <windows.h>

namespace tomari {

namespace {

DateTime FromSystemTime(const SYSTEMTIME& t) {
  return DateTime{t.wYear, t.wMonth,  t.wDay,          t.wHour,
                  t.wMinute, t.wSecond, t.wMilliseconds, t.wDayOfWeek};
}

}  // namespace

DateTime Win32Clock::UtcNow() {
  SYSTEMTIME t;
  GetSystemTime(&t);
  return FromSystemTime(t);
}

DateTime Win32Clock::LocalNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return FromSystemTime(t);
}

}  // namespace tomari
