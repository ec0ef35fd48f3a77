#include "platform/gdi/edges.h"

#include "platform/gdi/edge_painter.h"
#include "platform/gdi/painting.h"
#include "platform/gdi/syscolors.h"

namespace pw::gdi {

void FillDeviceRect(DeviceContext& dc, const RECT& r, COLORREF color) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    FillAreaColor(dc, Region(r), DeviceColor(dc, color), R2_COPYPEN);
}

namespace {

struct EdgeColors {
    int topLeft;
    int bottomRight;
};

// One ring of the edge on the flagged sides: the bottom and right lines take the last row and
// column, corners included.
void DrawRing(DeviceContext& dc, const RECT& r, UINT flags, EdgeColors c) {
    const COLORREF tl = GetSysColor(c.topLeft), br = GetSysColor(c.bottomRight);
    const int bottomEnd = (flags & BF_BOTTOM) ? r.bottom - 1 : r.bottom;
    const int rightEnd = (flags & BF_RIGHT) ? r.right - 1 : r.right;
    if (flags & BF_LEFT) FillDeviceRect(dc, RECT{r.left, r.top, r.left + 1, bottomEnd}, tl);
    if (flags & BF_TOP) FillDeviceRect(dc, RECT{r.left, r.top, rightEnd, r.top + 1}, tl);
    if (flags & BF_RIGHT) FillDeviceRect(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, br);
    if (flags & BF_BOTTOM) FillDeviceRect(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, br);
}

RECT Shrink(const RECT& r, UINT flags) {
    RECT out = r;
    if (flags & BF_LEFT) ++out.left;
    if (flags & BF_TOP) ++out.top;
    if (flags & BF_RIGHT) --out.right;
    if (flags & BF_BOTTOM) --out.bottom;
    return out;
}

void DrawDiagonal(DeviceContext& dc, const RECT& r, UINT edge, UINT flags) {
    const bool raised = edge & (BDR_RAISEDOUTER | BDR_RAISEDINNER);
    const int w = r.right - r.left, h = r.bottom - r.top, n = std::min(w, h);
    // The line runs towards the named end corner; its colour is the side it faces.
    const bool towardsTopRight = (flags & BF_DIAGONAL_ENDTOPRIGHT) == BF_DIAGONAL_ENDTOPRIGHT ||
                                 (flags & BF_DIAGONAL_ENDBOTTOMLEFT) == BF_DIAGONAL_ENDBOTTOMLEFT;
    const int color = raised ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT;
    for (int i = 0; i < n; ++i) {
        const int x = r.left + i, y = towardsTopRight ? r.bottom - 1 - i : r.top + i;
        FillDeviceRect(dc, RECT{x, y, x + 1, y + 1}, GetSysColor(color));
    }
}

} // namespace

RECT PaintEdge(DeviceContext& dc, const RECT& rect, UINT edge, UINT flags) {
    RECT r = rect;
    if (flags & BF_DIAGONAL) {
        DrawDiagonal(dc, r, edge, flags);
        return r;
    }
    const UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
    EdgeColors outerColors{}, innerColors{};
    if (outer & BDR_RAISEDOUTER) outerColors = {COLOR_3DLIGHT, COLOR_3DDKSHADOW};
    if (outer & BDR_SUNKENOUTER) outerColors = {COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
    if (inner & BDR_RAISEDINNER) innerColors = {COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
    if (inner & BDR_SUNKENINNER) innerColors = {COLOR_3DDKSHADOW, COLOR_3DLIGHT};
    if ((flags & BF_SOFT) && outer && inner) std::swap(outerColors.topLeft, innerColors.topLeft);
    if (flags & BF_MONO) {
        outerColors = {COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
        innerColors = {COLOR_WINDOW, COLOR_WINDOW};
    } else if (flags & BF_FLAT) {
        outerColors = {COLOR_BTNSHADOW, COLOR_BTNSHADOW};
        innerColors = {COLOR_BTNFACE, COLOR_BTNFACE};
    }
    if (outer) {
        DrawRing(dc, r, flags, outerColors);
        r = Shrink(r, flags);
    }
    if (inner) {
        DrawRing(dc, r, flags, innerColors);
        r = Shrink(r, flags);
    }
    if (flags & BF_MIDDLE)
        FillDeviceRect(dc, r, GetSysColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
    return r;
}

} // namespace pw::gdi

using namespace pw::gdi;

BOOL DrawEdge(HDC hdc, RECT* rect, UINT edge, UINT flags) {
    auto dc = LookupDc(hdc);
    if (!dc || !rect) return 0;
    TargetAccess access(*dc);
    const RECT inner = PaintEdge(*dc, dc->ToDevice(*rect), edge, flags);
    if (flags & BF_ADJUST) *rect = dc->ToLogical(inner);
    return 1;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rect) {
    auto dc = LookupDc(hdc);
    if (!dc || !rect) return 0;
    const RECT r = dc->ToDevice(*rect);
    if (r.right <= r.left || r.bottom <= r.top) return 1;
    RECT inner = r;
    InflateRect(inner, -1, -1);
    const Region frame = Region::Combine(Region(r), Region(inner), Region::Op::Diff);
    TargetAccess access(*dc);
    // Every other pixel of the frame, in a checkerboard fixed to the device, so overlapping calls agree.
    ForEachVisiblePixel(*dc, frame, [](int x, int y, uint32_t& px) {
        if (((x + y) & 1) == 0) px = ApplyRop2(R2_NOT, 0, px);
    });
    return 1;
}
