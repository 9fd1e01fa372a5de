// How many clock texts per second the formatter makes: the title clock formats
// its pattern on every tracking tick (10 times a second by default).
#include <chrono>
#include <cstdio>
#include <string>

#include "clock/date_format.h"
#include "clock/title_clock.h"
#include "platform/locale.h"

namespace {

using Steady = std::chrono::steady_clock;

template <typename F>
void Measure(const char* what, F&& call) {
  // Warm up, then run for about half a second.
  for (int i = 0; i < 1000; ++i) call(i);
  long long calls = 0;
  const auto start = Steady::now();
  auto now = start;
  do {
    for (int i = 0; i < 1000; ++i) call(i);
    calls += 1000;
    now = Steady::now();
  } while (now - start < std::chrono::milliseconds(500));
  const double seconds = std::chrono::duration<double>(now - start).count();
  std::printf("%-46s %10.0f calls/s  %7.3f us/call\n", what, calls / seconds,
              seconds * 1e6 / static_cast<double>(calls));
}

}  // namespace

int main() {
  using namespace tomari;
  const LocaleFormats ja;  // the Japanese system's, as the defaults are
  const std::string defaultPattern = BuildClockFormat(" <yyyy/mm/dd hh:mm:ss> ");
  const std::string longPattern = BuildClockFormat(
      "ggge年m月d日(aaaa) dddd, mmmm d, yyyy hh:nn:ss AM/PM 第ww週 y日目 第q四半期 "
      "c / ddddd / dddddd / t t t t t AMPM");
  std::size_t sink = 0;
  std::string out;

  Measure("FormatDateTime, default pattern", [&](int i) {
    const DateTime t{2003, 1, 17, 17, 30, i % 60, 0, 0};
    sink += FormatDateTime(defaultPattern, t, ja).size();
  });
  Measure("FormatDateTime, long pattern", [&](int i) {
    const DateTime t{2003, 1, 17, 17, 30, i % 60, 0, 0};
    sink += FormatDateTime(longPattern, t, ja).size();
  });
  Measure("AppendFormattedDateTime, default, reused buffer", [&](int i) {
    const DateTime t{2003, 1, 17, 17, 30, i % 60, 0, 0};
    out.clear();
    AppendFormattedDateTime(out, defaultPattern, t, ja);
    sink += out.size();
  });
  Settings settings;  // Tokyo, the default pattern
  Measure("ClockTextAt (escape + zone + format), default", [&](int i) {
    const DateTime utc{2003, 1, 17, 8, 30, i % 60, 0, 0};
    sink += ClockTextAt(settings, utc, ja).size();
  });
  std::printf("(%zu characters made)\n", sink);
  return 0;
}
