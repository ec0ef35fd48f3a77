#include <algorithm>
#include <cstring>

#include "platform/gdi/dc.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/shapes.h"
#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/nonclient.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"

namespace pw::gui {
namespace {

HWND ParentOf(HWND hwnd) {
    auto w = FindLiveWindow(hwnd);
    return w && w->IsChild() ? w->parent : nullptr;
}

uintptr_t CursorForHit(LRESULT hit) {
    switch (hit) {
    case HTLEFT:
    case HTRIGHT:
        return IDC_SIZEWE;
    case HTTOP:
    case HTBOTTOM:
        return IDC_SIZENS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return IDC_SIZENWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return IDC_SIZENESW;
    default:
        return IDC_ARROW;
    }
}

LRESULT SetCursorDefault(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (HWND parent = ParentOf(hwnd))
        if (SendMessage(parent, WM_SETCURSOR, wParam, lParam)) return TRUE_;
    LRESULT hit = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)));
    if (hit == HTERROR) {
        WORD mouse = HIWORD(static_cast<uintptr_t>(lParam));
        if (mouse == WM_LBUTTONDOWN || mouse == WM_RBUTTONDOWN || mouse == WM_MBUTTONDOWN) MessageBeep(0);
        return FALSE_;
    }
    if (hit == HTCLIENT) {
        auto w = FindLiveWindow(hwnd);
        HCURSOR c = w && w->cls ? w->cls->cursor : nullptr;
        if (c) SetCursor(c);
        return c ? TRUE_ : FALSE_;
    }
    SetCursor(LoadCursor(nullptr, CursorForHit(hit)));
    return TRUE_;
}

void CopyText(const std::string& text, WPARAM max, LPARAM buffer, LRESULT& result) {
    char* out = reinterpret_cast<char*>(buffer);
    if (!out || max == 0) {
        result = 0;
        return;
    }
    size_t n = std::min(text.size(), static_cast<size_t>(max) - 1);
    std::memcpy(out, text.data(), n);
    out[n] = 0;
    result = static_cast<LRESULT>(n);
}

void PrintWindow(HWND hwnd, HDC dc, LPARAM flags) {
    auto w = FindLiveWindow(hwnd);
    if (!w || !dc) return;
    if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(hwnd)) return;
    RECT client;
    std::vector<HWND> kids;
    {
        Guard g(Lock());
        client = w->client;
        kids = w->children;
    }
    int saved = SaveDC(dc);
    if (flags & PRF_NONCLIENT) SendMessage(hwnd, WM_NCPAINT, reinterpret_cast<WPARAM>(dc), 0);
    OffsetViewportOrgEx(dc, client.left, client.top, nullptr);
    IntersectClipRect(dc, 0, 0, client.right - client.left, client.bottom - client.top);
    if (flags & PRF_ERASEBKGND) SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if (flags & PRF_CLIENT) SendMessage(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
    if (flags & PRF_CHILDREN) {
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
            auto c = FindLiveWindow(*it);
            if (!c || !c->Visible()) continue;
            int inner = SaveDC(dc);
            OffsetViewportOrgEx(dc, c->rect.left, c->rect.top, nullptr);
            IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
            SendMessage(*it, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags & ~PRF_CHECKVISIBLE);
            RestoreDC(dc, inner);
        }
    }
    RestoreDC(dc, saved);
}

} // namespace
} // namespace pw::gui

using namespace pw::gui;

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto w = FindWindow(hwnd);
    if (!w) return 0;
    switch (msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
        if (cs && cs->lpszName) {
            Guard g(Lock());
            w->text = cs->lpszName;
        }
        return TRUE_;
    }
    case WM_NCCALCSIZE:
        return DefNcCalcSize(hwnd, wParam, lParam);
    case WM_NCHITTEST:
        return DefNcHitTest(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT:
        DefNcPaint(hwnd, RootOf(hwnd) == GetActiveWindow());
        return 0;
    case WM_NCACTIVATE:
        DefNcPaint(hwnd, wParam != 0);
        return TRUE_;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, ps);
        EndPaint(hwnd, ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        HBRUSH brush = w->cls ? w->cls->background : nullptr;
        if (!brush || !wParam) return 0;
        RECT r;
        GetClientRect(hwnd, r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
        return 1;
    }
    case WM_PRINT:
        PrintWindow(hwnd, reinterpret_cast<HDC>(wParam), lParam);
        return 0;
    case WM_SETREDRAW: {
        Guard g(Lock());
        w->redrawEnabled = wParam != 0;
        return 0;
    }
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lParam);
        {
            Guard g(Lock());
            w->text = text ? text : "";
        }
        if (w->host) w->host->SetTitle(w->text);
        if ((w->style & WS_CAPTION) == WS_CAPTION) InvalidateWindowArea(hwnd, nullptr, false, true, false);
        return TRUE_;
    }
    case WM_GETTEXT: {
        LRESULT n;
        std::string text;
        {
            Guard g(Lock());
            text = w->text;
        }
        CopyText(text, wParam, lParam, n);
        return n;
    }
    case WM_GETTEXTLENGTH: {
        Guard g(Lock());
        return static_cast<LRESULT>(w->text.size());
    }
    case WM_SETCURSOR:
        return SetCursorDefault(hwnd, wParam, lParam);
    case WM_MOUSEACTIVATE:
        if (HWND parent = ParentOf(hwnd))
            if (LRESULT r = SendMessage(parent, WM_MOUSEACTIVATE, wParam, lParam)) return r;
        return MA_ACTIVATE;
    case WM_MOUSEWHEEL:
        if (HWND parent = ParentOf(hwnd)) return SendMessage(parent, msg, wParam, lParam);
        return 0;
    case WM_CONTEXTMENU:
        if (HWND parent = ParentOf(hwnd)) SendMessage(parent, msg, wParam, lParam);
        return 0;
    case WM_RBUTTONUP: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(hwnd, p);
        SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd),
                    MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
        return 0;
    }
    case WM_NCRBUTTONUP:
        SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lParam);
        return 0;
    case WM_NCLBUTTONDOWN: {
        LRESULT hit = static_cast<LRESULT>(wParam);
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (hit == HTCLOSE) {
            SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
        } else if (hit == HTCAPTION ||
                   ((w->style & WS_THICKFRAME) && hit >= HTLEFT && hit <= HTBOTTOMRIGHT)) {
            RunSizeLoop(hwnd, hit, p);
        }
        return 0;
    }
    case WM_NCLBUTTONDBLCLK:
        if (wParam == static_cast<WPARAM>(HTCAPTION) && (w->style & WS_MAXIMIZEBOX) && !w->IsChild())
            SendMessage(hwnd, WM_SYSCOMMAND, IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE, lParam);
        return 0;
    case WM_CANCELMODE:
        if (GetCapture() == hwnd) ReleaseCapture();
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessage(hwnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            ShowWindow(hwnd, SW_MAXIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            break;
        default:
            break;
        }
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & (1 << 29))) {
            if (HWND root = RootOf(hwnd)) PostMessage(root, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else if (wParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000)) {
            SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), -1);
        }
        return 0;
    case WM_KEYUP:
        // The menu key asks for the context menu at the keyboard's place: (-1, -1).
        if (wParam == VK_APPS) SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), -1);
        return 0;
    case WM_WINDOWPOSCHANGED: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        RECT client;
        RECT rect;
        {
            Guard g(Lock());
            client = w->client;
            rect = w->rect;
        }
        if (pos && !(pos->flags & SWP_NOMOVE))
            SendMessage(hwnd, WM_MOVE, 0,
                        MAKELPARAM(static_cast<WORD>(rect.left + client.left),
                                   static_cast<WORD>(rect.top + client.top)));
        if (pos && !(pos->flags & SWP_NOSIZE))
            SendMessage(hwnd, WM_SIZE, w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                        MAKELPARAM(static_cast<WORD>(client.right - client.left),
                                   static_cast<WORD>(client.bottom - client.top)));
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
            HWND focus = GetFocus();
            if (!focus || RootOf(focus) != hwnd) SetFocus(hwnd);
        }
        return 0;
    default:
        return 0;
    }
}
