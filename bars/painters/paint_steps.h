#pragma once
// Small drawing steps the painter styles share.
#include "bars/painters/paint_views.h"
#include "platform/gdi/gdi_defs.h"

namespace bars {

// Fills the box from (l, t) to (r, b), right and bottom left out.
void Fill(HDC dc, int l, int t, int r, int b, HBRUSH brush);
// A line in the DC's pen from (x1, y1) up to, not including, (x2, y2).
void Segment(HDC dc, int x1, int y1, int x2, int y2);
// Whether the bar is docked along the top or bottom edge.
bool Horizontal(BarPaintView& bar);

} // namespace bars
