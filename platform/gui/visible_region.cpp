#include "platform/gui/visible_region.h"

#include "platform/gdi/regions.h"
#include "platform/gui/gui_state.h"

namespace pw::gui {
namespace {

// The window's shape (SetWindowRgn) placed at origin, or its whole rectangle.
Region ShapeAt(const Window& w, POINT origin) {
    Region shape;
    if (w.windowRgn && GetRegion(w.windowRgn, shape)) {
        shape = Region::Combine(shape, Region(RECT{0, 0, w.Width(), w.Height()}), Region::Op::And);
    } else {
        shape = Region(RECT{0, 0, w.Width(), w.Height()});
    }
    shape.Offset(origin.x, origin.y);
    return shape;
}

Region Subtract(const Region& from, const Region& cut) {
    if (from.IsEmpty() || cut.IsEmpty()) return from;
    RECT overlap;
    RECT a = from.Bounds(), b = cut.Bounds();
    if (!IntersectRect(overlap, a, b)) return from;
    return Region::Combine(from, cut, Region::Op::Diff);
}

// Cuts the visible windows of list that come before stop (those above it) out of vis.
void CutSiblingsAbove(Region& vis, const std::vector<HWND>& list, HWND stop, POINT parentClientOrigin) {
    for (HWND h : list) {
        if (h == stop) return;
        auto s = FindWindow(h);
        if (!s || s->destroyed || !s->Visible()) continue;
        POINT o{parentClientOrigin.x + s->rect.left, parentClientOrigin.y + s->rect.top};
        vis = Subtract(vis, ShapeAt(*s, o));
        if (vis.IsEmpty()) return;
    }
}

} // namespace

POINT OriginInRoot(const Window& w) {
    POINT o{0, 0};
    const Window* cur = &w;
    while (cur->IsChild()) {
        auto p = FindWindow(cur->parent);
        if (!p) break;
        o.x += p->client.left + cur->rect.left;
        o.y += p->client.top + cur->rect.top;
        cur = p.get();
    }
    return o;
}

Region VisibleRegion(const Window& w, const RECT& area, bool clipChildren) {
    const POINT origin = OriginInRoot(w);
    RECT a = area;
    OffsetRect(a, origin.x, origin.y);
    Region vis(a);
    if (w.IsChild() && w.windowRgn) vis = Region::Combine(vis, ShapeAt(w, origin), Region::Op::And);
    if (clipChildren) {
        POINT clientOrigin{origin.x + w.client.left, origin.y + w.client.top};
        CutSiblingsAbove(vis, w.children, nullptr, clientOrigin);
    }
    // Up the parent chain: each level clips to the parent's client area (and shape), and a window with
    // WS_CLIPSIBLINGS loses what its siblings above it cover.
    const Window* cur = &w;
    POINT curOrigin = origin;
    while (cur->IsChild() && !vis.IsEmpty()) {
        if (!cur->Visible()) return Region();
        auto p = FindWindow(cur->parent);
        if (!p || p->destroyed) return Region();
        POINT parentOrigin{curOrigin.x - cur->rect.left - p->client.left,
                           curOrigin.y - cur->rect.top - p->client.top};
        POINT parentClient{parentOrigin.x + p->client.left, parentOrigin.y + p->client.top};
        RECT client = p->client;
        OffsetRect(client, parentOrigin.x, parentOrigin.y);
        if (vis.Rects().size() == 1) {
            RECT r;
            if (!IntersectRect(r, vis.Rects().front(), client)) return Region();
            vis = Region(r);
        } else {
            vis = Region::Combine(vis, Region(client), Region::Op::And);
        }
        if (p->IsChild() && p->windowRgn)
            vis = Region::Combine(vis, ShapeAt(*p, parentOrigin), Region::Op::And);
        if (cur->style & WS_CLIPSIBLINGS) CutSiblingsAbove(vis, p->children, cur->handle, parentClient);
        cur = p.get();
        curOrigin = parentOrigin;
    }
    return vis;
}

} // namespace pw::gui
