// What the buttons and the menu items do: the changes to the attached window,
// the dialogs' Busy bracket, capture destinations, links, skins, the menu and exit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/world.h"

namespace tomari {
namespace {

using test::FakeCodec;
using test::World;

constexpr WindowHandle kTarget = 0x100;
constexpr WindowHandle kOther = 0x200;

// Attached to kTarget and fixed to it.
struct FixedWorld : World {
  explicit FixedWorld(std::uint32_t exStyle = 0) : World(true) {
    AddTarget(kTarget, exStyle);
    Attach(kTarget);
    Menu_WindowSet_Click(app, ports);
    desktop.ClearLog();
  }
  test::FakeWindow& Target() { return desktop.Window(kTarget); }
  bool TargetTopMost() { return (Target().exStyle & kExTopMost) != 0; }
  bool TargetLayered() { return (Target().exStyle & kExLayered) != 0; }
  CommandResult Click(int x = 5, int y = 5) { return RunButtonCommand(app, ports, sink, x, y); }
};

TEST(WindowSetCommand, FixingOffersTopMostAndSemiTransparencyUnfixingWithdrawsThem) {
  World w{true};
  w.AddTarget(kTarget, kExTopMost);
  w.Attach(kTarget);
  w.AddButton("TOPMOST", Rect{0, 0, 10, 10});
  Menu_WindowSet_Click(w.app, w.ports);
  EXPECT_EQ(test::MenuFlags(w.app.menu), "wf-tTl-");
  EXPECT_EQ(w.FaceStateAt(0), kStateAvailable) << "the buttons show it at once";
  // The window's own state is not touched.
  Menu_WindowSet_Click(w.app, w.ports);
  EXPECT_EQ(test::MenuFlags(w.app.menu), "w---T--");
  EXPECT_EQ(w.FaceStateAt(0), kStateUnavailable);
  EXPECT_TRUE(w.desktop.ChangesOn(kTarget).empty());
  w.app.facts.HasLayeredWindows = false;
  Menu_WindowSet_Click(w.app, w.ports);
  EXPECT_EQ(test::MenuFlags(w.app.menu), "wf-tT--");
}

TEST(TopMostAndLayerCommands, TheButtonsChangeTheWindow) {
  FixedWorld w;
  w.AddButton("TOPMOST", Rect{0, 0, 10, 10});
  w.AddButton("SEMITRANSPARENT", Rect{20, 0, 30, 10});
  w.Click(5, 5);
  w.Click(25, 5);
  EXPECT_EQ(test::MenuFlags(w.app.menu), "wf-tTlL");
  EXPECT_TRUE(w.TargetTopMost());
  EXPECT_EQ(w.Target().layered, (LayeredAttributes{true, 0, 128, kLwaAlpha}));
}

TEST(TopMostAndLayerCommands, AWindowThatIsGoneHungOrPerPixelAlphaIsLeftAlone) {
  for (const int c : {0, 1, 2}) {
    FixedWorld w(c == 2 ? kExLayered : 0);  // 2: layered with attributes nobody can read
    if (c == 0) w.Target().hung = true;
    if (c == 1) w.desktop.Close(kTarget);
    if (c != 2) Menu_TopMost_Click(w.app, w.ports);
    Menu_Layer_Click(w.app, w.ports);
    EXPECT_FALSE(w.app.menu.TopMostChecked || w.app.menu.LayerChecked) << c;
    EXPECT_FALSE(w.app.target.ChangedTopMost || w.app.target.ChangedLayer) << c;
    EXPECT_TRUE(w.desktop.calls.empty()) << c;
  }
}

TEST(LayerCommand, TheOpacitySettingReachesTheSystemWithinAByte) {
  for (const auto& [setting, alpha] : {std::pair{300, 255}, std::pair{-4, 0}}) {
    FixedWorld w;
    w.app.settings.LayerTransparency = setting;
    Menu_Layer_Click(w.app, w.ports);
    EXPECT_EQ(w.Target().layered.alpha, alpha) << setting;
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

TEST(TransparencyCommand, AClickSetsTheOpacityAtOnceAndKeepsItForLater) {
  FixedWorld w;
  SetTransparency(w.app, w.ports, 90);  // while opaque only the setting changes
  EXPECT_EQ(w.app.settings.LayerTransparency, 90);
  EXPECT_TRUE(w.desktop.calls.empty());
  Menu_Layer_Click(w.app, w.ports);
  w.AddButton("TRANSPARENCY", Rect{0, 0, 10, 10}, "64.5");
  w.AddButton("不透明度", Rect{20, 0, 30, 10}, "300");
  w.AddButton("透明度", Rect{40, 0, 50, 10}, "100");
  w.Click(5, 5);
  EXPECT_EQ(w.app.settings.LayerTransparency, 64);
  EXPECT_EQ(w.Target().layered, (LayeredAttributes{true, 0, 64, kLwaAlpha}));
  w.Click(45, 5);
  EXPECT_EQ(w.app.settings.LayerTransparency, 100);
  // The row of presets shows which one is current.
  EXPECT_EQ(w.app.look.states, (std::vector<int>{kStateBack, kStateBack, kStateAvailable}));
}

TEST(TransparencyCommand, ActsOnAWindowFoundSemiTransparentEvenWhenNotFixed) {
  World w{true};
  const LayeredAttributes own{true, 0, 200, kLwaAlpha};
  w.AddTarget(kTarget, kExLayered).layered = own;
  w.AddTarget(kOther);
  w.Attach(kTarget);
  w.AddButton("TRANSPARENCY", Rect{0, 0, 10, 10}, "50");
  RunButtonCommand(w.app, w.ports, w.sink, 5, 5);
  EXPECT_EQ(w.desktop.Window(kTarget).layered.alpha, 50);
  EXPECT_EQ(w.FaceStateAt(0), kStateUnavailable);
  w.Attach(kOther);
  EXPECT_EQ(w.desktop.Window(kTarget).layered, own);
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

TEST(ShellCommands, LinkOpensTheValueAndMailAMailtoAddress) {
  FixedWorld w;
  w.AddButton("LINK", Rect{0, 0, 10, 10}, "https://example.org/a b");
  w.AddButton("MAIL", Rect{20, 0, 30, 10}, "someone@example.org");
  w.AddButton("リンク", Rect{40, 0, 50, 10}, "");
  w.AddButton("メール", Rect{60, 0, 70, 10}, "");
  for (int x : {5, 25, 45, 65}) w.Click(x, 5);
  EXPECT_EQ(w.shell.opened, (std::vector<std::string>{"https://example.org/a b",
                                                      "mailto:someone@example.org", "mailto:"}));
}

TEST(ChangeSkinCommand, LoadsTheSkinBesideTheCurrentOneAndDrawsItForThePointer) {
  World w{true};
  const std::string folder = w.app.skin.folder;
  w.files.Put(folder + "Other.tsk",
              FakeCodec::Sjis("[Skin]\r\nBack=back.bmp\r\n[Button01]\r\nType=無機能\r\nLeft=0\r\n"
                              "Top=0\r\nWidth=10\r\nHeight=10\r\nToolTip=新しいボタン\r\n"));
  w.files.Put(folder + "back.bmp", "BM");
  w.images.AddPicture(folder + "back.bmp", Bitmap(30, 12, MakePixel(9, 9, 9)));
  w.AddButton("CHANGESKIN", Rect{0, 0, 20, 20}, "Other.tsk", "switch");
  w.AddButton("LINK", Rect{0, 0, 20, 20}, "never");

  EXPECT_EQ(RunButtonCommand(w.app, w.ports, w.sink, 5, 5), CommandResult::Done);
  EXPECT_TRUE(w.shell.opened.empty());
  EXPECT_EQ(w.app.settings.MainSkin, folder + "Other.tsk");
  ASSERT_EQ(w.app.skin.Buttons.size(), 1u);
  // The redraw after the click is the new skin's, for the click point.
  EXPECT_EQ(w.app.look.states, std::vector<int>{kStateFloat});
  EXPECT_EQ(w.widget.toolTip, "新しいボタン");
  EXPECT_EQ(w.widget.face.width, 30);
}

TEST(ExitCommand, AfterTheCloseRequestNothingIsTouched) {
  for (const bool fromMenu : {false, true}) {
    FixedWorld w;
    w.AddButton(fromMenu ? "メニュー" : "EXIT", Rect{0, 0, 10, 10});
    w.sink.popupPick = MenuItem::Exit;
    w.sink.onExit = [&] { w.app.skin = SkinData{}; };  // the close tears the skin down
    const int presents = w.widget.presents, tips = w.widget.toolTipSets;
    EXPECT_EQ(w.Click(), CommandResult::Exited) << fromMenu;
    EXPECT_EQ(w.sink.calls.back(), "Exit") << fromMenu;
    EXPECT_EQ(w.widget.presents - presents + w.widget.toolTipSets - tips, 0) << fromMenu;
    EXPECT_TRUE(w.desktop.calls.empty()) << fromMenu;
  }
}

TEST(ButtonClicks, TheFirstUsableButtonUnderThePointerRunsAndNoOther) {
  FixedWorld w;
  w.app.menu.WindowSetChecked = false;  // unfixed by hand: TOPMOST unavailable
  w.app.menu.TopMostEnabled = false;
  w.AddButton("BOGUS", Rect{0, 0, 40, 20});
  w.AddButton("TOPMOST", Rect{0, 0, 40, 20});
  w.AddButton("LINK", Rect{0, 0, 40, 20}, "first");
  w.AddButton("LINK", Rect{0, 0, 40, 20}, "second");
  w.AddButton("NONE", Rect{50, 0, 60, 10}, "LINK", "nothing here");
  w.Click(5, 5);
  EXPECT_EQ(w.shell.opened, std::vector<std::string>{"first"});
  w.Click(100, 30);                                // on no button
  EXPECT_EQ(w.Click(55, 5), CommandResult::Done);  // NONE does nothing but show itself
  EXPECT_EQ(w.shell.opened.size(), 1u);
  EXPECT_TRUE(w.sink.calls.empty());
  EXPECT_TRUE(w.desktop.calls.empty());
  EXPECT_EQ(w.widget.toolTip, "nothing here");
}

TEST(MenuItems, EachItemOrDialogButtonRunsItsAction) {
  const struct {
    MenuItem item;
    const char* type;  // the button of the same action, "" for none
    const char* call;  // "" when only state changes
  } kCases[] = {
      {MenuItem::None, "", ""},
      {MenuItem::String, "GETTEXT", "TextGrab [busy]"},
      {MenuItem::AntiPercher, "ANTIPERCHER", "ExclusionEditor [busy]"},
      {MenuItem::Setting, "SETTING", "Settings [busy]"},
      {MenuItem::Version, "情報", "Version [busy]"},
      {MenuItem::Exit, "", "Exit"},
  };
  for (const auto& c : kCases) {
    FixedWorld w;
    const CommandResult r = RunMenuItem(w.app, w.ports, w.sink, c.item);
    EXPECT_EQ(r, c.item == MenuItem::Exit ? CommandResult::Exited : CommandResult::Done);
    const std::vector<std::string> expected =
        *c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{};
    EXPECT_EQ(w.sink.calls, expected) << static_cast<int>(c.item);
    if (!*c.type) continue;
    // The dialogs run with both ticks idle and put the widget back on top.
    FixedWorld b;
    b.AddButton(c.type, Rect{0, 0, 10, 10});
    b.widget.topMostChanges.clear();
    b.Click();
    EXPECT_EQ(b.sink.calls, expected) << c.type;
    EXPECT_FALSE(b.app.Busy) << c.type;
    EXPECT_EQ(b.widget.topMostChanges, std::vector<bool>{true}) << c.type;
  }
  for (const auto& [item, seen] : {std::pair{MenuItem::CaptureAll, "whole date"},
                                   std::pair{MenuItem::CaptureInside, "inside date"}}) {
    CaptureWorld w;
    RunMenuItem(w.app, w.ports, w.sink, item);
    EXPECT_EQ(CaptureSeen(w), seen);
  }
  FixedWorld w;
  w.AddButton("POPUP", Rect{0, 0, 10, 10});
  w.sink.popupPick = MenuItem::TopMost;
  EXPECT_EQ(w.Click(), CommandResult::Done);
  EXPECT_EQ(w.sink.calls, std::vector<std::string>{"Popup"});
  EXPECT_TRUE(w.TargetTopMost());
  RunMenuItem(w.app, w.ports, w.sink, MenuItem::Layer);
  EXPECT_TRUE(w.TargetLayered());
  RunMenuItem(w.app, w.ports, w.sink, MenuItem::TitleClock);
  EXPECT_TRUE(w.app.menu.TitleClockChecked);
  Menu_TitleClock_Click(w.app);
  EXPECT_FALSE(w.app.menu.TitleClockChecked);
  RunMenuItem(w.app, w.ports, w.sink, MenuItem::WindowSet);
  EXPECT_FALSE(w.app.menu.WindowSetChecked);
}

}  // namespace
}  // namespace tomari
