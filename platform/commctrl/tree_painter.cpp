#include "platform/commctrl/tree_painter.h"

#include "platform/commctrl/control.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"

namespace pw::commctrl {

void TreePainter::Dots(int x0, int y0, int x1, int y1) {
    const COLORREF color = GetSysColor(COLOR_GRAYTEXT);
    // Every other pixel on a fixed grid, so dots of neighbouring rows line up.
    if (x0 == x1) {
        for (int y = y0; y < y1; ++y)
            if (((x0 + y) & 1) == 0) SetPixelV(dc_, x0, y, color);
    } else {
        for (int x = x0; x < x1; ++x)
            if (((x + y0) & 1) == 0) SetPixelV(dc_, x, y0, color);
    }
}

void TreePainter::VerticalLine(int column, const RECT& row) {
    const int x = column * indent_ + indent_ / 2;
    Dots(x, row.top, x, row.bottom);
}

void TreePainter::Branch(int column, const RECT& row, bool above, bool below) {
    const int x = column * indent_ + indent_ / 2;
    const int mid = row.top + itemHeight_ / 2;
    Dots(x, above ? row.top : mid, x, below ? row.bottom : mid + 1);
    Dots(x, mid, (column + 1) * indent_, mid);
}

void TreePainter::Button(const RECT& column, bool expanded) {
    const int cx = (column.left + column.right) / 2;
    const int cy = column.top + itemHeight_ / 2;
    RECT box{cx - 4, cy - 4, cx + 5, cy + 5};
    FillRect(dc_, &box, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc_, &box, GetSysColorBrush(COLOR_BTNSHADOW));
    RECT minus{cx - 2, cy, cx + 3, cy + 1};
    FillRect(dc_, &minus, GetSysColorBrush(COLOR_WINDOWTEXT));
    if (!expanded) {
        RECT plus{cx, cy - 2, cx + 1, cy + 3};
        FillRect(dc_, &plus, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
}

void TreePainter::Label(const RECT& label, const std::string& text, LabelLook look, bool focus) {
    RECT r = label;
    SetBkMode(dc_, TRANSPARENT);
    if (look == LabelLook::Selected) {
        FillHighlight(dc_, r);
    } else if (look == LabelLook::Inactive) {
        FillRect(dc_, &r, GetSysColorBrush(COLOR_BTNFACE));
        SetTextColor(dc_, GetSysColor(COLOR_BTNTEXT));
    } else {
        SetTextColor(dc_, GetSysColor(enabled_ ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    }
    DrawItemText(dc_, r, text);
    if (focus) DrawFocusRect(dc_, &r);
}

} // namespace pw::commctrl
