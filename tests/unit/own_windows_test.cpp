#include "app/own_windows.h"

#include <gtest/gtest.h>

namespace tomari {
namespace {

constexpr WindowHandle kWidget = 0x10, kSettings = 0x20, kEditor = 0x30;

TEST(OwnWindows, DialogsOpenAndCloseAroundTheWidgetsSlot) {
  OwnWindowList list;
  EXPECT_TRUE(list.Contains(0)) << "the null handle always counts";
  EXPECT_EQ(list.Add(kWidget), 1);
  EXPECT_EQ(list.Add(kSettings), 2);
  EXPECT_EQ(list.Add(kEditor), 3);
  for (int bad : {0, 4, -1}) list.Remove(bad);  // the null slot and slots past either end
  EXPECT_EQ(list.Count(), 3);

  list.Remove(2);  // a middle slot: the gap closes
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.At(1), kWidget);
  EXPECT_EQ(list.At(2), kEditor);
  EXPECT_EQ(list.At(0), 0u);
  EXPECT_FALSE(list.Contains(kSettings));
  EXPECT_TRUE(list.Contains(kEditor));
  list.Remove(2);
  EXPECT_FALSE(list.Contains(kEditor));

  list.Reset();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(list.Contains(0));
  EXPECT_FALSE(list.Contains(kWidget));
}

}  // namespace
}  // namespace tomari
