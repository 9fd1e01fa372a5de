#include "perch/exclusion.h"

#include <gtest/gtest.h>

#include "support/fake_desktop.h"

namespace tomari {
namespace {

using test::FakeDesktop;

constexpr WindowHandle kWidget = 0x10, kDialog = 0x20, kNotepad = 0x100, kOther = 0x200;

ExclusionEntry Entry(std::string title, int inTitle, std::string cls) {
  return ExclusionEntry{"entry", std::move(title), inTitle, std::move(cls)};
}

class Exclusion : public ::testing::Test {
 protected:
  Exclusion() {
    app.ownWindows.Reset();
    app.ownWindows.Add(kWidget);
    app.ownWindows.Add(kDialog);
    desktop.AddWindow(kNotepad, "Untitled - Notepad", "Notepad", Rect{0, 0, 100, 100});
    desktop.AddWindow(kOther, "Report.xlsx", "XLMAIN", Rect{0, 0, 100, 100});
  }
  bool Excluded(WindowHandle h) { return IsExcludedWindow(app, desktop, h); }

  App app;
  FakeDesktop desktop;
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
      {Entry("Notepad", 1, ""), "Untitled - Notepad", "Notepad", true},
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
      // Latin-1, Greek, Cyrillic letters fold.
      {Entry("café", 0, ""), "CAFÉ", "X", true},
      {Entry("αβγ", 1, ""), "xΑΒΓx", "X", true},
      // A character must not match half of another one.
      {Entry("\xE3\x81", 1, ""), "\xE3\x81\x82", "X", false},
      // Broken UTF-8 compares byte for byte and does not break the test.
      {Entry("a\xFF", 0, ""), "A\xFF", "X", true},
      {Entry("a\xFF", 0, ""), "A\xFE", "X", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ExclusionMatches(c.entry, c.title, c.cls), c.match)
        << "title entry '" << c.entry.WindowTitle << "' in=" << c.entry.InTitle << " class '"
        << c.entry.WindowClass << "' vs '" << c.title << "' / '" << c.cls << "'";
}

TEST_F(Exclusion, AnyMatchingEntryExcludes) {
  app.settings.ExclusionEntries = {Entry("Excel", 1, ""), Entry("", 0, "notepad"),
                                   Entry("Report", 1, "Other")};
  EXPECT_TRUE(Excluded(kNotepad));
  EXPECT_FALSE(Excluded(kOther));
  app.settings.ExclusionEntries.push_back(Entry("report", 1, "xlmain"));
  EXPECT_TRUE(Excluded(kOther));
}

TEST_F(Exclusion, TitleAndClassAreReadOncePerCallAtMost) {
  for (int i = 0; i < 20; ++i)
    app.settings.ExclusionEntries.push_back(
        Entry("Title " + std::to_string(i), i % 2, "Class" + std::to_string(i)));
  EXPECT_FALSE(Excluded(kNotepad));
  // No title matched, so no class was ever needed.
  EXPECT_EQ(desktop.reads.getTitle * 10 + desktop.reads.getClassName, 10);
  desktop.ClearLog();
  app.settings.ExclusionEntries.clear();
  for (int i = 0; i < 20; ++i)
    app.settings.ExclusionEntries.push_back(Entry("", 0, "Class" + std::to_string(i)));
  EXPECT_FALSE(Excluded(kNotepad));
  EXPECT_EQ(desktop.reads.getTitle * 10 + desktop.reads.getClassName, 1);
  desktop.ClearLog();
  app.settings.ExclusionEntries.push_back(Entry("notepad", 1, "NOTEPAD"));
  EXPECT_TRUE(Excluded(kNotepad));
  EXPECT_EQ(desktop.reads.getTitle * 10 + desktop.reads.getClassName, 11);
}

TEST_F(Exclusion, TitlesAreReadAfreshOnEveryCall) {
  app.settings.ExclusionEntries = {Entry("Untitled - Notepad", 0, "")};
  EXPECT_TRUE(Excluded(kNotepad));
  // The title clock, or the program itself, changes the title.
  desktop.Window(kNotepad).title = "Untitled - Notepad 12:00:01";
  EXPECT_FALSE(Excluded(kNotepad));
  app.settings.ExclusionEntries = {Entry("Untitled - Notepad", 1, "")};
  EXPECT_TRUE(Excluded(kNotepad));
}

}  // namespace
}  // namespace tomari
