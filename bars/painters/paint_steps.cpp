#include "bars/painters/paint_steps.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/shapes.h"

namespace bars {

void Fill(HDC dc, int l, int t, int r, int b, HBRUSH brush) {
    const RECT rect{l, t, r, b};
    FillRect(dc, &rect, brush);
}

void Segment(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

bool Horizontal(BarPaintView& bar) {
    const TdxBarDockingStyle style = bar.PaintDockingStyle();
    return style == dsTop || style == dsBottom;
}

} // namespace bars
