#include "perch/exclusion.h"

#include <gtest/gtest.h>

#include "support/world.h"

namespace tomari {
namespace {

constexpr WindowHandle kDialog = 0x20;

TEST(Exclusion, OwnWindowsAndTheNullHandleAreAlwaysExcludedAndNoEntriesReadNothing) {
  test::World w;  // the widget is our only window
  w.app.ownWindows.Add(kDialog);
  const auto excluded = [&w](WindowHandle h) { return IsExcludedWindow(w.app, w.desktop, h); };
  EXPECT_TRUE(excluded(0) && excluded(test::kWidget) && excluded(kDialog));
  EXPECT_FALSE(excluded(0x100));
  EXPECT_EQ(w.desktop.reads.getTitle + w.desktop.reads.getClassName, 0);
}

TEST(ExclusionMatches, TitleAndClassRules) {
  struct Case {
    std::string wantTitle;
    int inTitle;
    std::string wantClass, title, cls;
    bool match;
  };
  const Case cases[] = {
      // Contained title, case ignored.
      {"notepad", 1, "", "Untitled - NOTEPAD", "Notepad", true},
      {"þà", 0, "", "ÞÀ", "X", true},  // Latin-1 letters up to the last one fold too
      // Whole title, case ignored.
      {"Notepad", 0, "", "Untitled - Notepad", "Notepad", false},
      // Class only: any title.
      {"", 0, "notepad", "whatever", "Notepad", true},
      // Both given: both must match.
      {"Notepad", 1, "Edit", "Untitled - Notepad", "Notepad", false},
      // Japanese titles; full-width Latin letters fold like ASCII ones.
      {"メモ帳", 1, "", "無題 - メモ帳", "Notepad", true},
      {"ｎｏｔｅ", 1, "", "無題 - ＮＯＴＥ", "X", true},
      // Kana types are not folded: hiragana and katakana stay different.
      {"めも", 1, "", "メモ", "X", false},
      // Greek letters fold.
      {"αβγ", 1, "", "xΑΒΓx", "X", true},
      // A character must not match half of another one.
      {"\xE3\x81", 1, "", "\xE3\x81\x82", "X", false},
      // Broken UTF-8 compares byte for byte and does not break the test.
      {"a\xFF", 0, "", "A\xFF", "X", true},
      {"a\xFF", 0, "", "A\xFE", "X", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ExclusionMatches({"entry", c.wantTitle, c.inTitle, c.wantClass}, c.title, c.cls),
              c.match)
        << c.wantTitle << " / " << c.wantClass << " vs " << c.title;
}

}  // namespace
}  // namespace tomari
