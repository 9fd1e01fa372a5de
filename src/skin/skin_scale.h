#pragma once
// Scaling a skin to the DPI of the monitor the widget is on. A skin is drawn
// in pixels for 96 DPI; at 192 DPI every length doubles. Whole factors repeat
// pixels, so pixel art stays crisp; other factors blend neighbours, but never
// with the key colour, so the outline stays exact and free of fringes.
#include "skin/skin.h"

namespace tomari {

inline constexpr int kBaseDpi = 96;

// `length` skin pixels at `dpi`, to the nearest pixel; saturated to int.
int ScaleLength(int length, int dpi);
// Each edge scaled on its own, so rectangles that touch still touch.
Rect ScaleRect(const Rect& r, int dpi);
// `image` at `dpi`. With `exact` (colour maps) or a whole factor every output
// pixel is a source pixel; otherwise pixels are blended, except that an output
// pixel whose nearest source pixel is `key` is `key`, and key pixels never
// tint their neighbours. A factor that would exceed kMaxImagePixels gives an
// empty image.
Bitmap ScaleImage(const Bitmap& image, int dpi, SkinColor key, bool exact);
// Scales every image and button rectangle of a loaded skin to `dpi` (button
// images are cut from the Back image, so they scale alike). A skin too large
// to scale stays as loaded; returns the DPI the skin is now drawn for.
int ScaleSkin(SkinData& skin, int dpi);

}  // namespace tomari
