// The widget's outline, the keyed paint of map skins, cutting, hit-testing and
// the composed face, all on small hand-made pixel buffers.
#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "skin/skin.h"

namespace tomari {
namespace {

constexpr SkinColor kMagenta = 0xFF00FF;  // the key colour in these tests
constexpr Pixel kKey = MakePixel(255, 0, 255);

// One character per pixel (0xRRGGBB): 'k' key colour, 'r', 'g' and 'u' red, green
// and blue, anything else a grey of its own code.
Pixel PixelOf(char c) {
  static const std::map<char, Pixel> kColours = {
      {'k', kKey}, {'r', 0xFF0000}, {'g', 0x00FF00}, {'u', 0x0000FF}};
  const auto i = kColours.find(c);
  return i == kColours.end() ? MakePixel(c, c, c) : i->second;
}

SkinButton Button(Rect r, SkinColor color = kNoColor) {
  SkinButton b;
  b.Rectangle = r;
  b.Color = color;
  return b;
}

Bitmap Art(std::initializer_list<const char*> rows) {
  std::vector<std::string> lines(rows.begin(), rows.end());
  Bitmap b(static_cast<int>(lines[0].size()), static_cast<int>(lines.size()));
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) b.At(x, y) = PixelOf(lines[y][x]);
  return b;
}

TEST(SkinShape, RunsOfPixelsThatAreNotExactlyTheKeyRowByRow) {
  EXPECT_TRUE(ExtractShape(Art({"kkk"}), kNoColor).fullRectangle);
  const WidgetShape shape = ExtractShape(Art({"kk..k.", "......", "kkkkkk", ".kkkk."}), kMagenta);
  EXPECT_FALSE(shape.fullRectangle);
  EXPECT_EQ(shape.runs, (std::vector<Rect>{
                            {2, 0, 4, 1}, {5, 0, 6, 1}, {0, 1, 6, 2}, {0, 3, 1, 4}, {5, 3, 6, 4}}));
  Bitmap offByOne(3, 1, kKey);
  offByOne.At(0, 0) = MakePixel(254, 0, 255);  // one step off the key: opaque
  offByOne.At(2, 0) = kKey | 0xFF000000u;      // key colour with an alpha byte: still key
  EXPECT_EQ(ExtractShape(offByOne, kMagenta).runs, (std::vector<Rect>{{0, 0, 1, 1}}));
}

TEST(SkinKeyedImage, PaintsFillOnlyWhereTheMaskHasTheKeyAndNeverOverruns) {
  Bitmap dest = Art({"....", "...."});
  DrawKeyedImage(dest, Art({"abab", "baba"}), Art({"rgrg", "ggrr"}), 255 /* red */);
  EXPECT_EQ(dest.pixels, Art({"a.a.", "..ba"}).pixels);
  // No key paints nothing; a fill larger than mask and destination stops at both.
  DrawKeyedImage(dest, Art({"bb", "bb"}), Art({"kk", "kk"}), kNoColor);
  DrawKeyedImage(dest, Bitmap(10, 10, PixelOf('b')), Art({"kkk"}), kMagenta);
  EXPECT_EQ(dest.pixels, Art({"bbb.", "..ba"}).pixels);
}

// What each pixel from (-1, -1) to (width, height) hits: the letter of the first button
// hit, '.' for none; rows joined by '|'.
std::string Hits(const SkinData& skin, std::initializer_list<std::pair<char, SkinButton>> buttons,
                 int width, int height) {
  std::string out;
  for (int y = -1; y <= height; ++y) {
    out += y < 0 ? "" : "|";
    for (int x = -1; x <= width; ++x) {
      char c = '.';
      for (const auto& [letter, b] : buttons)
        if (c == '.' && HitTestButton(skin, b, x, y)) c = letter;
      out += c;
    }
  }
  return out;
}

TEST(SkinHitTest, RectanglesHaveLeftTopInRightBottomOutAndMapsGoByColour) {
  SkinData skin;
  skin.loaded = true;
  EXPECT_EQ(Hits(skin, {{'b', Button({1, 1, 3, 3})}}, 3, 3), ".....|.....|..bb.|..bb.|.....");
  // Map skins go by the button's colour; a button without one is hit nowhere.
  skin.Map = Art({"rrg", "ugk"});
  EXPECT_EQ(Hits(skin, {{'r', Button({}, 255)}, {'g', Button({}, 65280)}, {'n', Button({})}}, 3, 2),
            ".....|.rrg.|..g..|.....");
}

// A 6 x 2 face with two buttons: one inside it with a 2 x 2 look for each state,
// one reaching past its top and right whose only look, Down, is larger than it.
TEST(SkinFace, EachButtonDrawsItsStateLookClippedToItsRectangleAndTheFace) {
  SkinData skin;
  skin.loaded = true;
  skin.Images[kStateBack] = Art({"k....k", "......"});
  skin.Buttons = {Button({1, 0, 3, 2}), Button({4, -1, 9, 1})};
  for (int s = 0; s < kButtonStateCount; ++s)
    skin.Buttons[0].Images[s] = Bitmap(2, 2, PixelOf(static_cast<char>('0' + s)));
  skin.Buttons[1].Images[kStateDown] = Bitmap(9, 9, PixelOf('a'));
  // The second button has no Float look: it leaves the face as it is.
  const int down[] = {kStateDown, kStateDown}, back[] = {kStateBack, kStateFloat};
  EXPECT_EQ(ComposeFace(skin, down).pixels, Art({"k22.aa", ".22..."}).pixels);
  EXPECT_EQ(ComposeFace(skin, back).pixels, Art({"k00..k", ".00..."}).pixels);
  // Skipped and out-of-range states leave the Back image.
  const int skipped[] = {-1, 5};
  EXPECT_EQ(ComposeFace(skin, skipped).pixels, skin.Back().pixels);
  // Nothing without a skin or with an empty Back.
  skin.loaded = false;
  EXPECT_TRUE(ComposeFace(skin, down).Empty());
  skin.loaded = true;
  skin.Images[kStateBack] = {};
  EXPECT_TRUE(ComposeFace(skin, down).Empty());
}

}  // namespace
}  // namespace tomari
