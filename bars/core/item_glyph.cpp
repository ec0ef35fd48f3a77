#include "bars/core/item_glyph.h"

#include <cstdint>
#include <vector>

#include "bars/core/bar_unit.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_types.h"
#include "platform/graphics/image_list.h"

namespace {

// A picture as colours and a mask of the pixels that show.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    std::vector<bool> opaque;
    COLORREF& At(int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; }
    bool Shows(int x, int y) const { return opaque[static_cast<size_t>(y * width + x)]; }
};

// A 32-bit row as colour values 0x00RRGGBB (blue in the lowest byte).
uint32_t* Row(TBitmap& bitmap, int y) {
    return static_cast<uint32_t*>(bitmap.ScanLine(y));
}

COLORREF FromRow(uint32_t v) {
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

// Read through a 32-bit copy's rows: asking the bitmap pixel by pixel converts its whole image each time.
Picture ReadPicture(TBitmap& bitmap, COLORREF transparent) {
    Picture picture;
    picture.width = bitmap.Width();
    picture.height = bitmap.Height();
    picture.pixels.resize(static_cast<size_t>(picture.width * picture.height));
    picture.opaque.resize(picture.pixels.size());
    if (picture.width <= 0 || picture.height <= 0) return picture;
    TBitmap copy(picture.width, picture.height);
    copy.SetPixelFormat(pf32bit);
    BitBlt(copy.Canvas().Handle(), 0, 0, picture.width, picture.height, bitmap.Canvas().Handle(), 0, 0,
           SRCCOPY);
    for (int y = 0; y < picture.height; ++y) {
        const uint32_t* row = Row(copy, y);
        for (int x = 0; x < picture.width; ++x) {
            const COLORREF c = FromRow(row[x]);
            picture.At(x, y) = c;
            picture.opaque[static_cast<size_t>(y * picture.width + x)] = c != transparent;
        }
    }
    return picture;
}

int Red(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
int Green(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
int Blue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

// Draws the picture's showing pixels, stretched over Rect of the 32-bit bitmap, in their colours or in one.
void Blend(TBitmap& bitmap, const Picture& picture, const RECT& rect, const COLORREF* oneColor) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0 || picture.width == 0 || picture.height == 0) return;
    for (int y = 0; y < h; ++y) {
        const int ty = rect.top + y;
        if (ty < 0 || ty >= bitmap.Height()) continue;
        uint32_t* row = Row(bitmap, ty);
        for (int x = 0; x < w; ++x) {
            const int tx = rect.left + x;
            if (tx < 0 || tx >= bitmap.Width()) continue;
            const int sx = x * picture.width / w, sy = y * picture.height / h;
            if (!picture.Shows(sx, sy)) continue;
            const COLORREF c = oneColor != nullptr
                                   ? *oneColor
                                   : picture.pixels[static_cast<size_t>(sy * picture.width + sx)];
            row[tx] = (row[tx] & 0xFF000000u) | (static_cast<uint32_t>(GetRValue(c)) << 16) |
                      (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
        }
    }
}

RECT Offset(RECT r, int dx, int dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

} // namespace

void DrawItemGlyph(HDC DC, HBRUSH Brush, const RECT& DestRect, const RECT& GlyphRect, TBitmap* Glyph,
                   TCustomImageList* Images, int ImageIndex, bool Enabled, bool Grey, bool Flat, bool Hot,
                   bool Checked, bool Down, bool Shadow, bool CopyBackground, TColor FadeColor,
                   TColor ImageListBkColor) {
    const int width = DestRect.right - DestRect.left, height = DestRect.bottom - DestRect.top;
    if (width <= 0 || height <= 0) return;
    Picture picture;
    if (Glyph != nullptr && !Glyph->Empty()) {
        picture = ReadPicture(*Glyph, ColorToRGB(Glyph->TransparentColor()));
    } else if (Images != nullptr && ImageIndex >= 0 && ImageIndex < Images->Count()) {
        TBitmap image(Images->Width(), Images->Height());
        image.Canvas().Brush().SetColor(ImageListBkColor);
        image.Canvas().FillRect(TRect(0, 0, Images->Width(), Images->Height()));
        Images->Draw(image.Canvas(), 0, 0, ImageIndex);
        picture = ReadPicture(image, ColorToRGB(ImageListBkColor));
    } else {
        return;
    }

    TBitmap offscreen(width, height);
    offscreen.SetPixelFormat(pf32bit);
    TCanvas& canvas = offscreen.Canvas();
    if (CopyBackground) {
        BitBlt(canvas.Handle(), 0, 0, width, height, DC, DestRect.left, DestRect.top, SRCCOPY);
    } else {
        RECT all{0, 0, width, height};
        FillRect(canvas.Handle(), &all, Brush);
    }
    const RECT glyph = Offset(GlyphRect, -DestRect.left, -DestRect.top);

    if (!Enabled && FadeColor == clNone) {
        // Embossed: the shape in the highlight colour one pixel down and right, then in the shadow colour.
        const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
        if (!Flat) Blend(offscreen, picture, Offset(glyph, 1, 1), &highlight);
        Blend(offscreen, picture, glyph, &shadow);
    } else {
        const COLORREF fade = ColorToRGB(FadeColor);
        const bool lighter =
            Flat && !Hot && !Checked && !Grey && FadeInactiveGlyphs() && ScreenBitsPerPixel() > 8;
        for (COLORREF& c : picture.pixels) {
            int r = Red(c), g = Green(c), b = Blue(c);
            if (!Enabled) {
                // Faded: the pixel's luminance, lightened, mixed a quarter into the fade colour.
                const int grey = (77 * r + 151 * g + 28 * b) / 256;
                const int light = (grey * 192 + 16320) / 256;
                r = (Red(fade) * 192 + light * 64) / 256;
                g = (Green(fade) * 192 + light * 64) / 256;
                b = (Blue(fade) * 192 + light * 64) / 256;
            } else if (Grey) {
                r = g = b = (r + g + b) / 3;
            } else if (lighter) {
                r += (255 - r) * 3 / 10;
                g += (255 - g) * 3 / 10;
                b += (255 - b) * 3 / 10;
            }
            c = RGB(r, g, b);
        }
        if (Flat && Shadow && Hot && !Down) {
            // Raised: the picture one pixel up and left, its shadow two pixels right and down of that.
            const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
            Blend(offscreen, picture, Offset(glyph, 1, 1), &shadow);
            Blend(offscreen, picture, Offset(glyph, -1, -1), nullptr);
        } else {
            Blend(offscreen, picture, glyph, nullptr);
        }
    }
    BitBlt(DC, DestRect.left, DestRect.top, width, height, canvas.Handle(), 0, 0, SRCCOPY);
}
