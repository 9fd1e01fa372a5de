#include <gtest/gtest.h>

#include "dialogs/exclusion_editor.h"
#include "perch/exclusion.h"
#include "support/world.h"

namespace tomari {
namespace {

constexpr WindowHandle kTarget = 0x100;

TEST(ExclusionEditor, ConfirmChecksTrimsAndWritesBack) {
  const struct {
    const char *name, *title, *cls, *message;
  } cases[] = {
      {"", "T", "C", kExclusionNameMissing},   {"   ", "T", "C", kExclusionNameMissing},
      {"n", "  ", " ", kExclusionTargetMissing}, {" n ", " T ", "", ""}, {"n", "", " C", ""},
  };
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

TEST(ExclusionEditor, AddingTheTargetStripsOurClockAppendsAndSaves) {
  test::World w;
  w.desktop.AddWindow(kTarget, "Memo <12:00>", "Edit", {0, 0, 100, 100});
  w.app.TargetWindow = kTarget;
  w.app.clock = ClockRecord(kTarget, "Memo", "Memo <12:00>");
  EXPECT_EQ(AddTargetExclusion(w.app, w.ports, [](ExclusionEntry&) {}), ExclusionAdd::kCancelled);
  EXPECT_EQ(w.files.writeCalls, 0u);

  ExclusionEntry seen;
  const auto result = AddTargetExclusion(w.app, w.ports, [&](ExclusionEntry& buffer) {
    seen = buffer;
    buffer.Name = "memo";
  });
  EXPECT_EQ(seen, (ExclusionEntry{"", "Memo", 0, "Edit"}));
  EXPECT_EQ(result, ExclusionAdd::kSaved);
  EXPECT_NE(w.files.Get("C:\\Tomari\\Setting.ini")->find("memo"), std::string::npos);
  // Once the clock is gone the exact-title entry matches.
  w.desktop.Window(kTarget).title = "Memo";
  EXPECT_TRUE(IsExcludedWindow(w.app, w.desktop, kTarget));

  w.files.failWrites = true;
  EXPECT_EQ(AddTargetExclusion(w.app, w.ports, [](ExclusionEntry& b) { b.Name = "x"; }),
            ExclusionAdd::kNotSaved);
  EXPECT_EQ(w.app.settings.ExclusionEntries.size(), 2u);
}

TEST(ExclusionEditor, PrefillDropsOurClockOnEitherSide) {
  const struct {
    const char *shown, *lastWritten, *expected;
  } cases[] = {
      {"Memo <12:00>", "Memo <12:00>", "Memo"}, {"<12:00> Memo", "<12:00> Memo", "Memo"},
      {"Memo", "Memo <12:00>", "Memo"},          // the window has dropped it already
      {"Memo <12:00>", "", "Memo <12:00>"},      // no clock of ours
  };
  for (const auto& c : cases) {
    test::World w;
    w.desktop.AddWindow(kTarget, c.shown, "Edit", {0, 0, 10, 10});
    if (*c.lastWritten) w.app.clock = ClockRecord(kTarget, "Memo", c.lastWritten);
    EXPECT_EQ(PrefillExclusion(w.app, w.desktop, kTarget).WindowTitle, c.expected) << c.shown;
  }
}

}  // namespace
}  // namespace tomari
