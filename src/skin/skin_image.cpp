// Skin images: reading files into pixels and cutting button looks out of them.
#include <algorithm>
#include <cstring>
#include <utility>

#include "skin/skin.h"

namespace tomari {

namespace {

constexpr unsigned char kPngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

bool SaneSize(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

// Decoders promise a well-formed buffer; a port that breaks the promise must
// not take the widget down with it.
bool WellFormed(const Bitmap& b) {
  return SaneSize(b.width, b.height) &&
         b.pixels.size() == static_cast<std::size_t>(b.width) * static_cast<std::size_t>(b.height);
}

// Key colours compare red, green and blue only.
void DropAlpha(Bitmap& b) {
  for (Pixel& p : b.pixels) p &= 0x00FFFFFF;
}

}  // namespace

bool ReadPngImage(const std::string& path, bool hasImageLibrary, FileSystem& fs,
                  ImageDecoder& decoder, SkinImage& out) {
  if (!hasImageLibrary) return false;
  std::string head;
  std::uint64_t size = 0;
  if (!fs.ReadHead(path, 24, head, size)) return false;
  if (head.size() < 24 || std::memcmp(head.data(), kPngSignature, 8) != 0) return false;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(head[i]); };
  // The low 16 bits of the header's big-endian width and height.
  const int width = 256 * byte(18) + byte(19);
  const int height = 256 * byte(22) + byte(23);
  if (!SaneSize(width, height)) return false;
  Bitmap image;
  if (!decoder.ReadPngWithLibrary(path, width, height, image)) return false;
  if (!WellFormed(image) || image.width != width || image.height != height) return false;
  DropAlpha(image);
  out = std::move(image);
  return true;
}

SkinImage LoadSkinImage(const std::string& path, bool hasImageLibrary, FileSystem& fs,
                        ImageDecoder& decoder) {
  if (path.empty() || !fs.Exists(path)) return {};
  std::string none;
  std::uint64_t size = 0;
  if (!fs.ReadHead(path, 0, none, size) || size > kMaxImageFileBytes) return {};
  SkinImage image;
  if (ReadPngImage(path, hasImageLibrary, fs, decoder, image)) return image;
  image = decoder.Decode(path);
  if (!WellFormed(image)) return {};
  DropAlpha(image);
  return image;
}

SkinImage CutSkinImage(const SkinImage& source, int left, int top, int width, int height) {
  if (source.Empty() || !SaneSize(width, height)) return {};
  SkinImage cut(width, height, 0);
  // Only the part that overlaps the source is copied; the rest stays black, as
  // a fresh bitmap would.
  const std::int64_t x0 = std::max<std::int64_t>(0, -static_cast<std::int64_t>(left));
  const std::int64_t y0 = std::max<std::int64_t>(0, -static_cast<std::int64_t>(top));
  const std::int64_t x1 =
      std::min<std::int64_t>(width, static_cast<std::int64_t>(source.width) - left);
  const std::int64_t y1 =
      std::min<std::int64_t>(height, static_cast<std::int64_t>(source.height) - top);
  for (std::int64_t y = y0; y < y1; ++y)
    for (std::int64_t x = x0; x < x1; ++x)
      cut.At(static_cast<int>(x), static_cast<int>(y)) =
          source.At(static_cast<int>(x + left), static_cast<int>(y + top));
  return cut;
}

}  // namespace tomari
