// The file side of a capture: BMP bytes, date names, the extension rule and
// path splitting.
#include <gtest/gtest.h>

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

TEST(CaptureBmp, BottomUpBgrRowsPaddedToFourBytesAfterTheHeaders) {
  Bitmap p(5, 2);
  for (int x = 0; x < 5; ++x) {
    p.At(x, 0) = MakePixel(0x10 + x, 0x20 + x, 0x30 + x);  // top row
    p.At(x, 1) = MakePixel(0xA0 + x, 0xB0 + x, 0xC0 + x);  // bottom row
  }
  p.At(4, 0) |= 0xFF000000;  // the unused high byte never reaches the file
  std::string expected = Bytes({'B', 'M', 90, 0, 0, 0, 0, 0, 0, 0, 58, 0, 0, 0,  // file
                                40,  0,   0,  0, 5, 0, 0, 0, 2, 0, 0,  0, 1, 0, 24, 0}) +
                         std::string(28, '\0');  // the rest of the info and one empty colour
  for (int row : {1, 0}) {
    for (int x = 0; x < 5; ++x)
      expected += Bytes({0x30 + 0x90 * row + x, 0x20 + 0x90 * row + x, 0x10 + 0x90 * row + x});
    expected += '\0';
  }
  EXPECT_EQ(BmpFileBytes(p), expected);
  // No bytes for an empty or inconsistent picture.
  EXPECT_EQ(BmpFileBytes(Bitmap()), "");
  Bitmap broken(4, 4);
  broken.pixels.resize(3);
  EXPECT_EQ(BmpFileBytes(broken), "");
}

TEST(CaptureNames, DateNamesExtensionsAndFolders) {
  EXPECT_EQ(DateFileName(DateTime{987, 2, 3, 4, 5, 6}), "0987_02_03_04_05_06");
  // The extension is appended unless the last four characters already match;
  // other types are left as they are.
  const struct {
    const char *path, *named;
    int type;
  } kCases[] = {
      {"C:\\a\\shot", "C:\\a\\shot.bmp", kFileBmp},
      {"shot.pNg", "shot.pNg", kFilePng},
      {"shot.jpeg", "shot.jpeg.jpg", kFileJpeg},
      {"shot.png", "shot.png.bmp", kFileBmp},
      {"画像.ＰＮＧ", "画像.ＰＮＧ.png", kFilePng},
      {"shot", "shot", 3},
      {"shot", "shot", -1},
  };
  for (const auto& c : kCases) EXPECT_EQ(WithExtension(c.path, c.type), c.named) << c.path;
  for (const auto& [path, split] :
       {std::pair{"C:\\Shots\\sub\\a.bmp", "C:\\Shots\\sub\\|a.bmp"}, std::pair{"a.bmp", "|a.bmp"},
        std::pair{"C:\\Shots\\", "C:\\Shots\\|"}}) {
    std::string folder, name;
    SplitPath(path, folder, name);
    EXPECT_EQ(folder + "|" + name, split);
  }
}

}  // namespace
}  // namespace tomari
