// The title clock on a window of another process, under Wine.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>

#include "e2e/e2e_support.h"

using namespace e2e;

namespace {

std::wstring Title(HWND h) {
  wchar_t buf[1024];
  int n = GetWindowTextW(h, buf, 1024);
  return std::wstring(buf, n > 0 ? n : 0);
}

// " <yyyy/mm/dd hh:mm:ss> ": the default clock text.
bool IsDefaultClockText(const std::wstring& s) {
  const std::wstring shape = L" <0000/00/00 00:00:00> ";
  if (s.size() != shape.size()) return false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (shape[i] == L'0' ? !std::iswdigit(s[i]) : s[i] != shape[i]) return false;
  }
  return true;
}

using Tomari = TomariRun;

}  // namespace

TEST(TitleClock, RidesAfterTheTitleAdvancesAndIsRemovedExactlyOnExit) {
  // Korean and an emoji have no Shift-JIS form: the title must survive anyway.
  const std::wstring original = L"時計 테스트 \U0001F426 target";
  Process target;
  HWND t = StartTarget(target, L"--title \"" + original + L"\" --rect 250,250,500,300");
  ASSERT_TRUE(t);
  ASSERT_EQ(Title(t), original);

  Tomari tomari;
  ASSERT_TRUE(tomari.Start(L"clock-after", "[TitleClock]\r\nCheck=-1\r\n"));
  std::wstring first;
  ASSERT_TRUE(WaitUntil(
      [&] {
        first = Title(t);
        return first.size() > original.size() && first.compare(0, original.size(), original) == 0;
      },
      5000))
      << "title stayed: " << first.size() << " characters";
  EXPECT_TRUE(IsDefaultClockText(first.substr(original.size())));
  SaveScreenshot(L"clock-after");

  // The clock advances with the seconds.
  std::wstring later;
  EXPECT_TRUE(WaitUntil(
      [&] {
        later = Title(t);
        return later != first;
      },
      3000));
  EXPECT_TRUE(IsDefaultClockText(later.substr(original.size())));

  ASSERT_TRUE(tomari.Close());
  EXPECT_EQ(Title(t), original);
}

TEST(TitleClock, StandsBeforeTheTitleAndLeavesAWindowThatIsNoLongerTheTarget) {
  const std::wstring firstTitle = L"最初のウインドウ";
  const std::wstring secondTitle = L"二番目のウインドウ";
  Process p1, p2;
  HWND w1 = StartTarget(p1, L"--title \"" + firstTitle + L"\" --rect 100,150,400,250");
  ASSERT_TRUE(w1);

  Tomari tomari;
  ASSERT_TRUE(tomari.Start(
      L"clock-before", "[TitleClock]\r\nCheck=-1\r\nPosition=0\r\nFormatText=\"[hh:mm] \"\r\n"));
  std::wstring decorated;
  ASSERT_TRUE(WaitUntil(
      [&] {
        decorated = Title(w1);
        return decorated.size() == firstTitle.size() + 8;
      },
      5000));
  EXPECT_EQ(decorated.substr(8), firstTitle);
  EXPECT_EQ(decorated[0], L'[');
  EXPECT_EQ(decorated.substr(6, 2), L"] ");

  // Another window comes to the front: the first gets its title back.
  HWND w2 = StartTarget(p2, L"--title \"" + secondTitle + L"\" --rect 500,300,400,250");
  ASSERT_TRUE(w2);
  EXPECT_TRUE(WaitUntil([&] { return Title(w1) == firstTitle; }, 5000));
  EXPECT_TRUE(WaitUntil([&] { return Title(w2).size() == secondTitle.size() + 8; }, 5000));

  ASSERT_TRUE(tomari.Close());
  EXPECT_EQ(Title(w1), firstTitle);
  EXPECT_EQ(Title(w2), secondTitle);
}
