#pragma once
// The 24-bit BMP files that captures are saved as without the imaging library.
#include <cstddef>
#include <string>

#include "platform/bitmap.h"

namespace tomari {

// Row size of a 24-bit BMP: 3 bytes a pixel, padded to a multiple of 4.
std::size_t BmpRowSize(int width);

// The whole BMP file for `picture`: the 14-byte file header, the 40-byte
// information header and an empty 4-byte colour entry (pixels therefore start
// at 58), then the rows bottom-up as blue, green, red, zero-padded. Empty for an
// empty picture and for one too large for the format's 32-bit sizes.
std::string BmpFileBytes(const Bitmap& picture);

}  // namespace tomari
