#include "platform/gui/mdi.h"

#include <map>

#include "platform/gdi/syscolors.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"

namespace pw::gui {
namespace {

struct ClientState {
    HWND active = nullptr;
    // While the active child changes, the maximizing and restoring it does activate nothing more.
    bool switching = false;
};

// GUI thread only; handles are never reused, so a gone client's entry can do no harm before it goes.
std::map<HWND, ClientState>& Clients() {
    static std::map<HWND, ClientState> clients;
    return clients;
}

HWND ClientOf(HWND child) {
    HWND parent = GetParent(child);
    return parent != nullptr && Clients().count(parent) != 0 ? parent : nullptr;
}

void Activate(HWND client, HWND child) {
    auto found = Clients().find(client);
    if (found == Clients().end() || found->second.switching) return;
    ClientState& state = found->second;
    if (child == state.active || (child != nullptr && GetParent(child) != client)) return;
    const HWND old = state.active != nullptr && IsWindow(state.active) ? state.active : nullptr;
    state.active = child;
    state.switching = true;
    // A maximized active child hands its state on: the new one comes maximized, the old one back.
    if (child != nullptr) {
        if (old != nullptr && IsZoomed(old) && !IsZoomed(child)) {
            ShowWindow(child, SW_MAXIMIZE);
            ShowWindow(old, SW_RESTORE);
        }
        SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (auto again = Clients().find(client); again != Clients().end()) again->second.switching = false;
    const WPARAM losing = reinterpret_cast<WPARAM>(old);
    const LPARAM gaining = reinterpret_cast<LPARAM>(child);
    if (old != nullptr) SendMessage(old, WM_MDIACTIVATE, losing, gaining);
    if (child == nullptr || !IsWindow(child)) return;
    SendMessage(child, WM_MDIACTIVATE, losing, gaining);
    if (IsWindow(child) && GetActiveWindow() == GetAncestor(client, GA_ROOT)) SetFocus(child);
}

// The child goes: the next child shown in the client becomes the active one, else none is.
void ChildGoing(HWND client, HWND child) {
    auto found = Clients().find(client);
    if (found == Clients().end() || found->second.active != child) return;
    HWND next = nullptr;
    for (HWND w = GetTopWindow(client); w != nullptr && next == nullptr; w = GetWindow(w, GW_HWNDNEXT))
        if (w != child && IsWindowVisible(w)) next = w;
    if (next != nullptr) {
        Activate(client, next);
        return;
    }
    found->second.active = nullptr;
    SendMessage(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
}

HWND CreateChild(HWND client, const MDICREATESTRUCT* cs) {
    if (cs == nullptr || cs->szClass == nullptr) return nullptr;
    const DWORD style = cs->style | WS_CHILD | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                        WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    HWND child =
        CreateWindowEx(WS_EX_MDICHILD, cs->szClass, cs->szTitle, style & ~(WS_VISIBLE | WS_MAXIMIZE), cs->x,
                       cs->y, cs->cx, cs->cy, client, nullptr, cs->hOwner, const_cast<MDICREATESTRUCT*>(cs));
    if (child == nullptr) return nullptr;
    ShowWindow(child, (style & WS_MAXIMIZE) ? SW_MAXIMIZE : SW_SHOW);
    if (IsWindow(child)) Activate(client, child);
    return IsWindow(child) ? child : nullptr;
}

LRESULT MDIClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    const TWMMDI mdi(m);
    switch (msg) {
    case WM_CREATE:
        Clients()[hwnd];
        return 0;
    case WM_NCDESTROY:
        Clients().erase(hwnd);
        break;
    case WM_MDICREATE:
        return reinterpret_cast<LRESULT>(CreateChild(hwnd, mdi.CreateStruct()));
    case WM_MDIACTIVATE:
        Activate(hwnd, mdi.Child());
        return 0;
    case WM_MDIGETACTIVE: {
        auto found = Clients().find(hwnd);
        HWND active =
            found != Clients().end() && IsWindow(found->second.active) ? found->second.active : nullptr;
        if (BOOL* maximized = mdi.MaximizedOut()) *maximized = active != nullptr && IsZoomed(active);
        return reinterpret_cast<LRESULT>(active);
    }
    case WM_PARENTNOTIFY:
        if (const TWMParentNotify notify(m); notify.Event() == WM_DESTROY)
            ChildGoing(hwnd, notify.ChildWnd());
        return 0;
    case WM_MDIDESTROY:
        if (mdi.Child() != nullptr && GetParent(mdi.Child()) == hwnd) {
            ChildGoing(hwnd, mdi.Child());
            DestroyWindow(mdi.Child());
        }
        return 0;
    case WM_MDIMAXIMIZE:
    case WM_MDIRESTORE:
        if (mdi.Child() != nullptr && GetParent(mdi.Child()) == hwnd)
            ShowWindow(mdi.Child(), msg == WM_MDIMAXIMIZE ? SW_MAXIMIZE : SW_RESTORE);
        return 0;
    case WM_SIZE:
        // A maximized child keeps filling the client.
        if (auto found = Clients().find(hwnd);
            found != Clients().end() && IsWindow(found->second.active) && IsZoomed(found->second.active)) {
            const RECT r = MaximizedMDIChildRect(found->second.active);
            SetWindowPos(found->second.active, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    default:
        break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

} // namespace

void RegisterMDIClientClass() {
    WNDCLASS wc;
    wc.lpfnWndProc = MDIClientProc;
    wc.lpszClassName = kMDIClientClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_APPWORKSPACE + 1));
    RegisterClass(wc);
}

void ActivateMDIChildOf(HWND Window) {
    for (HWND w = Window; w != nullptr; w = GetParent(w)) {
        if (!(GetWindowLong(w, GWL_EXSTYLE) & WS_EX_MDICHILD)) continue;
        HWND client = ClientOf(w);
        auto found = client != nullptr ? Clients().find(client) : Clients().end();
        if (found != Clients().end() && found->second.active != w) Activate(client, w);
        return;
    }
}

RECT MaximizedMDIChildRect(HWND child) {
    RECT area{0, 0, 0, 0};
    GetClientRect(GetParent(child), area);
    RECT window{0, 0, 0, 0}, client{0, 0, 0, 0};
    GetWindowRect(child, window);
    GetClientRect(child, client);
    POINT origin{0, 0};
    ClientToScreen(child, origin);
    area.left -= origin.x - window.left;
    area.top -= origin.y - window.top;
    area.right += window.right - (origin.x + client.right);
    area.bottom += window.bottom - (origin.y + client.bottom);
    return area;
}

} // namespace pw::gui

using namespace pw::gui;

LRESULT DefMDIChildProc(HWND child, UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND client = ClientOf(child);
    if (client != nullptr) {
        switch (msg) {
        case WM_CHILDACTIVATE:
            Activate(client, child);
            return 0;
        case WM_CLOSE:
            SendMessage(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
            return 0;
        case WM_DESTROY:
            ChildGoing(client, child);
            break;
        default:
            break;
        }
    }
    return DefWindowProc(child, msg, wParam, lParam);
}

LRESULT DefFrameProc(HWND frame, HWND client, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SIZE && client != nullptr) {
        RECT r{0, 0, 0, 0};
        GetClientRect(frame, r);
        MoveWindow(client, 0, 0, r.right, r.bottom, TRUE_);
    }
    return DefWindowProc(frame, msg, wParam, lParam);
}
