// Scaling a skin to the monitor's DPI.
#include "skin/skin_scale.h"

#include <gtest/gtest.h>

namespace tomari {
namespace {

constexpr Pixel kBlack = 0x000000, kWhite = 0xFFFFFF, kKey = 0xFF00FF;
constexpr SkinColor kKeyColor = 0xFF00FF;  // skin colours are written as #RRGGBB

Bitmap Row(std::initializer_list<Pixel> pixels) {
  Bitmap b(static_cast<int>(pixels.size()), 1);
  b.pixels.assign(pixels);
  return b;
}

TEST(SkinScaleTest, WholeFactorsRepeatPixelsAndOtherFactorsBlendButNeverTheKey) {
  const Bitmap doubled = ScaleImage(Row({kBlack, kWhite}), 192, kNoColor, false);
  EXPECT_EQ(doubled.pixels,
            (std::vector<Pixel>{kBlack, kBlack, kWhite, kWhite, kBlack, kBlack, kWhite, kWhite}));
  // 150 %: the middle of black-to-white is grey...
  const Bitmap smooth = ScaleImage(Row({kBlack, kWhite}), 144, kNoColor, false);
  ASSERT_EQ(smooth.width, 3);
  EXPECT_TRUE(smooth.At(1, 0) != kBlack && smooth.At(1, 0) != kWhite);
  // ...a colour map only ever holds its own colours...
  for (Pixel p : ScaleImage(Row({kBlack, kWhite}), 144, kNoColor, true).pixels)
    EXPECT_TRUE(p == kBlack || p == kWhite);
  // ...and the key colour stays exact, without tinting what borders on it.
  const Bitmap keyed = ScaleImage(Row({kKey, kWhite, kWhite}), 144, kKeyColor, false);
  const std::vector<Pixel> row(keyed.pixels.begin(), keyed.pixels.begin() + keyed.width);
  EXPECT_EQ(row, (std::vector<Pixel>{kKey, row.at(1), kWhite, kWhite, kWhite}));
}

TEST(SkinScaleTest, ASkinScalesImagesAndButtonsTogetherUnlessItWouldGrowTooLarge) {
  SkinData skin, huge;
  skin.loaded = huge.loaded = true;
  skin.Images[kStateBack] = Bitmap(4, 2, kWhite);
  skin.Buttons.resize(1);
  skin.Buttons[0].Rectangle = {2, 0, 4, 2};
  ASSERT_EQ(ScaleSkin(skin, 192), 192);
  EXPECT_EQ((Point{skin.Back().width, skin.Back().height}), (Point{8, 4}));
  // A click on the button's right half at 200 % lands on it; left of it does not.
  EXPECT_TRUE(HitTestButton(skin, skin.Buttons[0], 7, 3));
  EXPECT_FALSE(HitTestButton(skin, skin.Buttons[0], 3, 3));

  huge.Images[kStateBack] = Bitmap(kMaxImageSide, 1, kWhite);
  EXPECT_EQ(ScaleSkin(huge, 192), kBaseDpi);
  EXPECT_EQ(huge.Back().width, kMaxImageSide);
}

}  // namespace
}  // namespace tomari
