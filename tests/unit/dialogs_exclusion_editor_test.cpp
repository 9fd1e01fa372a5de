#include <gtest/gtest.h>

#include "dialogs/exclusion_editor.h"
#include "support/world.h"

namespace tomari {
namespace {

constexpr WindowHandle kTarget = 0x100;

TEST(ExclusionEditor, ConfirmChecksTrimsAndWritesBack) {
  const struct {
    const char *name, *title, *cls, *message;
  } cases[] = {{"", "T", "C", kExclusionNameMissing},
               {"   ", "T", "C", kExclusionNameMissing},
               {"n", "  ", " ", kExclusionTargetMissing},
               {" n ", " T ", "", ""},
               {"n", "", " C", ""}};
  for (const auto& c : cases) {
    const ExclusionEntry before{"", "orig", 0, "cls"};
    ExclusionEntry buffer = before;
    ExclusionEditor editor(buffer);
    editor.name = c.name;
    editor.title = c.title;
    editor.windowClass = c.cls;
    editor.inTitle = true;
    EXPECT_EQ(editor.Confirm(buffer), c.message) << c.name << "|" << c.title;
    const ExclusionEntry confirmed{"n", TrimBlanks(c.title), 1, TrimBlanks(c.cls)};
    EXPECT_EQ(buffer, *c.message ? before : confirmed) << c.name << "|" << c.title;
  }
}

TEST(ExclusionEditor, PrefillDropsOurClockOnEitherSide) {
  const struct {
    const char *shown, *lastWritten, *expected;
  } cases[] = {
      {"Memo <12:00>", "Memo <12:00>", "Memo"},
      {"<12:00> Memo", "<12:00> Memo", "Memo"},
      {"Memo", "Memo <12:00>", "Memo"},     // the window has dropped it already
      {"Memo <12:00>", "", "Memo <12:00>"}  // no clock of ours
  };
  for (const auto& c : cases) {
    test::World w;
    w.desktop.AddWindow(kTarget, c.shown, "Edit", {0, 0, 10, 10});
    if (*c.lastWritten) w.app.clock = ClockRecord(kTarget, "Memo", c.lastWritten);
    // The whole title, not a part of it, and the class: as saved, it matches the window.
    EXPECT_EQ(PrefillExclusion(w.app, w.desktop, kTarget),
              (ExclusionEntry{"", c.expected, 0, "Edit"}))
        << c.shown;
  }
}

}  // namespace
}  // namespace tomari
