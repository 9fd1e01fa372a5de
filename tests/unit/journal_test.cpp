// The journal of changes made to other programs' windows: written as a change
// is made, emptied as it is given back, and what a later run gives back from it.
#include "app/journal.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "perch/recovery.h"
#include "perch/shutdown.h"
#include "perch/tracking.h"
#include "support/world.h"

namespace tomari {
namespace {

using test::FakeWindow;

constexpr WindowHandle kT = 0x100;
// Tabs, line ends and backslashes must come back from the file as they were.
const std::string kTitle = "Tab\there\\ and\nnew line";

struct JournalWorld : test::World {
  JournalWorld() {
    app.journal.Enabled = true;
    app.menu.TitleClockChecked = true;
    desktop.AddWindow(kT, kTitle, "TargetClass", Rect{200, 200, 600, 500}).process = 42;
    desktop.SetForegroundWindow(kT);
    TrackingTick(app, ports);
  }
  std::vector<JournalEntry> OnFile() {
    return ParseJournal(files.Get(JournalPath(app)).value_or(""));
  }
  // Our three changes on kT: clock (by the tick), top-most, opacity 100.
  void ChangeAll() {
    app.settings.LayerTransparency = 100;
    Menu_WindowSet_Click(app, ports);
    Menu_TopMost_Click(app, ports);
    Menu_Layer_Click(app, ports);
  }
  // A new run on the same desktop, as after a kill.
  void Restart() {
    const StartupFacts facts = app.facts;
    app = App{};
    app.facts = facts;
    app.journal.Enabled = true;
    RecoverFromJournal(app, ports);
  }
};

TEST(Journal, RecordsEachChangeAsMadeAndIsEmptiedAsItIsGivenBack) {
  JournalWorld w;
  const std::vector<JournalEntry> e = w.OnFile();
  ASSERT_EQ(e.size(), 1u);
  EXPECT_TRUE(e[0].Title && !e[0].Attributes) << "the clock alone, written by the tick";
  // What the changes write is what a new run reads back: see below.
  w.ChangeAll();
  EXPECT_EQ(w.OnFile().size(), 1u) << "one entry per window: the changes join the clock's";

  // Ticks whose clock only moved on keep the file as it is, and do not ask
  // the window again who it is.
  const std::size_t writes = w.files.WriteCount(JournalPath(w.app));
  const int classReads = w.desktop.reads.getClassName;
  for (w.clock.utc.second = 6; w.clock.utc.second < 12; ++w.clock.utc.second)
    TrackingTick(w.app, w.ports);
  EXPECT_EQ(w.files.WriteCount(JournalPath(w.app)), writes);
  EXPECT_EQ(w.desktop.reads.getClassName, classReads);

  CloseRequest(w.app, w.ports);
  EXPECT_FALSE(w.files.Get(JournalPath(w.app))) << "nothing owed, no file left";
}

TEST(Journal, ANewRunGivesBackOnlyWhatTheSameWindowStillShowsOfOurs) {
  struct Case {
    const char* what;
    std::function<void(FakeWindow&)> meanwhile;
    bool title, topMost, layer;  // given back
    bool kept = false;           // still owed afterwards
    bool hungAtClose = false;    // the window hung while the last run closed
  };
  const Case cases[] = {
      {"untouched", [](FakeWindow&) {}, true, true, true},
      // A digit of the seconds ("...:ss> ") moves on: 0 and 1, 2 and 3, ... swap.
      {"clock moved on", [](FakeWindow& t) { t.title[t.title.size() - 3] ^= 1; }, true, true, true},
      {"own new title", [](FakeWindow& t) { t.title = "Renamed"; }, false, true, true},
      {"title edited", [](FakeWindow& t) { t.title.replace(0, 1, "X"); }, false, true, true},
      {"top-most taken off", [](FakeWindow& t) { t.exStyle &= ~kExTopMost; }, true, false, true},
      {"other opacity", [](FakeWindow& t) { t.layered.alpha = 200; }, true, true, false},
      {"handle of another process", [](FakeWindow& t) { t.process = 43; }, false, false, false},
      {"closed", [](FakeWindow& t) { t.alive = false; }, false, false, false},
      // Top-most goes back without the window's help; the rest waits for it.
      {"hung", [](FakeWindow& t) { t.hung = true; }, false, true, false, true},
      // The close keeps what the window could not take for the next start.
      {"hung at the close", [](FakeWindow&) {}, true, true, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    JournalWorld w;
    w.ChangeAll();
    FakeWindow& t = w.desktop.Window(kT);
    c.meanwhile(t);
    if (c.hungAtClose) {
      t.hung = true;
      CloseRequest(w.app, w.ports);
      t.hung = false;
    }
    const FakeWindow before = t;
    w.Restart();
    EXPECT_EQ(t.title, c.title ? kTitle : before.title);
    EXPECT_EQ(t.exStyle & kExTopMost, c.topMost ? 0u : before.exStyle & kExTopMost);
    EXPECT_EQ(t.exStyle & kExLayered, c.layer ? 0u : before.exStyle & kExLayered);
    EXPECT_EQ(w.OnFile().empty(), !c.kept);
  }
}

}  // namespace
}  // namespace tomari
