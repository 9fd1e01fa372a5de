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

}  // namespace
}  // namespace tomari
