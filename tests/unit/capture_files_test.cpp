// The file side of a capture: BMP bytes, date names, the extension rule, the
// save dialog's filter and path splitting.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "commands/bmp_file.h"
#include "commands/capture_save.h"
#include "support/fake_capture.h"

namespace tomari {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

// ---- BMP layout ------------------------------------------------------------

TEST(CaptureBmp, FiveByTwoIsNinetyBytesWithOnePaddingByteARow) {
  Bitmap p(5, 2);
  for (int x = 0; x < 5; ++x) {
    p.At(x, 0) = MakePixel(0x10 + x, 0x20 + x, 0x30 + x);  // top row
    p.At(x, 1) = MakePixel(0xA0 + x, 0xB0 + x, 0xC0 + x);  // bottom row
  }
  const std::string b = BmpFileBytes(p);
  ASSERT_EQ(b.size(), 90u);

  // clang-format off
  const std::string header = Bytes({'B', 'M', 90, 0, 0, 0, 0, 0, 0, 0, 58, 0, 0, 0,  // file
                                    40, 0, 0, 0, 5, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,  // info
                                    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                    0, 0, 0, 0,    // 46..53
                                    0, 0, 0, 0});  // the empty colour entry
  // clang-format on
  EXPECT_EQ(b.substr(0, 58), header);

  // The bottom row comes first; blue, green, red; one zero byte up to 16.
  std::string bottom, top;
  for (int x = 0; x < 5; ++x) {
    bottom += Bytes({0xC0 + x, 0xB0 + x, 0xA0 + x});
    top += Bytes({0x30 + x, 0x20 + x, 0x10 + x});
  }
  EXPECT_EQ(b.substr(58, 16), bottom + std::string(1, '\0'));
  EXPECT_EQ(b.substr(74, 16), top + std::string(1, '\0'));
}

TEST(CaptureBmp, RowsArePaddedToFourBytesForEveryWidthRemainder) {
  // 5 x 2 and 4 x 1 above cover remainders 3 and 0; 1 and 2 remain.
  EXPECT_EQ(BmpFileBytes(test::Gradient(1, 3)).size(), 58u + 4 * 3);
  EXPECT_EQ(BmpFileBytes(test::Gradient(2, 3)).size(), 58u + 8 * 3);
  EXPECT_EQ(BmpRowSize(640), 1920u);
}

TEST(CaptureBmp, TheUnusedHighByteOfAPixelNeverReachesTheFile) {
  Bitmap p(1, 1);
  p.At(0, 0) = 0xFF123456;
  EXPECT_EQ(BmpFileBytes(p).substr(58), Bytes({0x56, 0x34, 0x12, 0}));
}

TEST(CaptureBmp, NoBytesForAnEmptyOrInconsistentPicture) {
  EXPECT_EQ(BmpFileBytes(Bitmap()), "");
  Bitmap broken(4, 4);
  broken.pixels.resize(3);
  EXPECT_EQ(BmpFileBytes(broken), "");
}

// ---- names -------------------------------------------------------------------

TEST(CaptureNames, DateNameIsZeroPaddedLocalTimeWithUnderscores) {
  EXPECT_EQ(DateFileName(DateTime{2003, 1, 17, 17, 30, 5}), "2003_01_17_17_30_05");
  EXPECT_EQ(DateFileName(DateTime{2024, 12, 31, 0, 0, 0, 999}), "2024_12_31_00_00_00");
  EXPECT_EQ(DateFileName(DateTime{987, 2, 3, 4, 5, 6}), "0987_02_03_04_05_06");
}

TEST(CaptureNames, ExtensionIsAppendedUnlessTheLastFourCharactersMatch) {
  const struct {
    const char* path;
    int type;
    const char* named;
  } kCases[] = {
      {"C:\\a\\shot", kFileBmp, "C:\\a\\shot.bmp"}, {"C:\\a\\shot", kFilePng, "C:\\a\\shot.png"},
      {"shot.BMP", kFileBmp, "shot.BMP"},              {"shot.pNg", kFilePng, "shot.pNg"},
      {"shot.jpeg", kFileJpeg, "shot.jpeg.jpg"},       {"shot.png", kFileBmp, "shot.png.bmp"},
      {"", kFilePng, ".png"},                          {"画像.ＰＮＧ", kFilePng, "画像.ＰＮＧ.png"},
      {"画像.png", kFilePng, "画像.png"},              {"shot", 3, "shot"},  // other types: as is
      {"shot", -1, "shot"},
  };
  for (const auto& c : kCases) EXPECT_EQ(WithExtension(c.path, c.type), c.named) << c.path;
}

TEST(CaptureNames, SplitPathCutsAfterTheLastBackslash) {
  std::string folder, name;
  SplitPath("C:\\Shots\\sub\\a.bmp", folder, name);
  EXPECT_EQ(folder, "C:\\Shots\\sub\\");
  EXPECT_EQ(name, "a.bmp");
  SplitPath("a.bmp", folder, name);
  EXPECT_EQ(folder, "");
  EXPECT_EQ(name, "a.bmp");
  SplitPath("C:\\Shots\\", folder, name);
  EXPECT_EQ(folder, "C:\\Shots\\");
  EXPECT_EQ(name, "");
}

TEST(CaptureNames, FilterListsThreeTypesWithTheLibraryAndBmpWithout) {
  using namespace std::string_literals;
  EXPECT_EQ(SaveDialogFilter(true),
            "WindowsBitmap(*.bmp)\0*.bmp\0"
            "JointPhotographExpertsGroup(*.jpg)\0*.jpg\0"
            "PortableNetworkGraphics(*.png)\0*.png\0\0"s);
  EXPECT_EQ(SaveDialogFilter(false), "WindowsBitmap(*.bmp)\0*.bmp\0\0"s);
}

}  // namespace
}  // namespace tomari
