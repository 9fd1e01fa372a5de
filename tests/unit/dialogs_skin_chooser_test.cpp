#include <gtest/gtest.h>

#include "dialogs/skin_chooser.h"
#include "support/world.h"

namespace tomari {
namespace {

constexpr Pixel kGrey = MakePixel(10, 10, 10);
constexpr Pixel kRed = MakePixel(255, 0, 0);
constexpr const char* kA = "C:\\Tomari\\Skins\\A\\a.tsk";
constexpr const char* kB = "C:\\Tomari\\Skins\\B\\b.tsk";
constexpr const char* kC = "D:\\Other\\c.tsk";

struct SkinWorld : test::World {
  PreviewSources sources{files, codec, images, false, "C:\\Tomari\\"};

  // A skin file in Shift-JIS, listed in the directory too.
  void Skin(const std::string& path, const std::string& text) {
    files.Put(path, test::FakeCodec::Sjis(text));
    directory.AddFile(path);
  }
  void Picture(const std::string& path, const Bitmap& pixels) {
    files.Put(path, "BM");
    images.AddPicture(path, pixels);
  }
  SkinChooserModel Chooser(const std::string& skinBox) {
    return SkinChooserModel(directory, sources, "C:\\Tomari\\", skinBox);
  }
};

TEST(SkinPreview, RectangleSkinShowsItsButtonsMapSkinDoesNot) {
  SkinWorld w;
  w.Picture("C:\\S\\back.bmp", Bitmap(4, 2, kGrey));
  w.Picture("C:\\S\\btn.bmp", Bitmap(2, 1, kRed));
  const std::string button =
      "[Button01]\r\nType=CLOSE\r\nLeft=2\r\nTop=1\r\nWidth=2\r\nHeight=1\r\nBack=btn.bmp\r\n";
  w.Skin("C:\\S\\rect.tsk", "[Skin]\r\nBack=back.bmp\r\nBackColor=#00FF00\r\n" + button);
  w.Skin("C:\\S\\map.tsk", "[Skin]\r\nBack=back.bmp\r\nMap=back.bmp\r\n" + button);
  w.Skin("C:\\S\\noback.tsk", "[Skin]\r\nBack=missing.bmp\r\n" + button);

  SkinColor key = 7;
  Bitmap expected(4, 2, kGrey);
  expected.At(2, 1) = expected.At(3, 1) = kRed;
  EXPECT_EQ(RenderSkinPreview("C:\\S\\rect.tsk", key, w.sources).pixels, expected.pixels);
  EXPECT_EQ(key, 0x00FF00);
  EXPECT_EQ(RenderSkinPreview("C:\\S\\map.tsk", key, w.sources).pixels, Bitmap(4, 2, kGrey).pixels);
  EXPECT_EQ(key, 0);  // no BackColor: black
  EXPECT_TRUE(RenderSkinPreview("C:\\S\\none.tsk", key, w.sources).Empty());
  EXPECT_TRUE(RenderSkinPreview("C:\\S\\noback.tsk", key, w.sources).Empty());
}

TEST(SkinPreview, FitNeverEnlargesAndCentres) {
  // The last: both sides over, the wider overshoot not the larger ratio.
  const std::pair<Point, Rect> cases[] = {{{300, 100}, {0, 41, 200, 108}},
                                          {{50, 30}, {75, 60, 125, 90}},
                                          {{100, 600}, {87, 0, 112, 150}},
                                          {{310, 250}, {7, 0, 193, 150}}};
  for (const auto& [size, fit] : cases) EXPECT_EQ(FitPreview(size.x, size.y, 200, 150), fit);
}

TEST(SkinChooser, ListsInSearchOrderAndSelectsTheSkinInUse) {
  SkinWorld w;
  w.Skin(kA, "[Skin]\r\nName=A\r\n");
  w.Skin(kB, "[Skin]\r\nName=B\r\nVersion=2\r\n");
  w.Skin(kC, "[Skin]\r\nName=C\r\n");
  auto chooser = w.Chooser(kB);
  chooser.Search();
  EXPECT_EQ(chooser.Entries(), (std::vector<std::string>{"A Ver.?", "B Ver.2"}));
  EXPECT_EQ(chooser.Selected(), 1);
  std::string box;
  EXPECT_TRUE(chooser.Confirm(box));
  EXPECT_EQ(box, kB);

  auto outside = w.Chooser(kC);
  outside.Search();
  EXPECT_EQ(outside.Selected(), 2);  // added after the search

  auto missing = w.Chooser("D:\\Other\\gone.tsk");
  missing.Search();
  EXPECT_EQ(missing.Selected(), -1);
  EXPECT_FALSE(missing.Confirm(box));
  EXPECT_TRUE(missing.Preview().path.empty());
}

TEST(SkinChooser, WithoutSkinsFolderOnlyAChosenFileCounts) {
  SkinWorld w;
  w.Skin(kC, "[Skin]\r\nName=C\r\n");
  auto chooser = w.Chooser("");
  chooser.Search();
  EXPECT_EQ(chooser.Entries(), std::vector<std::string>{kNoSkinsFolderEntry});
  EXPECT_FALSE(chooser.Select(0));

  chooser.AddChosen(kC);
  EXPECT_EQ(chooser.Entries(), std::vector<std::string>{"C Ver.?"});
  std::string box;
  EXPECT_TRUE(chooser.Confirm(box));
  EXPECT_EQ(box, kC);
}

}  // namespace
}  // namespace tomari
