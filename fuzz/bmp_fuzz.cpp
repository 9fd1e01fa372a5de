// The BMP writer: the file it writes reads back, by the format's own rules,
// as the picture it was given.
#include <fuzzer/FuzzedDataProvider.h>

#include "commands/bmp_file.h"
#include "fuzz_ports.h"

using namespace tomari;
using fuzz::Fail;

namespace {

std::uint32_t Get32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  Bitmap picture;
  picture.width = in.ConsumeIntegralInRange(-2, 300);
  picture.height = in.ConsumeIntegralInRange(-2, 300);
  // Sometimes a buffer that does not match its size, as a broken capture might give.
  const bool matching = in.ConsumeIntegralInRange(0, 7) != 0;
  const std::size_t count = matching && picture.width > 0 && picture.height > 0
                                ? static_cast<std::size_t>(picture.width) * picture.height
                                : in.ConsumeIntegralInRange<std::size_t>(0, 1000);
  picture.pixels.resize(count);
  for (Pixel& p : picture.pixels) p = in.ConsumeIntegral<std::uint32_t>();

  const std::string file = BmpFileBytes(picture);
  const std::size_t w = picture.width > 0 ? picture.width : 0;
  const std::size_t h = picture.height > 0 ? picture.height : 0;
  if (w == 0 || h == 0 || count != w * h) {
    if (!file.empty()) Fail("a picture that is none was written");
    return 0;
  }
  const std::size_t row = (w * 3 + 3) / 4 * 4;
  FUZZ_CHECK(file.size() == 58 + row * h && file.compare(0, 2, "BM") == 0);
  FUZZ_CHECK(Get32(file, 2) == file.size() && Get32(file, 10) == 58);
  FUZZ_CHECK(Get32(file, 18) == w && Get32(file, 22) == h);
  FUZZ_CHECK(file[28] == 24 && file[29] == 0);
  for (std::size_t y = 0; y < h; ++y) {
    const std::size_t at = 58 + (h - 1 - y) * row;
    for (std::size_t x = 0; x < w; ++x) {
      const auto c = [&](std::size_t k) {
        return static_cast<Pixel>(static_cast<unsigned char>(file[at + 3 * x + k]));
      };
      if ((c(2) << 16 | c(1) << 8 | c(0)) != (picture.pixels[y * w + x] & 0xFFFFFF))
        Fail("a pixel reads back differently");
    }
    for (std::size_t pad = at + 3 * w; pad < at + row; ++pad)
      if (file[pad] != 0) Fail("row padding is not zero");
  }
  return 0;
}
