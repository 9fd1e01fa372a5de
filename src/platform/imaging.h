#pragma once
// Ports for the skin's files that the core cannot read itself: pictures and
// cursors. src/win32/ports implements them with WIC and user32; the fakes live in
// tests/support/fake_imaging.*. Paths are UTF-8 with backslashes.
#include <cstdint>
#include <string>

#include "platform/bitmap.h"

namespace tomari {

// The platform picture loader and the imaging library's PNG reader. Both hand
// back pixels as their colour with alpha ignored (0x00RRGGBB), so the same file
// gives the same pixels whichever way it was read.
class ImageDecoder {
 public:
  virtual ~ImageDecoder() = default;
  // BMP, GIF, JPEG and PNG, by content, not by extension. An empty bitmap when
  // the file is missing or cannot be decoded.
  virtual Bitmap Decode(const std::string& path) = 0;
  // `DCReadPNG` of TransG32.dll: draws the file into a width x height surface
  // (black where the picture does not reach). False when the library is not
  // loaded or rejects the file; `out` is then left alone.
  virtual bool ReadPngWithLibrary(const std::string& path, int width, int height, Bitmap& out) = 0;
};

// A cursor as the system hands it out; 0 is "no cursor".
using CursorHandle = std::uintptr_t;

// Standard system cursors, by their IDC_ numbers.
inline constexpr int kCursorArrow = 32512;

class CursorLoader {
 public:
  virtual ~CursorLoader() = default;
  // A shared system cursor: never destroyed by us.
  virtual CursorHandle LoadSystem(int id) = 0;
  // A cursor file (.cur or .ani); 0 when it cannot be loaded. The handle is
  // ours until Destroy.
  virtual CursorHandle LoadFromFile(const std::string& path) = 0;
  // Releases a handle that LoadFromFile gave; anything else is ignored.
  virtual void Destroy(CursorHandle cursor) = 0;
  // Shows the cursor over the widget.
  virtual void Show(CursorHandle cursor) = 0;
};

}  // namespace tomari
