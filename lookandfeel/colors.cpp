#include "lookandfeel/colors.h"

#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/muldiv.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/paint.h"

namespace {

int Red(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
int Green(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
int Blue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
int Channel(int value) {
    return std::clamp(value, 0, 255);
}

TColor NearestScreenColor(COLORREF color) {
    HDC screen = GetDC(nullptr);
    const COLORREF nearest = GetNearestColor(screen, color);
    ReleaseDC(nullptr, screen);
    return static_cast<TColor>(nearest);
}

// The colour of band Index of Bands, going from C1 to C2.
COLORREF BandColor(COLORREF c1, COLORREF c2, int index, int bands) {
    if (bands <= 1) return c1;
    auto mix = [&](int a, int b) { return a + MulDiv(b - a, index, bands - 1); };
    return RGB(mix(Red(c1), Red(c2)), mix(Green(c1), Green(c2)), mix(Blue(c1), Blue(c2)));
}

// The band that holds the offset Offset of an extent cut into Bands equal bands.
int BandAt(int offset, int extent, int bands) {
    int band = static_cast<int>(static_cast<long long>(offset) * bands / extent);
    while (band + 1 < bands && static_cast<long long>(band + 1) * extent / bands <= offset)
        ++band;
    while (band > 0 && static_cast<long long>(band) * extent / bands > offset)
        --band;
    return band;
}

} // namespace

bool IsHighContrastBlack() {
    return GetSysColor(COLOR_BTNFACE) == RGB(0, 0, 0);
}

bool IsHighContrastWhite() {
    return GetSysColor(COLOR_BTNFACE) == RGB(255, 255, 255);
}

bool IsHighContrastColoredText() {
    return IsHighContrastBlack() && GetSysColor(COLOR_BTNTEXT) != RGB(255, 255, 255);
}

TColor BlendColors(TColor Color1, TColor Color2, int Percent) {
    const COLORREF c1 = ColorToRGB(Color1);
    const COLORREF c2 = ColorToRGB(Color2);
    auto mix = [&](int a, int b) { return Channel(MulDiv(a, Percent, 100) + MulDiv(b, 100 - Percent, 100)); };
    return NearestScreenColor(RGB(mix(Red(c1), Red(c2)), mix(Green(c1), Green(c2)), mix(Blue(c1), Blue(c2))));
}

TColor BlendSystemColors(int FacePercent, int HighlightPercent, int WindowPercent) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    if (IsHighContrastBlack() || IsHighContrastWhite()) return static_cast<TColor>(highlight);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    auto mix = [&](int (*channel)(COLORREF)) {
        return Channel(MulDiv(channel(face), FacePercent, 100) +
                       MulDiv(channel(highlight), HighlightPercent, 100) +
                       MulDiv(channel(window), WindowPercent, 100));
    };
    return static_cast<TColor>(RGB(mix(Red), mix(Green), mix(Blue)));
}

void FillGradientRect(HDC DC, const RECT& Rect, TColor Color1, bool Horizontal, TColor Color2) {
    const COLORREF c1 = ColorToRGB(Color1);
    const COLORREF c2 = ColorToRGB(Color2);
    const int start = Horizontal ? Rect.left : Rect.top;
    const int extent = (Horizontal ? Rect.right : Rect.bottom) - start;
    if (extent <= 0 || (Horizontal ? Rect.bottom <= Rect.top : Rect.right <= Rect.left)) return;
    if (c1 == c2) {
        FillRectByColor(DC, Rect, static_cast<TColor>(c1));
        return;
    }
    const int bands = std::min(extent, 256);
    for (int i = 0; i < bands; ++i) {
        RECT band = Rect;
        const int from = start + static_cast<int>(static_cast<long long>(i) * extent / bands);
        const int to = start + static_cast<int>(static_cast<long long>(i + 1) * extent / bands);
        (Horizontal ? band.left : band.top) = from;
        (Horizontal ? band.right : band.bottom) = to;
        FillRectByColor(DC, band, static_cast<TColor>(BandColor(c1, c2, i, bands)));
    }
}

TColor GetGradientColorAt(const RECT& Rect, int Position, TColor Color1, bool Horizontal, TColor Color2) {
    const COLORREF c1 = ColorToRGB(Color1);
    const COLORREF c2 = ColorToRGB(Color2);
    const int start = Horizontal ? Rect.left : Rect.top;
    const int extent = (Horizontal ? Rect.right : Rect.bottom) - start;
    if (extent <= 0 || c1 == c2) return static_cast<TColor>(c1);
    const int bands = std::min(extent, 256);
    const int offset = std::clamp(Position - start, 0, extent - 1);
    return static_cast<TColor>(BandColor(c1, c2, BandAt(offset, extent, bands), bands));
}

int TwoPhaseGradientShare() {
    // Without the XP colour schemes the middle colour lies half way.
    return 50;
}

void FillTwoPhaseGradientRect(HDC DC, const RECT& Rect, TColor Color1, bool Horizontal, TColor Color2) {
    const COLORREF c1 = ColorToRGB(Color1);
    const COLORREF c2 = ColorToRGB(Color2);
    if (c1 == c2) {
        FillRectByColor(DC, Rect, static_cast<TColor>(c1));
        return;
    }
    const int share = TwoPhaseGradientShare();
    auto mix = [&](int a, int b) { return a + MulDiv(b - a, share, 100); };
    const auto middle =
        static_cast<TColor>(RGB(mix(Red(c1), Red(c2)), mix(Green(c1), Green(c2)), mix(Blue(c1), Blue(c2))));
    RECT first = Rect;
    RECT second = Rect;
    if (Horizontal)
        first.right = second.left = Rect.left + (Rect.right - Rect.left) / 2;
    else
        first.bottom = second.top = Rect.top + (Rect.bottom - Rect.top) / 2;
    FillGradientRect(DC, first, static_cast<TColor>(c1), Horizontal, middle);
    FillGradientRect(DC, second, middle, Horizontal, static_cast<TColor>(c2));
}

void FillRectByColor(HDC DC, const RECT& Rect, TColor Color) {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
    FillRect(DC, &Rect, brush);
    DeleteObject(brush);
}

void FrameRectByColor(HDC DC, const RECT& Rect, TColor Color) {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
    FrameRect(DC, &Rect, brush);
    DeleteObject(brush);
}
