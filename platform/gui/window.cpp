#include "platform/gui/window.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/regions.h"
#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/mdi.h"
#include "platform/gui/menus.h"
#include "platform/gui/nonclient.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/rtl/strings.h"

namespace pw::gui {
namespace {

constexpr const char* kUtilClass = "TPUtilWindow";

bool IsNativeDecorated(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION;
}

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

HostParams HostParamsOf(const Window& w) {
    HostParams p;
    if (IsNativeDecorated(w.style) && !(w.exStyle & WS_EX_TOOLWINDOW))
        p.kind = HostKind::Decorated;
    else if ((w.style & WS_POPUP) || (w.exStyle & WS_EX_TOOLWINDOW) || w.owner)
        p.kind = HostKind::Tool;
    p.topmost = (w.exStyle & WS_EX_TOPMOST) != 0;
    p.noActivate = (w.exStyle & WS_EX_NOACTIVATE) != 0 || (w.style & WS_DISABLED) != 0;
    p.transparentForInput = (w.exStyle & WS_EX_TRANSPARENT) != 0;
    p.translucent = (w.exStyle & WS_EX_LAYERED) != 0;
    p.minimizeBox = (w.style & WS_MINIMIZEBOX) != 0;
    p.maximizeBox = (w.style & WS_MAXIMIZEBOX) != 0;
    p.owner = w.owner;
    return p;
}

void EnsureHost(const std::shared_ptr<Window>& w) {
    Backend* b = CurrentBackend();
    if (w->host || w->IsChild() || w->messageOnly || !b || !IsGuiThread() ||
        w->queue->threadId != ::GetCurrentThreadId())
        return;
    w->host = b->CreateHost(w->handle, HostParamsOf(*w));
    if (!w->host) return;
    w->host->SetTitle(w->text);
    w->host->SetGeometry(w->rect);
    if (w->alpha != 255) w->host->SetOpacity(w->alpha / 255.0);
    ApplySizeLimits(w->handle);
    if (w->host && w->Visible()) w->host->SetVisible(true, false);
}

void SendDestroy(HWND hwnd) {
    if (auto w = FindWindow(hwnd)) {
        Guard g(Lock());
        w->destroying = true;
    }
    SendMessage(hwnd, WM_DESTROY, 0, 0);
    auto w = FindWindow(hwnd);
    if (!w) return;
    std::vector<HWND> kids;
    {
        Guard g(Lock());
        kids = w->children;
    }
    for (HWND c : kids)
        SendDestroy(c);
}

void FreeWindow(HWND hwnd) {
    auto w = FindWindow(hwnd);
    if (!w) return;
    std::vector<HWND> kids;
    {
        Guard g(Lock());
        kids = w->children;
    }
    for (HWND c : kids)
        FreeWindow(c);
    SendMessage(hwnd, WM_NCDESTROY, 0, 0);
    std::unique_ptr<HostWindow> host;
    {
        Guard g(Lock());
        w->destroyed = true;
        KillWindowTimers(*w->queue, hwnd);
        DropPostedFor(*w->queue, hwnd);
        if (w->IsChild())
            if (auto p = FindWindow(w->parent)) std::erase(p->children, hwnd);
        host = std::move(w->host);
        RemoveWindowHandle(hwnd);
    }
    OnWindowDestroyedInput(hwnd);
    pw::gui::DropSystemMenu(hwnd);
    if (w->windowRgn) {
        ::DeleteObject(w->windowRgn);
        w->windowRgn = nullptr;
    }
    ForgetCursorHost(host.get());
    host.reset();
}

} // namespace

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

void BroadcastToTopLevels(UINT msg, WPARAM wParam, LPARAM lParam) {
    std::vector<HWND> tops;
    {
        Guard g(Lock());
        tops = TopLevelOrder();
    }
    for (HWND h : tops)
        if (auto w = FindLiveWindow(h); w && w->queue->threadId == ::GetCurrentThreadId())
            SendMessage(h, msg, wParam, lParam);
}

void ReleaseAllHosts() {
    std::vector<std::unique_ptr<HostWindow>> hosts;
    {
        Guard g(Lock());
        for (HWND h : TopLevelOrder())
            if (auto w = FindWindow(h); w && w->host) hosts.push_back(std::move(w->host));
    }
    hosts.clear();
}

} // namespace pw::gui

using namespace pw::gui;

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                    int width, int height, HWND hWndParent, HMENU menu, HINSTANCE instance, void* param) {
    auto cls = className ? FindClass(className) : nullptr;
    if (!cls && className && SameText(className, kMDIClientClass)) {
        RegisterMDIClientClass();
        cls = FindClass(className);
    }
    if (!cls) return nullptr;
    auto w = std::make_shared<Window>();
    w->cls = cls;
    w->queue = CurrentQueue();
    w->style = style;
    w->exStyle = exStyle;
    w->proc = cls->proc;
    w->text = windowName ? windowName : "";
    if (hWndParent == HWND_MESSAGE) {
        w->messageOnly = true;
        w->style &= ~(WS_VISIBLE | WS_CHILD);
    } else if (style & WS_CHILD) {
        auto parent = FindLiveWindow(hWndParent);
        if (!parent || hWndParent == GetDesktopWindow()) {
            if (!parent) return nullptr;
        } else {
            w->parent = hWndParent;
        }
        w->id = reinterpret_cast<LONG_PTR>(menu);
    } else if (hWndParent) {
        if (!FindLiveWindow(hWndParent)) return nullptr;
        w->owner = GetAncestor(hWndParent, GA_ROOT);
    }
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) {
        width = 640;
        height = 480;
    }
    w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    w->client = RECT{0, 0, w->Width(), w->Height()};
    w->restoreRect = w->rect;
    if (!w->IsChild() && !w->messageOnly) w->surface.Resize(w->Width(), w->Height(), 0xFFFFFFFFu);
    DWORD visible = w->style & WS_VISIBLE;
    w->style &= ~WS_VISIBLE;
    HWND hwnd = NewWindowHandle(w);
    {
        Guard g(Lock());
        if (w->IsChild()) {
            if (auto p = FindWindow(w->parent)) p->children.insert(p->children.begin(), hwnd);
        } else if (!w->messageOnly) {
            PlaceInOrder(*w, HWND_TOP);
        }
    }
    EnsureHost(w);

    CREATESTRUCT cs;
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = hWndParent;
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (!SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    RecalcClient(hwnd, true);
    if (!FindLiveWindow(hwnd) || SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!FindLiveWindow(hwnd)) return nullptr;
    {
        Guard g(Lock());
        w->created = true;
    }
    SendMessage(hwnd, WM_SIZE, SIZE_RESTORED,
                MAKELPARAM(static_cast<WORD>(w->client.right - w->client.left),
                           static_cast<WORD>(w->client.bottom - w->client.top)));
    SendMessage(hwnd, WM_MOVE, 0,
                MAKELPARAM(static_cast<WORD>(w->rect.left + w->client.left),
                           static_cast<WORD>(w->rect.top + w->client.top)));
    InvalidateWindowArea(hwnd, nullptr, true, true, false);
    if (visible && FindLiveWindow(hwnd)) ShowWindow(hwnd, w->IsChild() ? SW_SHOWNA : SW_SHOW);
    return FindLiveWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    auto w = FindLiveWindow(hwnd);
    if (!w || hwnd == GetDesktopWindow()) return FALSE_;
    {
        Guard g(Lock());
        if (w->queue->threadId != GetCurrentThreadId()) return FALSE_;
        // A handler that destroys the window again while it is being destroyed changes nothing.
        if (w->destroying) return TRUE_;
        w->destroying = true;
    }
    // Owned windows go first, as on Win32.
    std::vector<HWND> owned;
    {
        Guard g(Lock());
        for (HWND h : TopLevelOrder())
            if (auto o = FindWindow(h); o && o->owner == hwnd) owned.push_back(h);
    }
    for (HWND h : owned)
        DestroyWindow(h);
    if (!FindLiveWindow(hwnd)) return TRUE_;
    // The MDI client hands the activation on before its child goes, whatever the child's procedure does.
    if (w->exStyle & WS_EX_MDICHILD)
        SendMessage(w->parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, static_cast<WORD>(w->id)),
                    reinterpret_cast<LPARAM>(hwnd));
    if (!FindLiveWindow(hwnd)) return TRUE_;
    if (IsWindowVisible(hwnd))
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!FindLiveWindow(hwnd)) return TRUE_;
    OnWindowDestroyedInput(hwnd);
    SendDestroy(hwnd);
    FreeWindow(hwnd);
    return TRUE_;
}

BOOL IsWindow(HWND hwnd) {
    return FindLiveWindow(hwnd) ? TRUE_ : FALSE_;
}

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

BOOL IsWindowEnabled(HWND hwnd) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    Guard g(Lock());
    return (w->style & WS_DISABLED) ? FALSE_ : TRUE_;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    bool wasDisabled;
    {
        Guard g(Lock());
        wasDisabled = (w->style & WS_DISABLED) != 0;
        if (wasDisabled == !enable) return wasDisabled ? TRUE_ : FALSE_;
        if (enable)
            w->style &= ~WS_DISABLED;
        else
            w->style |= WS_DISABLED;
    }
    if (!enable) {
        HWND focus = GetFocus();
        if (focus == hwnd || IsChild(hwnd, focus)) SetFocus(nullptr);
        if (GetCapture() == hwnd) ReleaseCapture();
    }
    SendMessage(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
    return wasDisabled ? TRUE_ : FALSE_;
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
    bool sized, moved, shown = false, hidden = false, restacked = false, wasVisible;
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
        }
        if ((pos.flags & SWP_HIDEWINDOW) && w->Visible()) {
            w->style &= ~WS_VISIBLE;
            hidden = true;
        }
    }
    // The store belongs to the window's thread, like its painting: no lock for its pixels.
    if (sized && !w->IsChild()) w->surface.Resize(pos.cx, pos.cy, 0xFFFFFFFFu);
    if (sized || (pos.flags & SWP_FRAMECHANGED)) RecalcClient(hwnd, true);
    if (!FindLiveWindow(hwnd)) return FALSE_;
    if (sized || (pos.flags & SWP_FRAMECHANGED)) InvalidateWindowArea(hwnd, nullptr, true, true, false);
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
        if (shown && !w->minimized) w->host->SetVisible(true, !(pos.flags & SWP_NOACTIVATE));
        if (hidden) w->host->SetVisible(false, false);
        // The window may have changed its track sizes (WM_GETMINMAXINFO) with its frame.
        if (pos.flags & SWP_FRAMECHANGED) ApplySizeLimits(hwnd);
    }
    if (hidden) OnWindowDestroyedInput(hwnd); // drops capture, focus and activation held inside it
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

HWND TopLevelAt(POINT screen) {
    std::vector<HWND> tops;
    {
        Guard g(Lock());
        tops = TopLevelOrder();
    }
    for (HWND h : tops) {
        {
            Guard g(Lock());
            auto w = FindLiveWindow(h);
            if (!w || !w->Visible() || w->minimized || (w->exStyle & WS_EX_TRANSPARENT) ||
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
        w->surface.Resize(w->Width(), w->Height(), 0xFFFFFFFFu);
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

HWND GetDesktopWindow() {
    static HWND desktop = [] {
        auto w = std::make_shared<Window>();
        auto cls = std::make_shared<WindowClassInfo>();
        cls->name = "#32769";
        w->cls = cls;
        w->queue = CurrentQueue();
        w->style = WS_VISIBLE | WS_POPUP;
        w->messageOnly = true;
        w->proc = DefWindowProc;
        auto screens = Screens();
        w->rect = screens.empty() ? RECT{0, 0, 1024, 768} : screens.front().bounds;
        w->client = RECT{0, 0, w->Width(), w->Height()};
        return NewWindowHandle(w);
    }();
    return desktop;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
    auto w = FindLiveWindow(hwnd);
    if (processId) *processId = w ? 1 : 0;
    return w ? w->queue->threadId : 0;
}

LONG GetWindowLong(HWND hwnd, int index) {
    return static_cast<LONG>(GetWindowLongPtr(hwnd, index));
}

LONG SetWindowLong(HWND hwnd, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtr(hwnd, index, value));
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
    Guard g(Lock());
    auto w = FindLiveWindow(hwnd);
    if (!w) return 0;
    switch (index) {
    case GWL_STYLE:
        return static_cast<LONG_PTR>(static_cast<LONG>(w->style));
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(w->exStyle);
    case GWL_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWL_USERDATA:
        return w->userData;
    case GWL_ID:
        return w->id;
    case GWL_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w->IsChild() ? w->parent : w->owner);
    default:
        return 0;
    }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return 0;
    LONG_PTR old = GetWindowLongPtr(hwnd, index);
    switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        STYLESTRUCT change{static_cast<DWORD>(old), static_cast<DWORD>(value)};
        SendMessage(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
        if (!FindLiveWindow(hwnd)) return 0;
        DWORD oldStyle = change.styleOld, newStyle = change.styleNew;
        bool visibilityChanged = false;
        {
            Guard g(Lock());
            if (index == GWL_STYLE) {
                visibilityChanged = ((oldStyle ^ newStyle) & WS_VISIBLE) != 0;
                w->style = newStyle;
            } else {
                w->exStyle = newStyle;
            }
        }
        if (visibilityChanged && w->host) w->host->SetVisible((newStyle & WS_VISIBLE) != 0, false);
        if (visibilityChanged && w->IsChild()) {
            RECT r;
            {
                Guard g(Lock());
                r = w->rect;
            }
            InvalidateUncovered(w->parent, Region(r));
        }
        SendMessage(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
        break;
    }
    case GWL_WNDPROC: {
        Guard g(Lock());
        w->proc = reinterpret_cast<WNDPROC>(value);
        break;
    }
    case GWL_USERDATA: {
        Guard g(Lock());
        w->userData = value;
        break;
    }
    case GWL_ID: {
        Guard g(Lock());
        w->id = value;
        break;
    }
    case GWL_HWNDPARENT: {
        Guard g(Lock());
        if (!w->IsChild()) w->owner = reinterpret_cast<HWND>(value);
        break;
    }
    default:
        return 0;
    }
    return old;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!proc) return 0;
    return proc(hwnd, msg, wParam, lParam);
}

BOOL SetWindowText(HWND hwnd, const std::string& text) {
    if (!FindLiveWindow(hwnd)) return FALSE_;
    return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) ? TRUE_ : FALSE_;
}

int GetWindowText(HWND hwnd, char* buffer, int maxCount) {
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = 0;
    if (!FindLiveWindow(hwnd)) return 0;
    return static_cast<int>(
        SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

std::string GetWindowText(HWND hwnd) {
    int n = GetWindowTextLength(hwnd);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    int got = GetWindowText(hwnd, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(got, 0)));
    return s;
}

int GetWindowTextLength(HWND hwnd) {
    if (!FindLiveWindow(hwnd)) return 0;
    return static_cast<int>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return 0;
    HRGN old;
    {
        Guard g(Lock());
        old = w->windowRgn;
        w->windowRgn = region;
    }
    if (old && old != region) ::DeleteObject(old);
    if (w->host) {
        Region shape;
        bool shaped = region && GetRegion(region, shape);
        w->host->SetShape(shaped ? &shape.Rects() : nullptr);
    } else if (redraw && w->IsChild()) {
        RECT r;
        {
            Guard g(Lock());
            r = w->rect;
        }
        InvalidateUncovered(w->parent, Region(r));
    }
    return 1;
}

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF, BYTE alpha, DWORD flags) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    {
        Guard g(Lock());
        if (!(w->exStyle & WS_EX_LAYERED)) return FALSE_;
        if (flags & LWA_ALPHA) w->alpha = alpha;
    }
    if (w->host) w->host->SetOpacity(w->alpha / 255.0);
    return TRUE_;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
    auto w = FindLiveWindow(hwnd);
    if (!w || !(w->exStyle & WS_EX_LAYERED)) return FALSE_;
    if (key) *key = 0;
    if (alpha) *alpha = w->alpha;
    if (flags) *flags = LWA_ALPHA;
    return TRUE_;
}

HWND AllocateHWnd(TWndMethod method) {
    if (!FindClass(kUtilClass)) {
        WNDCLASS wc;
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = kUtilClass;
        RegisterClass(wc);
    }
    HWND h = CreateWindowEx(WS_EX_TOOLWINDOW, kUtilClass, "", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            nullptr, nullptr);
    if (auto w = FindLiveWindow(h)) {
        Guard g(Lock());
        w->method = std::move(method);
    }
    return h;
}

void DeallocateHWnd(HWND hwnd) {
    DestroyWindow(hwnd);
}
