// The window tree: parents, owners, siblings and ancestors, moving a window to another parent, and the
// window under a point.
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/gdi/region.h"
#include "platform/gdi/regions.h"
#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/window.h"

namespace pw::gui {

HWND RootOf(HWND hwnd) {
    Guard g(Lock());
    auto w = FindWindow(hwnd);
    while (w && w->IsChild()) {
        auto p = FindWindow(w->parent);
        if (!p) break;
        w = p;
    }
    return w ? w->handle : nullptr;
}

} // namespace pw::gui

using namespace pw::gui;

namespace {

bool InWindowShape(const Window& w, POINT screen) {
    RECT r = ScreenRectOf(w);
    if (!PtInRect(r, screen)) return false;
    if (w.windowRgn) return ::PtInRegion(w.windowRgn, screen.x - r.left, screen.y - r.top) != 0;
    return true;
}

bool Skip(const Window& w, UINT flags) {
    if ((flags & CWP_SKIPINVISIBLE) && !w.Visible()) return true;
    if ((flags & CWP_SKIPDISABLED) && (w.style & WS_DISABLED)) return true;
    if ((flags & CWP_SKIPTRANSPARENT) && (w.exStyle & WS_EX_TRANSPARENT)) return true;
    return false;
}

// The deepest visible window under the point inside w (w itself when no child is hit). Windows of this
// thread that answer HTTRANSPARENT let the point through to the windows below them.
HWND DeepestAt(HWND hwnd, POINT screen) {
    std::vector<HWND> kids;
    {
        Guard g(Lock());
        auto w = FindLiveWindow(hwnd);
        if (!w) return nullptr;
        kids = w->children;
    }
    for (HWND c : kids) {
        bool hit;
        {
            Guard g(Lock());
            auto cw = FindLiveWindow(c);
            if (!cw || Skip(*cw, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT) || !InWindowShape(*cw, screen))
                continue;
            auto p = FindLiveWindow(hwnd);
            RECT clientScreen{};
            if (p) {
                POINT o = ClientOriginOnScreen(*p);
                clientScreen = RECT{o.x, o.y, o.x + p->client.right - p->client.left,
                                    o.y + p->client.bottom - p->client.top};
            }
            hit = PtInRect(clientScreen, screen);
            if (hit && cw->queue->threadId == GetCurrentThreadId()) {
                // Decided below, outside the lock.
            }
        }
        if (!hit) continue;
        if (auto cw = FindLiveWindow(c);
            cw && cw->queue->threadId == GetCurrentThreadId() &&
            SendMessage(c, WM_NCHITTEST, 0,
                        MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y))) ==
                HTTRANSPARENT)
            continue;
        HWND inner = DeepestAt(c, screen);
        {
            Guard g(Lock());
            auto iw = FindLiveWindow(inner);
            // A disabled child is not returned; its enabled parent is.
            if (iw && (iw->style & WS_DISABLED)) return hwnd;
        }
        return inner;
    }
    return hwnd;
}

} // namespace

HWND WindowFromPoint(POINT screen) {
    HWND top = pw::gui::TopLevelAt(screen);
    return top ? DeepestAt(top, screen) : nullptr;
}

namespace pw::gui {

HWND TopLevelAt(POINT screen, HWND skipped) {
    std::vector<HWND> tops;
    {
        Guard g(Lock());
        tops = TopLevelOrder();
    }
    for (HWND h : tops) {
        {
            Guard g(Lock());
            auto w = FindLiveWindow(h);
            if (h == skipped || !w || !w->Visible() || w->minimized || (w->exStyle & WS_EX_TRANSPARENT) ||
                !InWindowShape(*w, screen))
                continue;
        }
        if (auto w = FindLiveWindow(h); w && w->queue->threadId == GetCurrentThreadId() &&
                                        SendMessage(h, WM_NCHITTEST, 0,
                                                    MAKELPARAM(static_cast<WORD>(screen.x),
                                                               static_cast<WORD>(screen.y))) == HTTRANSPARENT)
            continue;
        return h;
    }
    return nullptr;
}

} // namespace pw::gui

HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags) {
    Guard g(Lock());
    auto p = FindLiveWindow(parent);
    if (!p) return nullptr;
    RECT client{0, 0, p->client.right - p->client.left, p->client.bottom - p->client.top};
    if (!PtInRect(client, pt)) return nullptr;
    for (HWND c : p->children) {
        auto cw = FindLiveWindow(c);
        if (!cw || Skip(*cw, flags) || !PtInRect(cw->rect, pt)) continue;
        if (cw->windowRgn && !::PtInRegion(cw->windowRgn, pt.x - cw->rect.left, pt.y - cw->rect.top))
            continue;
        return c;
    }
    return parent;
}

HWND GetParent(HWND hwnd) {
    Guard g(Lock());
    auto w = FindLiveWindow(hwnd);
    if (!w) return nullptr;
    if (w->IsChild()) return w->parent;
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND SetParent(HWND child, HWND newParent) {
    auto w = FindLiveWindow(child);
    if (!w) return nullptr;
    if (newParent == GetDesktopWindow()) newParent = nullptr;
    if (newParent && (!FindLiveWindow(newParent) || newParent == child || IsChild(child, newParent)))
        return nullptr;
    HWND old;
    bool visible, wasChild;
    RECT oldRect;
    {
        Guard g(Lock());
        old = w->IsChild() ? w->parent : GetDesktopWindow();
        visible = w->Visible();
        wasChild = w->IsChild();
        oldRect = w->rect;
        if (w->IsChild()) {
            if (auto p = FindWindow(w->parent)) std::erase(p->children, child);
        } else {
            std::erase(TopLevelOrder(), child);
        }
        if (newParent) {
            w->parent = newParent;
            w->style |= WS_CHILD;
            w->owner = nullptr;
            if (auto p = FindWindow(newParent)) p->children.insert(p->children.begin(), child);
        } else {
            w->parent = nullptr;
            PlaceInOrder(*w, HWND_TOP);
        }
    }
    if (newParent)
        w->surface = Surface(); // it paints into its new top-level window's store
    else
        w->surface.ResizeLazily(w->Width(), w->Height(), 0xFFFFFFFFu);
    std::unique_ptr<HostWindow> oldHost;
    if (newParent) {
        Guard g(Lock());
        oldHost = std::move(w->host);
    } else {
        EnsureHost(w);
    }
    oldHost.reset();
    if (visible && wasChild) InvalidateUncovered(old, Region(oldRect));
    if (visible && newParent) {
        RECT now;
        {
            Guard g(Lock());
            now = w->rect;
        }
        InvalidateUncovered(newParent, Region(now));
    } else if (visible) {
        InvalidateWindowArea(child, nullptr, true, true, true);
    }
    return old;
}

BOOL IsChild(HWND parent, HWND hwnd) {
    if (!parent || !hwnd) return FALSE_;
    Guard g(Lock());
    auto w = FindLiveWindow(hwnd);
    while (w && w->IsChild()) {
        if (w->parent == parent) return TRUE_;
        w = FindLiveWindow(w->parent);
    }
    return FALSE_;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
    Guard g(Lock());
    auto w = FindLiveWindow(hwnd);
    if (!w || hwnd == GetDesktopWindow()) return nullptr;
    switch (flags) {
    case GA_PARENT:
        return w->IsChild() ? w->parent : GetDesktopWindow();
    case GA_ROOT:
        return RootOf(hwnd);
    case GA_ROOTOWNER: {
        HWND h = RootOf(hwnd);
        for (auto r = FindLiveWindow(h); r && r->owner; r = FindLiveWindow(r->owner))
            h = r->owner;
        return h;
    }
    default:
        return nullptr;
    }
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    Guard g(Lock());
    auto w = FindLiveWindow(hwnd);
    if (!w) return nullptr;
    if (cmd == GW_OWNER) return w->IsChild() ? nullptr : w->owner;
    if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    if (hwnd == GetDesktopWindow() || w->messageOnly) return nullptr;
    auto parent = w->IsChild() ? FindWindow(w->parent) : nullptr;
    if (w->IsChild() && !parent) return nullptr;
    const std::vector<HWND>* list = parent ? &parent->children : &TopLevelOrder();
    auto it = std::find(list->begin(), list->end(), hwnd);
    if (it == list->end()) return nullptr;
    switch (cmd) {
    case GW_HWNDFIRST:
        return list->front();
    case GW_HWNDLAST:
        return list->back();
    case GW_HWNDNEXT:
        return it + 1 == list->end() ? nullptr : *(it + 1);
    case GW_HWNDPREV:
        return it == list->begin() ? nullptr : *(it - 1);
    default:
        return nullptr;
    }
}

HWND GetTopWindow(HWND hwnd) {
    if (!hwnd || hwnd == GetDesktopWindow()) {
        Guard g(Lock());
        return TopLevelOrder().empty() ? nullptr : TopLevelOrder().front();
    }
    return GetWindow(hwnd, GW_CHILD);
}
