#pragma once
// Device-independent bitmap data as BMP files and bitmap resources hold it: reading every header
// version with 1, 4, 8, 16, 24 and 32 bits per pixel, run-length coded or not, and writing plain files.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/gdi_structs.h"

class TStream;

namespace pw::graphics {

// Little-endian fields of the file formats.
inline uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Rows bottom-up, each padded to 4 bytes; 16-bit data is widened to 24 bits on reading.
struct DibImage {
    int width = 0;
    int height = 0;
    int bpp = 0;                  // 1, 4, 8, 24 or 32
    std::vector<RGBQUAD> palette; // 2^bpp entries for the indexed depths, else empty
    std::vector<uint8_t> bits;
    int Stride() const { return ((width * bpp + 31) / 32) * 4; }
};

// Largest image accepted, in pixels: beyond it the decoded image would not fit sensible memory.
inline constexpr int64_t kMaxDibPixels = int64_t(1) << 26;
// Largest width or height the GDI makes bitmaps of.
inline constexpr int kMaxDibDimension = 1 << 15;

// Reads a BMP file (BITMAPFILEHEADER first) from the stream's position, leaving it after the pixel
// data. EInvalidGraphic on anything malformed or truncated.
DibImage ReadBmpFile(TStream& stream);
// Reads DIB data that starts with its info header (a bitmap resource), which may also begin with a
// file header.
DibImage ReadDibResource(const uint8_t* data, size_t size);
// Writes a BMP file: file header, BITMAPINFOHEADER, the colour table and the rows.
void WriteBmpFile(const DibImage& image, TStream& stream);

} // namespace pw::graphics
