// Picture files as the skin reads them: the PNG header route, the size limits
// in front of the decoder, and cutting looks out of a picture. Whatever the
// file, a picture comes back well formed or empty, and a cut is the requested
// size with the source's pixels where it overlaps the source and black elsewhere.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_ports.h"
#include "skin/skin.h"

using namespace tomari;
using fuzz::Fail;

namespace {

void CheckWellFormed(const SkinImage& i) {
  if (i.Empty()) return;
  FUZZ_CHECK(i.width <= kMaxImageSide && i.height <= kMaxImageSide);
  FUZZ_CHECK(i.pixels.size() == static_cast<std::size_t>(i.width) * i.height);
  for (Pixel p : i.pixels)
    if (p > 0xFFFFFF) Fail("a picture kept its alpha");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const bool library = in.ConsumeBool();
  const int maxSide = in.ConsumeIntegralInRange(1, 512);
  const int left = in.ConsumeIntegral<int>();
  const int top = in.ConsumeIntegral<int>();
  const int width = in.ConsumeIntegralInRange(-4, 300);
  const int height = in.ConsumeIntegralInRange(-4, 300);
  const std::string bytes = in.ConsumeRemainingBytesAsString();

  fuzz::MemoryFiles fs;
  fs.files["C:\\p.img"] = bytes;
  fuzz::HeaderDecoder decoder(fs, maxSide);
  SkinImage png;
  if (ReadPngImage("C:\\p.img", library, fs, decoder, png)) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    FUZZ_CHECK(png.width == 256 * b(18) + b(19) && png.height == 256 * b(22) + b(23));
  }
  CheckWellFormed(png);
  const SkinImage image = LoadSkinImage("C:\\p.img", library, fs, decoder);
  CheckWellFormed(image);

  const SkinImage cut = CutSkinImage(image, left, top, width, height);
  if (image.Empty() || width <= 0 || height <= 0) {
    FUZZ_CHECK(cut.Empty());
    return 0;
  }
  FUZZ_CHECK(cut.width == width && cut.height == height);
  CheckWellFormed(cut);
  for (int y = 0; y < height; y += 7)
    for (int x = 0; x < width; x += 5) {
      const std::int64_t sx = std::int64_t{x} + left, sy = std::int64_t{y} + top;
      const bool inside = sx >= 0 && sy >= 0 && sx < image.width && sy < image.height;
      const Pixel want = inside ? image.At(static_cast<int>(sx), static_cast<int>(sy)) : 0;
      if (cut.At(x, y) != want) Fail("a cut pixel is not the source's");
    }
  return 0;
}
