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

TEST(TextGrab, TitleFirstThenNonEmptyChildrenWithTheirHandles) {
  GrabWorld w;
  w.win.titles[kTarget] = "";
  // Long texts are cut to whole characters.
  const std::string cut(kMaxGrabbedChars - 1, 'a');
  w.win.texts[0x204] = cut + "日本";
  w.model.Collect(kTarget);
  EXPECT_FALSE(w.model.Copy());  // nothing selected yet
  EXPECT_EQ(w.model.Entries(),
            (std::vector<GrabEntry>{{"", 0}, {"OK", 0x201}, {"OK", 0x203}, {cut + "日", 0x204}}));
}

TEST(TextGrab, SelectAndCopyReadChildTextsAgain) {
  GrabWorld w;
  w.model.Collect(kTarget);
  w.win.texts[0x204] = "Abort";
  EXPECT_EQ(w.model.Select(3), "Abort");
  EXPECT_EQ(w.model.Entries()[3].text, "Cancel");
  w.win.texts[0x204] = "한국어 😀";
  EXPECT_TRUE(w.model.Copy());
  EXPECT_EQ(w.clip.text, "한국어 😀");

  w.win.titles[kTarget] = "Renamed";
  EXPECT_EQ(w.model.Select(0), "Form");  // the title entry shows what was collected
  EXPECT_TRUE(w.model.Copy());
  EXPECT_EQ(w.clip.text, "Form");
  EXPECT_EQ(w.model.Select(9), "");
  EXPECT_EQ(w.model.Selected(), -1);
}

TEST(TextGrab, HungChildrenShareOneBudget) {
  GrabWorld w;
  std::vector<WindowHandle> many;
  for (WindowHandle h = 0x1000; h < 0x1000 + 5000; ++h) {
    many.push_back(h);
    w.win.hung[h] = true;
  }
  many.push_back(0x201);
  w.win.children[kTarget] = many;
  w.model.Collect(kTarget);
  EXPECT_LE(w.win.now, kGrabBudgetMs);
  EXPECT_EQ(w.win.messageReads, 1);  // the first hung child spent it all
  EXPECT_EQ(w.model.Entries().size(), 1u);
  // A later re-read gets a budget of its own.
  w.win.children[kTarget] = {0x201};
  w.model.Collect(kTarget);
  EXPECT_EQ(w.model.Select(1), "OK");
}

}  // namespace
}  // namespace tomari
