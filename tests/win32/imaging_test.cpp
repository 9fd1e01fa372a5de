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

TEST_F(ImagingDecode, BmpInEveryLayoutGivesItsExactPixels) {
  const Bitmap p = Pattern();
  EXPECT_EQ(Decode(L"bottom_up.bmp", bytes::EncodeBmp24(p)).pixels, p.pixels);
  EXPECT_EQ(Decode(L"top_down.bmp", bytes::EncodeBmp24(p, true)).pixels, p.pixels);
  const auto idx = Indices(13, 5, 16);
  EXPECT_EQ(Decode(L"palette.bmp", bytes::EncodeBmp8(13, 5, kPalette16, idx)).pixels,
            FromIndices(13, 5, kPalette16, idx).pixels);
}

TEST_F(ImagingDecode, PngWithAndWithoutAlphaGivesTheColoursAlphaIgnored) {
  const Bitmap p = Pattern();
  EXPECT_EQ(Decode(L"rgb.png", bytes::EncodePng(p)).pixels, p.pixels);
  const auto alpha = Alphas(p);
  EXPECT_EQ(Decode(L"rgba.png", bytes::EncodePng(p, &alpha)).pixels, p.pixels);
}

TEST_F(ImagingDecode, GifPixelsComeFromThePaletteTransparentOnesKeepTheirColour) {
  const auto idx = Indices(23, 6, 16);
  const Bitmap expected = FromIndices(23, 6, kPalette16, idx);
  EXPECT_EQ(Decode(L"plain.gif", bytes::EncodeGif(23, 6, kPalette16, idx)).pixels, expected.pixels);
  // Index 3 is magenta and transparent: it stays magenta, the skin's key colour.
  const Bitmap transparent =
      Decode(L"transparent.gif", bytes::EncodeGif(23, 6, kPalette16, idx, 3));
  EXPECT_EQ(transparent.pixels, expected.pixels);
}

TEST_F(ImagingDecode, JpegDecodesToThePicture) {
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
}

TEST_F(ImagingDecode, BmpAndPngWrittenThroughWicReadBackExactly) {
  const Bitmap photo = skintest::PhotoLike(45, 21);
  ASSERT_TRUE(tomari::wic::EncodeFile(photo, folder / L"w.bmp", tomari::wic::Format::Bmp, {}));
  EXPECT_EQ(loader.Decode(folder.Utf8(L"w.bmp")).pixels, photo.pixels);
  ASSERT_TRUE(tomari::SaveBitmapAsPng(photo, folder.Utf8(L"w.png")));
  EXPECT_EQ(loader.Decode(folder.Utf8(L"w.png")).pixels, photo.pixels);
}

TEST_F(ImagingDecode, ByContentNotByExtensionAndUnderJapaneseNames) {
  const Bitmap p = Pattern();
  EXPECT_EQ(Decode(L"really_png.bmp", bytes::EncodePng(p)).pixels, p.pixels);
  EXPECT_EQ(Decode(L"really_bmp.gif", bytes::EncodeBmp24(p)).pixels, p.pixels);
  EXPECT_EQ(Decode(L"背景画像.png", bytes::EncodePng(p)).pixels, p.pixels);
}

TEST_F(ImagingDecode, MissingEmptyTruncatedAndGarbageFilesAreEmpty) {
  EXPECT_TRUE(loader.Decode(folder.Utf8(L"missing.png")).Empty());
  EXPECT_TRUE(loader.Decode("").Empty());
  EXPECT_TRUE(Decode(L"empty.bmp", "").Empty());
  EXPECT_TRUE(Decode(L"garbage.png", std::string(300, '\x5A')).Empty());
  const std::string png = bytes::EncodePng(Pattern());
  EXPECT_TRUE(Decode(L"truncated.png", png.substr(0, png.size() / 3)).Empty());
  const std::string gif = bytes::EncodeGif(23, 6, kPalette16, Indices(23, 6, 16));
  Decode(L"truncated.gif", gif.substr(0, 40));  // must not crash, whatever it gives
  EXPECT_TRUE(Decode(L"header_only.bmp", bytes::EncodeBmp24(Pattern()).substr(0, 54)).Empty());
}

// COM may already be set up on the thread in the other model; WIC must still work.
TEST(ImagingCom, AThreadInTheMultithreadedApartmentStillDecodes) {
  TempFolder folder;
  const Bitmap p = Pattern();
  ASSERT_TRUE(skintest::WriteBytes(folder / L"a.png", bytes::EncodePng(p)));
  Bitmap decoded;
  std::thread worker([&] {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    tomari::Win32ImageDecoder loader;
    decoded = loader.Decode(folder.Utf8(L"a.png"));
    if (SUCCEEDED(hr)) CoUninitialize();
  });
  worker.join();
  EXPECT_EQ(decoded.pixels, p.pixels);
}

// ---- TransG32.dll -------------------------------------------------------------

class ImagingLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(skintest::FileExists(skintest::DistDir() + L"TransG32.dll"))
        << "build the TransG32 target";
    ASSERT_TRUE(CopyFileW((skintest::DistDir() + L"TransG32.dll").c_str(),
                          (app / L"TransG32.dll").c_str(), FALSE));
    ASSERT_TRUE(library.Load(app.Utf8()));
  }
  template <class T>
  T Entry(const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module(), name)));
  }
  HMODULE module() { return GetModuleHandleW((app / L"TransG32.dll").c_str()); }

  TempFolder app;
  TempFolder files;
  tomari::ImageLibrary library;
};

TEST_F(ImagingLibrary, ExportsTheThreeEntryPointsUndecoratedAndTheWideOnes) {
  EXPECT_TRUE(library.Loaded());
  EXPECT_TRUE(library.HasWideEntryPoints());
  for (const char* name :
       {"DCReadPNG", "DCSavetoJPEG", "DCSavetoPNG", "DCReadPNGW", "DCSavetoJPEGW", "DCSavetoPNGW"})
    EXPECT_NE(GetProcAddress(module(), name), nullptr) << name;
  EXPECT_EQ(GetProcAddress(module(), "DCReadPNG@8"), nullptr);
  EXPECT_EQ(GetProcAddress(module(), "_DCSavetoJPEG@24"), nullptr);
}

TEST_F(ImagingLibrary, ReadPngGivesTheLoadersPixelsOnEveryRoute) {
  const Bitmap p = Pattern();
  const auto alpha = Alphas(p);
  ASSERT_TRUE(skintest::WriteBytes(files / L"rgb.png", bytes::EncodePng(p)));
  ASSERT_TRUE(skintest::WriteBytes(files / L"rgba.png", bytes::EncodePng(p, &alpha)));
  tomari::Win32ImageDecoder decoder(&library);
  for (const wchar_t* name : {L"rgb.png", L"rgba.png"}) {
    SCOPED_TRACE(tomari::WideToUtf8(name));
    const Bitmap loaded = decoder.Decode(files.Utf8(name));
    EXPECT_EQ(loaded.pixels, p.pixels);
    Bitmap viaLibrary;
    ASSERT_TRUE(decoder.ReadPngWithLibrary(files.Utf8(name), p.width, p.height, viaLibrary));
    EXPECT_EQ(viaLibrary.pixels, loaded.pixels);
  }
}

TEST_F(ImagingLibrary, ReadPngTakesShiftJisAndWidePaths) {
  const Bitmap p = Pattern();
  ASSERT_TRUE(skintest::WriteBytes(files / L"日本語.png", bytes::EncodePng(p)));
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
  // A name outside the code page only works through the W variant.
  ASSERT_TRUE(skintest::WriteBytes(files / L"한글.png", bytes::EncodePng(p)));
  tomari::Win32ImageDecoder decoder(&library);
  Bitmap viaLibrary;
  EXPECT_TRUE(decoder.ReadPngWithLibrary(files.Utf8(L"한글.png"), p.width, p.height, viaLibrary));
  EXPECT_EQ(viaLibrary.pixels, p.pixels);
}

TEST_F(ImagingLibrary, ReadPngRefusesOtherFormatsMissingFilesAndNullSurfaces) {
  ASSERT_TRUE(skintest::WriteBytes(files / L"a.bmp", bytes::EncodeBmp24(Pattern())));
  ASSERT_TRUE(skintest::WriteBytes(files / L"bad.png", "\x89PNG\r\n\x1a\n garbage"));
  ASSERT_TRUE(skintest::WriteBytes(files / L"ok.png", bytes::EncodePng(Pattern())));
  auto readPng = Entry<int(__stdcall*)(const char*, HDC)>("DCReadPNG");
  skintest::ImageSurface surface(4, 4);
  for (const wchar_t* name : {L"a.bmp", L"bad.png", L"none.png"})
    EXPECT_NE(readPng(tomari::WideToUtf8(files / name).c_str(), surface.dc()), 0) << name;
  EXPECT_NE(readPng(nullptr, surface.dc()), 0);
  EXPECT_NE(readPng("", surface.dc()), 0);
  EXPECT_NE(readPng(tomari::WideToUtf8(files / L"ok.png").c_str(), nullptr), 0);
}

// A surface saved as PNG reads back to the same pixels.
Bitmap SavePngAndReadBack(tomari::ImageLibrary& library, const Bitmap& image,
                          const std::string& path, int choice) {
  skintest::ImageSurface surface(image);
  EXPECT_TRUE(library.SavePng(surface.dc(), image.width, image.height, path, choice));
  tomari::Win32ImageDecoder loader;
  return loader.Decode(path);
}

TEST_F(ImagingLibrary, PngNormalAndFastChoicesAreLossless) {
  const Bitmap photo = skintest::PhotoLike(80, 40);
  EXPECT_EQ(SavePngAndReadBack(library, photo, files.Utf8(L"normal.png"), 0).pixels, photo.pixels);
  EXPECT_EQ(SavePngAndReadBack(library, photo, files.Utf8(L"fast.png"), 1).pixels, photo.pixels);
  // Out-of-range choices write a normal PNG.
  EXPECT_EQ(SavePngAndReadBack(library, photo, files.Utf8(L"odd.png"), 7).pixels, photo.pixels);
  // Only finished files are left: no temporary files beside them.
  EXPECT_EQ(files.Count(), 3);
}

TEST_F(ImagingLibrary, PngPaletteChoiceIsAnEightBitPalette) {
  // Few colours: the palette holds them all, so nothing is lost.
  const Bitmap p = Pattern();
  Bitmap few(p.width, p.height);
  for (size_t i = 0; i < few.pixels.size(); ++i) few.pixels[i] = kPalette16[i % 16];
  EXPECT_EQ(SavePngAndReadBack(library, few, files.Utf8(L"few.png"), 2).pixels, few.pixels);
  // Many colours: lossy, as the caption says, but close.
  const Bitmap photo = skintest::PhotoLike(80, 40);
  const Bitmap back = SavePngAndReadBack(library, photo, files.Utf8(L"many.png"), 2);
  for (const wchar_t* name : {L"few.png", L"many.png"}) {
    const std::string header = skintest::ReadBytes(files / name);
    ASSERT_GT(header.size(), 26u);
    EXPECT_EQ(header[24], 8) << "8 bits per palette index";
    EXPECT_EQ(header[25], 3) << "colour type: palette";
  }
  const int difference = skintest::MaxChannelDifference(photo, back);
  EXPECT_GE(difference, 0);
  EXPECT_LE(difference, 64);
}

bool RunningOnWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST_F(ImagingLibrary, JpegQualityHundredStaysWithinEightLevels) {
  const Bitmap photo = skintest::PhotoLike(96, 64);
  skintest::ImageSurface surface(photo);
  ASSERT_TRUE(library.SaveJpeg(surface.dc(), photo.width, photo.height, files.Utf8(L"q100.jpg"),
                               100, false));
  ASSERT_TRUE(
      library.SaveJpeg(surface.dc(), photo.width, photo.height, files.Utf8(L"q10.jpg"), 10, true));
  tomari::Win32ImageDecoder loader;
  const Bitmap best = loader.Decode(files.Utf8(L"q100.jpg"));
  const int difference = skintest::MaxChannelDifference(photo, best);
  ASSERT_GE(difference, 0);
  EXPECT_LE(difference, 40) << "not a JPEG of the surface";
  const std::string q100 = skintest::ReadBytes(files / L"q100.jpg");
  const std::string q10 = skintest::ReadBytes(files / L"q10.jpg");
  // Wine 8's WIC JPEG encoder drops the ImageQuality option and always writes
  // libjpeg's default quality; only there may both files come out the same.
  if (q10 == q100 && RunningOnWine())
    GTEST_SKIP() << "this WIC ignores ImageQuality; quality-100 accuracy measured " << difference;
  EXPECT_LT(q10.size(), q100.size()) << "the quality must reach the encoder";
  EXPECT_LE(difference, 8);
}

TEST_F(ImagingLibrary, SavesReadOnlyTheTopLeftOfALargerSurface) {
  const Bitmap photo = skintest::PhotoLike(40, 30);
  skintest::ImageSurface surface(photo);
  ASSERT_TRUE(library.SavePng(surface.dc(), 10, 7, files.Utf8(L"corner.png"), 0));
  tomari::Win32ImageDecoder loader;
  const Bitmap corner = loader.Decode(files.Utf8(L"corner.png"));
  ASSERT_EQ(corner.width, 10);
  ASSERT_EQ(corner.height, 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(corner.At(x, y), photo.At(x, y));
}

TEST_F(ImagingLibrary, FailedWritesAreReportedAndLeaveNothingBehind) {
  const Bitmap p = Pattern();
  skintest::ImageSurface surface(p);
  EXPECT_FALSE(
      library.SavePng(surface.dc(), p.width, p.height, files.Utf8(L"no_such_folder\\a.png"), 0));
  EXPECT_FALSE(library.SavePng(surface.dc(), 0, p.height, files.Utf8(L"zero.png"), 0));
  EXPECT_FALSE(library.SaveJpeg(nullptr, p.width, p.height, files.Utf8(L"null.jpg"), 90, false));
  EXPECT_EQ(files.Count(), 0);
  // An existing file stays as it was when the new one cannot be made.
  ASSERT_TRUE(skintest::WriteBytes(files / L"keep.png", "old"));
  EXPECT_FALSE(library.SavePng(surface.dc(), -5, 3, files.Utf8(L"keep.png"), 0));
  EXPECT_EQ(skintest::ReadBytes(files / L"keep.png"), "old");
  // The ANSI entry points return their code too.
  auto savePng = Entry<int(__stdcall*)(HDC, int, int, const char*, BYTE)>("DCSavetoPNG");
  EXPECT_NE(savePng(surface.dc(), p.width, p.height, nullptr, 0), 0);
  EXPECT_EQ(
      savePng(surface.dc(), p.width, p.height, tomari::WideToUtf8(files / L"ansi.png").c_str(), 0),
      0);
  EXPECT_TRUE(skintest::FileExists(files / L"ansi.png"));
}

// ---- The probe ---------------------------------------------------------------

TEST(ImagingProbe, OnlyAWholeLibraryCounts) {
  TempFolder app;
  tomari::ImageLibrary library;
  EXPECT_FALSE(library.Load(app.Utf8())) << "missing file";

  ASSERT_TRUE(CopyFileW((win32test::TestBinDir() + L"TransG32_lacking_png.dll").c_str(),
                        (app / L"TransG32.dll").c_str(), FALSE));
  EXPECT_FALSE(library.Load(app.Utf8())) << "a library without DCSavetoPNG";
  EXPECT_FALSE(library.Loaded());
  Bitmap unused;
  tomari::Win32ImageDecoder decoder(&library);
  EXPECT_FALSE(decoder.ReadPngWithLibrary(app.Utf8(L"x.png"), 4, 4, unused));

  ASSERT_TRUE(DeleteFileW((app / L"TransG32.dll").c_str()));
  std::string corrupt = "MZ" + std::string(4096, '\x90');
  ASSERT_TRUE(skintest::WriteBytes(app / L"TransG32.dll", corrupt));
  EXPECT_FALSE(library.Load(app.Utf8())) << "a corrupt file";

  // A library built for another machine (the PE header's machine field says
  // x64 to a 32-bit process, i386 to a 64-bit one): the loader refuses it, and
  // so must the probe.
  std::string dll = skintest::ReadBytes(skintest::DistDir() + L"TransG32.dll");
  ASSERT_GT(dll.size(), 0x200u);
  const std::uint32_t pe =
      static_cast<unsigned char>(dll[0x3C]) | static_cast<unsigned char>(dll[0x3D]) << 8;
  ASSERT_EQ(dll.compare(pe, 4, std::string("PE\0\0", 4)), 0);
  const bool is64 = sizeof(void*) == 8;
  dll[pe + 4] = is64 ? '\x4c' : '\x64';
  dll[pe + 5] = is64 ? '\x01' : '\x86';
  ASSERT_TRUE(skintest::WriteBytes(app / L"TransG32.dll", dll));
  EXPECT_FALSE(library.Load(app.Utf8())) << "a library for another machine";

  ASSERT_TRUE(DeleteFileW((app / L"TransG32.dll").c_str()));
  ASSERT_TRUE(CreateDirectoryW((app / L"TransG32.dll").c_str(), nullptr));
  EXPECT_FALSE(library.Load(app.Utf8())) << "a folder of that name";
  ASSERT_TRUE(RemoveDirectoryW((app / L"TransG32.dll").c_str()));

  ASSERT_TRUE(CopyFileW((skintest::DistDir() + L"TransG32.dll").c_str(),
                        (app / L"TransG32.dll").c_str(), FALSE));
  EXPECT_TRUE(library.Load(app.Utf8()));
  library.Unload();
  EXPECT_FALSE(library.Loaded());
  skintest::ImageSurface surface(4, 4);
  EXPECT_FALSE(library.ReadPng(app.Utf8(L"x.png"), surface.dc()));
}

}  // namespace
