// Drawing of TPNGObject: opaque, with one transparent colour, or blended by per-pixel alpha.
#include "imaging/png/chunk_ihdr.h"
#include "imaging/png/chunk_palette.h"
#include "imaging/png/png_object.h"

#include <algorithm>

namespace {

struct Clip {
    int left, top, right, bottom;
    bool Empty() const { return left >= right || top >= bottom; }
};

Clip Intersect(const PngDrawTarget& target, int left, int top, int right, int bottom) {
    return {std::max(left, 0), std::max(top, 0), std::min(right, target.Width),
            std::min(bottom, target.Height)};
}

uint8_t StoredIndex(const uint8_t* row, uint8_t bitCount, uint32_t x) {
    switch (bitCount) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    default:
        return row[x];
    }
}

// The stored value of a pixel as the colour key compares it, and its colour as 0x00RRGGBB.
struct SourcePixel {
    uint32_t stored;
    uint32_t rgb;
};

SourcePixel PixelAt(const TChunkIHDR& header, uint32_t x, uint32_t y) {
    const uint8_t* row = header.RowAddress(y);
    if (header.UsesColorTable()) {
        const uint8_t v = StoredIndex(row, header.BitCount(), x);
        const PngRgbQuad& c = header.ColorTable()[v];
        return {v, uint32_t(c.rgbRed) << 16 | uint32_t(c.rgbGreen) << 8 | c.rgbBlue};
    }
    const uint8_t* p = row + 3 * size_t(x);
    const uint32_t bgr = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    return {bgr, bgr};
}

inline uint8_t Blend(uint8_t src, uint8_t a, uint8_t dst) {
    return uint8_t((unsigned(src) * a + 255 + (255u - a) * dst) >> 8);
}

} // namespace

void TPNGObject::Draw(const PngDrawTarget& target, const RECT& rect) const noexcept {
    try {
        if (!HasHeader() || !target.Bits) return;
        const TChunkIHDR& header = RequireHeader();
        const uint32_t width = header.Width(), height = header.Height();
        if (width == 0 || height == 0 || !header.DibBits()) return;
        const auto* palette = chunkItems_.ItemFromClass<TChunkPLTE>();
        const auto* trns = chunkItems_.ItemFromClass<TChunktRNS>();
        TPngAlphaKind kind = AlphaKind();
        // Without a palette the transparency entries describe nothing: draw it opaque.
        if (header.ColorType() == 3 && !palette) kind = pakNone;

        if (kind != pakPartial) {
            const int64_t rw = rect.right - rect.left, rh = rect.bottom - rect.top;
            if (rw <= 0 || rh <= 0) return;
            uint32_t key = 0;
            const bool keyed = kind == pakColorKey && trns && trns->StoredKey(key);
            const Clip clip = Intersect(target, rect.left, rect.top, rect.right, rect.bottom);
            for (int y = clip.top; y < clip.bottom; ++y) {
                const auto sy = static_cast<uint32_t>((y - rect.top) * int64_t(height) / rh);
                uint32_t* out = target.Bits + size_t(y) * target.Width;
                for (int x = clip.left; x < clip.right; ++x) {
                    const auto sx = static_cast<uint32_t>((x - rect.left) * int64_t(width) / rw);
                    const SourcePixel p = PixelAt(header, sx, sy);
                    if (keyed && p.stored == key) continue;
                    out[x] = 0xFF000000u | p.rgb;
                }
            }
            return;
        }

        // Alpha images keep their own size and stay inside rect.
        const Clip clip = Intersect(target, rect.left, rect.top,
                                    int(std::min<int64_t>(rect.right, int64_t(rect.left) + width)),
                                    int(std::min<int64_t>(rect.bottom, int64_t(rect.top) + height)));
        if (clip.Empty()) return;
        const uint8_t* alphaPlane = header.AlphaPlane();
        const int entries = palette ? palette->EntryCount() : 0;
        for (int y = clip.top; y < clip.bottom; ++y) {
            const auto sy = uint32_t(y - rect.top);
            uint32_t* out = target.Bits + size_t(y) * target.Width;
            for (int x = clip.left; x < clip.right; ++x) {
                const auto sx = uint32_t(x - rect.left);
                SourcePixel p = PixelAt(header, sx, sy);
                uint8_t a;
                if (alphaPlane) {
                    a = alphaPlane[size_t(sy) * width + sx];
                } else {
                    a = trns ? trns->AlphaTable()[p.stored & 0xFF] : 255;
                    if (int(p.stored) >= entries) p.rgb = 0; // an index past the palette shows black
                }
                const uint32_t d = out[x];
                const uint8_t r = Blend(uint8_t(p.rgb >> 16), a, uint8_t(d >> 16));
                const uint8_t g = Blend(uint8_t(p.rgb >> 8), a, uint8_t(d >> 8));
                const uint8_t b = Blend(uint8_t(p.rgb), a, uint8_t(d));
                out[x] = (d & 0xFF000000u) | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
            }
        }
    } catch (...) {
        // A paint must go on whatever the image holds.
    }
}
