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

// The scroll bars live in the frame: redrawing them leaves the client area as it is.
void RedrawFrameOnly(HWND hwnd) {
    RECT window, client;
    GetWindowRect(hwnd, window);
    GetClientRect(hwnd, client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, origin);
    OffsetRect(window, -origin.x, -origin.y);
    const RECT strips[] = {{window.left, window.top, window.right, 0},
                           {window.left, client.bottom, window.right, window.bottom},
                           {window.left, 0, 0, client.bottom},
                           {client.right, 0, window.right, client.bottom}};
    for (const RECT& r : strips)
        if (r.left < r.right && r.top < r.bottom)
            RedrawWindow(hwnd, &r, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
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

PaintDC::PaintDC(HWND hwnd, TWMPaint m) : hwnd_(hwnd), dc_(m.DC()), own_(!m.DC()), ps_{} {
    if (own_) dc_ = BeginPaint(hwnd_, ps_);
}

PaintDC::~PaintDC() {
    if (own_) EndPaint(hwnd_, ps_);
}

UINT_PTR Control::Id() const {
    return static_cast<UINT_PTR>(GetWindowLongPtr(hwnd_, GWLP_ID));
}

HWND Control::Parent() const {
    if (HWND parent = GetParent(hwnd_)) return parent;
    return createdUnder_ != nullptr && IsWindow(createdUnder_) ? createdUnder_ : nullptr;
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

LRESULT Control::Default(TMessage& m) {
    return DefWindowProc(hwnd_, m);
}

LRESULT Control::SetFont(TWMSetFont m) {
    font_ = m.Font();
    return Handle(m); // the control measures again
}

LRESULT Control::SetRedraw(TWMFlag m) {
    redraw_ = m.On();
    Default(m);
    if (redraw_) InvalidateRect(hwnd_, nullptr, TRUE_);
    return 0;
}

LRESULT Control::Enable(TMessage& m) {
    InvalidateRect(hwnd_, nullptr, TRUE_);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    return Handle(m);
}

LRESULT Control::NcCalcSize(TWMNCCalcSize m) {
    const LRESULT r = Default(m);
    if (RECT* client = m.ClientRect()) scroll_.CalcClient(*client);
    return r;
}

LRESULT Control::NcPaint(TMessage& m) {
    const LRESULT r = Default(m);
    scroll_.Paint(hwnd_);
    return r;
}

namespace {

// A screen point in window coordinates.
POINT InWindow(HWND hwnd, POINT screen) {
    RECT w;
    GetWindowRect(hwnd, w);
    return POINT{screen.x - w.left, screen.y - w.top};
}

} // namespace

LRESULT Control::NcHitTest(TWMNCHitTest m) {
    const LRESULT r = Default(m);
    if (r != HTCLIENT && r != HTBORDER && r != HTNOWHERE) return r;
    const POINT p = InWindow(hwnd_, m.Pos());
    if (PtInRect(scroll_.Area(hwnd_, SB_VERT), p)) return HTVSCROLL;
    if (PtInRect(scroll_.Area(hwnd_, SB_HORZ), p)) return HTHSCROLL;
    return r;
}

// A press on a scroll bar scrolls, or starts dragging the thumb.
LRESULT Control::NcButtonDown(TWMNCHitMessage m) {
    if (m.HitTest() != HTVSCROLL && m.HitTest() != HTHSCROLL) return Handle(m);
    const int bar = m.HitTest() == HTVSCROLL ? SB_VERT : SB_HORZ;
    const POINT p = InWindow(hwnd_, m.Pos());
    const int code = scroll_.CodeAt(hwnd_, bar, p);
    if (code == ScrollBars::kThumb && IsWindowEnabled(hwnd_)) {
        scroll_.BeginDrag(hwnd_, bar, p);
        SetCapture(hwnd_);
        return 0;
    }
    if (code >= 0 && IsWindowEnabled(hwnd_)) {
        const UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
        SendMessage(hwnd_, msg, static_cast<WPARAM>(code), 0);
        SendMessage(hwnd_, msg, SB_ENDSCROLL, 0);
    }
    return 0;
}

// While the thumb is dragged the mouse moves it; the release ends the drag.
LRESULT Control::MouseOverScrollBar(TWMMouse m) {
    if (!scroll_.Dragging()) return Handle(m);
    const int bar = scroll_.DragBar();
    const POINT o = ClientOrigin(hwnd_);
    const POINT p = m.Pos();
    const int pos = scroll_.Track(hwnd_, POINT{p.x + o.x, p.y + o.y});
    const UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    const WORD at = static_cast<WORD>(std::clamp(pos, 0, 0xFFFF));
    SendMessage(hwnd_, msg, MAKEWPARAM(m.Msg == WM_MOUSEMOVE ? SB_THUMBTRACK : SB_THUMBPOSITION, at), 0);
    if (m.Msg == WM_LBUTTONUP) {
        SendMessage(hwnd_, msg, SB_ENDSCROLL, 0);
        scroll_.EndDrag();
        if (GetCapture() == hwnd_) ReleaseCapture();
    }
    return 0;
}

LRESULT Control::CaptureChanged(TMessage& m) {
    scroll_.EndDrag();
    return Handle(m);
}

LRESULT Dispatch(Control& c, TMessage& m) {
    switch (m.Msg) {
    case WM_SETFONT:
        return c.SetFont(TWMSetFont(m));
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(c.font_);
    case WM_SETREDRAW:
        return c.SetRedraw(TWMFlag(m));
    case WM_ENABLE:
        return c.Enable(m);
    case WM_NCCALCSIZE:
        return c.NcCalcSize(TWMNCCalcSize(m));
    case WM_NCPAINT:
        return c.NcPaint(m);
    case WM_NCHITTEST:
        return c.NcHitTest(TWMNCHitTest(m));
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        return c.NcButtonDown(TWMNCHitMessage(m));
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        return c.MouseOverScrollBar(TWMMouse(m));
    case WM_CAPTURECHANGED:
        return c.CaptureChanged(m);
    default:
        return c.Handle(m);
    }
}

LRESULT RouteToControl(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                       std::unique_ptr<Control> (*make)(HWND)) {
    TMessage m{msg, wParam, lParam, 0};
    if (msg == WM_NCCREATE) {
        auto control = make(hwnd);
        control->font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        const CREATESTRUCT* cs = TWMCreate(m).CreateStruct();
        if (cs && (cs->style & WS_VSCROLL)) control->Scroll().Bar(SB_VERT).shown = true;
        if (cs && (cs->style & WS_HSCROLL)) control->Scroll().Bar(SB_HORZ).shown = true;
        Table()[hwnd] = std::move(control);
    }
    Control* c = FindControl(hwnd);
    if (!c) return DefWindowProc(hwnd, msg, wParam, lParam);
    ++c->depth_;
    LRESULT r = Dispatch(*c, m);
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

int WheelRows(TWMMouseWheel m) {
    return m.WheelDelta() / WHEEL_DELTA * 3;
}

void FillHighlight(HDC dc, const RECT& r) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
}

void DrawItemText(HDC dc, RECT r, const std::string& text) {
    r.left += 2;
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

int TextWidth(HDC dc, std::string_view text) {
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
        pw::commctrl::RedrawFrameOnly(hwnd);
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
