// Values of skin files: colours and cursor names.
#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "skin/skin.h"
#include "support/fake_imaging.h"

namespace tomari {
namespace {

using test::FakeCursorLoader;

TEST(SkinValues, ColoursAreNineWordsInAnyCaseOrHashRedGreenBlue) {
  // What follows the seventh character is ignored; anything else is the default.
  using Row = std::pair<const char*, SkinColor>;
  const Row kRows[] = {{"white", 16777215}, {"BLUE", 16711680},      {"black", 0},
                       {"#ff0000", 255},    {"#0000fF", 16711680},   {"#123456", 0x563412},
                       {"default", -7},     {"#FF00FF x", 16711935}, {"#FF 000", -7},
                       {"#", -7},           {"FF0000", -7},          {"whitey", -7}};
  for (const auto& [text, want] : kRows) EXPECT_EQ(ParseSkinColor(text, -7), want) << text;
  EXPECT_EQ(SkinColorToPixel(0x563412), MakePixel(0x12, 0x34, 0x56));
}

TEST(SkinValues, CursorsBySystemNameOrFromTheSkinFolder) {
  const std::pair<const char*, std::optional<int>> kRows[] = {
      {"", 32512}, {"SizeNWSE", 32642}, {"HANDS", {}}, {"pointer.cur", {}}};
  for (const auto& [text, want] : kRows) EXPECT_EQ(SystemCursorId(text), want) << text;

  FakeCursorLoader cursors;
  cursors.AddFile("C:\\Skins\\A\\pen.cur");
  const SkinCursor file = GetSkinCursor("pen.cur", "C:\\Skins\\A\\", cursors);
  EXPECT_TRUE(file.handle != 0 && file.owned);
  const SkinCursor hand = GetSkinCursor("hand", "C:\\Skins\\A\\", cursors);
  EXPECT_TRUE(hand.handle == FakeCursorLoader::SystemHandle(32649) && !hand.owned);
  const SkinCursor broken = GetSkinCursor("missing.cur", "C:\\Skins\\A\\", cursors);
  EXPECT_TRUE(broken.handle == 0 && !broken.owned);

  // Showing a failed cursor shows the arrow and writes it back.
  CursorHandle none = 0, wait = FakeCursorLoader::SystemHandle(32514);
  SetSkinCursor(none, cursors);
  SetSkinCursor(wait, cursors);
  EXPECT_EQ(none, FakeCursorLoader::SystemHandle(kCursorArrow));
  EXPECT_EQ(cursors.shown, (std::vector<CursorHandle>{none, wait}));
}

}  // namespace
}  // namespace tomari
