// The base style's drawing of item kinds this library does not make itself (ellipsis, text and spin
// buttons, progress bars, sizeable drop-down windows, expand lines), kept for the item kinds built on it.
#include <algorithm>

#include "bars/core/bar_drawing.h"
#include "bars/painters/painter.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/size_grip.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/muldiv.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/rtl/wintypes.h"

namespace bars {

using pw::gdi::OwnedObject;
using pw::gdi::SelectedObject;

namespace {

// A filled triangle of pen and brush in one colour.
void FilledTriangle(HDC dc, const POINT (&p)[3], COLORREF color) {
    const OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
    const OwnedObject<HBRUSH> brush(CreateSolidBrush(color));
    const SelectedObject penSel(dc, pen.Get()), brushSel(dc, brush.Get());
    Polygon(dc, p, 3);
}

// A one-pixel line from (x1, y1) up to, not including, (x2, y2) in a colour.
void PenLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color) {
    const OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
    const SelectedObject selected(dc, pen.Get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

} // namespace

void TdxBarItemControlPainter::DrawEllipsisButton(ItemPaintView& Control, HDC DC, bool Hot, bool Down,
                                                  RECT& Inner, RECT R) const {
    const HBRUSH background = Control.ParentView().BkBrush();
    FrameBackground(Control, DC, false, background, R);
    R.top += 1;
    R.bottom -= 1;
    FrameBackground(Control, DC, false, background, R);
    R = Inflated(R, -1, -1);
    Inner = R;
    DrawBeveledRect(Control, DC, Down, Hot, Inner);
    // Three dots d pixels square, d apart, d above the bottom.
    const int d = (R.right - R.left) / 7;
    if (d <= 0) return;
    RECT dot{R.left + d, R.bottom - 2 * d, R.left + 2 * d, R.bottom - d};
    OffsetDownRect(Down, dot);
    for (int i = 0; i < 3; ++i) {
        if (!Control.PaintEnabled())
            DrawSeparatorLine(DC, dot);
        else
            FillRect(DC, &dot,
                     GetSysColorBrush(IsHighContrastWhite() && Down ? COLOR_BTNFACE : COLOR_BTNTEXT));
        OffsetRect(dot, 2 * d, 0);
    }
}

void TdxBarItemControlPainter::CalcDropDownWindowRect(bool Adjust, const RECT& Window, const RECT& Owner,
                                                      int& Corner, RECT& R) const {
    R = Inflated(R, -1, -1);
    if (!Adjust) return;
    Corner = GetSizeGripCorner(Window, Owner);
    if (Corner >= 2)
        R.bottom -= GetSizeGripHeight();
    else
        R.top += GetSizeGripHeight();
}

int TdxBarItemControlPainter::GetSizeGripHeight() const {
    return GetSizeGripAreaHeight();
}

void TdxBarItemControlPainter::DrawTextButton(BarPaintView&, HDC DC, RECT R, bool Pushed,
                                              const std::string& Text) const {
    if (Pushed) {
        RECT r = R;
        DrawFrameControl(DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    } else {
        const int l = R.left, t = R.top, r = R.right - 1, b = R.bottom - 1;
        // The outer ring, then the inner one, each bottom and right first.
        PenLine(DC, l, b, r + 1, b, GetSysColor(COLOR_BTNTEXT));
        PenLine(DC, r, t, r, b, GetSysColor(COLOR_BTNTEXT));
        PenLine(DC, l, t, r, t, GetSysColor(COLOR_BTNFACE));
        PenLine(DC, l, t, l, b, GetSysColor(COLOR_BTNFACE));
        PenLine(DC, l + 1, b - 1, r, b - 1, GetSysColor(COLOR_BTNSHADOW));
        PenLine(DC, r - 1, t + 1, r - 1, b - 1, GetSysColor(COLOR_BTNSHADOW));
        PenLine(DC, l + 1, t + 1, r - 1, t + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        PenLine(DC, l + 1, t + 1, l + 1, b - 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        SetPixel(DC, r - 1, t + 1, GetSysColor(COLOR_BTNFACE));
    }
    R = Inflated(R, -2, -2);
    DrawCenteredButtonText(DC, R, true, Text, Pushed ? 1 : 0);
}

void TdxBarItemControlPainter::DrawSpinArrow(ItemPaintView& Control, HDC DC, bool Down, bool, int Orientation,
                                             int Size, const RECT& R) const {
    const bool upper = Orientation == 1;
    const int middle = (R.top + R.bottom) / 2;
    RECT part = upper ? RECT{R.left, R.top, R.right, middle} : RECT{R.left, middle, R.right, R.bottom};
    DrawBeveledRect(Control, DC, Down, true, part);
    const int half = Size / 2;
    int x = (part.left + part.right) / 2, y = (part.top + part.bottom - half) / 2;
    if (Down) {
        ++x;
        ++y;
    }
    auto triangle = [&](int dy, COLORREF color) {
        if (upper) {
            const POINT p[3] = {{x - half, y + half + dy}, {x + half, y + half + dy}, {x, y + dy}};
            FilledTriangle(DC, p, color);
        } else {
            const POINT p[3] = {{x - half, y + dy}, {x + half, y + dy}, {x, y + half + dy}};
            FilledTriangle(DC, p, color);
        }
    };
    if (Control.PaintEnabled()) {
        triangle(0, GetSysColor(COLOR_BTNTEXT));
    } else {
        triangle(1, GetSysColor(COLOR_BTNHIGHLIGHT));
        triangle(0, GetSysColor(COLOR_BTNSHADOW));
    }
}

void TdxBarItemControlPainter::DrawSpinEditFrame(ItemPaintView& Control, HDC DC, RECT& R) const {
    const HBRUSH background = Control.ParentView().BkBrush();
    DrawBackground(Control, DC, false, background, RECT{R.left, R.top, R.left + 1, R.bottom});
    DrawBackground(Control, DC, false, background, RECT{R.right - 1, R.top, R.right, R.bottom});
    R.left += 1;
    R.right -= 1;
}

COLORREF TdxBarItemControlPainter::GetProgressBarColor() const {
    return GetSysColor(COLOR_HIGHLIGHT);
}

void TdxBarItemControlPainter::DrawProgressBar(ItemPaintView& Control, HDC DC, int Max, int Min, int Position,
                                               bool Solid, int Orientation, TColor Color,
                                               const RECT& R) const {
    const bool vertical = Orientation == 2;
    const int length = vertical ? R.bottom - R.top : R.right - R.left;
    const int range = Max - Min;
    const int filled = range > 0 ? std::clamp(MulDiv(length, Position - Min, range), 0, length) : 0;
    const HBRUSH background = Control.ParentView().BkBrush();
    // The part of the bar from a to b along its length.
    auto part = [&](int a, int b) {
        return vertical ? RECT{R.left, R.bottom - b, R.right, R.bottom - a}
                        : RECT{R.left + a, R.top, R.left + b, R.bottom};
    };
    if (Solid) {
        const OwnedObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(Color)));
        const RECT bar = part(0, filled);
        FillRect(DC, &bar, brush.Get());
    } else {
        const int thickness = vertical ? R.right - R.left : R.bottom - R.top;
        const int block = std::max(thickness * 2 / 3, 1);
        const OwnedObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(Color)));
        for (int at = 0; at < filled; at += block + 2) {
            const RECT piece = part(at, std::min(at + block, filled));
            FillRect(DC, &piece, brush.Get());
            const int gapEnd = std::min(at + block + 2, filled);
            if (at + block < gapEnd) DrawBackground(Control, DC, false, background, part(at + block, gapEnd));
        }
    }
    if (filled < length) DrawBackground(Control, DC, false, background, part(filled, length));
}

HBRUSH TdxBarItemControlPainter::GetProgressFrameBrush() const {
    return GetSysColorBrush(COLOR_BTNSHADOW);
}

void TdxBarItemControlPainter::DrawExpandItem(ItemPaintView& Control, HDC DC, const RECT& R, bool Hot,
                                              bool First) const {
    BarPaintView& bar = Control.ParentView();
    DrawBackground(Control, DC, false, bar.BkBrush(), RECT{R.left, R.top, R.right, R.bottom - 1});
    const RECT line{R.left, R.bottom - 1, R.right, R.bottom};
    FillRect(DC, &line, Hot ? GetSelectedBrush(bar) : GetProgressFrameBrush());
    RECT text{R.left + 5, R.top, R.right, R.bottom - 1};
    DrawItemText(Control, DC, Control.PaintCaption(), text, 0, true, false, false, UseFlatTextColors());
    if (!Control.PaintEnabled()) return;
    const int size = bar.ArrowSize();
    RECT arrow{R.right - bar.LineHeight(), R.top, R.right, R.bottom - 1};
    if (!First) OffsetRect(arrow, -size, 0);
    DrawButtonArrowSized(DC, arrow, UseFlatTextColors(), true, Hot, size, false);
}

} // namespace bars
