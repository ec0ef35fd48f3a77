#pragma once
// Device-independent bitmap files composed in memory: how a frame's rendering reaches a bitmap.
#include "imaging/gif/color_reduction.h"

#include <cstdint>
#include <vector>

namespace gif {

// Bytes of one row of pixels at the given depth, padded to a multiple of alignment bits.
int BytesPerScanLine(int pixels, int bitsPerPixel, int alignment);

// A BMP file (14-byte file header, 40-byte info header, colour table for 8 bits, rows bottom-up)
// of an 8-bit or 24-bit picture. Other depths raise "Unsupported PixelFormat", a zero width or
// height "Invalid image dimensions".
std::vector<uint8_t> ComposeBitmapFile(const TRaster& picture);

} // namespace gif
