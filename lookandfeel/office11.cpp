#include "lookandfeel/office11.h"

#include <algorithm>

#include "lookandfeel/colors.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/graphics_types.h"

namespace {

struct Scheme {
    int users = 0;
    TOffice11Colors colors{};
    TOffice11Brushes brushes{};
    HBITMAP expand = nullptr;
};

// The expand picture: two chevrons pointing down, 7 by 8 pixels, on the transparent colour.
constexpr int kExpandWidth = 7, kExpandHeight = 8;
constexpr COLORREF kExpandKey = RGB(255, 0, 255);

HBITMAP MakeExpandBitmap(TColor color) {
    const pw::gdi::MemoryDC screen(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), kExpandWidth, kExpandHeight);
    const pw::gdi::MemoryDC dc(nullptr, bitmap);
    const RECT all{0, 0, kExpandWidth, kExpandHeight};
    const pw::gdi::OwnedObject<HBRUSH> key(CreateSolidBrush(kExpandKey));
    FillRect(dc.Get(), &all, key.Get());
    const COLORREF ink = ColorToRGB(color);
    for (int chevron = 0; chevron < 2; ++chevron)
        for (int row = 0; row < 3; ++row) {
            const int y = 1 + 4 * chevron + row;
            for (int x : {row, row + 1, kExpandWidth - 2 - row, kExpandWidth - 1 - row})
                SetPixel(dc.Get(), x, y, ink);
        }
    return bitmap;
}

Scheme& State() {
    static auto* scheme = new Scheme;
    return *scheme;
}

// A colour moved Percent of the way towards black.
TColor Darker(TColor color, int percent) {
    return BlendColors(clBlack, color, percent);
}

// Without the XP colour schemes every colour derives from the system colours.
TOffice11Colors ComputeColors() {
    TOffice11Colors c{};
    c.DockColor1 = BlendColors(clBtnFace, clWindow, 60);
    c.DockColor2 = static_cast<TColor>(ColorToRGB(clBtnFace));
    c.BarColor1 = BlendColors(clWindow, clBtnFace, 85);
    c.BarColor2 = BlendColors(clBtnFace, clWindow, 90);
    c.BarBorderColor = BlendColors(clBtnShadow, clBtnFace, 50);
    c.HotColor1 = c.HotColor2 = BlendSystemColors(14, 44, 40);
    c.DownColor1 = c.DownColor2 = BlendSystemColors(-2, 30, 72);
    c.MarkColor1[omsNormal] = BlendColors(clBtnShadow, clBtnFace, 40);
    c.MarkColor2[omsNormal] = static_cast<TColor>(ColorToRGB(clBtnShadow));
    c.MarkColor1[omsHot] = c.HotColor1;
    c.MarkColor2[omsHot] = c.HotColor2;
    c.MarkColor1[omsDroppedDown] = c.DownColor1;
    c.MarkColor2[omsDroppedDown] = c.DownColor2;
    c.SeparatorColor1 = BlendColors(clBtnShadow, clBtnFace, 70);
    c.SeparatorColor2 = static_cast<TColor>(ColorToRGB(clWindow));
    c.MarkArrowColor = static_cast<TColor>(ColorToRGB(clBtnText));
    c.MarkArrowShadowColor = static_cast<TColor>(ColorToRGB(clWindow));
    c.FloatingBorderColor1 = static_cast<TColor>(ColorToRGB(clBtnShadow));
    c.FloatingBorderColor2 = c.BarColor2;
    c.FloatingCaptionColor = static_cast<TColor>(ColorToRGB(clBtnShadow));
    c.CaptionTextColor = static_cast<TColor>(ColorToRGB(clWindow));
    c.CloseGlyphHotColor = static_cast<TColor>(ColorToRGB(clBtnText));
    c.CloseGlyphDownColor = static_cast<TColor>(ColorToRGB(clWindow));
    c.MenuColor = BlendColors(clWindow, clBtnFace, 85);
    c.MenuStripColor1 = c.BarColor1;
    c.MenuStripColor2 = c.BarColor2;
    c.MenuStripDarkColor1 = Darker(c.MenuStripColor1, 8);
    c.MenuStripDarkColor2 = Darker(c.MenuStripColor2, 8);
    c.FrameColor = static_cast<TColor>(ColorToRGB(clHighlight));
    c.SelectedColor = BlendSystemColors(14, 44, 40);
    c.CheckedColor = BlendSystemColors(11, 9, 73);
    c.PressedColor = BlendSystemColors(-2, 30, 72);
    c.LightBarColor = c.BarColor1;
    c.DetachColor = static_cast<TColor>(ColorToRGB(clBtnShadow));
    c.TextColor = static_cast<TColor>(ColorToRGB(clBtnText));
    c.DisabledTextColor = static_cast<TColor>(ColorToRGB(clGrayText));
    c.DownTextColor = static_cast<TColor>(ColorToRGB(clBtnText));
    return c;
}

void FreeExpand(Scheme& s) {
    if (s.expand != nullptr) DeleteObject(s.expand);
    s.expand = nullptr;
}

void FreeBrushes(TOffice11Brushes& b) {
    for (HBRUSH* brush : {&b.Separator1, &b.Separator2, &b.Menu, &b.Frame, &b.Selected, &b.LightBar,
                          &b.Checked, &b.Pressed, &b.Detach, &b.Mark}) {
        if (*brush != nullptr) DeleteObject(*brush);
        *brush = nullptr;
    }
}

void MakeScheme(Scheme& s) {
    FreeBrushes(s.brushes);
    FreeExpand(s);
    s.colors = ComputeColors();
    s.expand = MakeExpandBitmap(s.colors.MarkArrowColor);
    auto brush = [](TColor color) { return CreateSolidBrush(ColorToRGB(color)); };
    const TOffice11Colors& c = s.colors;
    s.brushes = TOffice11Brushes{
        brush(c.SeparatorColor1), brush(c.SeparatorColor2),      brush(c.MenuColor),    brush(c.FrameColor),
        brush(c.SelectedColor),   brush(c.LightBarColor),        brush(c.CheckedColor), brush(c.PressedColor),
        brush(c.DetachColor),     brush(c.MarkColor1[omsNormal])};
}

} // namespace

void AcquireOffice11Colors() {
    Scheme& s = State();
    if (s.users++ == 0) MakeScheme(s);
}

void ReleaseOffice11Colors() {
    Scheme& s = State();
    if (s.users == 0) return;
    if (--s.users > 0) return;
    FreeBrushes(s.brushes);
    FreeExpand(s);
}

void RefreshOffice11Colors() {
    Scheme& s = State();
    if (s.users > 0) MakeScheme(s);
}

int Office11ColorsUsers() {
    return State().users;
}

bool IsOffice11XPScheme() {
    // The blue, olive and silver schemes are named by the theme's files; no theme here names one.
    return false;
}

HBITMAP Office11ExpandBitmap() {
    return State().expand;
}

SIZE Office11ExpandBitmapSize() {
    return SIZE{kExpandWidth, kExpandHeight};
}

COLORREF Office11ExpandBitmapKey() {
    return kExpandKey;
}

const TOffice11Colors& Office11Colors() {
    return State().colors;
}

const TOffice11Brushes& Office11Brushes() {
    return State().brushes;
}

void FrameOffice11Rect(HDC DC, const RECT& Rect) {
    if (IsHighContrastBlack())
        FrameRectByColor(DC, Rect, clHighlightText);
    else
        FrameRect(DC, &Rect, Office11Brushes().Frame);
}

void DrawOffice11Grip(HDC DC, const RECT& Rect, bool Vertical) {
    const TOffice11Brushes& b = Office11Brushes();
    // Dots run along the bar's grip: down a horizontal bar's grip, across a vertical bar's.
    const int along = Vertical ? Rect.right - Rect.left : Rect.bottom - Rect.top;
    const int count = std::max(0, (along - 2) / 4);
    const int acrossCentre = Vertical ? (Rect.top + Rect.bottom) / 2 - 1 : (Rect.left + Rect.right) / 2 - 1;
    const int start = (Vertical ? Rect.left : Rect.top) + (along - count * 4) / 2 + 1;
    for (int i = 0; i < count; ++i) {
        const int pos = start + i * 4;
        const int x = Vertical ? pos : acrossCentre;
        const int y = Vertical ? acrossCentre : pos;
        RECT light{x, y, x + 2, y + 2};
        FillRect(DC, &light, b.Separator2);
        RECT dark{x - 1, y - 1, x + 1, y + 1};
        FillRect(DC, &dark, b.Separator1);
    }
}

void DrawOffice11Arrow(HDC DC, const RECT& Rect, int Size, UINT Flags) {
    if (Size <= 0) return;
    const TOffice11Colors& c = Office11Colors();
    const TColor color = (Flags & Office11ArrowDisabled) != 0 ? c.DisabledTextColor
                         : (Flags & Office11ArrowWhite) != 0  ? clWhite
                                                              : c.MarkArrowColor;
    HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
    const bool right = (Flags & Office11ArrowRight) != 0;
    // One line per pixel of depth, each two pixels shorter than the one before.
    const int x0 =
        right ? (Rect.left + Rect.right - Size) / 2 : (Rect.left + Rect.right - (2 * Size - 1)) / 2;
    const int y0 =
        right ? (Rect.top + Rect.bottom - (2 * Size - 1)) / 2 : (Rect.top + Rect.bottom - Size) / 2;
    for (int i = 0; i < Size; ++i) {
        RECT line = right ? RECT{x0 + i, y0 + i, x0 + i + 1, y0 + 2 * Size - 1 - i}
                          : RECT{x0 + i, y0 + i, x0 + 2 * Size - 1 - i, y0 + i + 1};
        FillRect(DC, &line, brush);
    }
    DeleteObject(brush);
}

void DrawOffice11ArrowInRect(HDC DC, const RECT& Rect, UINT Flags) {
    const bool right = (Flags & Office11ArrowRight) != 0;
    const int extent = right ? Rect.bottom - Rect.top : Rect.right - Rect.left;
    DrawOffice11Arrow(DC, Rect, std::max(1, (extent + 1) / 4), Flags);
}
