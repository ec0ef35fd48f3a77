// Windows made and destroyed: creation, the toolkit window of a top-level window, destruction of a window
// with its children and owned windows, the desktop and hidden message windows.
#include "platform/gui/window.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/gdi/gdi_objects.h"
#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/mdi.h"
#include "platform/gui/menus.h"
#include "platform/gui/nonclient.h"
#include "platform/gui/system.h"
#include "platform/rtl/strings.h"

namespace pw::gui {
namespace {

constexpr const char* kUtilClass = "TPUtilWindow";

bool IsNativeDecorated(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION;
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
    p.resizable = (w.style & WS_THICKFRAME) != 0;
    p.owner = w.owner;
    return p;
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

void EnsureHost(const std::shared_ptr<Window>& w) {
    Backend* b = CurrentBackend();
    if (w->host || w->IsChild() || w->messageOnly || !b || !IsGuiThread() ||
        w->queue->threadId != ::GetCurrentThreadId())
        return;
    w->host = b->CreateHost(w->handle, HostParamsOf(*w));
    if (!w->host) return;
    w->host->SetTitle(w->text);
    w->host->SetGeometry(w->rect);
    if (w->Opacity() != 255) w->host->SetOpacity(w->Opacity() / 255.0);
    ApplySizeLimits(w->handle);
    if (w->host && w->Visible()) w->host->SetVisible(true, false);
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
        // An owned window lies in front of its owner: one that stays on top takes its windows along.
        if (auto o = FindLiveWindow(w->owner); o && (o->exStyle & WS_EX_TOPMOST)) w->exStyle |= WS_EX_TOPMOST;
    }
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) {
        width = 640;
        height = 480;
    }
    w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    w->client = RECT{0, 0, w->Width(), w->Height()};
    w->restoreRect = w->rect;
    if (!w->IsChild() && !w->messageOnly) w->surface.ResizeLazily(w->Width(), w->Height(), 0xFFFFFFFFu);
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
