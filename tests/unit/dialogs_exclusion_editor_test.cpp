#include <gtest/gtest.h>

#include <tuple>

#include "dialogs/exclusion_editor.h"
#include "support/world.h"

namespace tomari {
namespace {

constexpr WindowHandle kTarget = 0x100;

TEST(ExclusionEditor, ConfirmChecksTrimsAndWritesBack) {
  using Row = std::tuple<const char*, const char*, const char*, const char*>;
  for (const auto& [name, title, cls, message] :
       {Row{"   ", "T", "C", kExclusionNameMissing}, Row{"n", "  ", " ", kExclusionTargetMissing},
        Row{" n ", " T ", "", ""}, Row{"n", "", " C", ""}}) {
    const ExclusionEntry before{"", "orig", 0, "cls"};
    ExclusionEntry buffer = before;
    const ExclusionEditor editor(ExclusionEntry{name, title, 1, cls});
    EXPECT_EQ(editor.Confirm(buffer), message) << name << "|" << title;
    const ExclusionEntry confirmed{"n", TrimBlanks(title), 1, TrimBlanks(cls)};
    EXPECT_EQ(buffer, *message ? before : confirmed) << name << "|" << title;
  }
}

TEST(ExclusionEditor, PrefillDropsOurClockOnEitherSide) {
  using Row = std::tuple<const char*, const char*, const char*>;  // shown, last written, expected
  for (const auto& [shown, lastWritten, expected] :
       {Row{"Memo <12:00>", "Memo <12:00>", "Memo"}, Row{"<12:00> Memo", "<12:00> Memo", "Memo"},
        Row{"Memo", "Memo <12:00>", "Memo"},         // the window has dropped it already
        Row{"Memo <12:00>", "", "Memo <12:00>"}}) {  // no clock of ours
    test::World w;
    w.desktop.AddWindow(kTarget, shown, "Edit", {0, 0, 10, 10});
    if (*lastWritten) w.app.clock = ClockRecord(kTarget, "Memo", lastWritten);
    // The whole title, not a part of it, and the class: as saved, it matches the window.
    EXPECT_EQ(PrefillExclusion(w.app, w.desktop, kTarget),
              (ExclusionEntry{"", expected, 0, "Edit"}))
        << shown;
  }
}

}  // namespace
}  // namespace tomari
