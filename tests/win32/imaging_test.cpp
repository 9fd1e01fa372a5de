// Pictures under Wine: the WIC picture loader, TransG32.dll's entry points and
// the probe that decides whether the application may use the library.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <thread>
#include <vector>

#include "imaging/wic_codec.h"
#include "support/image_bytes.h"
#include "win32/ports/image_library.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_imaging.h"
#include "win32/skin_test_files.h"

namespace {

using skintest::TempFolder;
using tomari::Bitmap;
using tomari::MakePixel;
using tomari::Pixel;
namespace bytes = tomari::imagebytes;

// Every channel value and a few exact key colours, 29 x 7 (odd widths find
// row-padding mistakes).
Bitmap Pattern() {
  Bitmap b(29, 7);
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x)
      b.At(x, y) = MakePixel((x * 9 + y) & 0xFF, (y * 37 + x * 3) & 0xFF, (x * y * 5) & 0xFF);
  b.At(0, 0) = MakePixel(255, 0, 255);
  b.At(28, 6) = MakePixel(0, 255, 0);
  return b;
}

std::vector<std::uint8_t> Alphas(const Bitmap& b) {
  std::vector<std::uint8_t> a(b.pixels.size());
  for (size_t i = 0; i < a.size(); ++i) a[i] = static_cast<std::uint8_t>(i * 23);
  a[0] = 0;  // fully transparent: the colour must survive all the same
  return a;
}

const std::vector<Pixel> kPalette16 = [] {
  std::vector<Pixel> p;
  for (int i = 0; i < 16; ++i) p.push_back(MakePixel(i * 17, 255 - i * 13, (i * 77) & 0xFF));
  p[3] = MakePixel(255, 0, 255);
  return p;
}();

std::vector<std::uint8_t> Indices(int w, int h, unsigned colours) {
  std::vector<std::uint8_t> idx(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < idx.size(); ++i)
    idx[i] = static_cast<std::uint8_t>((i * 7 + i / 5) % colours);
  return idx;
}

Bitmap FromIndices(int w, int h, const std::vector<Pixel>& palette,
                   const std::vector<std::uint8_t>& idx) {
  Bitmap b(w, h);
  for (size_t i = 0; i < idx.size(); ++i) b.pixels[i] = palette[idx[i]];
  return b;
}

class ImagingDecode : public ::testing::Test {
 protected:
  Bitmap Decode(const std::wstring& name, const std::string& content) {
    EXPECT_TRUE(skintest::WriteBytes(folder / name, content));
    return loader.Decode(folder.Utf8(name));
  }
  TempFolder folder;
  tomari::Win32ImageDecoder loader;
};

TEST_F(ImagingDecode, EveryFormatGivesItsExactPixelsByContentNotByName) {
  const Bitmap p = Pattern();
  const auto alpha = Alphas(p);
  const auto idx = Indices(29, 7, 16);
  const Bitmap paletted = FromIndices(29, 7, kPalette16, idx);
  const struct {
    const wchar_t* name;
    std::string content;
    const Bitmap& expected;
  } cases[] = {
      {L"bottom_up.bmp", bytes::EncodeBmp24(p), p},
      {L"top_down.bmp", bytes::EncodeBmp24(p, true), p},
      {L"palette.bmp", bytes::EncodeBmp8(29, 7, kPalette16, idx), paletted},
      {L"rgb.png", bytes::EncodePng(p), p},
      {L"rgba.png", bytes::EncodePng(p, &alpha), p},  // alpha ignored, colours kept
      {L"plain.gif", bytes::EncodeGif(29, 7, kPalette16, idx), paletted},
      // Index 3 is magenta and transparent: it stays magenta, the skin's key colour.
      {L"transparent.gif", bytes::EncodeGif(29, 7, kPalette16, idx, 3), paletted},
      {L"really_png.bmp", bytes::EncodePng(p), p},
      {L"背景画像.gif", bytes::EncodeBmp24(p), p},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Decode(c.name, c.content).pixels, c.expected.pixels) << tomari::WideToUtf8(c.name);
  // Flat blocks as large as a colour MCU survive any JPEG quality almost exactly.
  Bitmap blocks(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      blocks.At(x, y) = (x / 16 + y / 16) % 2 ? MakePixel(200, 40, 40) : MakePixel(30, 90, 160);
  ASSERT_TRUE(
      tomari::wic::EncodeFile(blocks, folder / L"blocks.jpg", tomari::wic::Format::Jpeg, {}));
  const int difference =
      skintest::MaxChannelDifference(blocks, loader.Decode(folder.Utf8(L"blocks.jpg")));
  EXPECT_GE(difference, 0) << "sizes differ";
  EXPECT_LE(difference, 4);
  // COM may already be set up on a thread in the other model; WIC must still work.
  Bitmap decoded;
  std::thread worker([&] {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    decoded = tomari::Win32ImageDecoder().Decode(folder.Utf8(L"rgb.png"));
    if (SUCCEEDED(hr)) CoUninitialize();
  });
  worker.join();
  EXPECT_EQ(decoded.pixels, p.pixels);
}

TEST_F(ImagingDecode, MissingEmptyTruncatedAndGarbageFilesAreEmpty) {
  EXPECT_TRUE(loader.Decode(folder.Utf8(L"missing.png")).Empty());
  EXPECT_TRUE(loader.Decode("").Empty());
  const std::string png = bytes::EncodePng(Pattern());
  const std::pair<const wchar_t*, std::string> cases[] = {
      {L"empty.bmp", ""},
      {L"garbage.png", std::string(300, '\x5A')},
      {L"truncated.png", png.substr(0, png.size() / 3)},
      {L"header.bmp", bytes::EncodeBmp24(Pattern()).substr(0, 54)}};
  for (const auto& [name, content] : cases)
    EXPECT_TRUE(Decode(name, content).Empty()) << tomari::WideToUtf8(name);
  const std::string gif = bytes::EncodeGif(29, 7, kPalette16, Indices(29, 7, 16));
  Decode(L"truncated.gif", gif.substr(0, 40));  // must not crash, whatever it gives
}

// ---- TransG32.dll -------------------------------------------------------------

class ImagingLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CopyFileW((skintest::DistDir() + L"TransG32.dll").c_str(),
                          (app / L"TransG32.dll").c_str(), FALSE))
        << "build the TransG32 target";
    ASSERT_TRUE(library.Load(app.Utf8()));
  }
  template <class T>
  T Entry(const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module(), name)));
  }
  HMODULE module() { return GetModuleHandleW((app / L"TransG32.dll").c_str()); }
  // A surface saved as PNG with `choice`, read back.
  Bitmap SavePngAndReadBack(const Bitmap& image, const wchar_t* name, int choice) {
    skintest::ImageSurface surface(image);
    EXPECT_TRUE(library.SavePng(surface.dc(), image.width, image.height, files.Utf8(name), choice));
    return tomari::Win32ImageDecoder().Decode(files.Utf8(name));
  }

  TempFolder app;
  TempFolder files;
  tomari::ImageLibrary library;
};

TEST_F(ImagingLibrary, ReadPngThroughEveryEntryPointAndPathKind) {
  EXPECT_TRUE(library.HasWideEntryPoints());
  for (const char* name :
       {"DCReadPNG", "DCSavetoJPEG", "DCSavetoPNG", "DCReadPNGW", "DCSavetoJPEGW", "DCSavetoPNGW"})
    EXPECT_NE(GetProcAddress(module(), name), nullptr) << name;
  EXPECT_EQ(GetProcAddress(module(), "DCReadPNG@8"), nullptr) << "names undecorated";
  const Bitmap p = Pattern();
  const auto alpha = Alphas(p);
  ASSERT_TRUE(skintest::WriteBytes(files / L"日本語.png", bytes::EncodePng(p, &alpha)));
  ASSERT_TRUE(skintest::WriteBytes(files / L"한글.png", bytes::EncodePng(p)));
  // The ANSI entry point with a CP932 path (the Japanese system's code page).
  const std::wstring wide = files / L"日本語.png";
  char ansi[MAX_PATH * 2];
  BOOL lossy = FALSE;
  ASSERT_GT(WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, ansi, sizeof ansi,
                                nullptr, &lossy),
            0);
  ASSERT_FALSE(lossy) << "the Wine prefix must run with the Japanese code page";
  auto readPng = Entry<int(__stdcall*)(const char*, HDC)>("DCReadPNG");
  skintest::ImageSurface surface(p.width, p.height);
  EXPECT_EQ(readPng(ansi, surface.dc()), 0);
  EXPECT_EQ(surface.Read(p.width, p.height).pixels, p.pixels);
  // A name outside the code page goes through the W variant.
  tomari::Win32ImageDecoder decoder(&library);
  Bitmap viaLibrary;
  EXPECT_TRUE(decoder.ReadPngWithLibrary(files.Utf8(L"한글.png"), p.width, p.height, viaLibrary));
  EXPECT_EQ(viaLibrary.pixels, p.pixels);
  // Other formats, broken or missing files and null surfaces are refused.
  ASSERT_TRUE(skintest::WriteBytes(files / L"a.bmp", bytes::EncodeBmp24(p)));
  ASSERT_TRUE(skintest::WriteBytes(files / L"bad.png", "\x89PNG\r\n\x1a\n garbage"));
  for (const wchar_t* name : {L"a.bmp", L"bad.png", L"none.png"})
    EXPECT_NE(readPng(tomari::WideToUtf8(files / name).c_str(), surface.dc()), 0)
        << tomari::WideToUtf8(name);
  EXPECT_NE(readPng(nullptr, surface.dc()), 0);
  EXPECT_NE(readPng(ansi, nullptr), 0);
}

TEST_F(ImagingLibrary, SavesAreTheSurfacesTopLeftAsChosenAndFailuresLeaveNothing) {
  const Bitmap photo = skintest::PhotoLike(80, 40);
  EXPECT_EQ(SavePngAndReadBack(photo, L"normal.png", 0).pixels, photo.pixels);
  EXPECT_EQ(SavePngAndReadBack(photo, L"fast.png", 1).pixels, photo.pixels);
  EXPECT_EQ(SavePngAndReadBack(photo, L"odd.png", 7).pixels, photo.pixels) << "read as normal";
  // The palette choice: 8-bit indices; exact with few colours, close with many.
  Bitmap few(29, 7);
  for (size_t i = 0; i < few.pixels.size(); ++i) few.pixels[i] = kPalette16[i % 16];
  EXPECT_EQ(SavePngAndReadBack(few, L"few.png", 2).pixels, few.pixels);
  const int lossy = skintest::MaxChannelDifference(photo, SavePngAndReadBack(photo, L"many.png", 2));
  EXPECT_GE(lossy, 0);
  EXPECT_LE(lossy, 64);
  const std::string header = skintest::ReadBytes(files / L"many.png");
  ASSERT_GT(header.size(), 26u);
  EXPECT_EQ(header.substr(24, 2), "\x08\x03") << "8 bits per palette index";
  // Only the top-left of a larger surface.
  skintest::ImageSurface surface(photo);
  ASSERT_TRUE(library.SavePng(surface.dc(), 10, 7, files.Utf8(L"corner.png"), 0));
  const Bitmap corner = tomari::Win32ImageDecoder().Decode(files.Utf8(L"corner.png"));
  ASSERT_EQ(corner.width, 10);
  ASSERT_EQ(corner.height, 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(corner.At(x, y), photo.At(x, y));
  ASSERT_TRUE(library.SaveJpeg(surface.dc(), 80, 40, files.Utf8(L"q100.jpg"), 100, false));
  const int jpeg =
      skintest::MaxChannelDifference(photo, tomari::Win32ImageDecoder().Decode(files.Utf8(L"q100.jpg")));
  EXPECT_GE(jpeg, 0);
  EXPECT_LE(jpeg, 40) << "not a JPEG of the surface";
  EXPECT_EQ(files.Count(), 7) << "no temporary files beside the pictures";
  // Failures: nothing written, an existing file kept.
  ASSERT_TRUE(skintest::WriteBytes(files / L"keep.png", "old"));
  EXPECT_FALSE(library.SavePng(surface.dc(), 80, 40, files.Utf8(L"no_such_folder\\a.png"), 0));
  EXPECT_FALSE(library.SavePng(surface.dc(), 0, 40, files.Utf8(L"zero.png"), 0));
  EXPECT_FALSE(library.SaveJpeg(nullptr, 80, 40, files.Utf8(L"null.jpg"), 90, false));
  EXPECT_FALSE(library.SavePng(surface.dc(), -5, 3, files.Utf8(L"keep.png"), 0));
  EXPECT_EQ(skintest::ReadBytes(files / L"keep.png"), "old");
  EXPECT_EQ(files.Count(), 8);
  auto savePng = Entry<int(__stdcall*)(HDC, int, int, const char*, BYTE)>("DCSavetoPNG");
  EXPECT_NE(savePng(surface.dc(), 80, 40, nullptr, 0), 0);
}

// Only a whole library for this machine counts: the probe must refuse what the
// loader would refuse, or the program would offer what it cannot do.
TEST(ImagingProbe, OnlyAWholeLibraryForThisMachineCounts) {
  TempFolder app;
  const std::wstring dll = app / L"TransG32.dll";
  tomari::ImageLibrary library;
  EXPECT_FALSE(library.Load(app.Utf8())) << "missing file";
  ASSERT_TRUE(CopyFileW((win32test::TestBinDir() + L"TransG32_lacking_png.dll").c_str(),
                        dll.c_str(), FALSE));
  EXPECT_FALSE(library.Load(app.Utf8())) << "a library without DCSavetoPNG";
  Bitmap unused;
  EXPECT_FALSE(tomari::Win32ImageDecoder(&library).ReadPngWithLibrary(app.Utf8(L"x.png"), 4, 4,
                                                                      unused));
  ASSERT_TRUE(DeleteFileW(dll.c_str()));
  ASSERT_TRUE(skintest::WriteBytes(dll, "MZ" + std::string(4096, '\x90')));
  EXPECT_FALSE(library.Load(app.Utf8())) << "a corrupt file";
  // The PE header's machine field says x64 to a 32-bit process, i386 to a 64-bit one.
  std::string image = skintest::ReadBytes(skintest::DistDir() + L"TransG32.dll");
  ASSERT_GT(image.size(), 0x200u);
  const std::uint32_t pe =
      static_cast<unsigned char>(image[0x3C]) | static_cast<unsigned char>(image[0x3D]) << 8;
  ASSERT_EQ(image.compare(pe, 4, std::string("PE\0\0", 4)), 0);
  image.replace(pe + 4, 2, sizeof(void*) == 8 ? "\x4c\x01" : "\x64\x86");
  ASSERT_TRUE(skintest::WriteBytes(dll, image));
  EXPECT_FALSE(library.Load(app.Utf8())) << "a library for another machine";
  ASSERT_TRUE(DeleteFileW(dll.c_str()));
  ASSERT_TRUE(CreateDirectoryW(dll.c_str(), nullptr));
  EXPECT_FALSE(library.Load(app.Utf8())) << "a folder of that name";
  ASSERT_TRUE(RemoveDirectoryW(dll.c_str()));
  ASSERT_TRUE(CopyFileW((skintest::DistDir() + L"TransG32.dll").c_str(), dll.c_str(), FALSE));
  EXPECT_TRUE(library.Load(app.Utf8()));
  library.Unload();
  EXPECT_FALSE(library.Loaded());
  skintest::ImageSurface surface(4, 4);
  EXPECT_FALSE(library.ReadPng(app.Utf8(L"x.png"), surface.dc()));
}

}  // namespace
