// The close request: what a run gives back and saves as it ends.
#include "perch/shutdown.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "perch/tracking.h"
#include "support/fake_directory.h"
#include "support/fake_text_grab.h"
#include "support/fake_capture.h"
#include "support/fake_prompts.h"
#include "support/fake_shell.h"
#include "support/world.h"

namespace tomari {
namespace {

using test::FakeFileSystem;
using test::kWidget;

constexpr WindowHandle kA = 0x100, kB = 0x200;
const std::string kFolder = "C:\\Program Files\\Tomari\\";

// Writes into the desktop's log too, so the order of a save among the window
// calls can be seen.
class JournalFiles : public FakeFileSystem {
 public:
  explicit JournalFiles(test::FakeDesktop& d) : desktop_(d) {}
  bool WriteAtomic(const std::string& path, const std::string& bytes) override {
    desktop_.Record("Save", 0, path);
    return FakeFileSystem::WriteAtomic(path, bytes);
  }

 private:
  test::FakeDesktop& desktop_;
};

class Closing : public ::testing::Test {
 protected:
  Closing() {
    app.facts.AppFolder = kFolder;
    ProbeCapabilities(app, files, desktop);
    WidgetLoad(app, ports);
    desktop.AddWindow(kA, "Window A", "ClassA", Rect{100, 100, 500, 400});
    desktop.AddWindow(kB, "Window B", "ClassB", Rect{200, 150, 600, 450});
  }
  std::vector<std::string> Ops() const {
    std::vector<std::string> ops;
    for (const auto& c : desktop.calls) ops.push_back(c.op);
    return ops;
  }

  test::FakeDesktop desktop;
  test::FakeWidget widget{kWidget, 64, 32, &desktop};
  JournalFiles files{desktop};
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
};

TEST_F(Closing, RestoresLeavesTopMostRemovesClockThenSaves) {
  app.menu.TitleClockChecked = true;
  desktop.SetForegroundWindow(kA);
  TrackingTick(app, ports);
  ASSERT_EQ(app.clock.Window, kA);
  ASSERT_NE(desktop.Window(kA).title, "Window A");
  desktop.SetTopMost(kA, true);  // the top-most command
  app.target.ChangedTopMost = true;
  desktop.ClearLog();

  CloseRequest(app, ports);
  EXPECT_EQ(Ops(), (std::vector<std::string>{"SetTopMost", "Widget.SetTopMost", "SetTitle",
                                             "Save"}))
      << ::testing::PrintToString(desktop.Log());
  EXPECT_EQ(desktop.Window(kA).exStyle, 0u);
  EXPECT_EQ(desktop.Window(kA).title, "Window A");
  EXPECT_FALSE(widget.topMost);
  ASSERT_TRUE(files.Get(kFolder + "Setting.ini").has_value());
  EXPECT_NE(files.Get(kFolder + "Setting.ini")->find("Check=-1"), std::string::npos)
      << "the clock's check is saved as it was, on";
}

TEST_F(Closing, WithoutAnyTargetStillLeavesTopMostAndSaves) {
  // As with a Timing of 0: the tick never ran.
  widget.SetTopMost(true);
  desktop.ClearLog();
  CloseRequest(app, ports);
  EXPECT_EQ(Ops(), (std::vector<std::string>{"Widget.SetTopMost", "Save"}));
  EXPECT_FALSE(widget.topMost);
  EXPECT_TRUE(files.Get(kFolder + "Setting.ini").has_value());
}

TEST_F(Closing, VanishedTargetIsNotTouched) {
  desktop.SetForegroundWindow(kA);
  TrackingTick(app, ports);
  desktop.SetTopMost(kA, true);
  app.target.ChangedTopMost = true;
  desktop.Close(kA);
  TrackingTick(app, ports);
  ASSERT_EQ(app.TargetWindow, kWidget);
  desktop.ClearLog();
  CloseRequest(app, ports);
  EXPECT_EQ(Ops(), (std::vector<std::string>{"Widget.SetTopMost", "Save"}));
}


}  // namespace
}  // namespace tomari
