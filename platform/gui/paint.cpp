#include "platform/gui/paint.h"

#include <algorithm>
#include <map>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/visible_region.h"

namespace pw::gui {
namespace {

// A DC handed out on a window draws into its top-level window's store, which it keeps alive until it
// is released; what it may have changed is shown then.
struct OpenDC {
    std::shared_ptr<Window> root;
    Region area; // the DC's clip in the store's coordinates
};

std::map<HDC, OpenDC>& OpenDCs() {
    static std::map<HDC, OpenDC> dcs;
    return dcs;
}

Surface& ScreenSurface() {
    static Surface screen;
    int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    // Nobody sees these pixels and few ever draw on them: left at 0, a screen of them costs no memory
    // until then (the bars ask the screen's DC for its colour depth as the main window is made).
    if (screen.Width() != w || screen.Height() != h) screen.Resize(w, h, 0);
    return screen;
}

// extraClip is in the DC's coordinates (the window or its client area).
HDC MakeDC(const std::shared_ptr<Window>& w, bool wholeWindow, const Region* extraClip, bool clipChildren) {
    std::shared_ptr<Window> root;
    Region area;
    POINT origin;
    {
        Guard g(Lock());
        root = FindLiveWindow(RootOf(w->handle));
        if (!root) return nullptr;
        RECT part = wholeWindow ? RECT{0, 0, w->Width(), w->Height()} : w->client;
        POINT o = OriginInRoot(*w);
        origin = POINT{o.x + part.left, o.y + part.top};
        // WS_CLIPCHILDREN is for the client area only: a window DC reaches the children.
        area = VisibleRegion(*w, part, clipChildren || (!wholeWindow && (w->style & WS_CLIPCHILDREN)));
        // Nobody sees a hidden window: what is drawn on it meanwhile is dropped (no pixel work), and
        // it is painted whole when shown.
        if (!root->Visible()) {
            area = Region();
            root->drawnUnseen = true;
        }
    }
    if (extraClip) {
        Region extra = *extraClip;
        extra.Offset(origin.x, origin.y);
        area = Region::Combine(area, extra, Region::Op::And);
    }
    Region clip = area;
    clip.Offset(-origin.x, -origin.y);
    const pw::gdi::OwnedObject<HRGN> rgn(CreateRgnFromRegion(clip));
    HDC dc = CreateSurfaceDC(&root->surface, origin, rgn.Get());
    if (!dc) return nullptr;
    Guard g(Lock());
    OpenDCs()[dc] = OpenDC{root, std::move(area)};
    return dc;
}

bool NeedsPaint(const Window& w) {
    return !w.update.IsEmpty() || w.frameInvalid;
}

// Caller holds the lock: every look for messages walks the windows.
HWND FindPaintable(const std::vector<HWND>& list, ThreadQueue& q, HWND filter, bool inFilter) {
    for (HWND h : list) {
        Window* w = FindLiveWindowLocked(h);
        if (!w || !w->Visible() || w->messageOnly || w->minimized) continue;
        bool matches = inFilter || !filter || h == filter;
        if (matches && w->queue.get() == &q && w->redrawEnabled && NeedsPaint(*w)) return h;
        if (HWND c = FindPaintable(w->children, q, filter, matches)) return c;
    }
    return nullptr;
}

// Caller holds the lock. Whether a look for WM_PAINT can reach the window: it and every window above it
// shown and not minimized. Only then does its damage wake its thread; showing it wakes the thread anyway.
bool ReachableForPaint(const Window& w) {
    for (const Window* p = &w; p != nullptr; p = FindLiveWindowLocked(p->parent)) {
        if (!p->Visible() || p->minimized || p->messageOnly) return false;
        if (!p->parent) return true;
    }
    return false;
}

void SendPaintMessages(HWND hwnd) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return;
    bool pending;
    {
        Guard g(Lock());
        pending = w->Visible() && w->redrawEnabled && NeedsPaint(*w);
    }
    if (!pending) return;
    SendMessage(hwnd, WM_PAINT, 0, 0);
    if (auto still = FindLiveWindow(hwnd)) {
        Guard g(Lock());
        still->update = Region();
        still->frameInvalid = false;
        still->erasePending = false;
    }
}

void ForEachWindowDeep(HWND hwnd, const std::function<void(HWND)>& fn) {
    fn(hwnd);
    std::vector<HWND> kids;
    {
        Guard g(Lock());
        if (auto w = FindLiveWindow(hwnd)) kids = w->children;
    }
    for (HWND c : kids)
        ForEachWindowDeep(c, fn);
}

} // namespace

void InvalidateWindowArea(HWND hwnd, const RECT* windowRect, bool erase, bool frame, bool children) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return;
    bool coversChildren;
    {
        Guard g(Lock());
        if (!w->redrawEnabled || w->messageOnly) return;
        RECT all{0, 0, w->Width(), w->Height()};
        RECT r = windowRect ? *windowRect : all;
        if (!IntersectRect(r, r, all)) return;
        // Damage inside a rectangle already damaged adds nothing: a hidden window, never painted, is
        // invalidated whole again and again.
        const auto& damaged = w->update.Rects();
        if (std::none_of(damaged.begin(), damaged.end(), [&r](const RECT& d) {
                return r.left >= d.left && r.top >= d.top && r.right <= d.right && r.bottom <= d.bottom;
            }))
            w->update = Region::Combine(w->update, Region(r), Region::Op::Or);
        if (erase) w->erasePending = true;
        if (frame) {
            RECT c = w->client;
            if (!(r.left >= c.left && r.top >= c.top && r.right <= c.right && r.bottom <= c.bottom))
                w->frameInvalid = true;
        }
        // A hidden window's damage waits for it to be shown: a wake now would find nothing to paint.
        if (ReachableForPaint(*w)) Signal(*w->queue);
        // A window that does not clip its children paints over them: they paint again after it, frames
        // included.
        coversChildren = !(w->style & WS_CLIPCHILDREN);
    }
    if (!children && !coversChildren) return;
    std::vector<HWND> kids;
    RECT area;
    {
        Guard g(Lock());
        kids = w->children;
        area = windowRect ? *windowRect : RECT{0, 0, w->Width(), w->Height()};
        OffsetRect(area, -w->client.left, -w->client.top);
    }
    for (HWND c : kids) {
        auto cw = FindLiveWindow(c);
        if (!cw) continue;
        RECT local;
        {
            Guard g(Lock());
            if (!IntersectRect(local, area, cw->rect)) continue;
            OffsetRect(local, -cw->rect.left, -cw->rect.top);
        }
        InvalidateWindowArea(c, &local, erase, frame || coversChildren, true);
    }
}

void InvalidateUncovered(HWND parent, const Region& clientArea) {
    RECT client;
    {
        Guard g(Lock());
        auto p = FindLiveWindow(parent);
        if (!p) return;
        client = p->client;
    }
    for (RECT r : clientArea.Rects()) {
        OffsetRect(r, client.left, client.top);
        InvalidateWindowArea(parent, &r, true, true, true);
    }
}

HWND NextWindowToPaint(ThreadQueue& q, HWND filter) {
    Guard g(Lock());
    return FindPaintable(TopLevelOrder(), q, filter, false);
}

bool HasPaintPending(ThreadQueue& q) {
    return NextWindowToPaint(q, nullptr) != nullptr;
}

void PaintPendingWindows() {
    auto q = CurrentQueue();
    for (int guard = 0; guard < 10000; ++guard) {
        HWND h = NextWindowToPaint(*q, nullptr);
        if (!h) break;
        SendPaintMessages(h);
    }
    PresentDamage();
}

} // namespace pw::gui

using namespace pw::gui;

namespace {

bool ClientToWindowArea(const Window& w, const RECT* clientRect, RECT& out) {
    RECT c = w.client;
    if (!clientRect) {
        out = c;
        return true;
    }
    out = *clientRect;
    OffsetRect(out, c.left, c.top);
    return IntersectRect(out, out, c);
}

} // namespace

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    if (!hwnd) {
        std::vector<HWND> tops;
        {
            Guard g(Lock());
            tops = TopLevelOrder();
        }
        for (HWND h : tops)
            InvalidateWindowArea(h, nullptr, erase, true, true);
        return TRUE_;
    }
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    RECT r;
    {
        Guard g(Lock());
        if (!ClientToWindowArea(*w, rect, r)) return TRUE_;
    }
    InvalidateWindowArea(hwnd, &r, erase != 0, false, false);
    return TRUE_;
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    if (!region) return InvalidateRect(hwnd, nullptr, erase);
    Region r;
    if (!GetRegion(region, r)) return FALSE_;
    {
        Guard g(Lock());
        r.Offset(w->client.left, w->client.top);
        r = Region::Combine(r, Region(w->client), Region::Op::And);
    }
    for (const RECT& part : r.Rects())
        InvalidateWindowArea(hwnd, &part, erase != 0, false, false);
    return TRUE_;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    Guard g(Lock());
    if (!rect) {
        w->update = Region::Combine(w->update, Region(w->client), Region::Op::Diff);
        w->erasePending = false;
    } else {
        RECT r = *rect;
        OffsetRect(r, w->client.left, w->client.top);
        w->update = Region::Combine(w->update, Region(r), Region::Op::Diff);
    }
    return TRUE_;
}

BOOL ValidateRgn(HWND hwnd, HRGN region) {
    if (!region) return ValidateRect(hwnd, nullptr);
    auto w = FindLiveWindow(hwnd);
    Region r;
    if (!w || !GetRegion(region, r)) return FALSE_;
    Guard g(Lock());
    r.Offset(w->client.left, w->client.top);
    w->update = Region::Combine(w->update, r, Region::Op::Diff);
    return TRUE_;
}

namespace {

void EraseNow(HWND hwnd) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return;
    Region clip;
    {
        Guard g(Lock());
        if (!w->erasePending) return;
        w->erasePending = false;
        clip = Region::Combine(w->update, Region(w->client), Region::Op::And);
        clip.Offset(-w->client.left, -w->client.top);
    }
    HDC dc = MakeDC(w, false, &clip, false);
    SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(hwnd, dc);
}

} // namespace

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    RECT box;
    {
        Guard g(Lock());
        Region r = Region::Combine(w->update, Region(w->client), Region::Op::And);
        box = r.Bounds();
        if (!r.IsEmpty()) OffsetRect(box, -w->client.left, -w->client.top);
    }
    if (rect) *rect = box;
    if (erase && !IsRectEmpty(box)) EraseNow(hwnd);
    return IsRectEmpty(box) ? FALSE_ : TRUE_;
}

int GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase) {
    auto w = FindLiveWindow(hwnd);
    if (!w || !region) return ERROR_;
    Region r;
    {
        Guard g(Lock());
        r = Region::Combine(w->update, Region(w->client), Region::Op::And);
        r.Offset(-w->client.left, -w->client.top);
    }
    const pw::gdi::OwnedObject<HRGN> copy(CreateRgnFromRegion(r));
    const int kind = CombineRgn(region, copy.Get(), nullptr, RGN_COPY);
    if (erase && !r.IsEmpty()) EraseNow(hwnd);
    return kind;
}

BOOL UpdateWindow(HWND hwnd) {
    if (!FindLiveWindow(hwnd)) return FALSE_;
    // The windows inside paint too, after it: until they do, a parent that does not clip them has painted
    // over them, and whoever reads the screen right after sees a hole.
    SendPaintMessages(hwnd);
    std::vector<HWND> kids;
    {
        Guard g(Lock());
        auto w = FindLiveWindow(hwnd);
        if (!w || !w->Visible()) return TRUE_;
        kids = w->children;
    }
    for (HWND c : kids)
        if (FindLiveWindow(c)) UpdateWindow(c);
    return TRUE_;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    bool children = (flags & RDW_ALLCHILDREN) != 0;
    Region area;
    {
        Guard g(Lock());
        if (region) {
            GetRegion(region, area);
            area.Offset(w->client.left, w->client.top);
        } else if (rect) {
            RECT r = *rect;
            OffsetRect(r, w->client.left, w->client.top);
            area = Region(r);
        } else {
            area = Region((flags & RDW_FRAME) ? RECT{0, 0, w->Width(), w->Height()} : w->client);
        }
    }
    if (flags & RDW_INVALIDATE) {
        for (const RECT& r : area.Rects())
            InvalidateWindowArea(hwnd, &r, (flags & RDW_ERASE) != 0, (flags & RDW_FRAME) != 0, children);
        if ((flags & RDW_FRAME) && area.IsEmpty()) {
            Guard g(Lock());
            w->frameInvalid = true;
        }
    }
    if (flags & RDW_VALIDATE) {
        auto validate = [&](HWND h) {
            auto v = FindLiveWindow(h);
            if (!v) return;
            Guard g(Lock());
            if (h == hwnd)
                v->update = Region::Combine(v->update, area, Region::Op::Diff);
            else
                v->update = Region();
            if (flags & RDW_NOERASE) v->erasePending = false;
            if (flags & RDW_NOFRAME) v->frameInvalid = false;
        };
        if (children)
            ForEachWindowDeep(hwnd, validate);
        else
            validate(hwnd);
    }
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
        auto paintOne = [&](HWND h) {
            if (flags & RDW_UPDATENOW) {
                SendPaintMessages(h);
            } else {
                auto v = FindLiveWindow(h);
                bool frame = v && v->frameInvalid;
                if (frame) {
                    {
                        Guard g(Lock());
                        v->frameInvalid = false;
                    }
                    SendMessage(h, WM_NCPAINT, 1, 0);
                }
                EraseNow(h);
            }
        };
        if (children && !(flags & RDW_NOCHILDREN))
            ForEachWindowDeep(hwnd, paintOne);
        else
            paintOne(hwnd);
    }
    return TRUE_;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT& ps) {
    ps = PAINTSTRUCT{};
    auto w = FindLiveWindow(hwnd);
    if (!w) return nullptr;
    bool frame;
    {
        Guard g(Lock());
        frame = w->frameInvalid;
        w->frameInvalid = false;
    }
    if (frame) SendMessage(hwnd, WM_NCPAINT, 1, 0);
    if (!FindLiveWindow(hwnd)) return nullptr;
    Region clip;
    bool erase;
    {
        Guard g(Lock());
        clip = Region::Combine(w->update, Region(w->client), Region::Op::And);
        clip.Offset(-w->client.left, -w->client.top);
        w->update = Region();
        erase = w->erasePending;
        w->erasePending = false;
    }
    HDC dc = MakeDC(w, false, &clip, false);
    ps.hdc = dc;
    ps.rcPaint = clip.Bounds();
    ps.fErase = TRUE_;
    if (erase && dc)
        ps.fErase = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE_ : TRUE_;
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT& ps) {
    if (ps.hdc) ReleaseDC(hwnd, ps.hdc);
    // A window that does not clip its children has painted over them, even over those that painted
    // before it: they paint again after it.
    std::vector<std::pair<HWND, RECT>> covered;
    {
        Guard g(Lock());
        auto w = FindLiveWindow(hwnd);
        if (!w || (w->style & WS_CLIPCHILDREN) || IsRectEmpty(ps.rcPaint)) return TRUE_;
        for (HWND c : w->children) {
            auto cw = FindLiveWindow(c);
            RECT local;
            if (!cw || !cw->Visible() || !IntersectRect(local, ps.rcPaint, cw->rect)) continue;
            OffsetRect(local, -cw->rect.left, -cw->rect.top);
            covered.emplace_back(c, local);
        }
    }
    for (const auto& [c, local] : covered)
        InvalidateWindowArea(c, &local, true, true, true);
    return TRUE_;
}

HDC GetDC(HWND hwnd) {
    if (!hwnd) return CreateSurfaceDC(&ScreenSurface(), POINT{0, 0}, nullptr);
    auto w = FindLiveWindow(hwnd);
    return w ? MakeDC(w, false, nullptr, false) : nullptr;
}

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
    if (!hwnd) return GetDC(nullptr);
    auto w = FindLiveWindow(hwnd);
    if (!w) return nullptr;
    bool whole = (flags & DCX_WINDOW) != 0;
    if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
        // The region is in screen coordinates, as WM_NCPAINT hands it out.
        Region r;
        GetRegion(clip, r);
        POINT origin;
        {
            Guard g(Lock());
            origin = whole ? WindowOriginOnScreen(*w) : ClientOriginOnScreen(*w);
        }
        r.Offset(-origin.x, -origin.y);
        if (flags & DCX_EXCLUDERGN) {
            Region all(RECT{-100000, -100000, 100000, 100000});
            r = Region::Combine(all, r, Region::Op::Diff);
        }
        return MakeDC(w, whole, &r, (flags & DCX_CLIPCHILDREN) != 0);
    }
    return MakeDC(w, whole, nullptr, (flags & DCX_CLIPCHILDREN) != 0);
}

HDC GetWindowDC(HWND hwnd) {
    if (!hwnd) return GetDC(nullptr);
    auto w = FindLiveWindow(hwnd);
    return w ? MakeDC(w, true, nullptr, false) : nullptr;
}

int ReleaseDC(HWND hwnd, HDC dc) {
    if (!dc) return 0;
    OpenDC open;
    {
        Guard g(Lock());
        auto it = OpenDCs().find(dc);
        if (it != OpenDCs().end()) {
            open = std::move(it->second);
            OpenDCs().erase(it);
        } else if (hwnd) {
            return 0;
        }
    }
    DeleteDC(dc);
    ShowDamage(open.root, open.area);
    return 1;
}
