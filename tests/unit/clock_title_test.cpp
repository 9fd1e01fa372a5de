// The clock in other windows' titles: writing it, keeping up with the window's
// own title, and giving every title back exactly.
#include <gtest/gtest.h>

#include "clock/title_clock.h"
#include "support/fake_desktop.h"
#include "support/world.h"

namespace tomari {
namespace {

constexpr WindowHandle kNotepad = 0x100;
const std::string kNotepadTitle = "Untitled - Notepad";

class TitleClock : public testing::Test {
 protected:
  test::World world;
  test::FakeDesktop& desktop = world.desktop;
  App& app = world.app;

  TitleClock() {
    desktop.AddWindow(kNotepad, kNotepadTitle, "Notepad", Rect{0, 0, 400, 300});
    world.clock.utc = DateTime{2003, 1, 17, 8, 30, 5, 0, 0};
  }

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

TEST_F(TitleClock, WrittenOnlyWhenTheTextChangesAndMovedCleanlyToTheOtherSide) {
  Tick(kNotepad);
  Tick(kNotepad);
  EXPECT_EQ(Writes(kNotepad), 1);
  world.clock.utc.second = 6;
  Tick(kNotepad);
  EXPECT_EQ(Record(),
            "256|Untitled - Notepad|Untitled - Notepad <2003/01/17 17:30:06> | "
            "<2003/01/17 17:30:06> |after");

  // The position changed while shown moves the clock cleanly.
  app.settings.ClockPosition = 0;
  Tick(kNotepad);
  EXPECT_EQ(Title(kNotepad), " <2003/01/17 17:30:06> Untitled - Notepad");
}

TEST_F(TitleClock, AWindowThatRetitlesItselfKeepsItsNewTitle) {
  Tick(kNotepad);
  Title(kNotepad) = "memo.txt - Notepad";
  Tick(kNotepad);
  EXPECT_EQ(Title(kNotepad), "memo.txt - Notepad <2003/01/17 17:30:05> ");
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
}

TEST_F(TitleClock, ATitleNotGivenBackIsOwedUntilTheWindowTakesItOrGoes) {
  // The clock goes off while the window hangs: its title is owed.
  auto offWhileHung = [&] {
    Tick(kNotepad);
    desktop.Window(kNotepad).hung = true;
    Off();
    RetryTitleRestores(app, desktop);
    EXPECT_EQ(app.PendingTitles.size(), 1u);
    desktop.Window(kNotepad).hung = false;
  };
  offWhileHung();
  RetryTitleRestores(app, desktop);  // it answers again
  EXPECT_EQ(Title(kNotepad), kNotepadTitle);
  offWhileHung();
  Tick(kNotepad);  // it gets the clock again: the owed title is carried on, not decorated twice
  EXPECT_EQ(Title(kNotepad), kNotepadTitle + " <2003/01/17 17:30:05> ");
  offWhileHung();
  desktop.Close(kNotepad);  // it goes
  RetryTitleRestores(app, desktop);
  EXPECT_TRUE(app.PendingTitles.empty());
}

}  // namespace
}  // namespace tomari
