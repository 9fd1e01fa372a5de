// Which route reads a skin image: the imaging library's PNG reader or the
// platform loader, and what happens to files that neither can read.
#include <gtest/gtest.h>

#include <string>

#include "skin/skin.h"
#include "support/fake_imaging.h"

namespace tomari {
namespace {

// The signature, the IHDR chunk's length and type, then width and height.
std::string PngHeader(unsigned width, unsigned height) {
  std::string h = "\x89PNG\r\n\x1a\n";
  h += std::string("\0\0\0\x0dIHDR", 8);
  for (unsigned v : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) h += static_cast<char>((v >> shift) & 0xFF);
  return h + std::string("\x08\x02\0\0\0", 5);
}

// A library reader that breaks its promise: pixels of another size than the header's.
struct LyingLibrary : test::FakeImageDecoder {
  bool ReadPngWithLibrary(const std::string&, int, int, Bitmap& out) override {
    out = Bitmap(1, 1);
    return true;
  }
};

class SkinImageTest : public ::testing::Test {
 protected:
  test::FakeFileSystem fs;
  test::FakeImageDecoder decoder;
  const std::string path = "C:\\Skins\\A\\back.png";
};

TEST_F(SkinImageTest, ThePngSignatureChoosesTheLibraryWithTheHeaderSizeElseTheLoader) {
  const struct {
    std::string bytes;
    bool library;       // the imaging library is there
    bool libraryReads;  // its PNG reader takes the file
    int libraryWidth;   // the width it was asked for, -1: not asked
    Pixel want;
  } kRows[] = {
      {PngHeader(3, 2), true, true, 3, 1},
      {PngHeader(0x10003, 2), true, true, 3, 1},  // the low 16 bits of the header
      {PngHeader(3, 2), false, true, -1, 9},
      {PngHeader(3, 2), true, false, 3, 9},  // a library failure falls back to the loader
      {"BM" + std::string(60, '\0'), true, true, -1, 9},  // the name says PNG, the bytes do not
      {PngHeader(3, 2).substr(0, 20), true, true, -1, 9},
      {PngHeader(0, 2), true, true, -1, 9}};
  for (const auto& r : kRows) {
    test::FakeImageDecoder images;
    fs.Put(path, r.bytes);
    if (r.libraryReads) images.AddLibraryPng(path, Bitmap(3, 2, 1));
    images.AddPicture(path, Bitmap(3, 2, 9));
    const SkinImage image = LoadSkinImage(path, r.library, fs, images);
    EXPECT_EQ(images.libraryCalls.empty() ? -1 : images.libraryCalls[0].width, r.libraryWidth)
        << r.bytes.size();
    EXPECT_EQ(image.pixels, Bitmap(3, 2, r.want).pixels) << r.bytes.size();
  }
  // Only the header is read, however long the file; alpha bytes are dropped.
  fs.PutHuge(path, PngHeader(3, 2), kMaxImageFileBytes);
  decoder.AddLibraryPng(path, Bitmap(3, 2, 0x80FF00FFu));
  EXPECT_EQ(LoadSkinImage(path, true, fs, decoder).pixels, Bitmap(3, 2, 0x00FF00FFu).pixels);
  EXPECT_EQ(fs.readAllCalls, 0u);
}

TEST_F(SkinImageTest, MissingUnreadableUndecodableOrMalformedImagesAreEmpty) {
  // A file too large for any sane image is not handed on.
  fs.PutHuge(path, PngHeader(3, 2), kMaxImageFileBytes + 1);
  decoder.AddLibraryPng(path, Bitmap(3, 2, 1));
  decoder.AddPicture(path, Bitmap(3, 2, 1));
  LoadSkinImage(path, true, fs, decoder);
  EXPECT_TRUE(decoder.libraryCalls.empty() && decoder.decodeCalls.empty());
  fs.Put("C:\\junk.bmp", "not a picture");
  for (const char* name : {"", "C:\\nowhere.bmp", "C:\\junk.bmp"})
    EXPECT_TRUE(LoadSkinImage(name, true, fs, decoder).Empty()) << name;
  // Decoder output that does not match its size must not take the widget down.
  LyingLibrary liar;
  Bitmap torn(1, 1);
  torn.width = 100;
  liar.AddPicture(path, torn);
  fs.Put(path, PngHeader(4, 4));
  EXPECT_TRUE(LoadSkinImage(path, true, fs, liar).Empty());
}

}  // namespace
}  // namespace tomari
