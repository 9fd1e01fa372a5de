#pragma once
// A running widget on a fake desktop with every port: the App as the widget's
// load leaves it (own-window list with the widget in slot 1, no target yet), a
// sink that writes down what commands ask of the Win32 side, and helpers that
// give it a hand-built rectangle skin and windows of other programs.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "commands/commands.h"
#include "commands/menu_handlers.h"
#include "commands/widget_face.h"
#include "perch/attributes.h"
#include "platform/ports.h"
#include "skin/skin.h"
#include "support/fake_capture.h"
#include "support/fake_codec.h"
#include "support/fake_desktop.h"
#include "support/fake_directory.h"
#include "support/fake_files.h"
#include "support/fake_imaging.h"
#include "support/fake_locale.h"
#include "support/fake_prompts.h"
#include "support/fake_shell.h"
#include "support/fake_text_grab.h"

namespace tomari::test {

inline constexpr WindowHandle kWidget = 0x10;
inline constexpr int kFaceWidth = 120;
inline constexpr int kFaceHeight = 40;
inline constexpr Pixel kBackPixel = MakePixel(1, 2, 3);

// The colour of a button's image for one look, unique per slot and look.
inline Pixel StatePixel(std::size_t slot, int state) {
  return MakePixel(static_cast<int>(20 + slot), 40 * state + 10, 99);
}

class RecordingSink : public CommandSink {
 public:
  explicit RecordingSink(App& app) : app_(app) {}
  MenuItem OpenPopupMenu() override {
    Note("Popup");
    return popupPick;
  }
  void Exit() override {
    Note("Exit");
    if (onExit) onExit();
  }
  void ShowTextGrab() override { Note("TextGrab"); }
  void ShowExclusionEditor() override { Note("ExclusionEditor"); }
  void ShowSettings() override { Note("Settings"); }
  void ShowVersion() override { Note("Version"); }

  // Each call as "Name" plus " [busy]" / " [pressed]" for the flags set at the time.
  std::vector<std::string> calls;
  MenuItem popupPick = MenuItem::None;
  std::function<void()> onExit;

 private:
  void Note(std::string call) {
    if (app_.Busy) call += " [busy]";
    if (app_.drag.Pressed) call += " [pressed]";
    calls.push_back(std::move(call));
  }
  App& app_;
};

// The popup menu's switches, a letter each when on: w attached, f fixed, c clock,
// t/T top-most enabled/checked, l/L semi-transparency enabled/checked.
inline std::string MenuFlags(const CommandState& m) {
  const std::pair<bool, char> flags[] = {{m.WindowMenuEnabled, 'w'}, {m.WindowSetChecked, 'f'},
                                         {m.TitleClockChecked, 'c'}, {m.TopMostEnabled, 't'},
                                         {m.TopMostChecked, 'T'},    {m.LayerEnabled, 'l'},
                                         {m.LayerChecked, 'L'}};
  std::string s;
  for (const auto& [on, letter] : flags) s += on ? letter : '-';
  return s;
}

struct World {
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
  Ports ports{desktop, desktop, widget,  files,   clock, codec,         images,   cursors,
              locale,  shell,   prompts, capture, texts, textClipboard, directory};
  App app;
  RecordingSink sink{app};

  // `withSkin`: a loaded kFaceWidth x kFaceHeight skin of one Back colour and
  // no buttons yet (see AddButton).
  explicit World(bool withSkin = false) {
    app.facts.AppFolder = "C:\\Tomari\\";
    app.facts.HasLayeredWindows = true;
    app.ownWindows.Reset();
    app.ownWindows.Add(kWidget);
    app.WidgetHandle = kWidget;
    app.TargetWindow = kWidget;
    if (!withSkin) return;
    widget.rect = Rect{0, 0, kFaceWidth, kFaceHeight};
    desktop.Window(kWidget).rect = widget.rect;
    app.skin.loaded = true;
    app.skin.folder = "C:\\Tomari\\Skins\\Test\\";
    app.skin.Images[kStateBack] = Bitmap(kFaceWidth, kFaceHeight, kBackPixel);
  }

  // Appends a rectangle button whose looks are filled with StatePixel.
  SkinButton& AddButton(const std::string& type, Rect r, const std::string& value = {},
                        const std::string& toolTip = {}, CursorHandle cursor = 0) {
    const std::size_t slot = app.skin.Buttons.size();
    SkinButton& b = app.skin.Buttons.emplace_back();
    b.Type = type;
    b.Value = value;
    b.ToolTip = toolTip;
    b.Cursor = cursor;
    b.Rectangle = r;
    for (int s = 0; s < kButtonStateCount; ++s)
      b.Images[s] = Bitmap(r.Width(), r.Height(), StatePixel(slot, s));
    return b;
  }
  // A plain window of another program.
  FakeWindow& AddTarget(WindowHandle h, std::uint32_t exStyle = 0) {
    return desktop.AddWindow(h, "Target", "TargetClass", Rect{200, 200, 600, 500}, exStyle);
  }
  // Attaches to `h` the way the tracking tick does.
  void Attach(WindowHandle h) {
    RestoreWindowAttributes(app, desktop, app.target.AttachedWindow);
    RecordWindowAttributes(app, desktop, h);
    app.target.AttachedWindow = h;
    app.TargetWindow = h;
    app.menu.WindowMenuEnabled = true;
  }
  // The look drawn on the presented face at a button's top-left pixel, -1 for
  // the Back image, -2 for anything else.
  int FaceStateAt(std::size_t slot) const {
    const Rect& r = app.skin.Buttons.at(slot).Rectangle;
    const Pixel p = widget.face.At(r.left, r.top);
    if (p == kBackPixel) return -1;
    for (int s = 0; s < kButtonStateCount; ++s)
      if (p == StatePixel(slot, s)) return s;
    return -2;
  }
};

}  // namespace tomari::test
