#include "imaging/gif/frame_render.h"

#include "imaging/gif/gif_image.h"
#include "imaging/gif/sub_image.h"

#include <algorithm>

namespace gif {

namespace {

uint32_t Argb(const TGIFRGB& c) {
    return 0xFF000000u | (c.Red << 16) | (c.Green << 8) | c.Blue;
}

// The colours a frame's pixel values show; values past the active map show its colour 0.
std::vector<TGIFRGB> ColorTable(TGIFSubImage& frame) {
    std::vector<TGIFRGB> table(256);
    for (int i = 0; i < 256; ++i)
        table[i] = frame.ColorOf(i);
    return table;
}

int MulDivRound(int a, int b, int c) {
    return (a * b + c / 2) / c;
}

} // namespace

int MaskRowBytes(int width) {
    return (width + 15) / 16 * 2;
}

std::vector<uint8_t> BuildMask(const TGIFSubImage& frame) {
    const int ti = frame.TransparentIndex();
    if (ti < 0 || frame.Empty()) return {};
    const int w = frame.Width(), h = frame.Height(), rowBytes = MaskRowBytes(w);
    std::vector<uint8_t> mask(static_cast<size_t>(rowBytes) * h, 0);
    bool any = false;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = frame.Data() + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x)
            if (row[x] == ti) {
                mask[static_cast<size_t>(y) * rowBytes + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
                any = true;
            }
    }
    if (!any) mask.clear();
    return mask;
}

TArgbImage RenderFrame(TGIFSubImage& frame, bool transparent) {
    TArgbImage out;
    if (frame.Empty()) return out;
    out.Width = frame.Width();
    out.Height = frame.Height();
    std::vector<TGIFRGB> table = ColorTable(frame);
    uint32_t argb[256];
    for (int i = 0; i < 256; ++i)
        argb[i] = Argb(table[i]);
    const int ti = transparent ? frame.TransparentIndex() : -1;
    if (ti >= 0) argb[ti] = kTransparentArgb;
    out.Pixels.resize(static_cast<size_t>(out.Width) * out.Height);
    for (size_t i = 0; i < out.Pixels.size(); ++i)
        out.Pixels[i] = argb[frame.Data()[i]];
    return out;
}

TRaster RenderWebPalette(TGIFSubImage& frame, std::vector<uint8_t>* mask) {
    TRaster out;
    if (mask) mask->clear();
    if (frame.Empty()) return out;
    const int w = frame.Width(), h = frame.Height(), rowBytes = MaskRowBytes(w);
    out.Width = w;
    out.Height = h;
    out.BitsPerPixel = 8;
    out.Palette = BuildWebPalette();
    out.Bits.assign(static_cast<size_t>(w) * h, 0);
    std::vector<TGIFRGB> table = ColorTable(frame);
    const int ti = frame.TransparentIndex();
    int transparentIndex = 0;
    if (ti >= 0) {
        const TGIFRGB c = table[ti];
        transparentIndex = MulDivRound(36, c.Red, 51) + MulDivRound(6, c.Green, 51) + c.Blue / 51 + 1;
        transparentIndex = std::min(transparentIndex, 215);
        if (mask) mask->assign(static_cast<size_t>(rowBytes) * h, 0);
    }
    TNetscapeColorLookup lookup;
    TFloydSteinbergDitherer ditherer(w, lookup);
    bool anyMasked = false;
    for (int y = 0; y < h; ++y) {
        const uint8_t* in = frame.Data() + static_cast<size_t>(y) * w;
        uint8_t* outRow = out.Bits.data() + static_cast<size_t>(y) * w;
        while (ditherer.Column() >= 0 && ditherer.Column() < w) {
            const int x = ditherer.Column();
            const TGIFRGB c = table[in[x]];
            uint8_t r, g, b;
            if (in[x] == ti) {
                outRow[x] = static_cast<uint8_t>(transparentIndex);
                if (mask)
                    (*mask)[static_cast<size_t>(y) * rowBytes + x / 8] |=
                        static_cast<uint8_t>(0x80 >> (x % 8));
                anyMasked = true;
                // Transparent pixels are not dithered: the walk moves on without error.
                ditherer.Skip();
                continue;
            }
            outRow[x] = static_cast<uint8_t>(ditherer.Dither(c.Red, c.Green, c.Blue, r, g, b));
        }
        ditherer.NextLine();
    }
    if (mask && !anyMasked) mask->clear();
    return out;
}

RECT ScaleRect(const TGIFSubImage& frame, const RECT& target, int imageWidth, int imageHeight) {
    const int64_t tw = target.right - target.left, th = target.bottom - target.top;
    if (imageWidth <= 0 || imageHeight <= 0) return target;
    RECT r;
    r.left = static_cast<LONG>(target.left + frame.Left() * tw / imageWidth);
    r.right = static_cast<LONG>(target.left + (frame.Left() + frame.Width()) * tw / imageWidth);
    r.top = static_cast<LONG>(target.top + frame.Top() * th / imageHeight);
    r.bottom = static_cast<LONG>(target.top + (frame.Top() + frame.Height()) * th / imageHeight);
    return r;
}

std::vector<RECT> TileCells(const TGIFSubImage& frame, const RECT& target, int imageWidth, int imageHeight) {
    std::vector<RECT> cells;
    const LONG x0 = target.left + frame.Left(), y0 = target.top + frame.Top();
    if (imageWidth <= 0 || imageHeight <= 0) {
        cells.push_back(RECT{x0, y0, x0 + frame.Width(), y0 + frame.Height()});
        return cells;
    }
    for (LONG y = y0; y < target.bottom; y += imageHeight)
        for (LONG x = x0; x < target.right; x += imageWidth)
            cells.push_back(RECT{x, y, x + frame.Width(), y + frame.Height()});
    return cells;
}

TGIFCompositor::TGIFCompositor(TGIFImage& image) : image_(image) {
    backup_.Width = display_.Width = image.Width();
    backup_.Height = display_.Height = image.Height();
    backup_.Pixels.assign(static_cast<size_t>(image.Width()) * image.Height(), kTransparentArgb);
    display_.Pixels = backup_.Pixels;
}

void TGIFCompositor::Draw(TArgbImage& target, TGIFSubImage& frame) {
    TArgbImage pixels = RenderFrame(frame, true);
    for (int y = 0; y < pixels.Height; ++y) {
        const int ty = frame.Top() + y;
        if (ty >= target.Height) break;
        for (int x = 0; x < pixels.Width; ++x) {
            const int tx = frame.Left() + x;
            const uint32_t p = pixels.Pixel(x, y);
            if (tx < target.Width && (p >> 24) != 0)
                target.Pixels[static_cast<size_t>(ty) * target.Width + tx] = p;
        }
    }
}

void TGIFCompositor::RestoreBackground(TGIFSubImage& frame) {
    for (int y = frame.Top(); y < std::min<int>(frame.Top() + frame.Height(), backup_.Height); ++y)
        for (int x = frame.Left(); x < std::min<int>(frame.Left() + frame.Width(), backup_.Width); ++x)
            backup_.Pixels[static_cast<size_t>(y) * backup_.Width + x] = kTransparentArgb;
}

bool TGIFCompositor::Next() {
    if (active_ + 1 >= image_.Images().Count()) return false;
    TGIFSubImage& frame = *image_.Images()[++active_];
    if (frame.Empty()) return true;
    int disposal = 1;
    for (int i = 0; i < frame.Extensions().Count(); ++i)
        if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(frame.Extensions()[i]))
            disposal = gce->Disposal();
    if (disposal <= 2) {
        Draw(backup_, frame);
        display_.Pixels = backup_.Pixels;
        if (disposal == 2) RestoreBackground(frame);
    } else if (disposal == 3 && previousDisposal_ <= 3) {
        // The backup keeps the state before this frame.
        display_.Pixels = backup_.Pixels;
        Draw(display_, frame);
    }
    // Disposal values 4 to 7 draw nothing.
    previousDisposal_ = disposal;
    return true;
}

} // namespace gif
