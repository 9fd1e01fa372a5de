#include <gtest/gtest.h>

#include "dialogs/text_grab.h"
#include "support/fake_text_grab.h"

namespace tomari {
namespace {

constexpr WindowHandle kTarget = 0x100;

struct GrabWorld {
  test::FakeWindowTexts win;
  test::FakeClipboard clip;
  TextGrabModel model{win, clip};

  GrabWorld() {
    win.titles[kTarget] = "Form";
    win.children[kTarget] = {0x201, 0x202, 0x203, 0x204};
    win.texts = {{0x201, "OK"}, {0x202, ""}, {0x203, "OK"}, {0x204, "Cancel"}};
  }
};

TEST(TextGrab, TitleThenNonEmptyChildrenAndTheSelectedChildIsReadAgain) {
  GrabWorld w;
  // Long texts are cut to whole characters.
  const std::string cut(kMaxGrabbedChars - 1, 'a');
  w.win.texts[0x204] = cut + "日本";
  w.model.Collect(kTarget);
  EXPECT_FALSE(w.model.Copy());  // nothing selected yet
  EXPECT_EQ(
      w.model.Entries(),
      (std::vector<GrabEntry>{{"Form", 0}, {"OK", 0x201}, {"OK", 0x203}, {cut + "日", 0x204}}));

  w.win.texts[0x204] = "Abort";
  EXPECT_EQ(w.model.Select(3), "Abort");
  w.win.texts[0x204] = "한국어 😀";
  EXPECT_TRUE(w.model.Copy());
  EXPECT_EQ(w.clip.text, "한국어 😀");
  w.win.titles[kTarget] = "Renamed";
  EXPECT_EQ(w.model.Select(0), "Form");  // the title entry shows what was collected
  EXPECT_TRUE(w.model.Copy());
  EXPECT_EQ(w.model.Select(9), "");  // no such entry
  EXPECT_EQ(w.model.Selected(), -1);
}

TEST(TextGrab, HungChildrenShareOneBudget) {
  GrabWorld w;
  w.win.children[kTarget] = {0x301, 0x302, 0x201};
  w.win.hung[0x301] = w.win.hung[0x302] = true;
  w.model.Collect(kTarget);
  EXPECT_LE(w.win.now, kGrabBudgetMs);
  EXPECT_EQ(w.win.messageReads, 1);  // the first hung child spent it all
  // A later re-read gets a budget of its own.
  w.win.children[kTarget] = {0x201};
  w.model.Collect(kTarget);
  EXPECT_EQ(w.model.Select(1), "OK");
}

}  // namespace
}  // namespace tomari
