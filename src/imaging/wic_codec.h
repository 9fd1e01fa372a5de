#pragma once
// Pictures through WIC, the platform's own imaging component: decoding files into
// pixels, encoding pixels into BMP, JPEG and PNG files, and reading a drawing
// surface. Shared by TransG32.dll and the application's picture loader, so both
// read a file to the same pixels.
#include <windows.h>

#include <string>

#include "platform/bitmap.h"

namespace tomari::wic {

// COM for the calling thread, for as long as the scope lives. A thread that
// the host already initialised in the other apartment model is used as it is
// (RPC_E_CHANGED_MODE): COM works there, and it is not ours to uninitialise.
class ComScope {
 public:
  ComScope();
  ~ComScope();
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool Usable() const { return usable_; }

 private:
  bool usable_ = false;
  bool uninitialize_ = false;
};

enum class Container { Any, Png };

// The first frame of a BMP, GIF, JPEG or PNG file as 0x00RRGGBB pixels, alpha
// ignored. Palette pictures take their palette's colours, so a transparent GIF
// pixel keeps its colour. False for a missing, undecodable or oversized file;
// with Container::Png also for any other format.
bool DecodeFile(const std::wstring& path, Bitmap& out, Container container = Container::Any);

enum class Format { Bmp, Jpeg, Png };

struct EncodeOptions {
  // JPEG: 1 (smallest) to 100 (best).
  int jpegQuality = 90;
  // PNG: no row filters, which is the fastest to write.
  bool pngNoFilter = false;
  // PNG: reduce to an optimised palette of 256 colours (lossy).
  bool pngPalette = false;
};

// Writes `image` into a temporary file beside `path` and puts it in place only
// when the encoder finished, so a failure never leaves a damaged file behind.
bool EncodeFile(const Bitmap& image, const std::wstring& path, Format format,
                const EncodeOptions& options);

// The width x height pixels at the top left of a drawing surface.
bool ReadSurface(HDC surface, int width, int height, Bitmap& out);
// Draws `image` at (0, 0) of a drawing surface.
bool DrawToSurface(const Bitmap& image, HDC surface);

// Pictures larger than this are refused rather than allocated.
inline constexpr int kMaxSide = 16384;
inline constexpr long long kMaxPixels = 16LL * 1024 * 1024;

}  // namespace tomari::wic
