// Drawing of TPNGObject on a device context: opaque, with one transparent colour, or blended by
// per-pixel alpha.
#include "imaging/png/chunk_ihdr.h"
#include "imaging/png/chunk_palette.h"
#include "imaging/png/png_errors.h"
#include "imaging/png/png_object.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/graphics/canvas.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

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

// A memory DC with a 32-bit top-down DIB section (or a monochrome bitmap) of its own selected into it.
class MemoryImage {
public:
    MemoryImage(HDC like, int width, int height)
        : width_(width), height_(height), dc_(like, DibSection(width, height, bits_)) {
        if (!dc_.Get() || !dc_.Bitmap() || !bits_) RaisePngError<EPNGOutMemory>(png_text::OutMemory);
    }
    // A monochrome bitmap (1 = white) from rows padded to 16 bits.
    MemoryImage(HDC like, int width, int height, const void* monoBits)
        : width_(width), height_(height),
          dc_(like, pw::gdi::OwnedObject<HBITMAP>(CreateBitmap(width, height, 1, 1, monoBits))) {
        if (!dc_.Get() || !dc_.Bitmap()) RaisePngError<EPNGOutMemory>(png_text::OutMemory);
    }

    HDC Dc() const { return dc_.Get(); }
    uint32_t* Row(int y) const { return bits_ + size_t(y) * width_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    static pw::gdi::OwnedObject<HBITMAP> DibSection(int width, int height, uint32_t*& bits) {
        BITMAPINFO info{};
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        pw::gdi::OwnedObject<HBITMAP> bitmap(
            CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0));
        bits = static_cast<uint32_t*>(p);
        return bitmap;
    }

    int width_, height_;
    uint32_t* bits_ = nullptr;
    pw::gdi::MemoryDC dc_;
};

BITMAPINFO256 InfoOf(const TChunkIHDR& header) {
    BITMAPINFO256 info{};
    info.bmiHeader.biWidth = static_cast<LONG>(header.Width());
    info.bmiHeader.biHeight = static_cast<LONG>(header.Height());
    info.bmiHeader.biBitCount = header.BitCount();
    if (header.UsesColorTable()) {
        info.bmiHeader.biClrUsed = 1u << header.BitCount();
        for (size_t i = 0; i < 256; ++i) {
            const PngRgbQuad& c = header.ColorTable()[i];
            info.bmiColors[i] = RGBQUAD{c.rgbBlue, c.rgbGreen, c.rgbRed, 0};
        }
    }
    return info;
}

void DrawOpaque(HDC dc, const TChunkIHDR& header, const TRect& rect) {
    const BITMAPINFO256 info = InfoOf(header);
    StretchDIBits(dc, rect.left, rect.top, rect.Width(), rect.Height(), 0, 0,
                  static_cast<int>(header.Width()), static_cast<int>(header.Height()), header.DibBits(),
                  reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
}

// The key is compared with the stored pixel values, so two palette entries of one colour stay apart and
// 16-bit or gamma-corrected images find their key.
void DrawWithColorKey(HDC dc, const TChunkIHDR& header, uint32_t key, const TRect& rect) {
    const int w = static_cast<int>(header.Width()), h = static_cast<int>(header.Height());
    const int dw = rect.Width(), dh = rect.Height();
    if (dw <= 0 || dh <= 0) return;
    MemoryImage source(dc, w, h);
    const size_t maskStride = ((size_t(w) + 15) / 16) * 2;
    std::vector<uint8_t> maskBits(maskStride * size_t(h), 0);
    for (int y = 0; y < h; ++y) {
        uint32_t* out = source.Row(y);
        uint8_t* mask = maskBits.data() + size_t(y) * maskStride;
        for (int x = 0; x < w; ++x) {
            const SourcePixel p = PixelAt(header, uint32_t(x), uint32_t(y));
            if (p.stored == key) {
                out[x] = 0;
                mask[x >> 3] |= uint8_t(0x80 >> (x & 7));
            } else {
                out[x] = 0xFF000000u | p.rgb;
            }
        }
    }
    const MemoryImage mask(dc, w, h, maskBits.data());
    const MemoryImage work(dc, dw, dh);
    BitBlt(work.Dc(), 0, 0, dw, dh, dc, rect.left, rect.top, SRCCOPY);
    // The mask's 1 bits (transparent) become white and keep the background; 0 bits become black.
    SetBkColor(work.Dc(), RGB(255, 255, 255));
    SetTextColor(work.Dc(), RGB(0, 0, 0));
    StretchBlt(work.Dc(), 0, 0, dw, dh, mask.Dc(), 0, 0, w, h, SRCAND);
    StretchBlt(work.Dc(), 0, 0, dw, dh, source.Dc(), 0, 0, w, h, SRCPAINT);
    BitBlt(dc, rect.left, rect.top, dw, dh, work.Dc(), 0, 0, SRCCOPY);
}

// At the image's own size from the rectangle's top-left corner, clipped to the rectangle.
void DrawWithAlpha(HDC dc, const TChunkIHDR& header, const TChunkPLTE* palette, const TChunktRNS* trns,
                   const TRect& rect) {
    const int cw = int(std::min<int64_t>(header.Width(), rect.Width()));
    const int ch = int(std::min<int64_t>(header.Height(), rect.Height()));
    if (cw <= 0 || ch <= 0) return;
    const MemoryImage section(dc, cw, ch);
    BitBlt(section.Dc(), 0, 0, cw, ch, dc, rect.left, rect.top, SRCCOPY);
    const uint8_t* alphaPlane = header.AlphaPlane();
    const int entries = palette ? palette->EntryCount() : 0;
    for (int y = 0; y < ch; ++y) {
        uint32_t* out = section.Row(y);
        for (int x = 0; x < cw; ++x) {
            SourcePixel p = PixelAt(header, uint32_t(x), uint32_t(y));
            uint8_t a;
            if (alphaPlane) {
                a = alphaPlane[size_t(y) * header.Width() + size_t(x)];
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
    BitBlt(dc, rect.left, rect.top, cw, ch, section.Dc(), 0, 0, SRCCOPY);
}

} // namespace

void TPNGObject::Draw(TCanvas& canvas, const TRect& rect) {
    try {
        if (!HasHeader()) return;
        const TChunkIHDR& header = RequireHeader();
        if (header.Width() == 0 || header.Height() == 0 || !header.DibBits()) return;
        const auto* palette = chunkItems_.ItemFromClass<TChunkPLTE>();
        const auto* trns = chunkItems_.ItemFromClass<TChunktRNS>();
        TPngAlphaKind kind = AlphaKind();
        // Without a palette the transparency entries describe nothing: draw it opaque.
        if (header.ColorType() == 3 && !palette) kind = pakNone;
        uint32_t key = 0;
        if (kind == pakColorKey && !(trns && trns->StoredKey(key))) kind = pakNone;
        HDC dc = canvas.Handle();
        switch (kind) {
        case pakNone:
            DrawOpaque(dc, header, rect);
            break;
        case pakColorKey:
            DrawWithColorKey(dc, header, key, rect);
            break;
        case pakPartial:
            DrawWithAlpha(dc, header, palette, trns, rect);
            break;
        }
    } catch (...) {
        // A paint must go on whatever the image holds.
    }
}
