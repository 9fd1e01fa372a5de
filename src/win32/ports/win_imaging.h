#pragma once
// The picture loader (WIC) and the imaging library's PNG route, for skins.
#include <string>

#include "platform/imaging.h"

namespace tomari {

class ImageLibrary;

class Win32ImageDecoder final : public ImageDecoder {
 public:
  // `library` may be null or not loaded: the PNG route then fails and the
  // loader reads the file.
  explicit Win32ImageDecoder(const ImageLibrary* library = nullptr) : library_(library) {}
  Bitmap Decode(const std::string& path) override;
  // A 32-bit surface of the given size, DCReadPNG into it, the pixels out.
  bool ReadPngWithLibrary(const std::string& path, int width, int height, Bitmap& out) override;

 private:
  const ImageLibrary* library_;
};

// Writes `image` as a PNG file through WIC (for screenshots of composed faces
// and the tests); false when it could not be written.
bool SaveBitmapAsPng(const Bitmap& image, const std::string& path);

}  // namespace tomari
