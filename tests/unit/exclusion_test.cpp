#include "perch/exclusion.h"

#include <gtest/gtest.h>

#include "support/world.h"

namespace tomari {
namespace {

using test::kWidget;

constexpr WindowHandle kDialog = 0x20, kNotepad = 0x100, kOther = 0x200;

ExclusionEntry Entry(std::string title, int inTitle, std::string cls) {
  return ExclusionEntry{"entry", std::move(title), inTitle, std::move(cls)};
}

// The world begins with the widget as our only window.
class Exclusion : public ::testing::Test, protected test::World {
 protected:
  Exclusion() {
    app.ownWindows.Add(kDialog);
    desktop.AddWindow(kNotepad, "Untitled - Notepad", "Notepad", Rect{0, 0, 100, 100});
    desktop.AddWindow(kOther, "Report.xlsx", "XLMAIN", Rect{0, 0, 100, 100});
  }
  bool Excluded(WindowHandle h) { return IsExcludedWindow(app, desktop, h); }
};

TEST_F(Exclusion, OwnWindowsAndTheNullHandleAreAlwaysExcludedAndNoEntriesReadNothing) {
  EXPECT_TRUE(Excluded(0) && Excluded(kWidget) && Excluded(kDialog));
  EXPECT_FALSE(Excluded(kNotepad));
  EXPECT_EQ(desktop.reads.getTitle + desktop.reads.getClassName, 0);
  app.ownWindows.Remove(2);  // the dialog closed
  EXPECT_FALSE(Excluded(kDialog));
}

TEST(ExclusionMatches, TitleAndClassRules) {
  struct Case {
    ExclusionEntry entry;
    std::string title, cls;
    bool match;
  };
  const Case cases[] = {
      // Contained title, case ignored.
      {Entry("notepad", 1, ""), "Untitled - NOTEPAD", "Notepad", true},
      {Entry("þà", 0, ""), "ÞÀ", "X", true},  // Latin-1 letters up to the last one fold too
      // Whole title, case ignored.
      {Entry("Notepad", 0, ""), "Untitled - Notepad", "Notepad", false},
      {Entry("Notepad", 0, ""), "NOTEPAD", "X", true},
      // Class only: any title.
      {Entry("", 0, "notepad"), "whatever", "Notepad", true},
      {Entry("", 1, "Notepad"), "", "NotepadX", false},
      // Both given: both must match.
      {Entry("Notepad", 1, "Edit"), "Untitled - Notepad", "Notepad", false},
      {Entry("Word", 1, "Notepad"), "Untitled - Notepad", "Notepad", false},
      // Japanese titles; full-width Latin letters fold like ASCII ones.
      {Entry("メモ帳", 1, ""), "無題 - メモ帳", "Notepad", true},
      {Entry("ｎｏｔｅ", 1, ""), "無題 - ＮＯＴＥ", "X", true},
      // Width is not folded: full-width and ASCII letters stay different.
      {Entry("Note", 1, ""), "ＮＯＴＥ", "X", false},
      // Kana types are not folded either.
      {Entry("めも", 1, ""), "メモ", "X", false},
      // Greek letters fold.
      {Entry("αβγ", 1, ""), "xΑΒΓx", "X", true},
      // A character must not match half of another one.
      {Entry("\xE3\x81", 1, ""), "\xE3\x81\x82", "X", false},
      // Broken UTF-8 compares byte for byte and does not break the test.
      {Entry("a\xFF", 0, ""), "A\xFF", "X", true},
      {Entry("a\xFF", 0, ""), "A\xFE", "X", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ExclusionMatches(c.entry, c.title, c.cls), c.match)
        << c.entry.WindowTitle << " / " << c.entry.WindowClass << " vs " << c.title;
}

TEST_F(Exclusion, AnyMatchingEntryExcludesAndTitlesAreReadAfreshOnEveryCall) {
  app.settings.ExclusionEntries = {Entry("Excel", 1, ""), Entry("", 0, "notepad"),
                                   Entry("Report", 1, "Other")};
  EXPECT_TRUE(Excluded(kNotepad));
  EXPECT_FALSE(Excluded(kOther));
  app.settings.ExclusionEntries.push_back(Entry("report", 1, "xlmain"));
  EXPECT_TRUE(Excluded(kOther));
  // The title clock, or the program itself, changes the title.
  app.settings.ExclusionEntries = {Entry("Report.xlsx", 0, "")};
  desktop.Window(kOther).title = "Report.xlsx 12:00:01";
  EXPECT_FALSE(Excluded(kOther));
}

TEST_F(Exclusion, TitleAndClassAreReadOncePerCallAtMost) {
  // Reads counted as title * 10 + class: where no title matched no class is
  // needed, class entries need no title, and a match on both reads each once.
  const struct {
    bool titled, match;
    int reads;
  } kCases[] = {{true, false, 10}, {false, false, 1}, {false, true, 11}};
  for (const auto& c : kCases) {
    app.settings.ExclusionEntries.clear();
    for (int i = 0; i < 20; ++i)
      app.settings.ExclusionEntries.push_back(
          Entry(c.titled ? "Title " + std::to_string(i) : "", i % 2, "Class" + std::to_string(i)));
    if (c.match) app.settings.ExclusionEntries.push_back(Entry("notepad", 1, "NOTEPAD"));
    desktop.ClearLog();
    EXPECT_EQ(Excluded(kNotepad), c.match);
    EXPECT_EQ(desktop.reads.getTitle * 10 + desktop.reads.getClassName, c.reads);
  }
}

}  // namespace
}  // namespace tomari
