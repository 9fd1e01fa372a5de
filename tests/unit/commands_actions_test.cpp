// What the buttons and the menu items do: the changes to the attached window,
// the dialogs' Busy bracket, capture destinations, links, skins, the menu and exit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/world.h"

namespace tomari {
namespace {

constexpr WindowHandle kTarget = 0x100;

// Attached to kTarget and fixed to it.
struct FixedWorld : test::World {
  explicit FixedWorld(std::uint32_t exStyle = 0) : World(true) {
    AddTarget(kTarget, exStyle);
    Attach(kTarget);
    Menu_WindowSet_Click(app, ports);
    desktop.ClearLog();
  }
  test::FakeWindow& Target() { return desktop.Window(kTarget); }
  CommandResult Click(int x = 5, int y = 5) { return RunButtonCommand(app, ports, sink, x, y); }
};

TEST(TopMostAndLayerCommands, AWindowThatIsGoneHungOrPerPixelAlphaIsLeftAlone) {
  for (const int c : {0, 1, 2}) {
    FixedWorld w(c == 2 ? kExLayered : 0);  // 2: layered with attributes nobody can read
    if (c == 0) w.Target().hung = true;
    if (c == 1) w.desktop.Close(kTarget);
    if (c != 2) Menu_TopMost_Click(w.app, w.ports);
    Menu_Layer_Click(w.app, w.ports);
    EXPECT_FALSE(w.app.menu.TopMostChecked || w.app.menu.LayerChecked) << c;
    EXPECT_TRUE(w.desktop.calls.empty()) << c;
  }
}

TEST(LayerCommand, WithoutLayeredWindowsNoLayeredCallIsEverMade) {
  FixedWorld w;
  // The buttons are not even offered (see the command states); the handlers
  // themselves refuse too, whatever the menu says.
  w.app.facts.HasLayeredWindows = false;
  w.app.menu.LayerChecked = true;
  Menu_Layer_Click(w.app, w.ports);
  SetTransparency(w.app, w.ports, 32);
  EXPECT_EQ(w.desktop.Count("SetLayered") + w.desktop.Count("SetExStyle"), 0);
  EXPECT_EQ(w.app.settings.LayerTransparency, 32);
}

// Which part of the target was taken and where it went: "whole clipboard",
// "inside dialog", "whole date", or "" when nothing was captured.
std::string CaptureSeen(FixedWorld& w) {
  std::string part, where;
  for (const std::string& call : w.capture.log) {
    if (call.rfind("Capture ", 0) == 0) part = call.substr(call.rfind(' ') + 1);
    if (call.rfind("Clipboard ", 0) == 0) where = "clipboard";
    if (call.rfind("WriteFile ", 0) == 0) where = "date";
  }
  if (!w.prompts.dialogs.empty()) where = "dialog";
  return part.empty() ? "" : part + " " + where;
}

struct CaptureWorld : FixedWorld {
  CaptureWorld() {
    capture.windows[kTarget] = {Bitmap(4, 3, test::kBackPixel), Bitmap(2, 2, test::kBackPixel)};
    // Left to the settings, a capture goes to a date-named file.
    app.settings.CaptureType = 1;
    app.settings.CaptureSaveType = 1;
  }
};

TEST(CaptureCommands, TheValueChoosesTheDestinationInAnyCase) {
  const struct {
    const char *type, *value, *seen;
  } kCases[] = {
      {"CAPTUREALL", "filesave", "whole dialog"},
      {"CAPTUREALL", "Copy", "whole clipboard"},
      {"CAPTUREINSIDE", "DateSave", "inside date"},
      {"CAPTUREINSIDE", "PRINT", "inside date"},
  };
  for (const auto& c : kCases) {
    CaptureWorld w;
    w.AddButton(c.type, Rect{0, 0, 10, 10}, c.value);
    w.Click();
    EXPECT_EQ(CaptureSeen(w), c.seen) << c.type << " " << c.value;
  }
}

TEST(ButtonClicks, TheFirstUsableButtonUnderThePointerRunsAndNoOther) {
  FixedWorld w;
  w.app.menu.TopMostEnabled = false;  // unfixed by hand: TOPMOST unavailable
  w.AddButton("BOGUS", Rect{0, 0, 40, 20});
  w.AddButton("TOPMOST", Rect{0, 0, 40, 20});
  w.AddButton("LINK", Rect{0, 0, 40, 20}, "first");
  w.AddButton("LINK", Rect{0, 0, 40, 20}, "second");
  w.Click(5, 5);
  EXPECT_EQ(w.shell.opened, std::vector<std::string>{"first"});
  EXPECT_TRUE(w.desktop.calls.empty());
}

TEST(MenuItems, EachItemRunsItsAction) {
  const std::pair<MenuItem, const char*> kDialogs[] = {
      {MenuItem::String, "TextGrab [busy]"},
      {MenuItem::AntiPercher, "ExclusionEditor [busy]"},
      {MenuItem::Setting, "Settings [busy]"},
      {MenuItem::Version, "Version [busy]"},
  };
  for (const auto& [item, call] : kDialogs) {
    FixedWorld w;
    w.widget.topMostChanges.clear();
    EXPECT_EQ(RunMenuItem(w.app, w.ports, w.sink, item), CommandResult::Done);
    // The dialogs run with both ticks idle and put the widget back on top.
    EXPECT_EQ(w.sink.calls, std::vector<std::string>{call});
    EXPECT_FALSE(w.app.Busy) << call;
    EXPECT_EQ(w.widget.topMostChanges, std::vector<bool>{true}) << call;
  }
  for (const auto& [item, seen] : {std::pair{MenuItem::CaptureAll, "whole date"},
                                   std::pair{MenuItem::CaptureInside, "inside date"}}) {
    CaptureWorld w;
    RunMenuItem(w.app, w.ports, w.sink, item);
    EXPECT_EQ(CaptureSeen(w), seen);
  }
  FixedWorld w;
  EXPECT_EQ(RunMenuItem(w.app, w.ports, w.sink, MenuItem::Exit), CommandResult::Exited);
  w.AddButton("POPUP", Rect{0, 0, 10, 10});
  w.sink.popupPick = MenuItem::TopMost;
  EXPECT_EQ(w.Click(), CommandResult::Done);
  EXPECT_EQ(w.sink.calls, (std::vector<std::string>{"Exit", "Popup"}));
  EXPECT_NE(w.Target().exStyle & kExTopMost, 0u);
  RunMenuItem(w.app, w.ports, w.sink, MenuItem::Layer);
  EXPECT_NE(w.Target().exStyle & kExLayered, 0u);
}

}  // namespace
}  // namespace tomari
