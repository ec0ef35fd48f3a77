// Where windows are and whether they show: the front-to-back order, screen and client coordinates, the
// client area, showing, hiding, minimising and maximising, moving and sizing.
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "platform/gdi/region.h"
#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/input.h"
#include "platform/gui/mdi.h"
#include "platform/gui/nonclient.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"

namespace pw::gui {

std::vector<HWND>* SiblingList(Window& w) {
    if (w.IsChild()) {
        auto p = FindWindow(w.parent);
        return p ? &p->children : nullptr;
    }
    return w.messageOnly ? nullptr : &TopLevelOrder();
}

// Topmost windows stay ahead of the others in the front-to-back list.
void PlaceInOrder(Window& w, HWND insertAfter) {
    std::vector<HWND>* list = SiblingList(w);
    if (!list) return;
    std::erase(*list, w.handle);
    bool topLevel = !w.IsChild();
    auto isTopmost = [&](HWND h) {
        auto o = FindWindow(h);
        return o && (o->exStyle & WS_EX_TOPMOST);
    };
    bool topmost = topLevel && (w.exStyle & WS_EX_TOPMOST);
    auto bandBegin = list->begin();
    auto bandEnd = list->end();
    if (topLevel) {
        auto firstNormal = std::find_if(list->begin(), list->end(), [&](HWND h) { return !isTopmost(h); });
        if (topmost)
            bandEnd = firstNormal;
        else
            bandBegin = firstNormal;
    }
    if (insertAfter == HWND_BOTTOM) {
        list->insert(bandEnd, w.handle);
    } else if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        list->insert(bandBegin, w.handle);
    } else {
        auto it = std::find(list->begin(), list->end(), insertAfter);
        if (it == list->end())
            list->insert(bandBegin, w.handle);
        else
            list->insert(std::clamp(it + 1, bandBegin, bandEnd), w.handle);
    }
    if (!topLevel) return;
    // Owned windows stay in front of their owner.
    std::vector<HWND> behind;
    auto self = std::find(list->begin(), list->end(), w.handle);
    for (auto it = self + 1; it != list->end(); ++it)
        if (auto o = FindWindow(*it); o && o->owner == w.handle) behind.push_back(*it);
    for (HWND h : behind) {
        std::erase(*list, h);
        list->insert(std::find(list->begin(), list->end(), w.handle), h);
    }
}

void KeepStackedBehind(HWND hwnd) {
    std::vector<HWND> front;
    std::shared_ptr<Window> w;
    {
        Guard g(Lock());
        w = FindLiveWindow(hwnd);
        if (!w || w->IsChild() || !w->host) return;
        for (HWND h : TopLevelOrder()) {
            if (h == hwnd) break;
            auto o = FindLiveWindow(h);
            if (o && o->Visible() && !o->minimized && o->host) front.push_back(h);
        }
    }
    // The nearest first: a window the toolkit cannot place against (a menu above all others) is passed by.
    for (auto it = front.rbegin(); it != front.rend(); ++it)
        if (auto o = FindLiveWindow(*it); o && o->host && w->host && w->host->PlaceBehind(*o->host)) return;
}

POINT WindowOriginOnScreen(const Window& w) {
    if (w.IsChild()) {
        if (auto p = FindWindow(w.parent)) {
            POINT o = ClientOriginOnScreen(*p);
            return POINT{o.x + w.rect.left, o.y + w.rect.top};
        }
    }
    return POINT{w.rect.left, w.rect.top};
}

POINT ClientOriginOnScreen(const Window& w) {
    POINT o = WindowOriginOnScreen(w);
    return POINT{o.x + w.client.left, o.y + w.client.top};
}

RECT ScreenRectOf(const Window& w) {
    POINT o = WindowOriginOnScreen(w);
    return RECT{o.x, o.y, o.x + w.Width(), o.y + w.Height()};
}

void RecalcClient(HWND hwnd, bool sendMessage) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return;
    RECT wr;
    {
        Guard g(Lock());
        wr = RECT{0, 0, w->Width(), w->Height()};
    }
    // The procedure sees the rectangle in its parent's coordinates, as Win32 passes it.
    RECT proposed = w->rect;
    if (sendMessage) {
        NCCALCSIZE_PARAMS params;
        params.rgrc[0] = proposed;
        params.rgrc[1] = proposed;
        params.rgrc[2] = proposed;
        SendMessage(hwnd, WM_NCCALCSIZE, TRUE_, reinterpret_cast<LPARAM>(&params));
        proposed = params.rgrc[0];
    }
    Guard g(Lock());
    RECT c{proposed.left - w->rect.left, proposed.top - w->rect.top, proposed.right - w->rect.left,
           proposed.bottom - w->rect.top};
    IntersectRect(c, c, wr);
    if (c.right < c.left) c.right = c.left;
    if (c.bottom < c.top) c.bottom = c.top;
    w->client = c;
}

} // namespace pw::gui

using namespace pw::gui;

BOOL IsWindowVisible(HWND hwnd) {
    Guard g(Lock());
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    while (w) {
        if (!w->Visible()) return FALSE_;
        if (!w->IsChild()) return TRUE_;
        w = FindLiveWindow(w->parent);
    }
    return TRUE_;
}

BOOL IsIconic(HWND hwnd) {
    auto w = FindLiveWindow(hwnd);
    return w && w->minimized ? TRUE_ : FALSE_;
}

BOOL IsZoomed(HWND hwnd) {
    auto w = FindLiveWindow(hwnd);
    return w && w->maximized ? TRUE_ : FALSE_;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    bool wasVisible = w->Visible();
    UINT noActivate = (w->IsChild() || (w->exStyle & WS_EX_NOACTIVATE)) ? SWP_NOACTIVATE : 0;
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
    switch (cmd) {
    case SW_HIDE:
        if (!wasVisible) return FALSE_;
        SendMessage(hwnd, WM_SHOWWINDOW, FALSE_, 0);
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, keep | SWP_HIDEWINDOW | SWP_NOACTIVATE);
        break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
    case SW_SHOW:
    case SW_SHOWNORMAL:
    case SW_RESTORE: {
        bool activate = cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE;
        if (!wasVisible) SendMessage(hwnd, WM_SHOWWINDOW, TRUE_, 0);
        if ((cmd == SW_RESTORE || cmd == SW_SHOWNORMAL) && (w->minimized || w->maximized)) {
            RECT r = w->restoreRect;
            w->minimized = w->maximized = false;
            SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        // Showing a child keeps its place among its siblings.
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | (activate ? noActivate : SWP_NOACTIVATE) |
                         (activate && !w->IsChild() ? 0 : SWP_NOZORDER));
        // An MDI child shown or restored becomes the active one of its client.
        if (activate && (w->exStyle & WS_EX_MDICHILD)) SendMessage(hwnd, WM_CHILDACTIVATE, 0, 0);
        break;
    }
    case SW_MAXIMIZE: {
        if (!wasVisible) SendMessage(hwnd, WM_SHOWWINDOW, TRUE_, 0);
        if (!w->maximized) {
            if (!w->minimized) w->restoreRect = w->rect;
            RECT area;
            if (w->exStyle & WS_EX_MDICHILD) {
                area = MaximizedMDIChildRect(hwnd);
            } else if (w->IsChild()) {
                ::GetClientRect(w->parent, area);
            } else {
                MONITORINFO mi;
                ::GetMonitorInfo(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), mi);
                area = mi.rcWork;
            }
            w->maximized = true;
            w->minimized = false;
            SetWindowPos(hwnd, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                         SWP_SHOWWINDOW | SWP_FRAMECHANGED | noActivate);
            SendMessage(hwnd, WM_SIZE, SIZE_MAXIMIZED,
                        MAKELPARAM(static_cast<WORD>(w->client.right - w->client.left),
                                   static_cast<WORD>(w->client.bottom - w->client.top)));
        } else {
            SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | noActivate);
        }
        if (w->exStyle & WS_EX_MDICHILD) SendMessage(hwnd, WM_CHILDACTIVATE, 0, 0);
        break;
    }
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE: {
        if (!w->minimized) {
            if (!w->maximized) w->restoreRect = w->rect;
            w->minimized = true;
            w->maximized = false;
            if (GetActiveWindow() == hwnd) SetActiveWindow(w->owner);
            SendMessage(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
            if (w->host) w->host->SetVisible(false, false);
        }
        break;
    }
    default:
        return wasVisible ? TRUE_ : FALSE_;
    }
    return wasVisible ? TRUE_ : FALSE_;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    auto w = FindLiveWindow(hwnd);
    if (!w || hwnd == GetDesktopWindow()) return FALSE_;
    WINDOWPOS pos{hwnd, insertAfter, x, y, cx, cy, flags};
    {
        Guard g(Lock());
        if (flags & SWP_NOMOVE) {
            pos.x = w->rect.left;
            pos.y = w->rect.top;
        }
        if (flags & SWP_NOSIZE) {
            pos.cx = w->Width();
            pos.cy = w->Height();
        }
        if (w->Visible() && (flags & SWP_SHOWWINDOW)) pos.flags &= ~SWP_SHOWWINDOW;
        if (!w->Visible() && (flags & SWP_HIDEWINDOW)) pos.flags &= ~SWP_HIDEWINDOW;
    }
    if (!(flags & SWP_NOSENDCHANGING))
        SendMessage(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!FindLiveWindow(hwnd)) return FALSE_;
    pos.cx = std::max(pos.cx, 0);
    pos.cy = std::max(pos.cy, 0);
    bool sized, moved, shown = false, hidden = false, restacked = false, repaintWhole = false, wasVisible;
    RECT old;
    {
        Guard g(Lock());
        old = w->rect;
        wasVisible = w->Visible();
        w->rect = RECT{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
        moved = old.left != w->rect.left || old.top != w->rect.top;
        sized = old.right - old.left != pos.cx || old.bottom - old.top != pos.cy;
        if (!moved) pos.flags |= SWP_NOMOVE;
        if (!sized) pos.flags |= SWP_NOSIZE;
        if (!(pos.flags & SWP_NOZORDER)) {
            if (!w->IsChild()) {
                if (pos.hwndInsertAfter == HWND_TOPMOST) w->exStyle |= WS_EX_TOPMOST;
                if (pos.hwndInsertAfter == HWND_NOTOPMOST) w->exStyle &= ~WS_EX_TOPMOST;
            }
            std::vector<HWND>* siblings = SiblingList(*w);
            std::vector<HWND> before = siblings ? *siblings : std::vector<HWND>();
            PlaceInOrder(*w, pos.hwndInsertAfter);
            restacked = siblings && *siblings != before;
        }
        if ((pos.flags & SWP_SHOWWINDOW) && !w->Visible()) {
            w->style |= WS_VISIBLE;
            shown = true;
            repaintWhole = !w->IsChild() && std::exchange(w->drawnUnseen, false);
            // Damage it took while hidden woke nobody.
            Signal(*w->queue);
        }
        if ((pos.flags & SWP_HIDEWINDOW) && w->Visible()) {
            w->style &= ~WS_VISIBLE;
            hidden = true;
        }
    }
    // The store belongs to the window's thread, like its painting: no lock for its pixels.
    if (sized && !w->IsChild()) w->surface.ResizeLazily(pos.cx, pos.cy, 0xFFFFFFFFu);
    if (sized || (pos.flags & SWP_FRAMECHANGED)) RecalcClient(hwnd, true);
    if (!FindLiveWindow(hwnd)) return FALSE_;
    if (sized || (pos.flags & SWP_FRAMECHANGED)) InvalidateWindowArea(hwnd, nullptr, true, true, false);
    if (repaintWhole) InvalidateWindowArea(hwnd, nullptr, true, true, true);
    // A child has no pixels of its own: whatever it laid bare or now covers is painted again, its own
    // new place included (even with SWP_NOREDRAW, as nothing else would ever paint it).
    if (w->IsChild() && (moved || sized || shown || hidden || restacked)) {
        Region area;
        if (wasVisible) area = Region(old);
        if (w->Visible()) area = Region::Combine(area, Region(w->rect), Region::Op::Or);
        InvalidateUncovered(w->parent, area);
    }
    if (w->host) {
        if (moved || sized) w->host->SetGeometry(w->rect);
        if (!(pos.flags & SWP_NOZORDER) &&
            (pos.hwndInsertAfter == HWND_TOP || pos.hwndInsertAfter == HWND_TOPMOST))
            w->host->Raise();
        if (shown && !w->minimized) {
            w->host->SetVisible(true, !(pos.flags & SWP_NOACTIVATE));
            // The screen shows a window again in front of the others; ours may keep it behind some.
            KeepStackedBehind(hwnd);
        }
        if (hidden) w->host->SetVisible(false, false);
        // The window may have changed its track sizes (WM_GETMINMAXINFO) with its frame.
        if (pos.flags & SWP_FRAMECHANGED) ApplySizeLimits(hwnd);
    }
    if (hidden) OnWindowHiddenInput(hwnd); // drops focus and activation held inside it
    if (shown && !(pos.flags & SWP_NOACTIVATE) && !w->IsChild())
        ActivateOnShow(hwnd);
    else if (!(pos.flags & SWP_NOACTIVATE) && !w->IsChild() && w->Visible() && !(pos.flags & SWP_NOZORDER))
        ActivateOnShow(hwnd);
    SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE_;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) {
    return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL GetWindowRect(HWND hwnd, RECT& rect) {
    Guard g(Lock());
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    rect = ScreenRectOf(*w);
    return TRUE_;
}

BOOL GetClientRect(HWND hwnd, RECT& rect) {
    Guard g(Lock());
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    rect = RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    return TRUE_;
}

BOOL ClientToScreen(HWND hwnd, POINT& point) {
    Guard g(Lock());
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    POINT o = ClientOriginOnScreen(*w);
    point.x += o.x;
    point.y += o.y;
    return TRUE_;
}

BOOL ScreenToClient(HWND hwnd, POINT& point) {
    Guard g(Lock());
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    POINT o = ClientOriginOnScreen(*w);
    point.x -= o.x;
    point.y -= o.y;
    return TRUE_;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    Guard g(Lock());
    POINT a{}, b{};
    if (from) {
        auto w = FindLiveWindow(from);
        if (!w) return 0;
        a = ClientOriginOnScreen(*w);
    }
    if (to) {
        auto w = FindLiveWindow(to);
        if (!w) return 0;
        b = ClientOriginOnScreen(*w);
    }
    int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return static_cast<int>(MAKELPARAM(static_cast<WORD>(dx), static_cast<WORD>(dy)));
}

int MapWindowPoints(HWND from, HWND to, RECT& rect) {
    POINT pts[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    int r = MapWindowPoints(from, to, pts, 2);
    rect = RECT{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
    return r;
}
