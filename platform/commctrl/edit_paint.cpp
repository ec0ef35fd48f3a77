// The "EDIT" class: what is drawn again after a change, and the painting.
#include <algorithm>
#include <string>

#include "platform/commctrl/edit_control.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/gui/caret.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"

namespace pw::commctrl {

void Edit::InvalidateFrom(int firstChanged, int oldTop, int oldScrollX) {
    if (!seen_ || !Multi() || oldTop < 0 || firstChanged <= 0 || focused_ || scrollX_ != oldScrollX ||
        model_.HasSelection() || !RedrawOn() || PaintPending()) {
        // Hidden, nothing moves; with a paint still to come, lines added meanwhile are drawn by it
        // rather than moving the pixels once per line.
        Invalidate();
        return;
    }
    const RECT area = TextArea();
    const int h = LineH();
    const int shown = static_cast<int>((area.bottom - area.top) / h);
    // Lines that were cut off at the bottom are drawn again in full.
    const int keep = std::min(firstChanged, oldTop + shown);
    const int moved = topLine_ - oldTop;
    if (moved < 0 || keep - topLine_ <= 0) {
        Invalidate();
        return;
    }
    RECT client;
    GetClientRect(Hwnd(), client);
    if (moved > 0) ScrollWindowEx(Hwnd(), 0, -moved * h, &client, &client, nullptr, nullptr, 0);
    RECT rest = client;
    rest.top = area.top + (keep - topLine_) * h;
    if (rest.top < rest.bottom) InvalidateRect(Hwnd(), &rest, TRUE_);
}

LRESULT Edit::Paint(TWMPaint m) {
    PaintDC paint(Hwnd(), m);
    HDC dc = paint.Get();
    RECT client;
    GetClientRect(Hwnd(), client);
    const bool enabled = IsWindowEnabled(Hwnd());
    const bool plain = ReadOnly() || !enabled;
    HBRUSH brush =
        ControlColor(plain ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, dc, plain ? COLOR_BTNFACE : COLOR_WINDOW);
    FillRect(dc, &client, brush);
    const gdi::SelectedObject fontSelected(dc, Font());
    const RECT area = TextArea();
    // Nothing of the text shows outside the formatting rectangle.
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    const int h = std::max(1, LineHeight(dc));
    const bool showSel = focused_ || (Style() & ES_NOHIDESEL);
    const int first = Multi() ? topLine_ : 0;
    const int last = Multi() ? std::min(model_.LineCount(), first + (area.bottom - area.top) / h + 1) : 1;
    const int x0 = area.left - scrollX_ + AlignOffset(dc);
    SetBkMode(dc, TRANSPARENT);
    if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    const COLORREF normal = GetTextColor(dc);
    for (int line = first; line < last; ++line) {
        const int y = area.top + (line - first) * h;
        const size_t start = model_.LineStart(line), end = start + model_.LineLength(line);
        const size_t s = std::clamp(model_.SelStart(), start, end),
                     e = std::clamp(model_.SelEnd(), start, end);
        const std::string before = Display(model_.Text().substr(start, s - start));
        const std::string selected = Display(model_.Text().substr(s, e - s));
        const std::string after = Display(model_.Text().substr(e, end - e));
        int x = x0;
        SetTextColor(dc, normal);
        TextOut(dc, x, y, before.c_str(), static_cast<int>(before.size()));
        x += TextWidth(dc, before);
        if (!selected.empty() || (showSel && model_.SelEnd() > end && model_.SelStart() <= end && Multi())) {
            const int w = TextWidth(dc, selected);
            if (showSel && model_.HasSelection()) {
                RECT sel{x, y, x + std::max(w, 1), y + h};
                FillHighlight(dc, sel);
            }
            TextOut(dc, x, y, selected.c_str(), static_cast<int>(selected.size()));
            x += w;
        }
        SetTextColor(dc, normal);
        TextOut(dc, x, y, after.c_str(), static_cast<int>(after.size()));
    }
    // Scrolling moves the caret without a word to it: it goes where it is drawn.
    if (focused_) {
        const POINT at = CaretPoint(dc);
        SetCaretPos(at.x, at.y);
    }
    if (focused_ && caretOn_ && pw::gui::CaretShown(Hwnd())) {
        const int line = model_.LineOf(model_.Caret());
        if (line >= first && line < last) {
            const int x = x0 + XOf(dc, model_.Caret());
            const int y = area.top + (line - first) * h;
            RECT caret{x, y, x + 1, y + h};
            InvertRect(dc, &caret);
        }
    }
    return 0;
}

} // namespace pw::commctrl
