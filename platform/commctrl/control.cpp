#include "platform/commctrl/control.h"

#include "platform/commctrl/common_controls.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"

namespace pw::commctrl {
namespace {

// The process-wide table of control windows; each window's state lives from WM_NCCREATE to
// WM_NCDESTROY.
std::unordered_map<HWND, std::unique_ptr<Control>>& Table() {
    static std::unordered_map<HWND, std::unique_ptr<Control>> table;
    return table;
}

// Controls whose window went away while one of their handlers was still running.
std::vector<std::unique_ptr<Control>>& Graveyard() {
    static std::vector<std::unique_ptr<Control>> dead;
    return dead;
}

void FrameChanged(HWND hwnd) {
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

} // namespace

Control* FindControl(HWND hwnd) {
    auto it = Table().find(hwnd);
    return it == Table().end() ? nullptr : it->second.get();
}

DWORD Control::Style() const {
    return static_cast<DWORD>(GetWindowLong(hwnd_, GWL_STYLE));
}

void Control::Invalidate() {
    if (redraw_) InvalidateRect(hwnd_, nullptr, TRUE_);
}

PaintDC::PaintDC(HWND hwnd, WPARAM given)
    : hwnd_(hwnd), dc_(reinterpret_cast<HDC>(given)), own_(given == 0), ps_{} {
    if (own_) dc_ = BeginPaint(hwnd_, ps_);
}

PaintDC::~PaintDC() {
    if (own_) EndPaint(hwnd_, ps_);
}

UINT_PTR Control::Id() const {
    return static_cast<UINT_PTR>(GetWindowLongPtr(hwnd_, GWLP_ID));
}

HWND Control::Parent() const {
    return GetParent(hwnd_);
}

void Control::Command(WORD code) {
    if (HWND parent = Parent())
        SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(Id()), code),
                    reinterpret_cast<LPARAM>(hwnd_));
}

LRESULT Control::Notify(UINT code, void* header) {
    auto* h = static_cast<NMHDR*>(header);
    h->hwndFrom = hwnd_;
    h->idFrom = Id();
    h->code = code;
    HWND parent = Parent();
    return parent ? SendMessage(parent, WM_NOTIFY, h->idFrom, reinterpret_cast<LPARAM>(h)) : 0;
}

HBRUSH Control::ControlColor(UINT msg, HDC dc, int defaultColor) {
    SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd_) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    SetBkColor(dc, GetSysColor(defaultColor));
    HWND parent = Parent();
    LRESULT r =
        parent ? SendMessage(parent, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_)) : 0;
    return r ? reinterpret_cast<HBRUSH>(r) : GetSysColorBrush(defaultColor);
}

LRESULT Control::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(hwnd_, msg, wParam, lParam);
}

LRESULT Dispatch(Control& c, UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = c.Hwnd();
    switch (msg) {
    case WM_SETFONT:
        c.font_ = reinterpret_cast<HFONT>(wParam);
        break; // the control may react as well
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(c.font_);
    case WM_SETREDRAW:
        c.redraw_ = wParam != 0;
        c.Default(msg, wParam, lParam);
        if (c.redraw_) InvalidateRect(hwnd, nullptr, TRUE_);
        return 0;
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, TRUE_);
        RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        break;
    case WM_NCCALCSIZE: {
        LRESULT r = c.Default(msg, wParam, lParam);
        RECT* client =
            wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
        if (client) c.scroll_.CalcClient(*client);
        return r;
    }
    case WM_NCPAINT: {
        LRESULT r = c.Default(msg, wParam, lParam);
        c.scroll_.Paint(hwnd);
        return r;
    }
    case WM_NCHITTEST: {
        LRESULT r = c.Default(msg, wParam, lParam);
        if (r != HTCLIENT && r != HTBORDER && r != HTNOWHERE) return r;
        RECT w;
        GetWindowRect(hwnd, w);
        POINT p{GET_X_LPARAM(lParam) - w.left, GET_Y_LPARAM(lParam) - w.top};
        if (PtInRect(c.scroll_.Area(hwnd, SB_VERT), p)) return HTVSCROLL;
        if (PtInRect(c.scroll_.Area(hwnd, SB_HORZ), p)) return HTHSCROLL;
        return r;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (wParam == static_cast<WPARAM>(HTVSCROLL) || wParam == static_cast<WPARAM>(HTHSCROLL)) {
            const int bar = wParam == static_cast<WPARAM>(HTVSCROLL) ? SB_VERT : SB_HORZ;
            RECT w;
            GetWindowRect(hwnd, w);
            POINT p{GET_X_LPARAM(lParam) - w.left, GET_Y_LPARAM(lParam) - w.top};
            int code = c.scroll_.CodeAt(hwnd, bar, p);
            if (code == ScrollBars::kThumb && IsWindowEnabled(hwnd)) {
                c.scroll_.BeginDrag(hwnd, bar, p);
                SetCapture(hwnd);
                return 0;
            }
            if (code >= 0 && IsWindowEnabled(hwnd)) {
                const UINT m = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
                SendMessage(hwnd, m, static_cast<WPARAM>(code), 0);
                SendMessage(hwnd, m, SB_ENDSCROLL, 0);
            }
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        if (c.scroll_.Dragging()) {
            const int bar = c.scroll_.DragBar();
            const POINT o = ClientOrigin(hwnd);
            const int pos =
                c.scroll_.Track(hwnd, POINT{GET_X_LPARAM(lParam) + o.x, GET_Y_LPARAM(lParam) + o.y});
            const UINT m = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
            const WORD at = static_cast<WORD>(std::clamp(pos, 0, 0xFFFF));
            SendMessage(hwnd, m, MAKEWPARAM(msg == WM_MOUSEMOVE ? SB_THUMBTRACK : SB_THUMBPOSITION, at), 0);
            if (msg == WM_LBUTTONUP) {
                SendMessage(hwnd, m, SB_ENDSCROLL, 0);
                c.scroll_.EndDrag();
                if (GetCapture() == hwnd) ReleaseCapture();
            }
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        c.scroll_.EndDrag();
        break;
    default:
        break;
    }
    return c.Handle(msg, wParam, lParam);
}

LRESULT RouteToControl(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                       std::unique_ptr<Control> (*make)(HWND)) {
    if (msg == WM_NCCREATE) {
        auto control = make(hwnd);
        control->font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
        if (cs && (cs->style & WS_VSCROLL)) control->Scroll().Bar(SB_VERT).shown = true;
        if (cs && (cs->style & WS_HSCROLL)) control->Scroll().Bar(SB_HORZ).shown = true;
        Table()[hwnd] = std::move(control);
    }
    Control* c = FindControl(hwnd);
    if (!c) return DefWindowProc(hwnd, msg, wParam, lParam);
    ++c->depth_;
    LRESULT r = Dispatch(*c, msg, wParam, lParam);
    --c->depth_;
    if (msg == WM_NCDESTROY) {
        auto node = Table().extract(hwnd);
        if (c->depth_ > 0) Graveyard().push_back(std::move(node.mapped()));
    } else if (c->depth_ == 0 && !FindControl(hwnd)) {
        auto& dead = Graveyard();
        dead.erase(std::remove_if(dead.begin(), dead.end(), [c](const auto& p) { return p.get() == c; }),
                   dead.end());
    }
    return r;
}

LRESULT CopyOut(const std::string& text, WPARAM max, LPARAM buffer) {
    char* out = reinterpret_cast<char*>(buffer);
    if (!out || max == 0) return 0;
    size_t n = std::min<size_t>(text.size(), max - 1);
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    text.copy(out, n);
    out[n] = 0;
    return static_cast<LRESULT>(n);
}

ClientDC::ClientDC(const Control& control) : hwnd_(control.Hwnd()), dc_(GetDC(control.Hwnd())) {
    old_ = SelectObject(dc_, control.Font());
}

ClientDC::~ClientDC() {
    SelectObject(dc_, old_);
    ReleaseDC(hwnd_, dc_);
}

int TrackPos(HWND hwnd) {
    SCROLLINFO si;
    si.fMask = SIF_TRACKPOS;
    return GetScrollInfo(hwnd, SB_VERT, si) ? si.nTrackPos : 0;
}

int ScrolledTop(HWND hwnd, WORD code, int top, int page, int last) {
    switch (code) {
    case SB_LINEUP:
        return top - 1;
    case SB_LINEDOWN:
        return top + 1;
    case SB_PAGEUP:
        return top - page;
    case SB_PAGEDOWN:
        return top + page;
    case SB_TOP:
        return 0;
    case SB_BOTTOM:
        return last;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        return TrackPos(hwnd);
    default:
        return top;
    }
}

void SetRowScrollBar(HWND hwnd, int top, int rows, int page, bool redraw) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = std::max(0, rows - 1);
    si.nPage = static_cast<UINT>(page);
    si.nPos = top;
    SetScrollInfo(hwnd, SB_VERT, si, redraw ? TRUE_ : FALSE_);
}

int RowsInView(HWND hwnd, int rowHeight, int above) {
    RECT c;
    GetClientRect(hwnd, c);
    return std::max(1, static_cast<int>((c.bottom - c.top - above) / rowHeight));
}

int WheelRows(WPARAM wParam) {
    return static_cast<int16_t>(HIWORD(wParam)) / WHEEL_DELTA * 3;
}

void FillHighlight(HDC dc, const RECT& r) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
}

void DrawItemText(HDC dc, RECT r, const std::string& text) {
    r.left += 2;
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

int TextWidth(HDC dc, const std::string& text) {
    if (text.empty()) return 0;
    SIZE s{};
    GetTextExtentPoint32(dc, text, &s);
    return s.cx;
}

int LineHeight(HDC dc) {
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    return tm.tmHeight;
}

bool KeyDown(int vk) {
    return (GetKeyState(vk) & 0x8000) != 0;
}

} // namespace pw::commctrl

using pw::commctrl::Control;
using pw::commctrl::FindControl;

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO& info, BOOL redraw) {
    Control* c = FindControl(hwnd);
    if (!c || (bar != SB_VERT && bar != SB_HORZ)) return 0;
    if (c->Scroll().Set(bar, info))
        pw::commctrl::FrameChanged(hwnd);
    else if (redraw)
        RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
    return c->Scroll().Bar(bar).pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO& info) {
    Control* c = FindControl(hwnd);
    if (!c || (bar != SB_VERT && bar != SB_HORZ)) return FALSE_;
    c->Scroll().Get(bar, info);
    return TRUE_;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    const int old = GetScrollPos(hwnd, bar);
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(hwnd, bar, si, redraw);
    return old;
}

int GetScrollPos(HWND hwnd, int bar) {
    SCROLLINFO si;
    si.fMask = SIF_POS;
    return GetScrollInfo(hwnd, bar, si) ? si.nPos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE;
    si.nMin = minPos;
    si.nMax = maxPos;
    return SetScrollInfo(hwnd, bar, si, redraw) >= 0 && FindControl(hwnd) ? TRUE_ : FALSE_;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
    Control* c = FindControl(hwnd);
    if (!c) return FALSE_;
    bool changed = false;
    for (int b : {SB_HORZ, SB_VERT})
        if (bar == b || bar == SB_BOTH) {
            changed |= c->Scroll().Bar(b).shown != (show != 0);
            c->Scroll().Bar(b).shown = show != 0;
        }
    if (changed) pw::commctrl::FrameChanged(hwnd);
    return TRUE_;
}
