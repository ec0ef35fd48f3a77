#pragma once
// Packing and unpacking rows of device-independent bitmaps (1, 4, 8, 24 and 32 bits per pixel).
#include <cstdint>
#include <vector>

#include "platform/gdi/gdi_structs.h"

namespace pw::gdi {

inline int DibStride(int width, int bpp) {
    return ((width * bpp + 31) / 32) * 4;
}
bool IsSupportedDibDepth(int bpp);
// The colour table a BITMAPINFO carries (empty above 8 bits per pixel).
std::vector<RGBQUAD> DibPalette(const BITMAPINFO& info);
// A default colour table for writing indexed rows when the caller supplies none.
std::vector<RGBQUAD> DefaultPalette(int bpp);
void UnpackDibRow(const uint8_t* in, int width, int bpp, const std::vector<RGBQUAD>& palette, uint32_t* out);
void PackDibRow(const uint32_t* in, int width, int bpp, const std::vector<RGBQUAD>& palette, uint8_t* out);

} // namespace pw::gdi
