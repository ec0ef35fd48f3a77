// Scrolling a window's pixels inside its top-level window's backing store.
#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/paint.h"
#include "platform/gui/visible_region.h"
#include "platform/gui/window.h"

namespace pw::gui {
namespace {

std::atomic<long long> pixelsScrolled{0};

// Copies the pixels of every rectangle of to from the same rectangle moved back by (dx, dy); the sources
// are read before anything is written, as they may overlap the destinations.
void MovePixels(Surface& store, const Region& to, int dx, int dy) {
    if (to.IsEmpty()) return;
    RECT from = to.Bounds();
    OffsetRect(from, -dx, -dy);
    if (!IntersectRect(from, from, RECT{0, 0, store.Width(), store.Height()})) return;
    const int width = from.right - from.left;
    std::vector<uint32_t> saved(static_cast<size_t>(width) * (from.bottom - from.top));
    for (int y = from.top; y < from.bottom; ++y)
        std::copy_n(store.Bits() + static_cast<size_t>(y) * store.Width() + from.left, width,
                    saved.begin() + static_cast<ptrdiff_t>(y - from.top) * width);
    for (const RECT& r : to.Rects())
        for (int y = r.top; y < r.bottom; ++y) {
            const int sy = y - dy, sx = r.left - dx;
            if (y < 0 || y >= store.Height() || sy < from.top || sy >= from.bottom || sx < from.left ||
                r.right - dx > from.right || r.left < 0 || r.right > store.Width())
                continue;
            std::copy_n(saved.begin() + static_cast<ptrdiff_t>(sy - from.top) * width + (sx - from.left),
                        r.right - r.left, store.Bits() + static_cast<size_t>(y) * store.Width() + r.left);
        }
}

} // namespace

long long PixelsScrolled() {
    return pixelsScrolled;
}

} // namespace pw::gui

using namespace pw::gui;

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                   RECT* updateRect, UINT flags) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return ERROR_;
    std::shared_ptr<Window> root;
    Region moved, exposed;
    RECT area;
    POINT clientInWindow;
    {
        Guard g(Lock());
        root = FindLiveWindow(RootOf(hwnd));
        if (!root) return ERROR_;
        clientInWindow = POINT{w->client.left, w->client.top};
        const RECT client{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
        area = client;
        if (scroll) IntersectRect(area, area, *scroll);
        RECT limit = area;
        if (clip && !IntersectRect(limit, limit, *clip)) limit = RECT{};
        const POINT o = OriginInRoot(*w);
        const POINT clientInRoot{o.x + clientInWindow.x, o.y + clientInWindow.y};
        // Only pixels the window shows can move, and only onto places it shows.
        const Region visible = VisibleRegion(*w, w->client, true);
        RECT source = area, target = limit;
        OffsetRect(source, clientInRoot.x, clientInRoot.y);
        OffsetRect(target, clientInRoot.x, clientInRoot.y);
        moved = Region::Combine(visible, Region(source), Region::Op::And);
        moved.Offset(dx, dy);
        moved = Region::Combine(Region::Combine(moved, visible, Region::Op::And), Region(target),
                                Region::Op::And);
        exposed = Region::Combine(Region(target), moved, Region::Op::Diff);
        exposed.Offset(-clientInRoot.x, -clientInRoot.y);
        // What was waiting to be painted inside the area moves with the pixels.
        RECT areaInWindow = area, limitInWindow = limit;
        OffsetRect(areaInWindow, clientInWindow.x, clientInWindow.y);
        OffsetRect(limitInWindow, clientInWindow.x, clientInWindow.y);
        Region inside = Region::Combine(w->update, Region(areaInWindow), Region::Op::And);
        if (!inside.IsEmpty()) {
            inside.Offset(dx, dy);
            inside = Region::Combine(inside, Region(limitInWindow), Region::Op::And);
            w->update = Region::Combine(Region::Combine(w->update, Region(areaInWindow), Region::Op::Diff),
                                        inside, Region::Op::Or);
        }
    }
    for (const RECT& r : moved.Rects())
        pixelsScrolled += static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
    MovePixels(root->surface, moved, dx, dy);
    ShowDamage(root, moved);
    if (flags & SW_INVALIDATE)
        for (RECT r : exposed.Rects()) {
            OffsetRect(r, clientInWindow.x, clientInWindow.y);
            InvalidateWindowArea(hwnd, &r, (flags & SW_ERASE) != 0, false, false);
        }
    if (flags & SW_SCROLLCHILDREN) {
        std::vector<std::pair<HWND, RECT>> kids;
        {
            Guard g(Lock());
            for (HWND c : w->children) {
                RECT overlap;
                if (auto cw = FindLiveWindow(c); cw && (!scroll || IntersectRect(overlap, cw->rect, area)))
                    kids.emplace_back(c, cw->rect);
            }
        }
        for (const auto& [c, r] : kids)
            SetWindowPos(c, nullptr, r.left + dx, r.top + dy, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (update) {
        const pw::gdi::OwnedObject<HRGN> out(CreateRgnFromRegion(exposed));
        CombineRgn(update, out.Get(), nullptr, RGN_COPY);
    }
    if (updateRect) *updateRect = exposed.Bounds();
    return exposed.Complexity();
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip) {
    const UINT flags = SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN);
    return ScrollWindowEx(hwnd, dx, dy, scroll, clip, nullptr, nullptr, flags) != ERROR_ ? TRUE_ : FALSE_;
}
