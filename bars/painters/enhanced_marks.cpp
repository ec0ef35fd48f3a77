// The end mark's customize arrow and chevrons of the enhanced style, which the flat style borrows.
#include "bars/painters/flat_painter.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"

namespace bars {

void DrawEnhancedMarkArrows(const TdxBarItemControlPainter& Painter, BarPaintView& Bar, HDC DC, const RECT& R,
                            int ColorIndex) {
    // The enhanced style's marks are never small.
    const bool small = false;
    const TdxBarDockingStyle style = Bar.PaintDockingStyle();
    const bool horizontal = style == dsTop || style == dsBottom;
    POINT p[3];
    if (horizontal) {
        const int x = R.left + 3, y = R.bottom - 7 + (small ? 1 : 0);
        p[0] = POINT{x, y};
        p[1] = POINT{x + 4, y};
        p[2] = POINT{x + 2, y + 2};
    } else {
        const int x = R.left + 5, y = R.top + 3;
        p[0] = POINT{x, y};
        p[1] = POINT{x, y + 4};
        p[2] = POINT{x - 2, y + 2};
    }
    {
        const COLORREF color = GetSysColor(ColorIndex);
        const pw::gdi::OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
        const pw::gdi::OwnedObject<HBRUSH> brush(CreateSolidBrush(color));
        const pw::gdi::SelectedObject penSel(DC, pen.Get()), brushSel(DC, brush.Get());
        Polygon(DC, p, 3);
    }
    if (!Bar.ItemsHidden()) return;
    (void)Painter;
    if (horizontal) {
        DrawEnhancedMarkArrow(Bar, DC, R.left + 2, small);
        DrawEnhancedMarkArrow(Bar, DC, R.left + 6, small);
    } else {
        DrawEnhancedMarkArrow(Bar, DC, R.bottom - 9, small);
        DrawEnhancedMarkArrow(Bar, DC, R.bottom - 5, small);
    }
}

void DrawEnhancedMarkArrow(BarPaintView& Bar, HDC DC, int P, bool Small) {
    const pw::gdi::OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT)));
    const pw::gdi::SelectedObject selected(DC, pen.Get());
    const TdxBarDockingStyle style = Bar.PaintDockingStyle();
    if (style == dsTop || style == dsBottom) {
        const int y0 = 4 - (Small ? 1 : 0);
        const POINT a[3] = {{P, y0}, {P + 2, y0 + 2}, {P - 1, y0 + 5}};
        const POINT b[3] = {{P + 1, y0}, {P + 3, y0 + 2}, {P, y0 + 5}};
        Polyline(DC, a, 3);
        Polyline(DC, b, 3);
    } else {
        const int x0 = Bar.ClientWidth() - 8;
        const POINT a[3] = {{x0, P}, {x0 + 2, P + 2}, {x0 + 5, P - 1}};
        const POINT b[3] = {{x0, P + 1}, {x0 + 2, P + 3}, {x0 + 5, P}};
        Polyline(DC, a, 3);
        Polyline(DC, b, 3);
    }
}

} // namespace bars
