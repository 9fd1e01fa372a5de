// Reading whole .tsk files (Shift-JIS, as users write them) into SkinData, and
// putting the result on the widget.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "commands/widget_face.h"
#include "support/world.h"

namespace tomari {
namespace {

using test::FakeCodec;

const std::string kFolder = "C:\\Tomari\\Skins\\Test\\";
const std::string kSkin = kFolder + "Test.tsk";
const Bitmap kBack(6, 2, 10);  // the Back image every skin here names

// A button's looks by state, each as its first pixel and its size in pixels
// ("-" when empty); every picture here is of one colour.
std::string Looks(const SkinButton& b) {
  std::string out;
  for (const SkinImage& l : b.Images)
    out += l.Empty() ? "- "
                     : std::to_string(l.pixels[0]) + "x" + std::to_string(l.pixels.size()) + " ";
  return out;
}

struct SkinLoad : ::testing::Test, test::World {
  SkinLoad() {
    app.skin.StartupFolder = "C:\\Tomari\\";
    app.settings.MainSkin = kSkin;
  }
  // A skin file in Shift-JIS with CRLF line ends, and its Back image.
  void Skin(const std::string& utf8, const std::string& path = kSkin) {
    std::string crlf;
    for (char c : utf8) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    files.Put(path, FakeCodec::Sjis(crlf));
    Picture(SkinFolderOf(path) + "back.bmp", kBack);
  }
  void Picture(const std::string& path, const Bitmap& pixels) {
    files.Put(path, "BM");
    images.AddPicture(path, pixels);
  }
  bool Load(std::int64_t pixelBudget = kMaxSkinPixels) {
    FreeSkin(app.skin, cursors);
    return LoadSkin({app.settings.MainSkin, app.skin.StartupFolder, false, pixelBudget}, app.skin,
                    SkinPorts{files, codec, images, cursors});
  }
  const std::vector<SkinButton>& Buttons() const { return app.skin.Buttons; }
};

TEST_F(SkinLoad, RectangleButtonsCutTheirLooksAndOwnFilesComeFromStartupFolderFirst) {
  Skin(
      "[Skin]\nBack=back.bmp\nFloat=f.bmp\nDown=d.bmp\nUnavailable=u.bmp\n"
      "Available=a.bmp\n[Button01]\nType=NONE\nLeft=1\nTop=0\nWidth=2\nHeight=2\n"
      "[Button02]\nType=NONE\nLeft=0\nTop=0\nWidth=1\nHeight=1\nBack=back.bmp\n"
      "Float=own.bmp\nDown=C:\\Elsewhere\\down.bmp\nUnavailable=gone.bmp\n"
      "[Button03]\nType=NONE\nLeft=2147483647\nTop=-5\nWidth=2147483647\nHeight=99999999\n"
      "[Button04]\nType=NONE\nLeft=0\nTop=0\nWidth=-4\nHeight=-4\n");
  const char* states[] = {"f.bmp", "d.bmp", "u.bmp", "a.bmp"};
  for (int i = 0; i < 4; ++i) Picture(kFolder + states[i], Bitmap(6, 2, static_cast<Pixel>(i + 1)));
  Picture("C:\\Tomari\\back.bmp", Bitmap(1, 1, 111));
  Picture(kFolder + "own.bmp", Bitmap(1, 1, 222));
  Picture("C:\\Elsewhere\\down.bmp", Bitmap(1, 1, 333));
  ASSERT_TRUE(Load());
  ASSERT_EQ(Buttons().size(), 4u);
  EXPECT_EQ(Buttons()[0].Rectangle, (Rect{1, 0, 3, 2}));
  EXPECT_EQ(Looks(Buttons()[0]), "10x4 1x4 2x4 3x4 4x4 ");
  // A named image found nowhere is no cut of the Skin image.
  EXPECT_EQ(Looks(Buttons()[1]), "111x1 222x1 333x1 - 4x1 ");
  EXPECT_EQ(Buttons()[2].Rectangle.right, 2147483647);
  EXPECT_EQ(Looks(Buttons()[2]) + Looks(Buttons()[3]), "- - - - - - - - - - ");

  // Skin-section images are looked for in the skin folder only.
  files.Erase(kFolder + "back.bmp");
  ASSERT_TRUE(Load());
  EXPECT_TRUE(app.skin.Back().Empty());
}

TEST_F(SkinLoad, WhatIsNoSkinLoadsNothing) {
  const std::string small = FakeCodec::Sjis("[Skin]\r\nBack=back.bmp\r\n");
  const std::size_t room = kMaxSkinFileBytes - small.size();
  Picture(kFolder + "back.bmp", kBack);
  const std::function<void()> kCases[] = {
      // Padded with one long comment line: the limit is on bytes, not lines.
      [&] { files.Put(kSkin, small + ";" + std::string(room - 1, 'x')); },
      [&] { files.Put(kSkin, small + ";" + std::string(room, 'x')); },
      [&] { files.PutHuge(kSkin, small, 3'000'000'000ull); },
      [&] { app.settings.MainSkin = "C:\\Tomari\\Skins\\Gone\\Gone.tsk"; },
      [&] { files.AddFolder(app.settings.MainSkin = "C:\\Tomari\\Skins\\Folder.tsk"); },
      [&] { files.failReads = true; }};
  for (std::size_t i = 0; i < std::size(kCases); ++i) {
    app.settings.MainSkin = kSkin;
    files.Put(kSkin, small);
    kCases[i]();
    EXPECT_EQ(Load(), i == 0) << i;  // only the first is within the size limit
    EXPECT_EQ(app.skin.Back().Empty(), i != 0) << i;
  }
  EXPECT_EQ(files.readAllCalls, 0u);
}

TEST_F(SkinLoad, LooksAreClippedDecodedOnceAndCountedAgainstThePixelBudget) {
  std::string text = "[Skin]\nBack=back.bmp\nFloat=big.bmp\n";
  for (int n = 1; n <= 100; ++n)  // one more than a skin can have
    text += "[Button" + std::to_string(n / 10) + std::to_string(n % 10) +
            "]\nType=NONE\nLeft=0\nTop=0\nWidth=4096\nHeight=4096\nDown=big.bmp\n"
            "Available=" +
            kFolder + "big.bmp\n";
  Skin(text);
  Picture(kFolder + "back.bmp", Bitmap(1, 1, 5));
  Picture(kFolder + "big.bmp", Bitmap(64, 64, 9));
  ASSERT_TRUE(Load());
  EXPECT_EQ(Buttons().size(), 99u);
  for (const SkinButton& b : Buttons()) EXPECT_EQ(Looks(b), "5x1 9x1 9x1 - 9x1 ");
  const auto& decoded = images.decodeCalls;
  EXPECT_EQ(std::count(decoded.begin(), decoded.end(), kFolder + "big.bmp"), 1);

  // Back: 12 pixels decoded + 12 kept; the button's Back look: 4 more.
  Skin(
      "[Skin]\nBack=back.bmp\n[Button01]\nType=NONE\nCursor=pen.cur\nLeft=1\nTop=0\nWidth=2\n"
      "Height=2\n");
  cursors.AddFile(kFolder + "pen.cur");
  for (const auto& [budget, loaded] : {std::pair{28, true}, std::pair{27, false}}) {
    EXPECT_EQ(Load(budget), loaded) << budget;
    EXPECT_EQ(cursors.Live(), loaded ? 1u : 0u) << budget;
  }
}

TEST_F(SkinLoad, ALoadThatThrowsKeepsTheSkinOnShowOrGivesThePlainWidget) {
  Skin(
      "[Skin]\nBack=back.bmp\n[Button01]\nType=NONE\nCursor=pen.cur\nLeft=0\nTop=0\nWidth=1\n"
      "Height=1\nBack=boom.bmp\n",
      kFolder + "Bad.tsk");
  Picture(kFolder + "boom.bmp", kBack);
  cursors.AddFile(kFolder + "pen.cur");
  images.throwOn = kFolder + "boom.bmp";
  app.settings.MainSkin = kFolder + "Bad.tsk";
  ApplySkin(app, ports);  // at start-up there is nothing to keep
  EXPECT_EQ(widget.label, NoSkinLabel());

  app.settings.MainSkin = kSkin;
  Skin("[Skin]\nBack=back.bmp\n");
  ApplySkin(app, ports);
  const int presents = widget.presents;
  ChangeSkin(app, ports, "Bad.tsk");
  EXPECT_EQ(app.skin.Back().pixels, kBack.pixels);
  EXPECT_EQ(app.settings.MainSkin, kSkin);
  EXPECT_EQ(widget.presents, presents);
  EXPECT_EQ(cursors.Live(), 0u);
}

}  // namespace
}  // namespace tomari
