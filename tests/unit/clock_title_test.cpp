// The clock in other windows' titles: writing it, keeping up with the window's
// own title, and giving every title back exactly.
#include <gtest/gtest.h>

#include "clock/title_clock.h"
#include "support/fake_desktop.h"
#include "support/world.h"

namespace tomari {
namespace {

using test::World;

constexpr WindowHandle kNotepad = 0x100;
constexpr WindowHandle kEditor = 0x200;
const std::string kNotepadTitle = "Untitled - Notepad";

class TitleClock : public testing::Test {
 protected:
  World world;
  test::FakeDesktop& desktop = world.desktop;
  App& app = world.app;

  TitleClock() {
    desktop.AddWindow(kNotepad, kNotepadTitle, "Notepad", Rect{0, 0, 400, 300});
    desktop.AddWindow(kEditor, "Editor", "Edit", Rect{50, 50, 450, 350});
    SetUtc(8, 30, 5);
  }

  void SetUtc(int h, int mi, int s) { world.clock.utc = DateTime{2003, 1, 17, h, mi, s, 0, 0}; }
  // One clock tick on `h`, as the tracking tick makes it.
  void Tick(WindowHandle h) { SetTitleClock(app, desktop, h, CurrentClockText(app, world.ports)); }
  void Off() { SetTitleClock(app, desktop, 0, ""); }
  std::string& Title(WindowHandle h) { return desktop.Window(h).title; }
  int Writes(WindowHandle h) { return desktop.Count("SetTitle", h); }
  // The whole clock record in one line.
  std::string Record() {
    const ClockRecord& c = app.clock;
    return std::to_string(c.Window) + "|" + c.OriginalTitle + "|" + c.LastTitle + "|" + c.Text +
           "|" + (c.Before ? "before" : "after");
  }
};

TEST_F(TitleClock, WrittenOnlyWhenTheTextChangesOnEitherSideAndGivenBackExactly) {
  Tick(kNotepad);
  Tick(kNotepad);
  EXPECT_EQ(Title(kNotepad), "Untitled - Notepad <2003/01/17 17:30:05> ");
  EXPECT_GT(world.locale.reads, 0);
  EXPECT_EQ(Writes(kNotepad), 1);
  SetUtc(8, 30, 6);
  Tick(kNotepad);
  EXPECT_EQ(Writes(kNotepad), 2);
  EXPECT_EQ(Record(),
            "256|Untitled - Notepad|Untitled - Notepad <2003/01/17 17:30:06> | "
            "<2003/01/17 17:30:06> |after");

  // The position changed while shown moves the clock cleanly.
  app.settings.ClockPosition = 0;
  Tick(kNotepad);
  EXPECT_EQ(Title(kNotepad), " <2003/01/17 17:30:06> Untitled - Notepad");
  EXPECT_TRUE(app.clock.Before);
  // Restoring uses the position it was written at, whatever the setting says now.
  app.settings.ClockPosition = 1;
  Off();
  EXPECT_EQ(Title(kNotepad), kNotepadTitle);
  EXPECT_EQ(Record(), "0||||after");
}

TEST_F(TitleClock, AWindowThatRetitlesItselfKeepsItsNewTitle) {
  Tick(kNotepad);
  Title(kNotepad) = "memo.txt - Notepad";
  Tick(kNotepad);
  EXPECT_EQ(Title(kNotepad), "memo.txt - Notepad <2003/01/17 17:30:05> ");
  EXPECT_EQ(app.clock.OriginalTitle, "memo.txt - Notepad");
  // Shorter than our text: nothing is cut.
  Title(kNotepad) = "X";
  Tick(kNotepad);
  EXPECT_EQ(Title(kNotepad), "X <2003/01/17 17:30:05> ");
  // A title the window changed itself is left at restore.
  Title(kNotepad) = "Saved - Notepad";
  desktop.ClearLog();
  Off();
  EXPECT_EQ(Writes(kNotepad), 0);
  EXPECT_EQ(Title(kNotepad), "Saved - Notepad");
  EXPECT_EQ(app.clock.Window, 0u);
}

TEST_F(TitleClock, ATitleNotGivenBackIsOwedUntilTheWindowTakesItOrGoes) {
  for (const std::string then : {"answers", "goes", "gets the clock again"}) {
    SCOPED_TRACE(then);
    Tick(kNotepad);
    desktop.Window(kNotepad).hung = true;
    Off();
    RetryTitleRestores(app, desktop);
    ASSERT_EQ(app.PendingTitles.size(), 1u);
    desktop.Window(kNotepad).hung = false;
    if (then == "goes") desktop.Close(kNotepad);
    if (then == "gets the clock again") {
      Tick(kNotepad);
      EXPECT_TRUE(app.PendingTitles.empty());
      EXPECT_EQ(Title(kNotepad), kNotepadTitle + " <2003/01/17 17:30:05> ");
      Off();
    }
    RetryTitleRestores(app, desktop);
    EXPECT_TRUE(app.PendingTitles.empty());
    if (then != "goes") {
      EXPECT_EQ(Title(kNotepad), kNotepadTitle);
    }
    desktop.AddWindow(kNotepad, kNotepadTitle, "Notepad", Rect{0, 0, 400, 300});
  }
}

}  // namespace
}  // namespace tomari
