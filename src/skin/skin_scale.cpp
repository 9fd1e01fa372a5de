#include "skin/skin_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tomari {

namespace {

int Saturate(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

bool FitsBudget(const Bitmap& image, int dpi) {
  const std::int64_t w = ScaleLength(image.width, dpi), h = ScaleLength(image.height, dpi);
  return w <= kMaxImageSide && h <= kMaxImageSide && w * h <= kMaxImagePixels;
}

int Channel(Pixel p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

// The source pixel under the centre of output pixel `o` along one axis.
int Nearest(int o, int dpi, int size) {
  const std::int64_t s = (std::int64_t{o} * 2 + 1) * kBaseDpi / (std::int64_t{dpi} * 2);
  return static_cast<int>(std::min<std::int64_t>(s, size - 1));
}

Pixel Blend(const Bitmap& image, double sx, double sy, Pixel key, bool hasKey) {
  const int x0 = std::clamp(static_cast<int>(std::floor(sx)), 0, image.width - 1);
  const int y0 = std::clamp(static_cast<int>(std::floor(sy)), 0, image.height - 1);
  const int x1 = std::min(x0 + 1, image.width - 1), y1 = std::min(y0 + 1, image.height - 1);
  const double fx = std::clamp(sx - x0, 0.0, 1.0), fy = std::clamp(sy - y0, 0.0, 1.0);
  const struct {
    int x, y;
    double w;
  } taps[] = {{x0, y0, (1 - fx) * (1 - fy)}, {x1, y0, fx * (1 - fy)},
              {x0, y1, (1 - fx) * fy}, {x1, y1, fx * fy}};
  double sum[3] = {0, 0, 0}, weight = 0;
  for (const auto& t : taps) {
    const Pixel p = image.At(t.x, t.y);
    if ((hasKey && p == key) || t.w <= 0) continue;
    sum[0] += Channel(p, 16) * t.w;
    sum[1] += Channel(p, 8) * t.w;
    sum[2] += Channel(p, 0) * t.w;
    weight += t.w;
  }
  if (weight <= 0) return image.At(x0, y0);
  return MakePixel(static_cast<int>(std::lround(sum[0] / weight)),
                   static_cast<int>(std::lround(sum[1] / weight)),
                   static_cast<int>(std::lround(sum[2] / weight)));
}

}  // namespace

int ScaleLength(int length, int dpi) {
  // Nearest, halves away from zero on the positive side: floor((2 l d + 96) / 192).
  const std::int64_t n = std::int64_t{length} * dpi * 2 + kBaseDpi, d = 2 * kBaseDpi;
  return Saturate(n >= 0 ? n / d : -((-n + d - 1) / d));
}

Rect ScaleRect(const Rect& r, int dpi) {
  return {ScaleLength(r.left, dpi), ScaleLength(r.top, dpi), ScaleLength(r.right, dpi),
          ScaleLength(r.bottom, dpi)};
}

Bitmap ScaleImage(const Bitmap& image, int dpi, SkinColor key, bool exact) {
  if (image.Empty() || dpi <= 0 || !FitsBudget(image, dpi)) return {};
  if (dpi == kBaseDpi) return image;
  Bitmap out(ScaleLength(image.width, dpi), ScaleLength(image.height, dpi));
  const bool whole = dpi % kBaseDpi == 0;
  const bool hasKey = key != kNoColor;
  const Pixel keyPixel = hasKey ? SkinColorToPixel(key) : 0;
  for (int y = 0; y < out.height; ++y) {
    const int ny = Nearest(y, dpi, image.height);
    for (int x = 0; x < out.width; ++x) {
      const Pixel nearest = image.At(Nearest(x, dpi, image.width), ny);
      if (exact || whole || (hasKey && nearest == keyPixel)) {
        out.At(x, y) = nearest;
        continue;
      }
      const double sx = (x + 0.5) * kBaseDpi / dpi - 0.5;
      const double sy = (y + 0.5) * kBaseDpi / dpi - 0.5;
      out.At(x, y) = Blend(image, sx, sy, keyPixel, hasKey);
    }
  }
  return out;
}

int ScaleSkin(SkinData& skin, int dpi) {
  if (!skin.loaded || dpi <= 0 || dpi == kBaseDpi) return kBaseDpi;
  if (!FitsBudget(skin.Back(), dpi) || !FitsBudget(skin.Map, dpi)) return kBaseDpi;
  for (SkinImage& image : skin.Images) image = ScaleImage(image, dpi, skin.BackColor, false);
  skin.Map = ScaleImage(skin.Map, dpi, kNoColor, true);
  for (SkinButton& button : skin.Buttons) {
    button.Rectangle = ScaleRect(button.Rectangle, dpi);
    for (SkinImage& image : button.Images) image = ScaleImage(image, dpi, skin.BackColor, false);
  }
  return dpi;
}

}  // namespace tomari
