// Ticks per second of TrackingTick over an in-memory desktop, with 20 exclusion
// entries that each name a title and a class (none matching), so every tick
// reads the foreground window's title once and runs all entries twice.
#include <chrono>
#include <cstdio>
#include <string>

#include "perch/tracking.h"
#include "bench_ports.h"

using namespace tomari;

namespace {

double TicksPerSecond(bool clockOn, bool switchTargets) {
  bench::BenchDesktop desktop;
  bench::BenchWidget widget;
  bench::NullPorts none;
  Ports ports{desktop, desktop, widget, none, none, none, none, none,
              none,    none,    none,   none, none, none, none};

  App app;
  app.facts.HasLayeredWindows = true;
  app.ownWindows.Reset();
  app.ownWindows.Add(0x10);
  app.WidgetHandle = app.TargetWindow = 0x10;
  app.menu.TitleClockChecked = clockOn;
  for (int i = 0; i < 20; ++i)
    app.settings.ExclusionEntries.push_back(ExclusionEntry{
        "entry " + std::to_string(i), "メモ帳 " + std::to_string(i), i % 2,
        "Class" + std::to_string(i)});
  desktop.windows[0x100] = {"無題 - メモ帳", "Notepad", Rect{100, 100, 700, 500}};
  desktop.windows[0x200] = {"Report.xlsx - Excel", "XLMAIN", Rect{50, 80, 900, 700}};
  desktop.foreground = 0x100;

  using Clock = std::chrono::steady_clock;
  long ticks = 0;
  const auto start = Clock::now();
  auto now = start;
  do {
    for (int i = 0; i < 1000; ++i) {
      if (switchTargets) desktop.foreground = (ticks & 1) ? 0x200 : 0x100;
      if (clockOn && ticks % 10 == 0) none.utc.second = (none.utc.second + 1) % 60;
      TrackingTick(app, ports);
      ++ticks;
    }
    now = Clock::now();
  } while (now - start < std::chrono::seconds(1));
  return static_cast<double>(ticks) / std::chrono::duration<double>(now - start).count();
}

}  // namespace

int main() {
  std::printf("TrackingTick, 20 exclusion entries, in-memory desktop\n");
  std::printf("  same target, clock off:      %12.0f ticks/s\n", TicksPerSecond(false, false));
  std::printf("  same target, clock on:       %12.0f ticks/s\n", TicksPerSecond(true, false));
  std::printf("  new target every tick:       %12.0f ticks/s\n", TicksPerSecond(false, true));
  return 0;
}
