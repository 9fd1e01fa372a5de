// The clock in other windows' titles: writing it, keeping up with the window's
// own title, and giving every title back exactly.
#include <gtest/gtest.h>

#include "clock/title_clock.h"
#include "support/fake_desktop.h"
#include "support/fake_locale.h"
#include "support/world.h"

namespace tomari {
namespace {

using test::FakeLocale;
using test::World;

constexpr WindowHandle kNotepad = 0x100;
constexpr WindowHandle kEditor = 0x200;
const std::string kNotepadTitle = "Untitled - Notepad";

class TitleClock : public testing::Test {
 protected:
  World world;
  FakeLocale locale;
  test::FakeDesktop& desktop = world.desktop;
  App& app = world.app;

  TitleClock() {
    desktop.AddWindow(kNotepad, kNotepadTitle, "Notepad", Rect{0, 0, 400, 300});
    desktop.AddWindow(kEditor, "Editor", "Edit", Rect{50, 50, 450, 350});
    SetUtc(2003, 1, 17, 8, 30, 5);
  }

  void SetUtc(int y, int mo, int d, int h, int mi, int s) {
    world.clock.utc = DateTime{y, mo, d, h, mi, s, 0, 0};
  }
  // One clock tick on `h`, as the tracking tick makes it.
  void Tick(WindowHandle h) {
    SetTitleClock(app, desktop, h, CurrentClockText(app, world.ports, locale));
  }
  std::string Title(WindowHandle h) { return desktop.Window(h).title; }
  int Writes(WindowHandle h) { return desktop.Count("SetTitle", h); }
};

TEST_F(TitleClock, DefaultPatternOnEitherSideWrittenOnlyWhenTheTextChanges) {
  Tick(kNotepad);
  Tick(kNotepad);
  EXPECT_EQ(Title(kNotepad), "Untitled - Notepad <2003/01/17 17:30:05> ");
  EXPECT_EQ(app.clock.Window, kNotepad);
  EXPECT_EQ(app.clock.OriginalTitle, kNotepadTitle);
  EXPECT_GT(locale.reads, 0);
  EXPECT_EQ(Writes(kNotepad), 1);
  SetUtc(2003, 1, 17, 8, 30, 6);
  Tick(kNotepad);
  EXPECT_EQ(Writes(kNotepad), 2);
  EXPECT_EQ(app.clock.OriginalTitle, kNotepadTitle);

  // The position changed while shown moves the clock cleanly.
  app.settings.ClockPosition = 0;
  Tick(kNotepad);
  EXPECT_EQ(Title(kNotepad), " <2003/01/17 17:30:06> Untitled - Notepad");
  EXPECT_TRUE(app.clock.Before);
  // Restoring uses the position it was written at, whatever the setting says now.
  app.settings.ClockPosition = 1;
  SetTitleClock(app, desktop, 0, "");
  EXPECT_EQ(Title(kNotepad), kNotepadTitle);
}

TEST_F(TitleClock, AdvancingClockThenOffGivesBackExactlyTheTitle) {
  for (int position : {0, 1}) {
    app.settings.ClockPosition = position;
    for (int s = 0; s < 70; s += 7) {
      SetUtc(2003, 12, 31, 23, 59, s % 60);
      Tick(kNotepad);
    }
    SetTitleClock(app, desktop, 0, "");
    EXPECT_EQ(Title(kNotepad), kNotepadTitle) << position;
    EXPECT_EQ(app.clock.Window, 0u);
    EXPECT_EQ(app.clock.OriginalTitle, "");
    EXPECT_EQ(app.clock.Text, "");
    EXPECT_EQ(app.clock.LastTitle, "");
    EXPECT_FALSE(app.clock.Before);
  }
  // Once off, nothing more is written, whatever asks for a restore.
  desktop.ClearLog();
  SetTitleClock(app, desktop, 0, "");
  EXPECT_EQ(desktop.Count("SetTitle"), 0);
  EXPECT_EQ(desktop.reads.getTitle, 0);
}

TEST_F(TitleClock, AWindowThatRetitlesItselfKeepsItsNewTitle) {
  Tick(kNotepad);
  desktop.Window(kNotepad).title = "memo.txt - Notepad";
  Tick(kNotepad);
  EXPECT_EQ(Title(kNotepad), "memo.txt - Notepad <2003/01/17 17:30:05> ");
  EXPECT_EQ(app.clock.OriginalTitle, "memo.txt - Notepad");
  // Shorter than our text: nothing is cut.
  desktop.Window(kNotepad).title = "X";
  Tick(kNotepad);
  EXPECT_EQ(Title(kNotepad), "X <2003/01/17 17:30:05> ");
  // A title the window changed itself is left at restore.
  desktop.Window(kNotepad).title = "Saved - Notepad";
  desktop.ClearLog();
  SetTitleClock(app, desktop, 0, "");
  EXPECT_EQ(Writes(kNotepad), 0);
  EXPECT_EQ(Title(kNotepad), "Saved - Notepad");
  EXPECT_EQ(app.clock.Window, 0u);
}

TEST_F(TitleClock, SwitchingWindowsRestoresTheOldTitleFirst) {
  Tick(kNotepad);
  desktop.ClearLog();
  Tick(kEditor);
  EXPECT_EQ(Title(kEditor), "Editor <2003/01/17 17:30:05> ");
  EXPECT_EQ(desktop.Log(), (std::vector<std::string>{
                               "SetTitle(256, \"Untitled - Notepad\")",
                               "SetTitle(512, \"Editor <2003/01/17 17:30:05> \")"}));
  EXPECT_EQ(app.clock.OriginalTitle, "Editor");
}

TEST_F(TitleClock, UntitledHungOrVanishedWindowsAreNotWritten) {
  desktop.Window(kNotepad).title = "";
  desktop.Window(kEditor).hung = true;
  Tick(kNotepad);
  Tick(kEditor);
  Tick(kNotepad);
  EXPECT_EQ(desktop.Count("SetTitle"), 0);
  EXPECT_EQ(app.clock.Window, 0u);
  EXPECT_EQ(Title(kEditor), "Editor");
  // Once it has a title, the next tick puts the clock on.
  desktop.Window(kNotepad).title = "Now titled";
  Tick(kNotepad);
  EXPECT_EQ(Title(kNotepad), "Now titled <2003/01/17 17:30:05> ");
  desktop.Close(kNotepad);
  desktop.ClearLog();
  SetTitleClock(app, desktop, 0, "");
  EXPECT_EQ(desktop.Count("SetTitle"), 0);
  EXPECT_EQ(app.clock.Window, 0u);
  EXPECT_EQ(app.clock.OriginalTitle, "");
}

TEST_F(TitleClock, ATitleNotGivenBackIsOwedUntilTheWindowTakesItOrGoes) {
  for (const char* then : {"answers", "goes", "gets the clock again"}) {
    SCOPED_TRACE(then);
    const std::string what = then;
    Tick(kNotepad);
    desktop.Window(kNotepad).hung = true;
    SetTitleClock(app, desktop, 0, "");
    RetryTitleRestores(app, desktop);
    ASSERT_EQ(app.PendingTitles.size(), 1u);
    desktop.Window(kNotepad).hung = false;
    if (what == "goes") desktop.Close(kNotepad);
    if (what == "gets the clock again") {
      Tick(kNotepad);
      EXPECT_TRUE(app.PendingTitles.empty());
      EXPECT_EQ(Title(kNotepad), kNotepadTitle + " <2003/01/17 17:30:05> ");
      SetTitleClock(app, desktop, 0, "");
    }
    RetryTitleRestores(app, desktop);
    EXPECT_TRUE(app.PendingTitles.empty());
    if (what != "goes") {
      EXPECT_EQ(Title(kNotepad), kNotepadTitle);
    }
    desktop.AddWindow(kNotepad, kNotepadTitle, "Notepad", Rect{0, 0, 400, 300});
  }
}

TEST_F(TitleClock, AWindowThatKeepsAnotherTextIsWrittenOnlyWhenTheClockChanges) {
  const struct {
    const char* name;
    std::string (*store)(const std::string&);
  } windows[] = {
      {"cuts long titles", [](const std::string& t) { return t.substr(0, 24); }},
      {"cannot hold some characters",
       [](const std::string& t) {
         std::string out = t;
         for (char& c : out)
           if (c == '/') c = '?';
         return out;
       }},
  };
  for (const auto& w : windows) {
    SCOPED_TRACE(w.name);
    desktop.AddWindow(kNotepad, kNotepadTitle, "Notepad", Rect{0, 0, 400, 300});
    desktop.Window(kNotepad).storeTitle = w.store;
    desktop.ClearLog();
    Tick(kNotepad);
    Tick(kNotepad);
    EXPECT_EQ(Writes(kNotepad), 1);
    SetUtc(2003, 1, 17, 8, 30, 6);
    Tick(kNotepad);
    Tick(kNotepad);
    EXPECT_EQ(Writes(kNotepad), 2);
    EXPECT_EQ(app.clock.OriginalTitle, kNotepadTitle);
    SetTitleClock(app, desktop, 0, "");
    EXPECT_EQ(Title(kNotepad), w.store(kNotepadTitle));
    SetUtc(2003, 1, 17, 8, 30, 5);
  }
}

TEST_F(TitleClock, LengthsCountCharactersNotBytes) {
  // Our clock text is replaced by a text of as many characters but more bytes
  // (full-width digits): without it, the title is still the original one.
  app.settings.ClockPosition = 0;
  app.settings.ClockFormatText = "[hh]";
  desktop.Window(kNotepad).title = "日本語のメモ";
  Tick(kNotepad);
  EXPECT_EQ(Title(kNotepad), "[17]日本語のメモ");
  desktop.Window(kNotepad).title = "[１７]日本語のメモ";
  SetUtc(2003, 1, 17, 9, 0, 0);
  Tick(kNotepad);
  EXPECT_EQ(Title(kNotepad), "[18]日本語のメモ");
  EXPECT_EQ(app.clock.OriginalTitle, "日本語のメモ");
  desktop.Window(kNotepad).title = "[１８]日本語のメモ";
  SetTitleClock(app, desktop, 0, "");
  EXPECT_EQ(Title(kNotepad), "日本語のメモ");
  EXPECT_EQ(CharacterCount("[１８]日本語"), 7u);
}

TEST(ClockRecordTest, BuiltFromTheTitlesItDerivesTheClockText) {
  const ClockRecord after{7, "Window", "Window 12:00"};
  EXPECT_EQ(after.Text, " 12:00");
  EXPECT_FALSE(after.Before);
  const ClockRecord before{7, "Window", "12:00 Window"};
  EXPECT_EQ(before.Text, "12:00 ");
  EXPECT_TRUE(before.Before);
  const ClockRecord unrelated{7, "Window", "Other"};
  EXPECT_EQ(unrelated.Text, "");
}

}  // namespace
}  // namespace tomari
