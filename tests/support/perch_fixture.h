#pragma once
// A running widget on a fake desktop: the App as the widget's load leaves it
// (own-window list with the widget in slot 1, no target yet) and every port.
#include "app/app.h"
#include "platform/ports.h"
#include "support/fake_directory.h"
#include "support/fake_text_grab.h"
#include "support/fake_capture.h"
#include "support/fake_codec.h"
#include "support/fake_desktop.h"
#include "support/fake_files.h"
#include "support/fake_imaging.h"
#include "support/fake_locale.h"
#include "support/fake_prompts.h"
#include "support/fake_shell.h"

namespace tomari::test {

inline constexpr WindowHandle kWidget = 0x10;

struct PerchWorld {
  FakeDesktop desktop;
  FakeWidget widget{kWidget, 64, 32, &desktop};
  FakeFileSystem files;
  FakeCodec codec;
  FakeClock clock;
  FakeImageDecoder images;
  FakeCursorLoader cursors;
  FakeLocale locale;
  FakeShell shell;
  FakePrompts prompts;
  FakeCapture capture{files};
  FakeWindowTexts texts;
  FakeClipboard textClipboard;
  FakeDirectory directory;
  Ports ports{desktop, desktop, widget, files, clock, codec,
              images,  cursors, locale, shell, prompts, capture, texts, textClipboard, directory};
  App app;

  PerchWorld() {
    app.facts.AppFolder = "C:\\Tomari\\";
    app.facts.HasLayeredWindows = true;
    app.ownWindows.Reset();
    app.ownWindows.Add(kWidget);
    app.WidgetHandle = kWidget;
    app.TargetWindow = kWidget;
  }
};

}  // namespace tomari::test
