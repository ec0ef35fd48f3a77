#include <algorithm>
#include <cstring>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_views.h"
#include "platform/gui/nonclient.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"

namespace pw::gui {
namespace {

// The thread's last system key was Alt, pressed with no other key since.
thread_local bool menuKeyAlone = false;

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
    const pw::gdi::SavedDC saved(dc);
    if (flags & PRF_NONCLIENT) SendMessage(hwnd, WM_NCPAINT, reinterpret_cast<WPARAM>(dc), 0);
    OffsetViewportOrgEx(dc, client.left, client.top, nullptr);
    IntersectClipRect(dc, 0, 0, client.right - client.left, client.bottom - client.top);
    if (flags & PRF_ERASEBKGND) SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if (flags & PRF_CLIENT) SendMessage(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
    if (flags & PRF_CHILDREN) {
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
            auto c = FindLiveWindow(*it);
            if (!c || !c->Visible()) continue;
            const pw::gdi::SavedDC inner(dc);
            OffsetViewportOrgEx(dc, c->rect.left, c->rect.top, nullptr);
            IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
            SendMessage(*it, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags & ~PRF_CHECKVISIBLE);
        }
    }
}

// The default answer to each message, for one window.
class Defaults {
public:
    Defaults(HWND hwnd, Window& w) : hwnd_(hwnd), w_(w) {}

    LRESULT NcCreate(TWMCreate m) {
        const CREATESTRUCT* cs = m.CreateStruct();
        if (cs && cs->lpszName) {
            Guard g(Lock());
            w_.text = cs->lpszName;
        }
        return TRUE_;
    }

    LRESULT NcCalcSize(TWMNCCalcSize m) {
        DefNcCalcSize(hwnd_, m.ClientRect());
        return 0;
    }

    LRESULT NcPaint(TWMNCPaint m) {
        DefNcPaint(hwnd_, RootOf(hwnd_) == GetActiveWindow(), m.PrintDC());
        return 0;
    }

    LRESULT NcActivate(TWMFlag m) {
        DefNcPaint(hwnd_, m.On());
        return TRUE_;
    }

    LRESULT Paint() {
        PAINTSTRUCT ps;
        BeginPaint(hwnd_, ps);
        EndPaint(hwnd_, ps);
        return 0;
    }

    LRESULT EraseBackground(TWMEraseBkgnd m) {
        HBRUSH brush = w_.cls ? w_.cls->background : nullptr;
        if (!brush || !m.DC()) return 0;
        RECT r;
        GetClientRect(hwnd_, r);
        FillRect(m.DC(), &r, brush);
        return 1;
    }

    LRESULT Print(TWMPrint m) {
        PrintWindow(hwnd_, m.DC(), m.Flags());
        return 0;
    }

    LRESULT SetRedraw(TWMFlag m) {
        Guard g(Lock());
        w_.redrawEnabled = m.On();
        return 0;
    }

    LRESULT SetText(TWMSetText m) {
        {
            Guard g(Lock());
            w_.text = m.String();
        }
        if (w_.host) w_.host->SetTitle(w_.text);
        if ((w_.style & WS_CAPTION) == WS_CAPTION) InvalidateWindowArea(hwnd_, nullptr, false, true, false);
        return TRUE_;
    }

    LRESULT GetText(TWMGetText m) {
        std::string text;
        {
            Guard g(Lock());
            text = w_.text;
        }
        return CopyOut(text, m.Buffer());
    }

    LRESULT GetTextLength() {
        Guard g(Lock());
        return static_cast<LRESULT>(w_.text.size());
    }

    LRESULT SetCursor(TWMSetCursor m) {
        if (HWND parent = ParentOf(hwnd_))
            if (m.ForwardTo(parent)) return TRUE_;
        const LRESULT hit = m.HitTest();
        if (hit == HTERROR) {
            const UINT mouse = m.MouseMsg();
            if (mouse == WM_LBUTTONDOWN || mouse == WM_RBUTTONDOWN || mouse == WM_MBUTTONDOWN) MessageBeep(0);
            return FALSE_;
        }
        if (hit == HTCLIENT) {
            HCURSOR c = w_.cls ? w_.cls->cursor : nullptr;
            if (c) ::SetCursor(c);
            return c ? TRUE_ : FALSE_;
        }
        ::SetCursor(LoadCursor(nullptr, CursorForHit(hit)));
        return TRUE_;
    }

    LRESULT MouseActivate(MessageView m) {
        if (HWND parent = ParentOf(hwnd_))
            if (LRESULT r = m.ForwardTo(parent)) return r;
        return MA_ACTIVATE;
    }

    // The parent has the next say over a wheel turn the window leaves alone.
    LRESULT MouseWheel(TWMMouseWheel m) {
        HWND parent = ParentOf(hwnd_);
        return parent ? m.ForwardTo(parent) : 0;
    }

    LRESULT ParentContextMenu(TWMContextMenu m) {
        if (HWND parent = ParentOf(hwnd_)) m.ForwardTo(parent);
        return 0;
    }

    // Help asked of a child is its parent's to give, and so on up; a top-level window asks its owner.
    LRESULT Help(TWMHelp m) {
        HWND up = w_.IsChild() ? ParentOf(hwnd_) : GetWindow(hwnd_, GW_OWNER);
        if (up != nullptr) m.ForwardTo(up);
        return TRUE_;
    }

    LRESULT Close() {
        DestroyWindow(hwnd_);
        return 0;
    }

    LRESULT RightButtonUp(TWMMouse m) {
        POINT p = m.Pos();
        ClientToScreen(hwnd_, p);
        return ContextMenu(PackPoint(p));
    }

    LRESULT NcRightButtonUp(TWMNCHitMessage m) { return ContextMenu(PackPoint(m.Pos())); }

    LRESULT NcLeftButtonDown(TWMNCHitMessage m) {
        const LRESULT hit = m.HitTest();
        if (hit == HTCLOSE)
            SendMessage(hwnd_, WM_SYSCOMMAND, SC_CLOSE, PackPoint(m.Pos()));
        else if (hit == HTCAPTION || ((w_.style & WS_THICKFRAME) && hit >= HTLEFT && hit <= HTBOTTOMRIGHT))
            RunSizeLoop(hwnd_, hit, m.Pos());
        return 0;
    }

    LRESULT NcLeftDoubleClick(TWMNCHitMessage m) {
        if (m.HitTest() == HTCAPTION && (w_.style & WS_MAXIMIZEBOX) && !w_.IsChild())
            SendMessage(hwnd_, WM_SYSCOMMAND, IsZoomed(hwnd_) ? SC_RESTORE : SC_MAXIMIZE, PackPoint(m.Pos()));
        return 0;
    }

    LRESULT CancelMode() {
        if (GetCapture() == hwnd_) ReleaseCapture();
        return 0;
    }

    LRESULT SysCommand(TWMSysCommand m) {
        switch (m.CmdType()) {
        case SC_CLOSE:
            SendMessage(hwnd_, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(hwnd_, SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            ShowWindow(hwnd_, SW_MAXIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(hwnd_, SW_RESTORE);
            break;
        default:
            break;
        }
        return 0;
    }

    LRESULT SysKeyDown(TWMKey m) {
        // Alt pressed and released with no key between asks the window for its menu.
        const bool repeat = (m.KeyData() & (1 << 30)) != 0;
        if (m.CharCode() == VK_MENU) {
            if (!repeat) menuKeyAlone = true;
        } else {
            menuKeyAlone = false;
        }
        if (m.CharCode() == VK_F4 && m.AltDown()) {
            if (HWND root = RootOf(hwnd_)) PostMessage(root, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else if (m.CharCode() == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000)) {
            ContextMenu(-1);
        }
        return 0;
    }

    LRESULT KeyUp(TWMKey m) {
        // The menu key asks for the context menu at the keyboard's place: (-1, -1).
        if (m.CharCode() == VK_APPS) ContextMenu(-1);
        return 0;
    }

    LRESULT SysKeyUp(TWMKey m) {
        // Alt alone, or F10 without Shift, puts the window's menu into keyboard mode.
        const bool alone = m.CharCode() == VK_MENU && menuKeyAlone;
        const bool f10 = m.CharCode() == VK_F10 && !(GetKeyState(VK_SHIFT) & 0x8000);
        menuKeyAlone = false;
        if (alone || f10)
            if (HWND root = RootOf(hwnd_)) SendMessage(root, WM_SYSCOMMAND, SC_KEYMENU, 0);
        return 0;
    }

    LRESULT WindowPosChanged(TWMWindowPosMsg m) {
        const WINDOWPOS* pos = m.WindowPos();
        RECT client;
        RECT rect;
        {
            Guard g(Lock());
            client = w_.client;
            rect = w_.rect;
        }
        if (pos && !(pos->flags & SWP_NOMOVE))
            SendMessage(hwnd_, WM_MOVE, 0, PackPoint(POINT{rect.left + client.left, rect.top + client.top}));
        if (pos && !(pos->flags & SWP_NOSIZE))
            SendMessage(hwnd_, WM_SIZE, w_.maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                        MAKELPARAM(static_cast<WORD>(client.right - client.left),
                                   static_cast<WORD>(client.bottom - client.top)));
        return 0;
    }

    LRESULT Activate(TWMActivate m) {
        if (m.Active() != WA_INACTIVE && !m.Minimized()) {
            HWND focus = GetFocus();
            if (!focus || RootOf(focus) != hwnd_) SetFocus(hwnd_);
        }
        return 0;
    }

    // The non-client messages, WM_NCCREATE to WM_NCMBUTTONDBLCLK.
    LRESULT NonClient(TMessage& m) {
        switch (m.Msg) {
        case WM_NCCREATE:
            return NcCreate(TWMCreate(m));
        case WM_NCCALCSIZE:
            return NcCalcSize(TWMNCCalcSize(m));
        case WM_NCHITTEST:
            return DefNcHitTest(hwnd_, TWMNCHitTest(m).Pos());
        case WM_NCPAINT:
            return NcPaint(TWMNCPaint(m));
        case WM_NCACTIVATE:
            return NcActivate(TWMFlag(m));
        case WM_NCRBUTTONUP:
            return NcRightButtonUp(TWMNCHitMessage(m));
        case WM_NCLBUTTONDOWN:
            return NcLeftButtonDown(TWMNCHitMessage(m));
        case WM_NCLBUTTONDBLCLK:
            return NcLeftDoubleClick(TWMNCHitMessage(m));
        default:
            return 0;
        }
    }

private:
    LRESULT ContextMenu(LPARAM screenPos) {
        SendMessage(hwnd_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd_), screenPos);
        return 0;
    }

    HWND hwnd_;
    Window& w_;
};

} // namespace
} // namespace pw::gui

using namespace pw::gui;

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto w = FindWindow(hwnd);
    if (!w) return 0;
    TMessage m{msg, wParam, lParam, 0};
    Defaults d(hwnd, *w);
    if (msg >= WM_NCCREATE && msg <= WM_NCMBUTTONDBLCLK) return d.NonClient(m);
    switch (msg) {
    case WM_PAINT:
        return d.Paint();
    case WM_ERASEBKGND:
        return d.EraseBackground(TWMEraseBkgnd(m));
    case WM_PRINT:
        return d.Print(TWMPrint(m));
    case WM_SETREDRAW:
        return d.SetRedraw(TWMFlag(m));
    case WM_SETTEXT:
        return d.SetText(TWMSetText(m));
    case WM_GETTEXT:
        return d.GetText(TWMGetText(m));
    case WM_GETTEXTLENGTH:
        return d.GetTextLength();
    case WM_SETCURSOR:
        return d.SetCursor(TWMSetCursor(m));
    case WM_MOUSEACTIVATE:
        return d.MouseActivate(MessageView(m));
    case WM_MOUSEWHEEL:
        return d.MouseWheel(TWMMouseWheel(m));
    case WM_CONTEXTMENU:
        return d.ParentContextMenu(TWMContextMenu(m));
    case WM_HELP:
        return d.Help(TWMHelp(m));
    case WM_RBUTTONUP:
        return d.RightButtonUp(TWMMouse(m));
    case WM_CANCELMODE:
        return d.CancelMode();
    case WM_CLOSE:
        return d.Close();
    case WM_SYSCOMMAND:
        return d.SysCommand(TWMSysCommand(m));
    case WM_SYSKEYDOWN:
        return d.SysKeyDown(TWMKey(m));
    case WM_KEYUP:
        return d.KeyUp(TWMKey(m));
    case WM_SYSKEYUP:
        return d.SysKeyUp(TWMKey(m));
    case WM_WINDOWPOSCHANGED:
        return d.WindowPosChanged(TWMWindowPosMsg(m));
    case WM_ACTIVATE:
        return d.Activate(TWMActivate(m));
    default:
        return 0;
    }
}
