#pragma once
// Small image files written byte by byte, for test fixtures and the skin image
// generator: 24-bit and 8-bit BMP, PNG (RGB or RGBA, stored without
// compression) and GIF (palette, optional transparent index). Only what the
// fixtures need; the product itself decodes and encodes through WIC.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace tomari::imagebytes {

inline void Le16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
inline void Le32(std::string& s, std::uint32_t v) {
  Le16(s, v & 0xFFFF);
  Le16(s, v >> 16);
}
inline void Be32(std::string& s, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 0xFF);
}

inline unsigned Red(Pixel p) { return (p >> 16) & 0xFF; }
inline unsigned Green(Pixel p) { return (p >> 8) & 0xFF; }
inline unsigned Blue(Pixel p) { return p & 0xFF; }

// BITMAPFILEHEADER + BITMAPINFOHEADER + palette, then rows.
inline std::string BmpHeaders(int width, int height, int bits, unsigned paletteSize,
                              std::size_t imageBytes) {
  std::string s = "BM";
  const std::uint32_t offset = 14 + 40 + 4 * paletteSize;
  Le32(s, static_cast<std::uint32_t>(offset + imageBytes));
  Le32(s, 0);
  Le32(s, offset);
  Le32(s, 40);
  Le32(s, static_cast<std::uint32_t>(width));
  Le32(s, static_cast<std::uint32_t>(height));  // negative: top-down
  Le16(s, 1);
  Le16(s, static_cast<unsigned>(bits));
  Le32(s, 0);  // BI_RGB
  Le32(s, static_cast<std::uint32_t>(imageBytes));
  Le32(s, 2835);
  Le32(s, 2835);
  Le32(s, paletteSize);
  Le32(s, 0);
  return s;
}

inline std::string EncodeBmp24(const Bitmap& image, bool topDown = false) {
  const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) & ~std::size_t{3};
  std::string s =
      BmpHeaders(image.width, topDown ? -image.height : image.height, 24, 0, stride * image.height);
  for (int row = 0; row < image.height; ++row) {
    const int y = topDown ? row : image.height - 1 - row;
    std::string line;
    for (int x = 0; x < image.width; ++x) {
      const Pixel p = image.At(x, y);
      line += static_cast<char>(Blue(p));
      line += static_cast<char>(Green(p));
      line += static_cast<char>(Red(p));
    }
    line.resize(stride, '\0');
    s += line;
  }
  return s;
}

inline std::string EncodeBmp8(int width, int height, const std::vector<Pixel>& palette,
                              const std::vector<std::uint8_t>& indices) {
  const std::size_t stride = (static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
  std::string s =
      BmpHeaders(width, height, 8, static_cast<unsigned>(palette.size()), stride * height);
  for (Pixel p : palette) {
    s += static_cast<char>(Blue(p));
    s += static_cast<char>(Green(p));
    s += static_cast<char>(Red(p));
    s += '\0';
  }
  for (int y = height - 1; y >= 0; --y) {
    std::string line(indices.begin() + static_cast<std::ptrdiff_t>(y) * width,
                     indices.begin() + static_cast<std::ptrdiff_t>(y + 1) * width);
    line.resize(stride, '\0');
    s += line;
  }
  return s;
}

inline std::uint32_t Crc32(const std::string& data) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : data) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

inline void PngChunk(std::string& png, const char* type, const std::string& data) {
  Be32(png, static_cast<std::uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  png += body;
  Be32(png, Crc32(body));
}

// zlib stream of "stored" deflate blocks: valid, uncompressed, reproducible.
inline std::string ZlibStored(const std::string& raw) {
  std::string z = "\x78\x01";
  std::size_t pos = 0;
  do {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
    z += static_cast<char>(pos + n == raw.size() ? 1 : 0);
    Le16(z, static_cast<unsigned>(n));
    Le16(z, static_cast<unsigned>(~n & 0xFFFF));
    z.append(raw, pos, n);
    pos += n;
  } while (pos < raw.size());
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  Be32(z, (b << 16) | a);
  return z;
}

// RGB, or RGBA when `alpha` holds one byte per pixel.
inline std::string EncodePng(const Bitmap& image,
                             const std::vector<std::uint8_t>* alpha = nullptr) {
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  Be32(header, static_cast<std::uint32_t>(image.width));
  Be32(header, static_cast<std::uint32_t>(image.height));
  header += '\x08';
  header += alpha ? '\x06' : '\x02';
  header += std::string(3, '\0');
  PngChunk(png, "IHDR", header);
  std::string raw;
  for (int y = 0; y < image.height; ++y) {
    raw += '\0';  // filter: none
    for (int x = 0; x < image.width; ++x) {
      const Pixel p = image.At(x, y);
      raw += static_cast<char>(Red(p));
      raw += static_cast<char>(Green(p));
      raw += static_cast<char>(Blue(p));
      if (alpha) raw += static_cast<char>((*alpha)[static_cast<std::size_t>(y) * image.width + x]);
    }
  }
  PngChunk(png, "IDAT", ZlibStored(raw));
  PngChunk(png, "IEND", "");
  return png;
}

// A GIF89a of one image. `palette` has 4, 8 or 16 entries. The LZW stream
// sends every pixel as a literal and a clear code before the table would grow,
// so the code width never changes.
inline std::string EncodeGif(int width, int height, const std::vector<Pixel>& palette,
                             const std::vector<std::uint8_t>& indices, int transparent = -1) {
  int depth = 2;
  while ((1u << depth) < palette.size()) ++depth;
  std::string s = "GIF89a";
  Le16(s, static_cast<unsigned>(width));
  Le16(s, static_cast<unsigned>(height));
  s += static_cast<char>(0x80 | ((depth - 1) << 4) | (depth - 1));
  s += '\0';
  s += '\0';
  for (unsigned i = 0; i < (1u << depth); ++i) {
    const Pixel p = i < palette.size() ? palette[i] : 0;
    s += static_cast<char>(Red(p));
    s += static_cast<char>(Green(p));
    s += static_cast<char>(Blue(p));
  }
  if (transparent >= 0) {
    s += "\x21\xF9\x04";
    s += '\x01';  // transparent colour flag
    Le16(s, 0);
    s += static_cast<char>(transparent);
    s += '\0';
  }
  s += '\x2C';
  Le16(s, 0);
  Le16(s, 0);
  Le16(s, static_cast<unsigned>(width));
  Le16(s, static_cast<unsigned>(height));
  s += '\0';
  s += static_cast<char>(depth);
  const unsigned clear = 1u << depth;
  const unsigned end = clear + 1;
  const int codeBits = depth + 1;
  std::string data;
  std::uint32_t buffer = 0;
  int filled = 0;
  const auto emit = [&](unsigned code) {
    buffer |= code << filled;
    filled += codeBits;
    while (filled >= 8) {
      data += static_cast<char>(buffer & 0xFF);
      buffer >>= 8;
      filled -= 8;
    }
  };
  const unsigned runLength = clear - 2;
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (i % runLength == 0) emit(clear);
    emit(indices[i]);
  }
  emit(end);
  if (filled > 0) data += static_cast<char>(buffer & 0xFF);
  for (std::size_t pos = 0; pos < data.size(); pos += 255) {
    const std::size_t n = std::min<std::size_t>(255, data.size() - pos);
    s += static_cast<char>(n);
    s.append(data, pos, n);
  }
  s += '\0';
  s += '\x3B';
  return s;
}

}  // namespace tomari::imagebytes
