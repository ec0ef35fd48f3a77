#pragma once
#include <algorithm>
// Pixel-level painting shared by the drawing calls: raster operations, brush sampling and filling
// regions and coverage masks through a DC's clipping. Internal to the GDI.
#include <cstdint>
#include <vector>

#include "platform/gdi/dc_internal.h"

namespace pw::gdi {

// Binary raster operation (R2_*) on RGB; the result is opaque.
uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t dst);
// Ternary raster operation (the code's index byte, bits 16..23 of the ROP) on RGB, bit by bit.
uint32_t ApplyRop3(uint8_t code, uint32_t pattern, uint32_t source, uint32_t dst);
inline uint8_t Rop3Index(DWORD rop) {
    return static_cast<uint8_t>((rop >> 16) & 0xFF);
}
inline bool RopUsesSource(uint8_t code) {
    return ((code >> 2) & 0x33) != (code & 0x33);
}
inline bool RopUsesPattern(uint8_t code) {
    return ((code >> 4) & 0x0F) != (code & 0x0F);
}

// The colour a DC paints for a COLORREF: opaque, and black or white on a monochrome target.
uint32_t DeviceColor(const DeviceContext& dc, COLORREF color);

// The colour of a brush at a device pixel; false where the brush leaves the pixel alone
// (null brush, or a hatch's gaps in TRANSPARENT mode when transparentGaps is set).
class BrushSampler {
public:
    BrushSampler(const DeviceContext& dc, const BrushObject* brush, bool transparentGaps);
    bool Sample(int x, int y, uint32_t& out) const;
    bool IsNull() const { return null_; }
    // True, with the colour, when every pixel takes the same colour.
    bool Solid(uint32_t& out) const;

private:
    const BrushObject* brush_;
    bool null_ = false;
    bool transparentGaps_;
    uint32_t color_ = 0;
    uint32_t back_ = 0;
    uint32_t fore_ = 0;
    POINT origin_;
    bool mono_;
};

// Pixels to paint, in device coordinates: a bounding box and one byte per pixel (non-zero = covered).
struct CoverageMask {
    RECT bounds{};
    std::vector<uint8_t> bits;
    bool At(int x, int y) const {
        return x >= bounds.left && x < bounds.right && y >= bounds.top && y < bounds.bottom &&
               bits[static_cast<size_t>(y - bounds.top) * (bounds.right - bounds.left) + (x - bounds.left)] !=
                   0;
    }
};

// Paints the area (device coordinates) with the brush through the DC's clipping, combining with rop2.
void FillArea(DeviceContext& dc, const Region& area, const BrushSampler& brush, int rop2);
// Paints the covered pixels of the mask with a per-pixel colour source through the DC's clipping.
template <class ColorAt>
void PaintMask(DeviceContext& dc, const CoverageMask& mask, int rop2, ColorAt&& colorAt);
// Paints the pixels of the area with one colour.
void FillAreaColor(DeviceContext& dc, const Region& area, uint32_t color, int rop2);
// The raster operations without a source that paint one colour over a rectangle (device coordinates):
// the brush's when it is solid, black or white. False for any other, which needs a pixel-by-pixel pass.
bool FillOneColor(DeviceContext& dc, const RECT& area, const BrushSampler& brush, uint8_t rop3);

// Visits every device pixel of the area that the DC's clipping lets through, with its surface pixel.
template <class Fn> void ForEachVisiblePixel(DeviceContext& dc, const Region& area, Fn&& fn) {
    Surface* s = dc.Target();
    if (!s) return;
    const Region clipped = Region::Combine(area, dc.Visible(), Region::Op::And);
    for (const RECT& r : clipped.Rects())
        for (int y = r.top; y < r.bottom; ++y) {
            uint32_t* row =
                s->Bits() + static_cast<size_t>(y + dc.deviceOrigin.y) * s->Width() + dc.deviceOrigin.x;
            for (int x = r.left; x < r.right; ++x)
                fn(x, y, row[x]);
        }
}

// Every visible pixel of area set to one colour, a row at a time.
inline void FillVisible(DeviceContext& dc, const Region& area, uint32_t color) {
    Surface* s = dc.Target();
    if (!s) return;
    const Region clipped = Region::Combine(area, dc.Visible(), Region::Op::And);
    for (const RECT& r : clipped.Rects())
        for (int y = r.top; y < r.bottom; ++y)
            std::fill_n(s->Bits() + static_cast<size_t>(y + dc.deviceOrigin.y) * s->Width() +
                            dc.deviceOrigin.x + r.left,
                        r.right - r.left, color);
}

template <class ColorAt>
void PaintMask(DeviceContext& dc, const CoverageMask& mask, int rop2, ColorAt&& colorAt) {
    ForEachVisiblePixel(dc, Region(mask.bounds), [&](int x, int y, uint32_t& px) {
        if (!mask.At(x, y)) return;
        uint32_t c;
        if (colorAt(x, y, c)) px = ApplyRop2(rop2, c, px);
    });
}

} // namespace pw::gdi
