#include "commands/bmp_file.h"

#include <cstdint>

namespace tomari {

namespace {

constexpr std::size_t kBmpHeaderSize = 58;  // 14 + 40 + the empty colour entry

void Put16(char* p, std::uint16_t v) {
  p[0] = static_cast<char>(v & 0xFF);
  p[1] = static_cast<char>(v >> 8);
}

void Put32(char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::size_t BmpRowSize(int width) {
  return width <= 0 ? 0 : (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
}

std::string BmpFileBytes(const Bitmap& picture) {
  if (picture.Empty()) return {};
  const int w = picture.width;
  const int h = picture.height;
  if (picture.pixels.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) return {};
  const std::size_t rowSize = BmpRowSize(w);
  // The file size field has 32 bits.
  if (rowSize > (0xFFFFFFFFu - kBmpHeaderSize) / static_cast<std::size_t>(h)) return {};
  const std::size_t total = kBmpHeaderSize + rowSize * static_cast<std::size_t>(h);

  // Zero-filled, so the reserved fields, the colour entry and the row padding
  // need no writing.
  std::string out(total, '\0');
  char* p = out.data();
  p[0] = 'B';
  p[1] = 'M';
  Put32(p + 2, static_cast<std::uint32_t>(total));
  Put32(p + 10, static_cast<std::uint32_t>(kBmpHeaderSize));
  Put32(p + 14, 40);
  Put32(p + 18, static_cast<std::uint32_t>(w));
  Put32(p + 22, static_cast<std::uint32_t>(h));  // positive: bottom row first
  Put16(p + 26, 1);
  Put16(p + 28, 24);

  // One pass per row over contiguous memory on both sides; the file keeps the
  // bottom row first.
  unsigned char* row = reinterpret_cast<unsigned char*>(p + kBmpHeaderSize);
  for (int y = h - 1; y >= 0; --y, row += rowSize) {
    const Pixel* src = picture.pixels.data() + static_cast<std::size_t>(y) * w;
    unsigned char* dst = row;
    for (int x = 0; x < w; ++x) {
      const Pixel c = src[x];
      dst[0] = static_cast<unsigned char>(c);
      dst[1] = static_cast<unsigned char>(c >> 8);
      dst[2] = static_cast<unsigned char>(c >> 16);
      dst += 3;
    }
  }
  return out;
}

}  // namespace tomari
