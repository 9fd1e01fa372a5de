// Which route reads a skin image: the imaging library's PNG reader or the
// platform loader, and what happens to files that neither can read.
#include <gtest/gtest.h>

#include <string>

#include "skin/skin.h"
#include "support/fake_files.h"
#include "support/fake_imaging.h"

namespace tomari {
namespace {

// The signature, the IHDR chunk's length and type, then width and height.
std::string PngHeader(unsigned width, unsigned height) {
  std::string h = "\x89PNG\r\n\x1a\n";
  h += std::string("\0\0\0\x0dIHDR", 8);
  for (unsigned v : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) h += static_cast<char>((v >> shift) & 0xFF);
  h += std::string("\x08\x02\0\0\0", 5);
  return h;
}

class SkinImageTest : public ::testing::Test {
 protected:
  test::FakeFileSystem fs;
  test::FakeImageDecoder decoder;
  const std::string path = "C:\\Skins\\A\\back.png";
};

TEST_F(SkinImageTest, PngGoesThroughTheLibraryWithTheHeaderSize) {
  // Only the header is read, however long the file.
  fs.PutHuge(path, PngHeader(3, 2), kMaxImageFileBytes);
  decoder.AddLibraryPng(path, Bitmap(3, 2, MakePixel(1, 2, 3)));
  decoder.AddPicture(path, Bitmap(3, 2, MakePixel(9, 9, 9)));
  const SkinImage image = LoadSkinImage(path, true, fs, decoder);
  ASSERT_EQ(decoder.libraryCalls.size(), 1u);
  EXPECT_EQ(decoder.libraryCalls[0].width, 3);
  EXPECT_EQ(decoder.libraryCalls[0].height, 2);
  EXPECT_TRUE(decoder.decodeCalls.empty());
  EXPECT_EQ(image.pixels, std::vector<Pixel>(6, MakePixel(1, 2, 3)));
  EXPECT_EQ(fs.readAllCalls, 0u);
}

TEST_F(SkinImageTest, HeaderSizeIsTheLowSixteenBits) {
  // 0x10003 wide: the surface gets 3 columns.
  fs.Put(path, PngHeader(0x10003, 2));
  decoder.AddLibraryPng(path, Bitmap(5, 2, MakePixel(1, 2, 3)));
  const SkinImage image = LoadSkinImage(path, true, fs, decoder);
  ASSERT_EQ(decoder.libraryCalls.size(), 1u);
  EXPECT_EQ(decoder.libraryCalls[0].width, 3);
  EXPECT_EQ(image.width, 3);
}

TEST_F(SkinImageTest, WithoutTheLibraryThePlatformLoaderReadsPngToo) {
  fs.Put(path, PngHeader(2, 2));
  decoder.AddLibraryPng(path, Bitmap(2, 2, 1));
  decoder.AddPicture(path, Bitmap(2, 2, MakePixel(9, 9, 9)));
  const SkinImage image = LoadSkinImage(path, false, fs, decoder);
  EXPECT_TRUE(decoder.libraryCalls.empty());
  EXPECT_EQ(image.pixels, std::vector<Pixel>(4, MakePixel(9, 9, 9)));
}

TEST_F(SkinImageTest, ALibraryFailureFallsBackToTheLoader) {
  fs.Put(path, PngHeader(2, 2));
  decoder.AddPicture(path, Bitmap(2, 2, MakePixel(9, 9, 9)));
  const SkinImage image = LoadSkinImage(path, true, fs, decoder);
  EXPECT_EQ(decoder.libraryCalls.size(), 1u);
  EXPECT_EQ(decoder.decodeCalls.size(), 1u);
  EXPECT_EQ(image.pixels, std::vector<Pixel>(4, MakePixel(9, 9, 9)));
}

TEST_F(SkinImageTest, OnlyThePngSignatureChoosesTheLibraryNotTheExtension) {
  const std::string bmp = "C:\\Skins\\A\\really_a_bmp.png";
  fs.Put(bmp, "BM" + std::string(60, '\0'));
  decoder.AddPicture(bmp, Bitmap(1, 1, 7));
  EXPECT_EQ(LoadSkinImage(bmp, true, fs, decoder).width, 1);
  EXPECT_TRUE(decoder.libraryCalls.empty());

  const std::string png = "C:\\Skins\\A\\named.gif";
  fs.Put(png, PngHeader(1, 1));
  decoder.AddLibraryPng(png, Bitmap(1, 1, 5));
  EXPECT_EQ(LoadSkinImage(png, true, fs, decoder).pixels, std::vector<Pixel>{5});
  EXPECT_EQ(decoder.libraryCalls.size(), 1u);
}

TEST_F(SkinImageTest, TruncatedOrZeroSizedPngHeadersSkipTheLibrary) {
  fs.Put(path, PngHeader(3, 2).substr(0, 20));
  decoder.AddLibraryPng(path, Bitmap(3, 2, 1));
  EXPECT_TRUE(LoadSkinImage(path, true, fs, decoder).Empty());
  fs.Put(path, PngHeader(0, 2));
  EXPECT_TRUE(LoadSkinImage(path, true, fs, decoder).Empty());
  EXPECT_TRUE(decoder.libraryCalls.empty());
  EXPECT_EQ(decoder.decodeCalls.size(), 2u);
}

TEST_F(SkinImageTest, MissingUnreadableOrUndecodableFilesAreEmpty) {
  EXPECT_TRUE(LoadSkinImage("", true, fs, decoder).Empty());
  EXPECT_TRUE(LoadSkinImage("C:\\nowhere.bmp", true, fs, decoder).Empty());
  // Neither a missing file nor one too large for any sane image is handed on.
  fs.PutHuge(path, PngHeader(3, 2), kMaxImageFileBytes + 1);
  decoder.AddLibraryPng(path, Bitmap(3, 2, 1));
  decoder.AddPicture(path, Bitmap(3, 2, 1));
  EXPECT_TRUE(LoadSkinImage(path, true, fs, decoder).Empty());
  EXPECT_TRUE(decoder.libraryCalls.empty());
  EXPECT_TRUE(decoder.decodeCalls.empty());
  fs.Put("C:\\junk.bmp", "not a picture");
  EXPECT_TRUE(LoadSkinImage("C:\\junk.bmp", true, fs, decoder).Empty());
  fs.Put("C:\\empty.bmp", "");
  EXPECT_TRUE(LoadSkinImage("C:\\empty.bmp", true, fs, decoder).Empty());
}

TEST_F(SkinImageTest, AlphaBytesAreDroppedOnBothRoutes) {
  fs.Put(path, PngHeader(1, 1));
  decoder.AddLibraryPng(path, Bitmap(1, 1, 0x80FF00FFu));
  EXPECT_EQ(LoadSkinImage(path, true, fs, decoder).pixels, std::vector<Pixel>{0x00FF00FFu});
  const std::string gif = "C:\\a.gif";
  fs.Put(gif, "GIF89a");
  decoder.AddPicture(gif, Bitmap(1, 1, 0xFF123456u));
  EXPECT_EQ(LoadSkinImage(gif, true, fs, decoder).pixels, std::vector<Pixel>{0x00123456u});
}

// A decoder that breaks its promise (pixels that do not match the size) must
// not take the widget down.
class LyingDecoder : public ImageDecoder {
 public:
  Bitmap Decode(const std::string&) override {
    Bitmap b;
    b.width = 100;
    b.height = 100;
    b.pixels.resize(3);
    return b;
  }
  bool ReadPngWithLibrary(const std::string&, int, int, Bitmap& out) override {
    out = Bitmap(1, 1);
    return true;  // wrong size for the header
  }
};

TEST_F(SkinImageTest, MalformedDecoderOutputIsRejected) {
  LyingDecoder liar;
  fs.Put(path, PngHeader(4, 4));
  EXPECT_TRUE(LoadSkinImage(path, true, fs, liar).Empty());
}

}  // namespace
}  // namespace tomari
