#pragma once
// Surfaces and pictures for the imaging and skin tests under Wine.
#include <windows.h>

#include <cmath>
#include <string>

#include "platform/bitmap.h"
#include "win32/ports/dib.h"
#include "win32/win32_test_support.h"

namespace skintest {

using win32test::DistDir;
using win32test::FileExists;
using win32test::FullPath;
using win32test::ReadBytes;
using win32test::TempFolder;
using win32test::WriteBytes;

// A memory surface holding `image`, as a capture hands it to the library.
class ImageSurface {
 public:
  explicit ImageSurface(const tomari::Bitmap& image) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, image.width, image.height);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
    const BITMAPINFO info = tomari::TopDownDib32(image.width, image.height);
    SetDIBitsToDevice(dc_, 0, 0, image.width, image.height, 0, 0, 0, image.height,
                      image.pixels.data(), &info, DIB_RGB_COLORS);
  }
  // An empty width x height surface, for a library to draw into.
  ImageSurface(int width, int height) : ImageSurface(tomari::Bitmap(width, height, 0)) {}
  ~ImageSurface() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  ImageSurface(const ImageSurface&) = delete;
  ImageSurface& operator=(const ImageSurface&) = delete;
  HDC dc() const { return dc_; }
  tomari::Bitmap Read(int width, int height) const {
    tomari::Bitmap out(width, height);
    BITMAPINFO info = tomari::TopDownDib32(width, height);
    GetDIBits(dc_, bitmap_, 0, height, out.pixels.data(), &info, DIB_RGB_COLORS);
    for (auto& p : out.pixels) p &= 0x00FFFFFF;
    return out;
  }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// Smooth gradients with some texture: what a photograph asks of an encoder.
inline tomari::Bitmap PhotoLike(int width, int height) {
  tomari::Bitmap b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double fx = static_cast<double>(x) / width, fy = static_cast<double>(y) / height;
      const int r = static_cast<int>(128 + 100 * std::sin(6.0 * fx + 1.0) * std::cos(3.0 * fy));
      const int g = static_cast<int>(40 + 180 * fy + 10 * std::sin(0.5 * x));
      const int bl = static_cast<int>(200 - 150 * fx * fy + 8 * std::cos(0.3 * (x + y)));
      b.At(x, y) = tomari::MakePixel(r, g, bl);
    }
  return b;
}

// The largest difference of any channel of any pixel; -1 when sizes differ.
inline int MaxChannelDifference(const tomari::Bitmap& a, const tomari::Bitmap& b) {
  if (a.width != b.width || a.height != b.height) return -1;
  int worst = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8) {
      const int d = std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) -
                             static_cast<int>((b.pixels[i] >> shift) & 0xFF));
      if (d > worst) worst = d;
    }
  return worst;
}

}  // namespace skintest
