#pragma once
// A 32-bit top-down pixel buffer: the form in which the core composes the widget
// and in which the Win32 side hands over decoded images.
#include <cstdint>
#include <vector>

namespace tomari {

// 0x00RRGGBB, laid out in memory as a 32bpp BGR DIB row (B, G, R, unused).
using Pixel = std::uint32_t;

inline constexpr Pixel MakePixel(int r, int g, int b) {
  return (static_cast<Pixel>(r & 0xFF) << 16) | (static_cast<Pixel>(g & 0xFF) << 8) |
         static_cast<Pixel>(b & 0xFF);
}

struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;  // width * height, rows top to bottom

  Bitmap() = default;
  Bitmap(int w, int h, Pixel fill = 0)
      : width(w), height(h), pixels(static_cast<size_t>(w > 0 && h > 0 ? w * h : 0), fill) {
    if (w <= 0 || h <= 0) width = height = 0;
  }
  bool Empty() const { return width <= 0 || height <= 0; }
  Pixel At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  Pixel& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

}  // namespace tomari
