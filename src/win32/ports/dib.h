#pragma once
// The one pixel layout we hand to GDI: 32 bits per pixel, rows top to bottom,
// as a Bitmap holds them. The imaging library defines it; the app uses the same.
#include "imaging/dib.h"

namespace tomari {

using wic::TopDownDib32;

}  // namespace tomari
