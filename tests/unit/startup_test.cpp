#include "app/startup.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "clock/title_clock.h"
#include "perch/tracking.h"
#include "support/perch_fixture.h"

namespace tomari {
namespace {

using test::FakeFileSystem;
using test::kWidget;

constexpr WindowHandle kA = 0x100, kB = 0x200;
const std::string kFolder = "C:\\Program Files\\Tomari\\";

TEST(Startup, AppFolderEndsInOneBackslash) {
  EXPECT_EQ(WithTrailingBackslash("C:\\Tomari"), "C:\\Tomari\\");
  EXPECT_EQ(WithTrailingBackslash("C:\\Tomari\\"), "C:\\Tomari\\");
  EXPECT_EQ(WithTrailingBackslash("C:\\"), "C:\\");
  EXPECT_EQ(WithTrailingBackslash("D:\\ツール\\トマリギ"), "D:\\ツール\\トマリギ\\");
}

TEST(Startup, TrackingInterval) {
  EXPECT_EQ(TrackingInterval(1), 1u);
  EXPECT_EQ(TrackingInterval(65536), 65536u);
  EXPECT_EQ(TrackingInterval(std::numeric_limits<std::int32_t>::max()), 0x7FFFFFFFu);
  // 0 stops the tick; so does a negative value, which no timer can take.
  EXPECT_FALSE(TrackingInterval(0).has_value());
  EXPECT_FALSE(TrackingInterval(-1).has_value());
  EXPECT_FALSE(TrackingInterval(std::numeric_limits<std::int32_t>::min()).has_value());
}

class StartupWorld : public ::testing::Test, protected test::PerchWorld {
 protected:
  StartupWorld() {
    app = App{};
    app.settings.AppFolder = kFolder;
  }
  void PutSettings(const std::string& text) { files.Put(kFolder + "Setting.ini", text); }
};

TEST_F(StartupWorld, ProbeFindsTheImagingLibraryAndLayeredWindows) {
  app.ownWindows.Add(0x55);
  ProbeCapabilities(app, files, desktop);
  EXPECT_EQ(app.ownWindows.Count(), 0);
  EXPECT_TRUE(app.ownWindows.Contains(0));
  EXPECT_FALSE(app.settings.HasImageLibrary);
  EXPECT_TRUE(app.settings.HasLayeredWindows);

  files.Put(kFolder + "transg32.DLL", "MZ");
  files.Put("C:\\Elsewhere\\TransG32.dll", "MZ");
  desktop.layeredApi = false;
  ProbeCapabilities(app, files, desktop);
  EXPECT_TRUE(app.settings.HasImageLibrary);
  EXPECT_FALSE(app.settings.HasLayeredWindows);

  app.settings.AppFolder = "C:\\Elsewhere\\Sub\\";
  ProbeCapabilities(app, files, desktop);
  EXPECT_FALSE(app.settings.HasImageLibrary);
}

TEST_F(StartupWorld, SecondInstanceOnlyWithMulti) {
  EXPECT_FALSE(MultipleInstancesAllowed(kFolder, files, codec)) << "no file";
  PutSettings("[Main]\r\nTiming= 100\r\nMulti= 0\r\n");
  EXPECT_FALSE(MultipleInstancesAllowed(kFolder, files, codec));
  PutSettings("[Main]\r\nMulti= 1\r\n");
  EXPECT_TRUE(MultipleInstancesAllowed(kFolder, files, codec));
  PutSettings("[main]\r\nmulti=-1\r\n");
  EXPECT_TRUE(MultipleInstancesAllowed(kFolder, files, codec));
  PutSettings("[Other]\r\nMulti=1\r\n");
  EXPECT_FALSE(MultipleInstancesAllowed(kFolder, files, codec));
  EXPECT_EQ(files.writeCalls, 0u) << "asking must not write";
}

TEST_F(StartupWorld, WidgetLoadReadsSettingsAndTakesSlotOne) {
  PutSettings("[Main]\r\nTiming= 250\r\n[Position]\r\nX= 4\r\n");
  ProbeCapabilities(app, files, desktop);
  WidgetLoad(app, ports);
  EXPECT_EQ(app.settings.MainTiming, 250);
  EXPECT_EQ(app.settings.PositionX, 4);
  EXPECT_EQ(app.settings.AppFolder, kFolder);
  EXPECT_EQ(app.ownWindows.Count(), 1);
  EXPECT_EQ(app.ownWindows.At(1), kWidget);
  EXPECT_EQ(app.WidgetHandle, kWidget);
  EXPECT_EQ(app.TargetWindow, kWidget);

  // No target yet: a tick with the widget itself in front does nothing.
  desktop.SetForegroundWindow(kWidget);
  TrackingTick(app, ports);
  EXPECT_TRUE(widget.moves.empty());
  EXPECT_EQ(app.target.AttachedWindow, 0u);
}

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
    app.settings.AppFolder = kFolder;
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
  Ports ports{desktop, desktop, widget, files, clock, codec, images, cursors, locale};
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

TEST_F(Closing, RestoreGoesToTheWindowTheStateWasReadFrom) {
  desktop.SetForegroundWindow(kA);
  TrackingTick(app, ports);
  desktop.SetTopMost(kA, true);
  app.target.ChangedTopMost = true;
  // B hangs as it comes to the front: it is skipped, A stays attached.
  desktop.Window(kB).hung = true;
  desktop.SetForegroundWindow(kB);
  TrackingTick(app, ports);
  ASSERT_EQ(app.target.AttachedWindow, kA);
  desktop.ClearLog();

  CloseRequest(app, ports);
  EXPECT_EQ(desktop.Window(kA).exStyle, 0u);
  EXPECT_TRUE(desktop.ChangesOn(kB).empty());
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
