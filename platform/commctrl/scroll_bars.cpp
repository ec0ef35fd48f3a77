#include "platform/commctrl/scroll_bars.h"

#include <algorithm>

#include "platform/gdi/edges.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"

namespace pw::commctrl {

int ScrollBar::MaxPos() const {
    return std::max(min, max - std::max(page - 1, 0));
}

bool ScrollBars::Set(int bar, const SCROLLINFO& info) {
    ScrollBar& b = Bar(bar);
    if (info.fMask & SIF_RANGE) {
        b.min = info.nMin;
        b.max = std::max(info.nMin, info.nMax);
    }
    if (info.fMask & SIF_PAGE) b.page = static_cast<int>(std::min<UINT>(info.nPage, 0x7FFFFFFF));
    if (info.fMask & SIF_POS) b.pos = info.nPos;
    b.pos = std::clamp(b.pos, b.min, b.MaxPos());
    if (!(info.fMask & (SIF_RANGE | SIF_PAGE))) return false;
    const bool needed = b.max - b.min + 1 > b.page && b.max > b.min;
    const bool shown = needed || (info.fMask & SIF_DISABLENOSCROLL);
    const bool changed = shown != b.shown;
    b.shown = shown;
    return changed;
}

void ScrollBars::Get(int bar, SCROLLINFO& info) {
    const ScrollBar& b = Bar(bar);
    if (info.fMask & SIF_RANGE) {
        info.nMin = b.min;
        info.nMax = b.max;
    }
    if (info.fMask & SIF_PAGE) info.nPage = static_cast<UINT>(b.page);
    if (info.fMask & SIF_POS) info.nPos = b.pos;
    if (info.fMask & SIF_TRACKPOS) info.nTrackPos = dragBar_ == bar ? trackPos_ : b.pos;
}

void ScrollBars::CalcClient(RECT& client) const {
    if (vert_.shown) client.right = std::max(client.left, client.right - GetSystemMetrics(SM_CXVSCROLL));
    if (horz_.shown) client.bottom = std::max(client.top, client.bottom - GetSystemMetrics(SM_CYHSCROLL));
}

POINT ClientOrigin(HWND hwnd) {
    RECT w;
    GetWindowRect(hwnd, w);
    POINT p{0, 0};
    ClientToScreen(hwnd, p);
    return POINT{p.x - w.left, p.y - w.top};
}

RECT ScrollBars::Area(HWND hwnd, int bar) const {
    const ScrollBar& b = bar == SB_HORZ ? horz_ : vert_;
    if (!b.shown) return RECT{};
    RECT c;
    GetClientRect(hwnd, c);
    const POINT o = ClientOrigin(hwnd);
    OffsetRect(c, o.x, o.y);
    if (bar == SB_VERT) return RECT{c.right, c.top, c.right + GetSystemMetrics(SM_CXVSCROLL), c.bottom};
    return RECT{c.left, c.bottom, c.right, c.bottom + GetSystemMetrics(SM_CYHSCROLL)};
}

namespace {

struct Layout {
    RECT first{}, second{}, thumb{}, track{};
};

Layout LayoutOf(const ScrollBar& b, RECT area, bool vertical) {
    Layout l;
    const int length = vertical ? area.bottom - area.top : area.right - area.left;
    const int thickness = vertical ? area.right - area.left : area.bottom - area.top;
    const int arrow = std::min(thickness, length / 2);
    const int track = length - 2 * arrow;
    const int range = b.max - b.min + 1;
    int thumb =
        b.page > 0 ? static_cast<int>(static_cast<long long>(track) * b.page / std::max(range, 1)) : arrow;
    thumb = std::clamp(thumb, std::min(8, track), track);
    const int travel = b.MaxPos() - b.min;
    const int offset =
        travel > 0 ? static_cast<int>(static_cast<long long>(track - thumb) * (b.pos - b.min) / travel) : 0;
    const bool usable = b.max > b.min && track > 0 && thumb < track;
    if (vertical) {
        l.first = RECT{area.left, area.top, area.right, area.top + arrow};
        l.second = RECT{area.left, area.bottom - arrow, area.right, area.bottom};
        l.track = RECT{area.left, area.top + arrow, area.right, area.bottom - arrow};
        if (usable) l.thumb = RECT{area.left, l.track.top + offset, area.right, l.track.top + offset + thumb};
    } else {
        l.first = RECT{area.left, area.top, area.left + arrow, area.bottom};
        l.second = RECT{area.right - arrow, area.top, area.right, area.bottom};
        l.track = RECT{area.left + arrow, area.top, area.right - arrow, area.bottom};
        if (usable)
            l.thumb = RECT{l.track.left + offset, area.top, l.track.left + offset + thumb, area.bottom};
    }
    return l;
}

bool Inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

} // namespace

void ScrollBars::Paint(HWND hwnd) {
    if (!vert_.shown && !horz_.shown) return;
    const gui::WindowDC window(hwnd, gui::WindowDC::Area::Window);
    HDC dc = window.Get();
    const bool enabled = IsWindowEnabled(hwnd);
    for (int bar : {SB_VERT, SB_HORZ}) {
        const ScrollBar& b = Bar(bar);
        if (!b.shown) continue;
        const bool vertical = bar == SB_VERT;
        RECT area = Area(hwnd, bar);
        Layout l = LayoutOf(b, area, vertical);
        const UINT inactive = (enabled && b.max > b.min) ? 0 : DFCS_INACTIVE;
        FillRect(dc, &l.track, GetSysColorBrush(COLOR_SCROLLBAR));
        DrawFrameControl(dc, &l.first, DFC_SCROLL, (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive);
        DrawFrameControl(dc, &l.second, DFC_SCROLL,
                         (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive);
        if (!IsRectEmpty(l.thumb) && !inactive) {
            RECT t = l.thumb;
            DrawEdge(dc, &t, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        }
    }
    if (vert_.shown && horz_.shown) {
        RECT v = Area(hwnd, SB_VERT);
        RECT corner{v.left, v.bottom, v.right, v.bottom + GetSystemMetrics(SM_CYHSCROLL)};
        FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
}

int ScrollBars::CodeAt(HWND hwnd, int bar, POINT p) const {
    const ScrollBar& b = bar == SB_HORZ ? horz_ : vert_;
    if (!b.shown || b.max <= b.min) return -1;
    RECT area = Area(hwnd, bar);
    if (!Inside(area, p)) return -1;
    const bool vertical = bar == SB_VERT;
    Layout l = LayoutOf(b, area, vertical);
    if (Inside(l.first, p)) return SB_LINEUP;
    if (Inside(l.second, p)) return SB_LINEDOWN;
    if (IsRectEmpty(l.thumb)) return -1;
    if (Inside(l.thumb, p)) return kThumb;
    const bool before = vertical ? p.y < l.thumb.top : p.x < l.thumb.left;
    return before ? SB_PAGEUP : SB_PAGEDOWN;
}

void ScrollBars::BeginDrag(HWND hwnd, int bar, POINT p) {
    const ScrollBar& b = Bar(bar);
    const Layout l = LayoutOf(b, Area(hwnd, bar), bar == SB_VERT);
    dragBar_ = bar;
    grab_ = bar == SB_VERT ? p.y - l.thumb.top : p.x - l.thumb.left;
    trackPos_ = b.pos;
}

int ScrollBars::Track(HWND hwnd, POINT p) {
    if (dragBar_ < 0) return 0;
    const ScrollBar& b = Bar(dragBar_);
    const bool vertical = dragBar_ == SB_VERT;
    const Layout l = LayoutOf(b, Area(hwnd, dragBar_), vertical);
    const int thumb = vertical ? l.thumb.bottom - l.thumb.top : l.thumb.right - l.thumb.left;
    const int track = vertical ? l.track.bottom - l.track.top : l.track.right - l.track.left;
    const int start = vertical ? l.track.top : l.track.left;
    const int at = (vertical ? p.y : p.x) - grab_ - start;
    const int travel = b.MaxPos() - b.min;
    const int room = track - thumb;
    trackPos_ =
        room > 0 ? b.min + static_cast<int>(static_cast<long long>(std::clamp(at, 0, room)) * travel / room)
                 : b.pos;
    return trackPos_;
}

} // namespace pw::commctrl
