#pragma once
// The codec's drawing surfaces: 32 bits per pixel, rows top to bottom, as a
// Bitmap holds them.
#include <windows.h>

namespace tomari::wic {

inline BITMAPINFO TopDownDib32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // negative: top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// A DIB section selected into a memory surface compatible with `like`; both
// are released, and the surface's first bitmap put back, when it goes.
class DibSurface {
 public:
  DibSurface(HDC like, int width, int height) {
    BITMAPINFO info = TopDownDib32(width, height);
    bitmap_ = CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    dc_ = CreateCompatibleDC(like);
    if (bitmap_ && dc_) old_ = SelectObject(dc_, bitmap_);
  }
  ~DibSurface() {
    if (dc_ && old_) SelectObject(dc_, old_);
    if (dc_) DeleteDC(dc_);
    if (bitmap_) DeleteObject(bitmap_);
  }
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;
  bool Ok() const { return dc_ && bitmap_ && old_ && bits_; }
  HDC Dc() const { return dc_; }
  const void* Bits() const { return bits_; }

 private:
  HBITMAP bitmap_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

}  // namespace tomari::wic
