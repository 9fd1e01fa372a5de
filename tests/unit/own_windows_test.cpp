#include "app/own_windows.h"

#include <gtest/gtest.h>

namespace tomari {
namespace {

constexpr WindowHandle kWidget = 0x10, kSettings = 0x20, kEditor = 0x30;

TEST(OwnWindows, DialogsOpenAndCloseAroundTheWidgetsSlot) {
  OwnWindowList list;
  list.Reset();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Add(kWidget), 1);
  EXPECT_EQ(list.Add(kSettings), 2);
  const int editorSlot = list.Add(kEditor);
  EXPECT_EQ(editorSlot, 3);
  EXPECT_EQ(list.Count(), 3);

  list.Remove(editorSlot);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_FALSE(list.Contains(kEditor));
  EXPECT_TRUE(list.Contains(kSettings));

  list.Remove(2);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.At(1), kWidget);
  EXPECT_EQ(list.At(0), 0u);
  EXPECT_FALSE(list.Contains(kSettings));
}

TEST(OwnWindows, NullHandleAlwaysCounts) {
  OwnWindowList list;
  EXPECT_TRUE(list.Contains(0));
  list.Add(kWidget);
  list.Reset();
  EXPECT_TRUE(list.Contains(0));
  EXPECT_FALSE(list.Contains(kWidget));
  EXPECT_EQ(list.Count(), 0);
}

TEST(OwnWindows, RemovingAMiddleSlotClosesTheGapAndBadSlotsAreIgnored) {
  OwnWindowList list;
  list.Add(kWidget);
  list.Add(kSettings);
  list.Add(kEditor);
  list.Remove(0);   // the null slot is not removable
  list.Remove(4);   // past the end
  list.Remove(-1);
  EXPECT_EQ(list.Count(), 3);
  list.Remove(2);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.At(1), kWidget);
  EXPECT_EQ(list.At(2), kEditor);
  EXPECT_TRUE(list.Contains(0));
}

}  // namespace
}  // namespace tomari
