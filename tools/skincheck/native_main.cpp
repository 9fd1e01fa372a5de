// skincheck on Linux and the like: files through the C++ library, the skin's
// ANSI text as Shift-JIS (code page 932) through iconv, pictures through
// libpng, libjpeg and a BMP reader of our own. GIF pictures are left to the
// Windows build, which reads every format the program reads.
#include <cstdio>
#include <iconv.h>
#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "skin/skin.h"
#include "skin_check.h"

namespace {

using tomari::Bitmap;
using tomari::MakePixel;

std::string Native(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

class NativeFiles final : public tomari::ReadOnlyFileSystem {
 public:
  bool Exists(const std::string& path) override {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(Native(path), ec);
  }
  bool ReadAll(const std::string& path, std::string& bytes) override {
    std::uint64_t size = 0;
    return ReadHead(path, std::string::npos, bytes, size);
  }
  bool ReadHead(const std::string& path, std::size_t limit, std::string& head,
                std::uint64_t& size) override {
    std::error_code ec;
    const std::string p = Native(path);
    if (!std::filesystem::is_regular_file(p, ec)) return false;
    size = std::filesystem::file_size(p, ec);
    std::ifstream in(p, std::ios::binary);
    if (ec || !in) return false;
    head.assign(static_cast<std::size_t>(std::min<std::uint64_t>(size, limit)), '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return true;
  }
};

std::string Convert(const char* to, const char* from, const std::string& text) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return text;
  std::string out;
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char buffer[256];
  while (inLeft > 0) {
    char* o = buffer;
    std::size_t oLeft = sizeof buffer;
    if (iconv(cd, &in, &inLeft, &o, &oLeft) == static_cast<std::size_t>(-1) && o == buffer) {
      out += *in++;  // not a character of the code page: carried over as it is
      --inLeft;
    }
    out.append(buffer, o);
  }
  iconv_close(cd);
  return out;
}

class ShiftJisCodec final : public tomari::TextCodec {
 public:
  unsigned AnsiCodePage() override { return 932; }
  bool ToAnsi(const std::string& utf8, std::string& ansi) override {
    ansi = Convert("CP932", "UTF-8", utf8);
    return true;
  }
  std::string FromAnsi(const std::string& ansi) override { return Convert("UTF-8", "CP932", ansi); }
  bool IsLeadByte(unsigned char b) override { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
};

std::uint32_t Le(const std::string& b, std::size_t at, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
  return v;
}

// BMP files with a BITMAPINFOHEADER or later: 1, 4, 8, 24 and 32 bits, uncompressed.
Bitmap DecodeBmp(const std::string& b) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return {};
  const std::uint32_t offset = Le(b, 10, 4), header = Le(b, 14, 4);
  const int width = static_cast<std::int32_t>(Le(b, 18, 4));
  const int rawHeight = static_cast<std::int32_t>(Le(b, 22, 4));
  const int bits = static_cast<int>(Le(b, 28, 2));
  const std::uint32_t compression = Le(b, 30, 4);
  const int height = rawHeight < 0 ? -rawHeight : rawHeight;
  if (width <= 0 || height <= 0 || width > tomari::kMaxImageSide || height > tomari::kMaxImageSide ||
      (compression != 0 && !(compression == 3 && bits == 32)))
    return {};
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return {};
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  if (offset + stride * height > b.size()) return {};
  const std::size_t palette = 14 + header;
  Bitmap out(width, height);
  for (int y = 0; y < height; ++y) {
    const std::size_t row = offset + stride * (rawHeight < 0 ? y : height - 1 - y);
    for (int x = 0; x < width; ++x) {
      std::size_t at;
      if (bits >= 24) {
        at = row + static_cast<std::size_t>(x) * (bits / 8);
      } else {
        const std::size_t bit = static_cast<std::size_t>(x) * bits;
        const unsigned byte = static_cast<unsigned char>(b[row + bit / 8]);
        const unsigned index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        at = palette + index * 4;
        if (at + 3 > b.size()) return {};
      }
      out.At(x, y) = MakePixel(static_cast<unsigned char>(b[at + 2]), static_cast<unsigned char>(b[at + 1]),
                               static_cast<unsigned char>(b[at]));
    }
  }
  return out;
}

Bitmap DecodePng(const std::string& bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
  image.format = PNG_FORMAT_RGB;
  if (image.width == 0 || image.height == 0 || image.width > tomari::kMaxImageSide ||
      image.height > tomari::kMaxImageSide) {
    png_image_free(&image);
    return {};
  }
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
  Bitmap out(static_cast<int>(image.width), static_cast<int>(image.height));
  for (std::size_t i = 0; i < out.pixels.size(); ++i)
    out.pixels[i] = MakePixel(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
  return out;
}

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

Bitmap DecodeJpeg(const std::string& bytes) {
  jpeg_decompress_struct info{};
  JpegError error{};
  info.err = jpeg_std_error(&error.mgr);
  error.mgr.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<JpegError*>(c->err)->jump, 1); };
  error.mgr.output_message = [](j_common_ptr) {};
  Bitmap out;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return {};
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  if (info.output_width > tomari::kMaxImageSide || info.output_height > tomari::kMaxImageSide) {
    jpeg_destroy_decompress(&info);
    return {};
  }
  out = Bitmap(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
  std::vector<unsigned char> row(info.output_width * 3);
  while (info.output_scanline < info.output_height) {
    unsigned char* p = row.data();
    const int y = static_cast<int>(info.output_scanline);
    jpeg_read_scanlines(&info, &p, 1);
    for (int x = 0; x < out.width; ++x) out.At(x, y) = MakePixel(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return out;
}

bool IsGif(NativeFiles& files, const std::string& path) {
  std::string head;
  std::uint64_t size = 0;
  return files.ReadHead(path, 4, head, size) && head == "GIF8";
}

class NativeDecoder final : public tomari::ImageDecoder {
 public:
  explicit NativeDecoder(NativeFiles& files) : files_(files) {}
  Bitmap Decode(const std::string& path) override {
    std::string bytes;
    if (!files_.ReadAll(path, bytes)) return {};
    if (bytes.rfind("\x89PNG\r\n\x1a\n", 0) == 0) return DecodePng(bytes);
    if (bytes.rfind("\xff\xd8", 0) == 0) return DecodeJpeg(bytes);
    return DecodeBmp(bytes);
  }
  bool ReadPngWithLibrary(const std::string&, int, int, Bitmap&) override { return false; }

 private:
  NativeFiles& files_;
};

// A cursor file loads when it is a .cur/.ico directory or a RIFF animation.
class NativeCursors final : public tomari::CursorLoader {
 public:
  explicit NativeCursors(NativeFiles& files) : files_(files) {}
  tomari::CursorHandle LoadSystem(int id) override { return static_cast<tomari::CursorHandle>(id); }
  tomari::CursorHandle LoadFromFile(const std::string& path) override {
    std::string head;
    std::uint64_t size = 0;
    if (!files_.ReadHead(path, 12, head, size) || head.size() < 12) return 0;
    const bool cur = head.compare(0, 4, std::string("\0\0\2\0", 4)) == 0 ||
                     head.compare(0, 4, std::string("\0\0\1\0", 4)) == 0;
    const bool ani = head.compare(0, 4, "RIFF") == 0 && head.compare(8, 4, "ACON") == 0;
    return cur || ani ? ++next_ : 0;
  }
  void Destroy(tomari::CursorHandle) override {}
  void Show(tomari::CursorHandle) override {}

 private:
  NativeFiles& files_;
  tomari::CursorHandle next_ = 0x100000;
};

}  // namespace

int main(int argc, char** argv) {
  NativeFiles files;
  ShiftJisCodec codec;
  NativeDecoder decoder(files);
  NativeCursors cursors(files);
  skincheck::CheckPorts ports{files, codec, decoder, cursors,
                              [&files](const std::string& path) { return IsGif(files, path); }};
  std::string out;
  const int code = skincheck::RunSkinCheck(std::vector<std::string>(argv + 1, argv + argc),
                                           std::filesystem::current_path().string() + "/", ports, out);
  (code == 2 ? std::cerr : std::cout) << out;
  return code;
}
