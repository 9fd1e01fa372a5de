// The widget's outline, its face and which button lies under a point, all
// worked out on pixel buffers; the Win32 side only presents the results.
#include <algorithm>

#include "skin/skin.h"

namespace tomari {

namespace {

bool IsKey(Pixel p, SkinColor key) {
  return key != kNoColor && (p & 0x00FFFFFF) == SkinColorToPixel(key);
}

}  // namespace

WidgetShape ExtractShape(const SkinImage& back, SkinColor key) {
  WidgetShape shape;
  if (key == kNoColor) return shape;
  shape.fullRectangle = false;
  for (int y = 0; y < back.height; ++y) {
    int x = 0;
    while (x < back.width) {
      if (IsKey(back.At(x, y), key)) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < back.width && !IsKey(back.At(x, y), key)) ++x;
      shape.runs.push_back(Rect{start, y, x, y + 1});
    }
  }
  return shape;
}

void SetRegionFromImage(WidgetWindow& widget, const SkinImage& back, SkinColor key) {
  widget.SetShape(ExtractShape(back, key));
}

void DrawKeyedImage(Bitmap& dest, const SkinImage& fill, const SkinImage& mask, SkinColor key) {
  if (key == kNoColor) return;
  const int width = std::min({fill.width, mask.width, dest.width});
  const int height = std::min({fill.height, mask.height, dest.height});
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (IsKey(mask.At(x, y), key)) dest.At(x, y) = fill.At(x, y);
}

void DrawButton(Bitmap& face, const SkinData& skin, std::size_t index, int state) {
  if (state < 0 || state >= kButtonStateCount || index >= skin.Buttons.size()) return;
  const SkinButton& button = skin.Buttons[index];
  if (skin.IsMapSkin()) {
    DrawKeyedImage(face, skin.Images[state], skin.Map, button.Color);
    return;
  }
  const SkinImage& image = button.Images[state];
  const Rect& r = button.Rectangle;
  const std::int64_t width =
      std::min<std::int64_t>(static_cast<std::int64_t>(r.right) - r.left, image.width);
  const std::int64_t height =
      std::min<std::int64_t>(static_cast<std::int64_t>(r.bottom) - r.top, image.height);
  for (std::int64_t y = 0; y < height; ++y) {
    const std::int64_t fy = r.top + y;
    if (fy < 0 || fy >= face.height) continue;
    for (std::int64_t x = 0; x < width; ++x) {
      const std::int64_t fx = r.left + x;
      if (fx < 0 || fx >= face.width) continue;
      face.At(static_cast<int>(fx), static_cast<int>(fy)) =
          image.At(static_cast<int>(x), static_cast<int>(y));
    }
  }
}

Bitmap ComposeFace(const SkinData& skin, std::span<const int> states) {
  if (!skin.loaded || skin.Back().Empty()) return {};
  Bitmap face = skin.Back();
  const std::size_t count = std::min(states.size(), skin.Buttons.size());
  for (std::size_t i = 0; i < count; ++i) DrawButton(face, skin, i, states[i]);
  return face;
}

bool HitTestButton(const SkinData& skin, const SkinButton& button, int x, int y) {
  if (skin.IsMapSkin()) {
    if (x < 0 || y < 0 || x >= skin.Map.width || y >= skin.Map.height) return false;
    return IsKey(skin.Map.At(x, y), button.Color);
  }
  const Rect& r = button.Rectangle;
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace tomari
