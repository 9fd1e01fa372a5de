#include "win32/ports/win_imaging.h"

#include <windows.h>

#include "imaging/wic_codec.h"
#include "win32/ports/gdi_handles.h"
#include "win32/ports/image_library.h"
#include "win32/ports/text_convert.h"

namespace tomari {

Bitmap Win32ImageDecoder::Decode(const std::string& path) {
  Bitmap image;
  if (!wic::DecodeFile(Utf8ToWide(path), image)) return {};
  return image;
}

bool Win32ImageDecoder::ReadPngWithLibrary(const std::string& path, int width, int height,
                                           Bitmap& out) {
  if (!library_ || !library_->Loaded() || width <= 0 || height <= 0 || width > wic::kMaxSide ||
      height > wic::kMaxSide || static_cast<long long>(width) * height > wic::kMaxPixels)
    return false;
  HDC screen = GetDC(nullptr);
  gdi::DibSection surface(screen, width, height);
  gdi::MemoryDC dc(screen);
  ReleaseDC(nullptr, screen);
  if (!surface || !dc || !dc.Select(surface.Get())) return false;
  if (!library_->ReadPng(path, dc.Get())) return false;
  GdiFlush();
  Bitmap image(width, height);
  const DWORD* bits = surface.Bits();
  for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = bits[i] & 0x00FFFFFFu;
  out = std::move(image);
  return true;
}

bool SaveBitmapAsPng(const Bitmap& image, const std::string& path) {
  return wic::EncodeFile(image, Utf8ToWide(path), wic::Format::Png, {});
}

}  // namespace tomari
