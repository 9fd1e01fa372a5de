// The widget's outline from its Back image, before and after scaling to a
// monitor's DPI: the runs cover exactly the pixels that are not the key
// colour, each once; a scaled image keeps the key colour where its nearest
// source pixel has it, and an exact scale invents no colour.
#include <fuzzer/FuzzedDataProvider.h>

#include <set>

#include "fuzz_ports.h"
#include "skin/skin.h"
#include "skin/skin_scale.h"

using namespace tomari;
using fuzz::Fail;

namespace {

void CheckShape(const Bitmap& image, SkinColor key) {
  const WidgetShape shape = ExtractShape(image, key);
  if (key == kNoColor) {
    FUZZ_CHECK(shape.fullRectangle && shape.runs.empty());
    return;
  }
  FUZZ_CHECK(!shape.fullRectangle);
  std::vector<int> covered(image.pixels.size());
  for (const Rect& r : shape.runs) {
    FUZZ_CHECK(r.top >= 0 && r.bottom == r.top + 1 && r.bottom <= image.height);
    FUZZ_CHECK(r.left >= 0 && r.left < r.right && r.right <= image.width);
    for (int x = r.left; x < r.right; ++x)
      ++covered[static_cast<std::size_t>(r.top) * image.width + x];
  }
  const Pixel keyPixel = SkinColorToPixel(key);
  for (std::size_t i = 0; i < covered.size(); ++i)
    if (covered[i] != ((image.pixels[i] & 0xFFFFFF) == keyPixel ? 0 : 1))
      Fail("the outline does not cover exactly the pixels off the key colour");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int width = in.ConsumeIntegralInRange(0, 64);
  const int height = in.ConsumeIntegralInRange(0, 64);
  const int dpi = in.ConsumeIntegralInRange(-10, 400);
  const bool exact = in.ConsumeBool();
  // A palette of four, so that the key colour is common.
  Pixel palette[4];
  for (Pixel& p : palette) p = in.ConsumeIntegral<std::uint32_t>() & 0xFFFFFF;
  const SkinColor key = in.ConsumeBool()
                            ? kNoColor
                            : static_cast<SkinColor>((palette[0] & 0xFF) << 16 |
                                                     (palette[0] & 0xFF00) | (palette[0] >> 16));
  Bitmap image(width, height);
  for (Pixel& p : image.pixels) p = palette[in.ConsumeIntegralInRange(0, 3)];
  CheckShape(image, key);

  const Bitmap scaled = ScaleImage(image, dpi, key, exact);
  if (image.Empty() || dpi <= 0 || ScaleLength(width, dpi) == 0 || ScaleLength(height, dpi) == 0) {
    FUZZ_CHECK(scaled.Empty());
    return 0;
  }
  FUZZ_CHECK(scaled.width == ScaleLength(width, dpi) && scaled.height == ScaleLength(height, dpi));
  CheckShape(scaled, key);
  if (exact || dpi % kBaseDpi == 0) {
    const std::set<Pixel> source(image.pixels.begin(), image.pixels.end());
    for (Pixel p : scaled.pixels)
      if (!source.count(p)) Fail("an exact scale made a colour of its own");
  }
  return 0;
}
