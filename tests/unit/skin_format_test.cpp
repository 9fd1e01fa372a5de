// Values of skin files: colours and cursor names.
#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "skin/skin.h"
#include "support/fake_files.h"
#include "support/fake_imaging.h"

namespace tomari {
namespace {

using test::FakeCursorLoader;

TEST(SkinValues, ColoursAreNineWordsInAnyCaseOrHashRedGreenBlue) {
  // What follows the seventh character is ignored.
  using Row = std::pair<const char*, SkinColor>;
  const Row kRows[] = {{"white", 16777215},
                       {"WHITE", 16777215},
                       {"Red", 255},
                       {"BLUE", 16711680},
                       {"black", 0},
                       {"#ff0000", 255},
                       {"#0000fF", 16711680},
                       {"#123456", 0x563412},
                       {"#FF00FF x", 16711935},
                       {"default", -7},
                       {"FF0000", -7},
                       {"#FF00F", -7},
                       {"#GG0000", -7},
                       {"#FF 000", -7},
                       {"", -7},
                       {"#", -7},
                       {" white", -7},
                       {"whitey", -7}};
  for (const auto& [text, want] : kRows) EXPECT_EQ(ParseSkinColor(text, -7), want) << text;
  EXPECT_EQ(SkinColorToPixel(0x563412), MakePixel(0x12, 0x34, 0x56));
}

}  // namespace
}  // namespace tomari
