#include "bars/core/bar_drawing.h"

#include <algorithm>

#include "lookandfeel/colors.h"
#include "lookandfeel/themes.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_structs.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/muldiv.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/paint.h"

namespace {

// A pen and brush of one colour selected for the scope: the selections go back before the objects go.
struct SolidTools {
    SolidTools(HDC dc, COLORREF color)
        : pen(CreatePen(PS_SOLID, 1, color)), brush(CreateSolidBrush(color)), selectedPen(dc, pen.Get()),
          selectedBrush(dc, brush.Get()) {}
    pw::gdi::OwnedObject<HPEN> pen;
    pw::gdi::OwnedObject<HBRUSH> brush;
    pw::gdi::SelectedObject selectedPen;
    pw::gdi::SelectedObject selectedBrush;
};

void Line(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

} // namespace

int ArrowSize(const RECT& Rect, bool DownArrow) {
    const int e = DownArrow ? Rect.right - Rect.left - 8 : Rect.bottom - Rect.top - 6;
    int size = (e - 1) / 2;
    if (e % 2 != 0) ++size;
    return std::max(size, 3);
}

void DrawArrow(HDC DC, const RECT& Rect, bool DownArrow, bool Enabled, bool Selected, bool Flat) {
    DrawArrowTriangle(DC, Rect, DownArrow, ArrowSize(Rect, DownArrow), Selected, Enabled, Flat);
}

void DrawArrowTriangle(HDC DC, const RECT& Rect, bool DownArrow, int Size, bool Selected, bool Enabled,
                       bool Flat) {
    int colorIndex = COLOR_BTNTEXT;
    if (!Enabled)
        colorIndex = COLOR_BTNSHADOW;
    else if (Selected)
        colorIndex = GetSysColor(COLOR_BTNFACE) == RGB(255, 255, 255) ? COLOR_BTNFACE : COLOR_HIGHLIGHTTEXT;
    POINT p[3];
    int x, y;
    if (DownArrow) {
        x = (Rect.left + Rect.right - (2 * Size - 1)) / 2;
        y = (Rect.top + Rect.bottom - Size) / 2;
        p[0] = POINT{x, y};
        p[1] = POINT{x + 2 * Size - 2, y};
        p[2] = POINT{x + Size - 1, y + Size - 1};
    } else {
        x = (Rect.left + Rect.right - Size) / 2;
        y = (Rect.top + Rect.bottom - (2 * Size - 1)) / 2;
        p[0] = POINT{x, y};
        p[1] = POINT{x, y + 2 * Size - 2};
        p[2] = POINT{x + Size - 1, y + Size - 1};
    }
    {
        SolidTools tools(DC, GetSysColor(colorIndex));
        Polygon(DC, p, 3);
    }
    if (!Enabled && !Flat) {
        SolidTools tools(DC, GetSysColor(COLOR_BTNHIGHLIGHT));
        if (DownArrow) {
            Line(DC, x + Size, y + Size - 1, x + 2 * Size - 1, y);
            Line(DC, x + Size, y + Size, x + 2 * Size, y);
        } else {
            Line(DC, x + Size - 1, y + Size, x, y + 2 * Size - 1);
            Line(DC, x + Size, y + Size, x, y + 2 * Size);
        }
    }
}

void DrawRectEdge(HDC DC, RECT Rect, UINT Edge) {
    DrawEdge(DC, &Rect, Edge, BF_RECT);
}

void FrameHighlight(HDC DC, const RECT& Rect) {
    FrameRect(DC, &Rect, GetSysColorBrush(COLOR_HIGHLIGHT));
}

void FillGradient(HDC DC, const RECT& Rect, TColor FromColor, TColor ToColor) {
    const COLORREF from = ColorToRGB(FromColor);
    const COLORREF to = ColorToRGB(ToColor);
    const int height = Rect.bottom - Rect.top;
    auto channel = [](COLORREF c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
    int top = Rect.top;
    for (int i = 0; i < 256; ++i) {
        const int bottom = Rect.top + (i + 1) * height / 256;
        if (bottom > top) {
            auto mix = [&](int shift) {
                return channel(from, shift) + MulDiv(channel(to, shift) - channel(from, shift), i, 255);
            };
            FillRectByColor(DC, RECT{Rect.left, top, Rect.right, bottom},
                            static_cast<TColor>(RGB(mix(0), mix(8), mix(16))));
        }
        top = std::max(top, bottom);
    }
}

void FillRectWithBitmap(HDC DC, const RECT& Rect, const RECT& OriginRect, TBitmap* Bitmap, TColor Color,
                        HBRUSH Brush) {
    if (Bitmap != nullptr && !Bitmap->Empty()) {
        HRGN saved = nullptr;
        bool hadRegion = false;
        SaveClipRegion(DC, saved, hadRegion);
        IntersectClipRect(DC, Rect.left, Rect.top, Rect.right, Rect.bottom);
        const int w = Bitmap->Width(), h = Bitmap->Height();
        HDC source = Bitmap->Canvas().Handle();
        // Tiles start at the origin's corner and cover the rectangle.
        const int startX =
            OriginRect.left + ((Rect.left - OriginRect.left) / w - (Rect.left < OriginRect.left ? 1 : 0)) * w;
        const int startY =
            OriginRect.top + ((Rect.top - OriginRect.top) / h - (Rect.top < OriginRect.top ? 1 : 0)) * h;
        for (int y = startY; y < Rect.bottom; y += h)
            for (int x = startX; x < Rect.right; x += w)
                BitBlt(DC, x, y, w, h, source, 0, 0, SRCCOPY);
        RestoreClipRegion(DC, saved, hadRegion);
        return;
    }
    if (Brush != nullptr) {
        FillRect(DC, &Rect, Brush);
        return;
    }
    FillRectByColor(DC, Rect, Color);
}

void SaveClipRegion(HDC DC, HRGN& Region, bool& HadRegion) {
    Region = CreateRectRgn(0, 0, 0, 0);
    HadRegion = GetClipRgn(DC, Region) == 1;
}

void RestoreClipRegion(HDC DC, HRGN& Region, bool HadRegion) {
    SelectClipRgn(DC, HadRegion ? Region : nullptr);
    DeleteObject(Region);
    Region = nullptr;
}

void ExcludeClipRectangle(HDC DC, const RECT& Rect) {
    HRGN region = CreateRectRgnIndirect(&Rect);
    ExtSelectClipRgn(DC, region, RGN_DIFF);
    DeleteObject(region);
}

void ExcludeRectFromRegion(HRGN Region, const RECT& Rect) {
    HRGN part = CreateRectRgnIndirect(&Rect);
    CombineRgn(Region, Region, part, RGN_DIFF);
    DeleteObject(part);
}

TColor GetNearestScreenColor(TColor Color) {
    HDC screen = GetDC(nullptr);
    const COLORREF nearest = GetNearestColor(screen, ColorToRGB(Color));
    ReleaseDC(nullptr, screen);
    return static_cast<TColor>(nearest);
}

void CreateMenuFont(const TFont& Font, HFONT& Handle, bool Scaled) {
    if (Handle != nullptr) DeleteObject(Handle);
    LOGFONT font{};
    GetObject(Font.Handle(), sizeof font, &font);
    if (Scaled) {
        LOGFONT iconTitle{};
        SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof iconTitle, &iconTitle, 0);
        font.lfHeight = std::min(iconTitle.lfHeight, -11);
    }
    Handle = CreateFontIndirect(&font);
}

void DrawSizeGripTransparent(HDC DC, const RECT& Rect) {
    const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    if (w <= 0 || h <= 0) return;
    // The grip drawn on the button face; a mask of the face pixels keeps what lies beneath there.
    HDC image = CreateCompatibleDC(DC);
    HBITMAP imageBits = CreateBitmap(w, h, 1, 32, nullptr);
    HGDIOBJ oldImage = SelectObject(image, imageBits);
    RECT cell{0, 0, w, h};
    FillRect(image, &cell, GetSysColorBrush(COLOR_BTNFACE));
    DrawFrameControl(image, &cell, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    HDC mask = CreateCompatibleDC(DC);
    HBITMAP maskBits = CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ oldMask = SelectObject(mask, maskBits);
    SetBkColor(image, GetSysColor(COLOR_BTNFACE));
    BitBlt(mask, 0, 0, w, h, image, 0, 0, SRCCOPY);
    // The image turns white on the face pixels, the destination white on the grip pixels; ANDed
    // together, the destination stays where the face was and takes the grip elsewhere.
    BitBlt(image, 0, 0, w, h, mask, 0, 0, SRCPAINT);
    BitBlt(DC, Rect.left, Rect.top, w, h, mask, 0, 0, MERGEPAINT);
    BitBlt(DC, Rect.left, Rect.top, w, h, image, 0, 0, SRCAND);
    SelectObject(mask, oldMask);
    DeleteObject(maskBits);
    DeleteDC(mask);
    SelectObject(image, oldImage);
    DeleteObject(imageBits);
    DeleteDC(image);
}

TColor GetXPToolbarFillColor() {
    COLORREF color = 0;
    if (GetThemeColor(OpenTheme(totToolBar), 0, 0, TMT_FILLCOLOR, &color) == S_OK)
        return static_cast<TColor>(color);
    return static_cast<TColor>(GetSysColor(COLOR_BTNFACE));
}

void DrawThemedSmallCloseButton(HDC DC, const RECT& Rect, int State, int Side, bool Pressed) {
    HTHEME theme = OpenTheme(totWindow);
    if (theme == nullptr) return;
    FillRect(DC, &Rect, GetSysColorBrush(COLOR_BTNFACE));
    const int state = Pressed ? 3 : State == 1 ? 2 : 1;
    SIZE size{};
    GetThemePartSize(theme, DC, WP_SMALLCLOSEBUTTON, state, nullptr, TS_TRUE, &size);
    RECT r;
    r.top = (Rect.top + Rect.bottom - size.cy) / 2;
    r.bottom = r.top + size.cy;
    r.left = Side == 1 || Side == 3 ? Rect.left : Rect.right - size.cx;
    r.right = r.left + size.cx;
    DrawThemeBackground(theme, DC, WP_SMALLCLOSEBUTTON, state, &r, nullptr);
}

void DrawThemedSizeGrip(HDC DC, const RECT& Rect, int Corner) {
    HTHEME theme = OpenTheme(totScrollBar);
    if (theme == nullptr) return;
    FillRect(DC, &Rect, GetSysColorBrush(COLOR_BTNFACE));
    SIZE size{};
    GetThemePartSize(theme, DC, SBP_SIZEBOX, 1, nullptr, TS_TRUE, &size);
    size.cx += 2;
    size.cy += 2;
    const bool right = Corner == 1 || Corner == 3;
    const bool bottom = Corner == 2 || Corner == 3;
    RECT r;
    r.left = right ? Rect.right - size.cx : Rect.left;
    r.top = bottom ? Rect.bottom - size.cy : Rect.top;
    r.right = r.left + size.cx;
    r.bottom = r.top + size.cy;
    DrawThemeBackground(theme, DC, SBP_SIZEBOX, 1, &r, nullptr);
}
