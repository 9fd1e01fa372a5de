// Ticks per second of TrackingTick over the fake desktop, with 20 exclusion
// entries that each name a title and a class (none matching), so every tick
// reads the foreground window's title once and runs all entries twice.
#include <chrono>
#include <cstdio>
#include <string>

#include "perch/tracking.h"
#include "support/fake_directory.h"
#include "support/fake_text_grab.h"
#include "support/fake_capture.h"
#include "support/fake_codec.h"
#include "support/fake_prompts.h"
#include "support/fake_shell.h"
#include "support/fake_desktop.h"
#include "support/fake_files.h"
#include "support/fake_imaging.h"
#include "support/fake_locale.h"

using namespace tomari;

namespace {

double TicksPerSecond(bool clockOn, bool switchTargets) {
  test::FakeDesktop desktop;
  desktop.keepLog = false;
  test::FakeWidget widget(0x10, 64, 32, &desktop);
  widget.keepLog = false;
  test::FakeFileSystem files;
  test::FakeCodec codec;
  test::FakeClock clock;
  test::FakeImageDecoder images;
  test::FakeCursorLoader cursors;
  test::FakeLocale locale;
  test::FakeShell shell;
  test::FakePrompts prompts;
  test::FakeCapture capture{files};
  test::FakeWindowTexts texts;
  test::FakeClipboard textClipboard;
  test::FakeDirectory directory;
  Ports ports{desktop, desktop, widget, files,  clock,   codec,
              images,  cursors, locale, shell, prompts, capture, texts, textClipboard, directory};

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
  desktop.AddWindow(0x100, "無題 - メモ帳", "Notepad", Rect{100, 100, 700, 500});
  desktop.AddWindow(0x200, "Report.xlsx - Excel", "XLMAIN", Rect{50, 80, 900, 700});
  desktop.SetForegroundWindow(0x100);

  using Clock = std::chrono::steady_clock;
  long ticks = 0;
  const auto start = Clock::now();
  auto now = start;
  do {
    for (int i = 0; i < 1000; ++i) {
      if (switchTargets) desktop.SetForegroundWindow((ticks & 1) ? 0x200 : 0x100);
      if (clockOn && ticks % 10 == 0) clock.utc.second = (clock.utc.second + 1) % 60;
      TrackingTick(app, ports);
      ++ticks;
    }
    now = Clock::now();
  } while (now - start < std::chrono::seconds(1));
  return static_cast<double>(ticks) / std::chrono::duration<double>(now - start).count();
}

}  // namespace

int main() {
  std::printf("TrackingTick, 20 exclusion entries, fake desktop\n");
  std::printf("  same target, clock off:      %12.0f ticks/s\n", TicksPerSecond(false, false));
  std::printf("  same target, clock on:       %12.0f ticks/s\n", TicksPerSecond(true, false));
  std::printf("  new target every tick:       %12.0f ticks/s\n", TicksPerSecond(false, true));
  return 0;
}
