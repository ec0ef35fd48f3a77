#include "platform/gui/nonclient.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <optional>
#include <string>

#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_views.h"
#include "platform/gui/paint.h"
#include "platform/gui/window_dc.h"

namespace pw::gui {
namespace {

bool HasNativeDecoration(const Window& w) {
    return !w.IsChild() && (w.style & WS_CAPTION) == WS_CAPTION && !(w.exStyle & WS_EX_TOOLWINDOW);
}

void Line(HDC dc, int l, int t, int r, int b, int color) {
    RECT rc{l, t, r, b};
    FillRect(dc, &rc, GetSysColorBrush(color));
}

// One 1-pixel ring: top and left in one colour, bottom and right (on the last row and column) in another.
void Ring(HDC dc, RECT& r, int topLeft, int bottomRight) {
    Line(dc, r.left, r.top, r.right - 1, r.top + 1, topLeft);
    Line(dc, r.left, r.top, r.left + 1, r.bottom - 1, topLeft);
    Line(dc, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
    Line(dc, r.right - 1, r.top, r.right, r.bottom, bottomRight);
    InflateRect(r, -1, -1);
}

} // namespace

FrameMetrics DefaultFrame(const Window& w) {
    FrameMetrics f;
    if (HasNativeDecoration(w)) {
        f.native = true;
        return f;
    }
    if (w.style & WS_THICKFRAME)
        f.border = GetSystemMetrics(SM_CXSIZEFRAME);
    else if ((w.style & WS_DLGFRAME) || (w.exStyle & WS_EX_DLGMODALFRAME))
        f.border = GetSystemMetrics(SM_CXFIXEDFRAME);
    else if (w.style & WS_BORDER)
        f.border = GetSystemMetrics(SM_CXBORDER);
    if (w.exStyle & WS_EX_CLIENTEDGE) f.border += GetSystemMetrics(SM_CXEDGE);
    if (w.exStyle & WS_EX_STATICEDGE) f.border += GetSystemMetrics(SM_CXBORDER);
    if ((w.style & WS_CAPTION) == WS_CAPTION)
        f.caption = GetSystemMetrics((w.exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    return f;
}

void DefNcCalcSize(HWND hwnd, RECT* r) {
    auto w = FindLiveWindow(hwnd);
    if (!w || !r) return;
    FrameMetrics f;
    {
        Guard g(Lock());
        f = DefaultFrame(*w);
    }
    r->left += f.border;
    r->top += f.border + f.caption;
    r->right -= f.border;
    r->bottom -= f.border;
    if (r->right < r->left) r->right = r->left;
    if (r->bottom < r->top) r->bottom = r->top;
}

RECT CaptionCloseButton(const Window& w) {
    FrameMetrics f = DefaultFrame(w);
    if (!f.caption || !(w.style & WS_SYSMENU)) return RECT{};
    int size = f.caption - 4;
    int right = w.Width() - f.border - 2;
    int top = f.border + 2;
    return RECT{right - size - 2, top, right, top + size};
}

LRESULT DefNcHitTest(HWND hwnd, POINT screen) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return HTNOWHERE;
    Guard g(Lock());
    RECT wr = ScreenRectOf(*w);
    if (!PtInRect(wr, screen)) return HTNOWHERE;
    POINT p{screen.x - wr.left, screen.y - wr.top};
    if (PtInRect(w->client, p)) return HTCLIENT;
    FrameMetrics f = DefaultFrame(*w);
    int width = w->Width(), height = w->Height();
    if (w->style & WS_THICKFRAME) {
        int corner = GetSystemMetrics(SM_CYCAPTION) + f.border;
        bool left = p.x < f.border, right = p.x >= width - f.border;
        bool top = p.y < f.border, bottom = p.y >= height - f.border;
        if (left || right || top || bottom) {
            bool nearTop = p.y < corner, nearBottom = p.y >= height - corner;
            bool nearLeft = p.x < corner, nearRight = p.x >= width - corner;
            if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
            if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
            if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
            if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
            if (left) return HTLEFT;
            if (right) return HTRIGHT;
            if (top) return HTTOP;
            return HTBOTTOM;
        }
    }
    if (f.caption && p.y >= f.border && p.y < f.border + f.caption) {
        if (PtInRect(CaptionCloseButton(*w), p)) return HTCLOSE;
        return HTCAPTION;
    }
    if (w->style & WS_VSCROLL) return HTVSCROLL;
    if (w->style & WS_HSCROLL) return HTHSCROLL;
    return HTBORDER;
}

void DefNcPaint(HWND hwnd, bool active, HDC target) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return;
    FrameMetrics f;
    RECT r;
    DWORD style, exStyle;
    RECT close;
    std::string title;
    {
        Guard g(Lock());
        f = DefaultFrame(*w);
        r = RECT{0, 0, w->Width(), w->Height()};
        style = w->style;
        exStyle = w->exStyle;
        close = CaptionCloseButton(*w);
        title = w->text;
    }
    if (f.native || (f.border == 0 && f.caption == 0)) return;
    std::optional<WindowDC> own;
    if (!target) own.emplace(hwnd, WindowDC::Area::Window);
    HDC dc = target ? target : own->Get();
    if (!dc) return;
    int frame = f.border;
    if (exStyle & WS_EX_CLIENTEDGE) frame -= GetSystemMetrics(SM_CXEDGE);
    if (exStyle & WS_EX_STATICEDGE) frame -= GetSystemMetrics(SM_CXBORDER);
    if ((style & WS_THICKFRAME) || (style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        for (int i = 2; i < frame; ++i)
            Ring(dc, r, COLOR_BTNFACE, COLOR_BTNFACE);
    } else if (frame > 0) {
        for (int i = 0; i < frame; ++i)
            Ring(dc, r, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME);
    }
    if (f.caption) {
        RECT cap{r.left, r.top, r.right, r.top + f.caption - 1};
        FillRect(dc, &cap, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        Line(dc, r.left, r.top + f.caption - 1, r.right, r.top + f.caption, COLOR_BTNFACE);
        if (!IsRectEmpty(close)) {
            RECT b = close;
            DrawFrameControl(dc, &b, DFC_CAPTION, DFCS_CAPTIONCLOSE | (active ? 0 : DFCS_INACTIVE));
            cap.right = close.left - 2;
        }
        NONCLIENTMETRICS ncm;
        SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
        const pw::gdi::OwnedObject<HFONT> font(
            CreateFontIndirect((exStyle & WS_EX_TOOLWINDOW) ? &ncm.lfSmCaptionFont : &ncm.lfCaptionFont));
        const pw::gdi::SelectedObject fontSelected(dc, font.Get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        cap.left += 3;
        DrawText(dc, title.c_str(), static_cast<int>(title.size()), &cap,
                 DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        r.top += f.caption;
    }
    if (exStyle & WS_EX_STATICEDGE) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (exStyle & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
}

MINMAXINFO QueryMinMaxInfo(HWND hwnd) {
    MINMAXINFO info{};
    info.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    info.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    info.ptMaxSize = POINT{GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
}

void ApplySizeLimits(HWND hwnd) {
    std::shared_ptr<Window> w = FindLiveWindow(hwnd);
    if (!w || !w->host || w->IsChild() || !(w->style & WS_THICKFRAME)) return;
    MINMAXINFO info = QueryMinMaxInfo(hwnd);
    // The system's own largest size follows the screens; only a window's own limit is handed on.
    if (info.ptMaxTrackSize.x == GetSystemMetrics(SM_CXMAXTRACK)) info.ptMaxTrackSize.x = INT_MAX;
    if (info.ptMaxTrackSize.y == GetSystemMetrics(SM_CYMAXTRACK)) info.ptMaxTrackSize.y = INT_MAX;
    if (w->host) w->host->SetSizeLimits(info.ptMinTrackSize, info.ptMaxTrackSize);
}

namespace {

// Keeps a dragged rectangle within the track sizes, moving only the edge that is dragged.
void KeepTrackSize(RECT& r, LRESULT hit, const MINMAXINFO& info) {
    const LONG width = std::clamp<LONG>(r.right - r.left, info.ptMinTrackSize.x, info.ptMaxTrackSize.x);
    const LONG height = std::clamp<LONG>(r.bottom - r.top, info.ptMinTrackSize.y, info.ptMaxTrackSize.y);
    if (hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT)
        r.left = r.right - width;
    else
        r.right = r.left + width;
    if (hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT)
        r.top = r.bottom - height;
    else
        r.bottom = r.top + height;
}

} // namespace

void RunSizeLoop(HWND hwnd, LRESULT hit, POINT start) {
    RECT original;
    if (!GetWindowRect(hwnd, original)) return;
    const MINMAXINFO limits = QueryMinMaxInfo(hwnd);
    SetCapture(hwnd);
    SendMessage(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    MSG msg;
    for (;;) {
        if (!GetMessage(msg, nullptr, 0, 0)) {
            RepostQuit(msg);
            break;
        }
        if (GetCapture() != hwnd) break;
        TMessage m = MessageOf(msg);
        if (msg.message == WM_KEYDOWN && TWMKey(m).CharCode() == VK_ESCAPE) {
            SetWindowPos(hwnd, nullptr, original.left, original.top, original.right - original.left,
                         original.bottom - original.top, SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        // Input queued before the capture was taken still arrives as non-client messages.
        if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP) break;
        if (msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE) {
            TranslateMessage(msg);
            DispatchMessage(msg);
            continue;
        }
        POINT now = msg.pt;
        int dx = now.x - start.x, dy = now.y - start.y;
        RECT r = original;
        if (hit == HTCAPTION) {
            OffsetRect(r, dx, dy);
            SendMessage(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
        } else {
            if (hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT) r.left += dx;
            if (hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT) r.right += dx;
            if (hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT) r.top += dy;
            if (hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT) r.bottom += dy;
            KeepTrackSize(r, hit, limits);
            SendMessage(hwnd, WM_SIZING, static_cast<WPARAM>(hit - HTLEFT + 1), reinterpret_cast<LPARAM>(&r));
        }
        if (!IsWindow(hwnd)) return;
        // Positions of a child are in its parent's client coordinates.
        HWND parent = (GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : nullptr;
        if (parent) MapWindowPoints(nullptr, parent, r);
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (GetCapture() == hwnd) ReleaseCapture();
    if (IsWindow(hwnd)) SendMessage(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

} // namespace pw::gui
