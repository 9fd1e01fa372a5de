// Pictures under Wine: the WIC picture loader, TransG32.dll's entry points and
// the probe that decides whether the application may use the library.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "support/image_bytes.h"
#include "win32/ports/gdi_handles.h"
#include "win32/ports/image_library.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_imaging.h"
#include "win32/win32_test_support.h"

namespace tomari {
namespace {

using namespace win32test;
namespace bytes = imagebytes;

// Every channel value and the exact key colour, 29 x 7 (odd widths find
// row-padding mistakes); with `photo`, smooth gradients as a camera gives.
Bitmap Pattern(int w = 29, int h = 7, bool photo = false) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.At(x, y) = photo
                       ? MakePixel(128 + static_cast<int>(100 * std::sin(6.0 * x / w)),
                                   40 + 180 * y / h + x % 7, 200 - 150 * x * y / (w * h))
                       : MakePixel((x * 9 + y) & 0xFF, (y * 37 + x * 3) & 0xFF, (x * y * 5) & 0xFF);
  if (!photo) b.At(0, 0) = MakePixel(255, 0, 255);
  return b;
}

// The largest difference of any channel of any pixel; 999 when sizes differ.
int Difference(const Bitmap& a, const Bitmap& b) {
  if (a.width != b.width || a.height != b.height) return 999;
  int worst = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8)
      worst = std::max(worst, std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) -
                                       static_cast<int>((b.pixels[i] >> shift) & 0xFF)));
  return worst;
}

// A memory surface holding `image`, as a capture hands it to the library.
struct Surface {
  explicit Surface(const Bitmap& image) : pixels(dc.Get(), image.width, image.height), size(image) {
    dc.Select(pixels.Get());
    std::memcpy(const_cast<DWORD*>(pixels.Bits()), image.pixels.data(), image.pixels.size() * 4);
  }
  Bitmap Read() {
    GdiFlush();
    for (size_t i = 0; i < size.pixels.size(); ++i) size.pixels[i] = pixels.Bits()[i] & 0xFFFFFF;
    return size;
  }
  gdi::MemoryDC dc{nullptr};
  gdi::DibSection pixels;
  Bitmap size;
};

TEST(Imaging, EveryFormatDecodesToItsExactPixelsByContentAndBrokenFilesToNothing) {
  TempFolder folder;
  Win32ImageDecoder loader;
  auto decode = [&](const std::wstring& name, const std::string& content) {
    EXPECT_TRUE(WriteBytes(folder / name, content));
    return loader.Decode(folder.Utf8(name));
  };
  const Bitmap p = Pattern();
  std::vector<std::uint8_t> alpha(p.pixels.size()), idx(p.pixels.size());
  std::vector<Pixel> palette;
  for (int i = 0; i < 16; ++i) palette.push_back(MakePixel(i * 17, 255 - i * 13, (i * 77) & 0xFF));
  palette[3] = MakePixel(255, 0, 255);
  Bitmap paletted(29, 7);
  for (size_t i = 0; i < idx.size(); ++i) {
    alpha[i] = static_cast<std::uint8_t>(i * 23);  // 0 first: its colour survives all the same
    idx[i] = static_cast<std::uint8_t>((i * 7 + i / 5) % 16);
    paletted.pixels[i] = palette[idx[i]];
  }
  const struct {
    const wchar_t* name;
    std::string content;
    const Bitmap& expected;
  } cases[] = {
      {L"bottom_up.bmp", bytes::EncodeBmp24(p), p},
      {L"top_down.bmp", bytes::EncodeBmp24(p, true), p},
      {L"palette.bmp", bytes::EncodeBmp8(29, 7, palette, idx), paletted},
      {L"rgba.png", bytes::EncodePng(p, &alpha), p},  // alpha ignored, colours kept
      // Index 3 is magenta and transparent: it stays magenta, the skin's key colour.
      {L"transparent.gif", bytes::EncodeGif(29, 7, palette, idx, 3), paletted},
      {L"really_png.bmp", bytes::EncodePng(p), p},
      {L"背景画像.gif", bytes::EncodeBmp24(p), p},
  };
  for (const auto& c : cases)
    EXPECT_EQ(decode(c.name, c.content).pixels, c.expected.pixels) << WideToUtf8(c.name);
  // COM may already be set up on a thread in the other model; WIC must still work.
  Bitmap decoded;
  std::thread worker([&] {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    decoded = Win32ImageDecoder().Decode(folder.Utf8(L"rgba.png"));
    if (SUCCEEDED(hr)) CoUninitialize();
  });
  worker.join();
  EXPECT_EQ(decoded.pixels, p.pixels);
  // Missing, empty, truncated and garbage files give nothing, and never a crash.
  EXPECT_TRUE(loader.Decode(folder.Utf8(L"missing.png")).Empty());
  EXPECT_TRUE(loader.Decode("").Empty());
  const std::string png = bytes::EncodePng(p);
  for (const std::string& content :
       {std::string(), std::string(300, '\x5A'), png.substr(0, png.size() / 3),
        bytes::EncodeBmp24(p).substr(0, 54)})
    EXPECT_TRUE(decode(L"broken.png", content).Empty()) << content.size();
  decode(L"truncated.gif", bytes::EncodeGif(29, 7, palette, idx).substr(0, 40));
}

// Only a whole library for this machine counts: the probe must refuse what the
// loader would refuse, or the program would offer what it cannot do.
TEST(Imaging, OnlyAWholeLibraryCountsAndItReadsAndSavesThroughEveryEntryPoint) {
  TempFolder app, files;
  const std::wstring dll = app / L"TransG32.dll";
  ImageLibrary library;
  EXPECT_FALSE(library.Load(app.Utf8())) << "missing file";
  ASSERT_TRUE(CopyFileW((TestBinDir() + L"TransG32_lacking_png.dll").c_str(), dll.c_str(), FALSE));
  EXPECT_FALSE(library.Load(app.Utf8())) << "a library without DCSavetoPNG";
  ASSERT_TRUE(DeleteFileW(dll.c_str())) << "the refused library is not held";
  ASSERT_TRUE(WriteBytes(dll, "MZ" + std::string(4096, '\x90')));
  EXPECT_FALSE(library.Load(app.Utf8())) << "a corrupt file";
  // The PE header's machine field says x64 to a 32-bit process, i386 to a 64-bit one.
  std::string image = ReadBytes(DistDir() + L"TransG32.dll");
  ASSERT_GT(image.size(), 0x200u);
  const std::uint32_t pe =
      static_cast<unsigned char>(image[0x3C]) | static_cast<unsigned char>(image[0x3D]) << 8;
  ASSERT_EQ(image.compare(pe, 4, std::string("PE\0\0", 4)), 0);
  image.replace(pe + 4, 2, sizeof(void*) == 8 ? "\x4c\x01" : "\x64\x86");
  ASSERT_TRUE(WriteBytes(dll, image));
  EXPECT_FALSE(library.Load(app.Utf8())) << "a library for another machine";
  ASSERT_TRUE(DeleteFileW(dll.c_str()));
  ASSERT_TRUE(CreateDirectoryW(dll.c_str(), nullptr));
  EXPECT_FALSE(library.Load(app.Utf8())) << "a folder of that name";
  ASSERT_TRUE(RemoveDirectoryW(dll.c_str()));
  ASSERT_TRUE(CopyFileW((DistDir() + L"TransG32.dll").c_str(), dll.c_str(), FALSE));
  ASSERT_TRUE(library.Load(app.Utf8()));
  EXPECT_TRUE(library.HasWideEntryPoints());
  const HMODULE module = GetModuleHandleW(dll.c_str());
  EXPECT_EQ(GetProcAddress(module, "DCReadPNG@8"), nullptr) << "names undecorated";
  // The ANSI entry point with a CP932 path (the Japanese system's code page),
  // the W one (the decoder's) with a name outside it.
  const Bitmap p = Pattern();
  ASSERT_TRUE(WriteBytes(files / L"日本語.png", bytes::EncodePng(p)));
  ASSERT_TRUE(WriteBytes(files / L"한글.png", bytes::EncodePng(p)));
  auto readPng = reinterpret_cast<int(__stdcall*)(const char*, HDC)>(
      reinterpret_cast<void*>(GetProcAddress(module, "DCReadPNG")));
  Surface surface(Bitmap(p.width, p.height, 0));
  EXPECT_EQ(readPng(Narrow(files / L"日本語.png").c_str(), surface.dc.Get()), 0);
  EXPECT_EQ(surface.Read().pixels, p.pixels);
  Bitmap wide;
  EXPECT_TRUE(Win32ImageDecoder(&library).ReadPngWithLibrary(files.Utf8(L"한글.png"), p.width,
                                                             p.height, wide));
  EXPECT_EQ(wide.pixels, p.pixels);
  EXPECT_NE(readPng(nullptr, surface.dc.Get()) * readPng("none.png", surface.dc.Get()), 0);

  // Saves: the surface's top-left as chosen, read back; failures leave nothing.
  const Bitmap photo = Pattern(80, 40, true);
  Surface big(photo);
  auto saved = [&](const wchar_t* name) { return Win32ImageDecoder().Decode(files.Utf8(name)); };
  ASSERT_TRUE(library.SavePng(big.dc.Get(), 80, 40, files.Utf8(L"fast.png"), 1));
  EXPECT_EQ(saved(L"fast.png").pixels, photo.pixels);
  ASSERT_TRUE(library.SavePng(big.dc.Get(), 80, 40, files.Utf8(L"many.png"), 2));
  EXPECT_LE(Difference(photo, saved(L"many.png")), 64);
  EXPECT_EQ(ReadBytes(files / L"many.png").substr(24, 2), "\x08\x03") << "8 bits per index";
  ASSERT_TRUE(library.SaveJpeg(big.dc.Get(), 10, 7, files.Utf8(L"corner.jpg"), 100, false));
  Bitmap corner = photo;
  corner.width = 10, corner.height = 7, corner.pixels.resize(70);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 10; ++x) corner.At(x, y) = photo.At(x, y);
  EXPECT_LE(Difference(corner, saved(L"corner.jpg")), 40);
  ASSERT_TRUE(WriteBytes(files / L"keep.png", "old"));
  const int before = files.Count();
  EXPECT_FALSE(library.SavePng(big.dc.Get(), 80, 40, files.Utf8(L"no_such_folder\\a.png"), 0));
  EXPECT_FALSE(library.SaveJpeg(nullptr, 80, 40, files.Utf8(L"null.jpg"), 90, false));
  EXPECT_FALSE(library.SavePng(big.dc.Get(), -5, 3, files.Utf8(L"keep.png"), 0));
  EXPECT_EQ(ReadBytes(files / L"keep.png"), "old");
  EXPECT_EQ(files.Count(), before) << "no temporary files beside the pictures";
  library.Unload();
  EXPECT_FALSE(library.ReadPng(app.Utf8(L"x.png"), surface.dc.Get())) << "unloaded";
}

}  // namespace
}  // namespace tomari
