#include <gtest/gtest.h>

#include "perch/exclusion.h"
#include "dialogs/exclusion_editor.h"
#include "support/world.h"

namespace tomari {
namespace {

constexpr WindowHandle kTarget = 0x100;

TEST(ExclusionEditor, ConfirmChecksTrimsAndWritesBack) {
  struct Case {
    const char* name;
    const char* title;
    const char* cls;
    const char* message;
  };
  const Case cases[] = {
      {"", "T", "C", kExclusionNameMissing},
      {"   ", "T", "C", kExclusionNameMissing},
      {"n", "  ", " ", kExclusionTargetMissing},
      {" n ", " T ", "", ""},
      {"n", "", " C", ""},
  };
  for (const Case& c : cases) {
    const ExclusionEntry before{"", "orig", 0, "cls"};
    ExclusionEntry buffer = before;
    ExclusionEditor editor(buffer);
    editor.name = c.name;
    editor.title = c.title;
    editor.windowClass = c.cls;
    editor.inTitle = true;
    EXPECT_EQ(editor.Confirm(buffer), c.message) << c.name << "|" << c.title;
    if (*c.message != 0) {
      EXPECT_EQ(buffer, before);
    } else {
      EXPECT_EQ(buffer, (ExclusionEntry{"n", TrimBlanks(c.title), 1, TrimBlanks(c.cls)}));
    }
  }
}

struct ExclusionWorld : test::World {
  ExclusionWorld() {
    desktop.AddWindow(kTarget, "Memo <12:00>", "Edit", {0, 0, 100, 100});
    app.TargetWindow = kTarget;
    app.clock = ClockRecord(kTarget, "Memo", "Memo <12:00>");
  }
};

TEST(ExclusionEditor, AddingTheTargetStripsOurClockAppendsAndSaves) {
  ExclusionWorld w;
  ExclusionEntry seen;
  const auto result = AddTargetExclusion(w.app, w.ports, [&](ExclusionEntry& buffer) {
    seen = buffer;
    buffer.Name = "memo";
  });
  EXPECT_EQ(seen, (ExclusionEntry{"", "Memo", 0, "Edit"}));
  EXPECT_EQ(result, ExclusionAdd::kSaved);
  ASSERT_EQ(w.app.settings.ExclusionEntries.size(), 1u);
  EXPECT_NE(w.files.Get("C:\\Tomari\\Setting.ini")->find("memo"), std::string::npos);
  // Once the clock is gone the exact-title entry matches.
  w.desktop.Window(kTarget).title = "Memo";
  EXPECT_TRUE(IsExcludedWindow(w.app, w.desktop, kTarget));
}

TEST(ExclusionEditor, CancelStoresNothingAndAFailedSaveIsReported) {
  ExclusionWorld w;
  EXPECT_EQ(AddTargetExclusion(w.app, w.ports, [](ExclusionEntry&) {}), ExclusionAdd::kCancelled);
  EXPECT_EQ(w.files.writeCalls, 0u);
  w.files.failWrites = true;
  EXPECT_EQ(AddTargetExclusion(w.app, w.ports, [](ExclusionEntry& b) { b.Name = "x"; }),
            ExclusionAdd::kNotSaved);
  EXPECT_EQ(w.app.settings.ExclusionEntries.size(), 1u);
}


TEST(ExclusionEditor, PrefillDropsOurClockOnEitherSide) {
  struct Case {
    const char* shown;
    const char* lastWritten;
    const char* expected;
  };
  const Case cases[] = {
      {"Memo <12:00>", "Memo <12:00>", "Memo"},
      {"<12:00> Memo", "<12:00> Memo", "Memo"},
      {"Memo", "Memo <12:00>", "Memo"},  // the window has dropped it already
      {"Memo <12:00>", "", "Memo <12:00>"},  // no clock of ours
  };
  for (const Case& c : cases) {
    test::World w;
    w.desktop.AddWindow(kTarget, c.shown, "Edit", {0, 0, 10, 10});
    if (*c.lastWritten) w.app.clock = ClockRecord(kTarget, "Memo", c.lastWritten);
    EXPECT_EQ(PrefillExclusion(w.app, w.desktop, kTarget).WindowTitle, c.expected) << c.shown;
  }
}

}  // namespace
}  // namespace tomari
