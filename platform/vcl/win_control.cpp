#include "platform/vcl/win_control.h"

#include <algorithm>
#include <map>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/owner_draw.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/format.h"
#include "platform/rtl/scope_guard.h"
#include "platform/vcl/form.h"
#include "platform/vcl/screen.h"
#include "platform/vcl/vcl_state.h"

namespace {

std::map<HWND, TWinControl*>& HandleTable() {
    static std::map<HWND, TWinControl*> table;
    return table;
}

// The control whose CreateWindowEx call is under way: its window's first messages belong to it.
thread_local TWinControl* creatingControl = nullptr;

bool PtIn(const TRect& r, TPoint p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

} // namespace

TWinControl* FindControl(HWND hwnd) {
    auto it = HandleTable().find(hwnd);
    return it == HandleTable().end() ? nullptr : it->second;
}

// Counts a dispatch for the control and its parents, so that a release asked for meanwhile waits until
// none of their handlers is running any more.
class DispatchGuard {
public:
    explicit DispatchGuard(TWinControl* control) {
        for (TWinControl* c = control; c; c = c->Parent()) {
            chain_.push_back({c, c->AliveToken()});
            ++c->busy_;
        }
    }
    ~DispatchGuard() {
        TWinControl* release = nullptr;
        for (auto& [c, token] : chain_) {
            if (token.expired()) continue;
            if (--c->busy_ == 0 && c->releasePending_) release = c;
        }
        // The outermost one waiting frees its descendants with it; what its children handle while it
        // goes must not free it again.
        if (release) {
            release->releasePending_ = false;
            delete release;
        }
    }
    DispatchGuard(const DispatchGuard&) = delete;
    DispatchGuard& operator=(const DispatchGuard&) = delete;

private:
    std::vector<std::pair<TWinControl*, std::weak_ptr<void>>> chain_;
};

LRESULT ControlWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = FindControl(hwnd);
    if (!control && creatingControl) {
        control = creatingControl;
        control->handle_ = hwnd;
        HandleTable()[hwnd] = control;
    }
    if (!control) return DefWindowProc(hwnd, msg, wParam, lParam);
    LRESULT result = 0;
    if (control->ComponentState().Contains(csDestroying)) {
        result = DefWindowProc(hwnd, msg, wParam, lParam);
    } else {
        auto alive = control->AliveToken();
        DispatchGuard guard(control);
        TMessage m{msg, wParam, lParam, 0};
        try {
            control->WndProc(m);
        } catch (...) {
            pw::vcl::HandleDispatchException(alive.expired() ? nullptr : control);
        }
        result = m.Result;
        if (alive.expired()) return result;
    }
    if (msg == WM_NCDESTROY) {
        HandleTable().erase(hwnd);
        if (control->handle_ == hwnd) control->handle_ = nullptr;
    }
    return result;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    Destroying();
    if (handle_) TWinControl::DestroyHandle();
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        RemoveControl(c);
        delete c;
    }
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return handle_;
}

void TWinControl::HandleNeeded() {
    if (handle_) return;
    if (parent_) parent_->HandleNeeded();
    CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value) {
    if (parentWindow_ == Value) return;
    parentWindow_ = Value;
    if (!parent_ && handle_) RecreateWnd();
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    // A child's new window takes WS_VISIBLE from Visible; a top-level one is shown as the old one was.
    const bool shownTopLevel = !parent_ && IsWindowVisible(handle_);
    DestroyHandle();
    HandleNeeded();
    if (shownTopLevel && handle_) ShowWindow(handle_, SW_SHOWNA);
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Caption = GetText();
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    // Only containers keep their painting off their children; a control with windows of its own inside
    // (a combo box's edit) paints under them and they paint again after it.
    if (controlStyle_.Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
    if (Visible() && parent_) Params.Style |= WS_VISIBLE;
    if (!Enabled()) Params.Style |= WS_DISABLED;
    if (tabStop_) Params.Style |= WS_TABSTOP;
    Params.X = Left();
    Params.Y = Top();
    Params.Width = Width();
    Params.Height = Height();
    Params.WndParent = parent_ ? parent_->Handle() : parentWindow_;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = ControlWindowProc;
    Params.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName) {
    WNDCLASS wc;
    if (!GetClassInfo(nullptr, ControlClassName, wc))
        throw EOSError(Format("Cannot find window class %s", ControlClassName));
    defWndProc_ = wc.lpfnWndProc;
    Params.WindowClass = wc;
    Params.WindowClass.lpfnWndProc = ControlWindowProc;
    Params.WindowClass.lpszClassName = nullptr;
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    TWinControl* saved = creatingControl;
    creatingControl = this;
    HWND h = CreateWindowEx(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                            Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                            nullptr, Params.Param);
    creatingControl = saved;
    if (h && !handle_) {
        handle_ = h;
        HandleTable()[h] = this;
    }
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.WndParent)
        throw EInvalidOperation(Format("Control '%s' has no parent window", Name().c_str()));
    if (!controlStyle_.Contains(csDoubleClicks)) params.WindowClass.style &= ~CS_DBLCLKS;
    std::string className = params.WinClassName;
    if (params.WindowClass.style != (CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS) || defWndProc_)
        className += Format(".%x.", params.WindowClass.style) +
                     std::to_string(reinterpret_cast<uintptr_t>(defWndProc_));
    params.WinClassName = className;
    WNDCLASS existing;
    if (!GetClassInfo(nullptr, className.c_str(), existing)) {
        WNDCLASS wc = params.WindowClass;
        wc.lpfnWndProc = ControlWindowProc;
        wc.lpszClassName = className.c_str();
        if (!RegisterClass(wc)) throw EOSError(Format("Cannot register window class %s", className.c_str()));
    }
    CreateWindowHandle(params);
    if (!handle_) throw EOSError(Format("Error creating window %s", Name().c_str()));
}

void TWinControl::CreateHandle() {
    if (handle_) return;
    CreateWnd();
    lastClientSize_ = TPoint{-1, -1};
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->HandleNeeded();
}

void TWinControl::DestroyWnd() {
    if (!handle_) return;
    // The next window is made with the text this one has now.
    TControl::SetTextValue(GetWindowText(handle_));
    DestroyWindow(handle_);
}

std::string TWinControl::GetText() const {
    return handle_ ? GetWindowText(handle_) : TControl::GetText();
}

void TWinControl::SetTextValue(const std::string& Value) {
    if (!handle_) {
        TControl::SetTextValue(Value);
        return;
    }
    // The window holds the text while it lives (DestroyWnd takes it back): a long text is not kept twice.
    TControl::SetTextValue(std::string());
    SetWindowText(handle_, Value);
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    controlState_.Include(csDestroyingHandle);
    // Children first, each through its own DestroyWnd, so that they keep what their windows held.
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->handle_) w->DestroyHandle();
    HWND h = handle_;
    DestroyWnd();
    HandleTable().erase(h);
    handle_ = nullptr;
    controlState_.Exclude(csDestroyingHandle);
}

void TWinControl::InsertControl(TControl* AControl) {
    AControl->parent_ = this;
    controls_.push_back(AControl);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        tabList_.push_back(w);
        if (handle_) w->HandleNeeded();
    } else {
        AControl->Invalidate();
    }
    AControl->UpdateAnchorRules();
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    if (AControl->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
    auto it = std::find(controls_.begin(), controls_.end(), AControl);
    if (it == controls_.end()) return;
    AControl->Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
        if (w->handle_ && !ComponentState().Contains(csDestroying)) w->DestroyHandle();
    }
    controls_.erase(std::find(controls_.begin(), controls_.end(), AControl));
    AControl->parent_ = nullptr;
    if (AControl->Align() != alNone && !ComponentState().Contains(csDestroying)) Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    for (const TControl* c = Control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (!AllowWinControls && dynamic_cast<TWinControl*>(c)) continue;
        if (!c->Visible() || !(c->Enabled() || AllowDisabled)) continue;
        if (!PtIn(c->BoundsRect(), Pos)) continue;
        if (c->Perform(CM_HITTEST, 0, MAKELPARAM(Pos.x - c->Left(), Pos.y - c->Top())) != 0) return c;
    }
    return nullptr;
}

void TWinControl::DisableAlign() {
    ++alignLevel_;
}

void TWinControl::EnableAlign() {
    if (--alignLevel_ == 0 && controlState_.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() {
    AlignControl(nullptr);
}

void TWinControl::AlignControl(TControl* AControl) {
    if (AlignDisabled()) {
        controlState_.Include(csAlignmentNeeded);
        return;
    }
    DisableAlign();
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(AControl, r);
    controlState_.Exclude(csAlignmentNeeded);
    EnableAlign();
}

namespace {

bool InsertBefore(TControl* c1, TControl* c2, TAlign align) {
    switch (align) {
    case alTop:
        return c1->Top() < c2->Top();
    case alBottom:
        return c1->Top() + c1->Height() >= c2->Top() + c2->Height();
    case alLeft:
        return c1->Left() < c2->Left();
    case alRight:
        return c1->Left() + c1->Width() >= c2->Left() + c2->Width();
    default:
        return false;
    }
}

} // namespace

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        if (AControl && AControl->Parent() == this && AControl->Visible() && AControl->Align() == align)
            list.push_back(AControl);
        for (TControl* c : controls_) {
            if (c == AControl || c->Align() != align || !c->Visible()) continue;
            size_t j = 0;
            while (j < list.size() && !InsertBefore(c, list[j], align))
                ++j;
            list.insert(list.begin() + static_cast<std::ptrdiff_t>(j), c);
        }
        for (TControl* c : list) {
            int l = Rect.left, t = Rect.top;
            int w = std::max(0, static_cast<int>(Rect.right - Rect.left));
            int h = std::max(0, static_cast<int>(Rect.bottom - Rect.top));
            switch (align) {
            case alTop:
                h = c->Height();
                break;
            case alBottom:
                h = c->Height();
                t = Rect.bottom - h;
                break;
            case alLeft:
                w = c->Width();
                break;
            case alRight:
                w = c->Width();
                l = Rect.right - w;
                break;
            default:
                break;
            }
            c->SetBounds(l, t, w, h);
            switch (align) {
            case alTop:
                Rect.top += c->Height();
                break;
            case alBottom:
                Rect.bottom -= c->Height();
                break;
            case alLeft:
                Rect.left += c->Width();
                break;
            case alRight:
                Rect.right -= c->Width();
                break;
            default:
                break;
            }
        }
    }
}

void TWinControl::AnchorChildren() {
    TRect r = ClientRect();
    anchoring_ = true;
    for (TControl* c : controls_) {
        if (c->Align() != alNone) continue;
        TAnchors a = c->Anchors();
        if (!a.Contains(akRight) && !a.Contains(akBottom)) continue;
        int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
        if (a.Contains(akRight)) {
            if (a.Contains(akLeft))
                w = r.right - l - c->anchorRight_;
            else
                l = r.right - w - c->anchorRight_;
        }
        if (a.Contains(akBottom)) {
            if (a.Contains(akTop))
                h = r.bottom - t - c->anchorBottom_;
            else
                t = r.bottom - h - c->anchorBottom_;
        }
        c->SetBounds(l, t, w, h);
    }
    anchoring_ = false;
}

bool TWinControl::Showing() const {
    if (!Visible()) return false;
    if (parent_) return parent_->Showing();
    return handle_ && IsWindowVisible(handle_);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TWinControl::BoundsChanged() {
    if (handle_) {
        SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        // The window answers with WM_SIZE, which lays out the children.
        TRect r = ClientRect();
        if (TPoint{r.right, r.bottom} == lastClientSize_) return;
    }
    TRect r = ClientRect();
    TPoint size{r.right, r.bottom};
    if (size == lastClientSize_) return;
    lastClientSize_ = size;
    AnchorChildren();
    Realign();
    Resize();
}

void TWinControl::UpdateBounds() {
    if (!handle_) return;
    RECT r;
    GetWindowRect(handle_, r);
    if ((GetWindowLong(handle_, GWL_STYLE) & WS_CHILD) != 0) {
        if (HWND p = GetParent(handle_)) MapWindowPoints(nullptr, p, r);
    }
    UpdateBoundsFields(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

TRect TWinControl::ClientRect() {
    if (handle_) {
        RECT r;
        GetClientRect(handle_, r);
        return r;
    }
    return TControl::ClientRect();
}

TPoint TWinControl::ClientOrigin() {
    POINT p{0, 0};
    ::ClientToScreen(Handle(), p);
    return p;
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, !controlStyle_.Contains(csOpaque));
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::SetEnabled(bool Value) {
    TControl::SetEnabled(Value);
}

void TWinControl::SetZOrder(bool TopMost) {
    TControl::SetZOrder(TopMost);
    if (handle_)
        SetWindowPos(handle_, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::UpdateShowing() {
    if (!parent_) return; // top-level windows are shown by their own class
    if (Visible()) {
        HandleNeeded();
        ShowWindow(handle_, SW_SHOWNA);
    } else if (handle_) {
        if (Focused()) {
            if (TCustomForm* f = GetParentForm(this)) f->SetFocusedControl(f);
        }
        ShowWindow(handle_, SW_HIDE);
    }
}

bool TWinControl::CanFocus() const {
    // The form's own visibility does not count: its active control may be chosen before it shows.
    const TCustomForm* form = GetParentForm(this);
    for (const TControl* c = this; c && c != form; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const {
    return handle_ && GetFocus() == handle_;
}

void TWinControl::SetFocus() {
    if (TCustomForm* form = GetParentForm(this)) {
        form->FocusControl(this);
    } else if (parentWindow_ || !parent_) {
        ::SetFocus(Handle());
    }
}

int TWinControl::TabOrder() const {
    if (!parent_) return -1;
    auto& list = parent_->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!parent_) return;
    auto& list = parent_->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    Value = std::clamp(Value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* c : tabList_) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = static_cast<int>(list.size());
    auto found = std::find(list.begin(), list.end(), CurControl);
    int start = found == list.end() ? (GoForward ? n - 1 : 0) : static_cast<int>(found - list.begin());
    int i = start;
    do {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c->CanFocus() && (!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this))
            return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        next->SetFocus();
}

void TWinControl::Broadcast(TMessage& Message) {
    for (size_t i = 0; i < controls_.size(); ++i) {
        controls_[i]->WndProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT Msg) {
    TMessage m{Msg, 0, 0, 0};
    Broadcast(m);
}

void TWinControl::PaintControls(HDC DC, const TControl* First) {
    bool started = First == nullptr;
    for (size_t i = 0; i < controls_.size(); ++i) {
        TControl* c = controls_[i];
        if (c == First) started = true;
        if (!started || dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
        // Only what the paint can reach is drawn: a label's change repaints that label alone.
        const RECT bounds{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
        if (!RectVisible(DC, &bounds)) continue;
        const pw::gdi::SavedDC saved(DC);
        OffsetViewportOrgEx(DC, c->Left(), c->Top(), nullptr);
        IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    }
}

void TWinControl::PaintWindow(HDC DC) {
    // A standard window class draws itself on the DC it is given; a window of our own has nothing
    // to draw under its children.
    if (!defWndProc_) return;
    TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
    DefaultHandler(m);
}

void TWinControl::PaintHandler(TWMPaint Message) {
    if (HDC dc = Message.DC()) {
        PaintWindow(dc);
        PaintControls(dc, nullptr);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle_, ps);
    auto alive = AliveToken();
    // A control freed by its own painting has no window left to end the paint of.
    const ScopeGuard endPaint([&] {
        if (!alive.expired()) EndPaint(handle_, ps);
    });
    if (doubleBuffered_)
        PaintBuffered(dc, ps.rcPaint);
    else {
        PaintWindow(dc);
        PaintControls(dc, nullptr);
    }
}

void TWinControl::PaintBuffered(HDC DC, const TRect& Area) {
    // Everything is drawn off screen first and shown in one copy.
    TRect client = ClientRect();
    if (client.right <= 0 || client.bottom <= 0) return;
    const pw::gdi::MemoryDC buffer(DC, client.right, client.bottom);
    HDC memory = buffer.Get();
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), reinterpret_cast<LPARAM>(memory));
    PaintWindow(memory);
    PaintControls(memory, nullptr);
    BitBlt(DC, Area.left, Area.top, Area.right - Area.left, Area.bottom - Area.top, memory, Area.left,
           Area.top, SRCCOPY);
}

bool TWinControl::IsControlMouseMsg(TWMMouse Message) {
    TControl* target = nullptr;
    TControl* cap = pw::vcl::CaptureControl();
    if (cap && cap->Parent() == this && !dynamic_cast<TWinControl*>(cap)) {
        target = cap;
    } else if (!cap || cap == this) {
        target = ControlAtPos(Message.Pos(), false);
    }
    if (!target) return false;
    const POINT p = Message.Pos();
    Message.Result = target->Perform(Message.Msg, Message.Keys(),
                                     PackPoint(POINT{p.x - target->Left(), p.y - target->Top()}));
    return true;
}

void TWinControl::TrackMouse(TWMMouse Message) {
    TControl* target = ControlAtPos(Message.Pos(), true);
    if (!target) target = this;
    if (pw::vcl::MouseControl() != target) {
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = handle_;
        TrackMouseEvent(tme);
        pw::vcl::SetMouseControl(target);
    }
    POINT screen = Message.Pos();
    ::ClientToScreen(handle_, screen);
    pw::vcl::MouseMoved(screen);
}

void TWinControl::ReleaseWhenIdle() {
    releasePending_ = true;
    if (busy_ != 0) return;
    releasePending_ = false;
    delete this;
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        return WMPaint(TWMPaint(Message));
    case WM_ERASEBKGND:
        return WMEraseBkgnd(TWMEraseBkgnd(Message));
    case WM_SETFOCUS:
        return WMSetFocus(Message);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
        return HandleKeyMessage(Message);
    case WM_COMMAND:
        return Reflect(TWMCommand(Message).Ctl(), Message);
    case WM_HSCROLL:
    case WM_VSCROLL:
        return Reflect(TWMScroll(Message).ScrollBar(), Message);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
        return Reflect(TWMCtlColor(Message).ChildWnd(), Message);
    case WM_NOTIFY:
        return Reflect(TWMNotify(Message).Sender(), Message);
    case WM_DRAWITEM:
        return WMDrawItem(TWMDrawItem(Message));
    case WM_CONTEXTMENU:
        return WMContextMenu(TWMContextMenu(Message));
    case WM_SIZE:
        return WMSize(Message);
    case WM_MOVE:
        return WMMove(Message);
    case WM_SETCURSOR:
        return WMSetCursor(TWMSetCursor(Message));
    case WM_MOUSELEAVE:
        return WMMouseLeave(Message);
    case WM_CAPTURECHANGED:
        return WMCaptureChanged(TWMCaptureChanged(Message));
    default:
        return ControlMessage(Message);
    }
}

// The class library's own messages, and the rest.
void TWinControl::ControlMessage(TMessage& Message) {
    switch (Message.Msg) {
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
        return CNKeyDown(TWMKey(Message));
    case CN_CHAR:
        return CNChar(TWMChar(Message));
    case CN_SYSCHAR:
        return DialogChar(TWMChar(Message));
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
        return Broadcast(Message);
    case CM_FOCUSCHANGED:
        return BroadcastAll(Message);
    case CM_ENABLEDCHANGED:
        return CMEnabledChanged();
    case CM_VISIBLECHANGED:
        return UpdateShowing();
    case CM_TEXTCHANGED:
        return; // SetTextValue gave the window its text already
    case CM_FONTCHANGED:
        return ParentPropertyChanged(CM_PARENTFONTCHANGED, true);
    case CM_COLORCHANGED:
        return ParentPropertyChanged(CM_PARENTCOLORCHANGED, true);
    case CM_SHOWHINTCHANGED:
        return ParentPropertyChanged(CM_PARENTSHOWHINTCHANGED, false);
    case CM_RELEASE:
        return ReleaseWhenIdle();
    default:
        return Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MBUTTONDBLCLK
                   ? MouseMessage(TWMMouse(Message))
                   : TControl::WndProc(Message);
    }
}

void TWinControl::WMPaint(TWMPaint Message) {
    // With no windowless children to draw over it, the window paints itself the way its class does.
    if (!controlState_.Contains(csCustomPaint) && controls_.empty() && (!doubleBuffered_ || Message.DC()))
        DefaultHandler(Message);
    else
        PaintHandler(Message);
}

void TWinControl::WMEraseBkgnd(TWMEraseBkgnd Message) {
    Message.Result = 1;
    // A double-buffered control erases only in its buffer.
    if (doubleBuffered_ && !Message.IntoBuffer()) return;
    const pw::gdi::OwnedObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(Color())));
    TRect r = ClientRect();
    FillRect(Message.DC(), &r, brush.Get());
}

void TWinControl::WMSetFocus(TMessage& Message) {
    DefaultHandler(Message);
    if (TCustomForm* form = GetParentForm(this)) form->SetFocusedControl(this);
}

// A key the control does not want as input may be a dialog key of its form (Tab, arrows, Enter...).
void TWinControl::CNKeyDown(TWMKey Message) {
    LRESULT mask = 0;
    switch (Message.CharCode()) {
    case VK_TAB:
        mask = DLGC_WANTTAB;
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        mask = DLGC_WANTARROWS;
        break;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_CANCEL:
        mask = DLGC_WANTALLKEYS;
        break;
    default:
        break;
    }
    if (mask && Perform(CM_WANTSPECIALKEY, Message.CharCode(), Message.KeyData()) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
        if (TCustomForm* form = GetParentForm(this))
            if (form->Perform(CM_DIALOGKEY, Message.CharCode(), Message.KeyData()) != 0) Message.Result = 1;
    }
}

void TWinControl::CNChar(TWMChar Message) {
    if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0) DialogChar(Message);
}

// A character the control does not take may be a form's accelerator.
void TWinControl::DialogChar(TWMChar Message) {
    if (TCustomForm* form = GetParentForm(this))
        if (form->Perform(CM_DIALOGCHAR, Message.Character(), Message.KeyData()) != 0) Message.Result = 1;
}

void TWinControl::BroadcastAll(TMessage& Message) {
    for (size_t i = 0; i < controls_.size(); ++i)
        controls_[i]->WndProc(Message);
}

// A child's notification goes back to the child as CN_*; other windows' go the usual way.
void TWinControl::Reflect(HWND Child, TMessage& Message) {
    if (!ReflectTo(Child, Message)) ControlMessage(Message);
}

// An owner-drawn child is drawn by its own control.
void TWinControl::WMDrawItem(TWMDrawItem Message) {
    const DRAWITEMSTRUCT* item = Message.DrawItemStruct();
    Reflect(item ? item->hwndItem : nullptr, Message);
}

// A windowless child under the pointer offers its own menu first.
void TWinControl::WMContextMenu(TWMContextMenu Message) {
    if (!Message.FromKeyboard()) {
        const TPoint screen = Message.Pos();
        TControl* c = ControlAtPos(ScreenToClient(screen), false);
        if (c && c->PopupMenu()) {
            c->PopupMenu()->Popup(screen.x, screen.y);
            Message.Result = 1;
            return;
        }
    }
    ControlMessage(Message);
}

void TWinControl::WMSize(TMessage& Message) {
    DefaultHandler(Message);
    UpdateBounds();
    TRect r = ClientRect();
    TPoint size{r.right, r.bottom};
    if (size == lastClientSize_) return;
    lastClientSize_ = size;
    AnchorChildren();
    Realign();
    Resize();
}

void TWinControl::WMMove(TMessage& Message) {
    DefaultHandler(Message);
    UpdateBounds();
}

void TWinControl::WMSetCursor(TWMSetCursor Message) {
    if (Message.CursorWnd() == handle_ && Message.HitTest() == HTCLIENT) {
        TCursor cursor = Screen->Cursor();
        if (cursor == crDefault) {
            POINT p;
            GetCursorPos(p);
            ::ScreenToClient(handle_, p);
            TControl* c = ControlAtPos(p, false);
            cursor = c ? c->Cursor() : crDefault;
            if (cursor == crDefault) cursor = Cursor();
        }
        if (cursor != crDefault) {
            ::SetCursor(Screen->Cursors(cursor));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMMouseLeave(TMessage& Message) {
    TControl* mc = pw::vcl::MouseControl();
    if (mc && (mc == this || (mc->Parent() == this && !dynamic_cast<TWinControl*>(mc))))
        pw::vcl::SetMouseControl(nullptr);
    DefaultHandler(Message);
}

void TWinControl::WMCaptureChanged(TWMCaptureChanged Message) {
    TControl* cap = pw::vcl::CaptureControl();
    if (cap && (cap == this || cap->Parent() == this) && Message.NewCapture() != handle_)
        pw::vcl::SetCaptureControl(nullptr);
    DefaultHandler(Message);
}

void TWinControl::CMEnabledChanged() {
    if (handle_) EnableWindow(handle_, Enabled());
    Invalidate();
}

void TWinControl::ParentPropertyChanged(UINT ChildMsg, bool Redraw) {
    NotifyControls(ChildMsg);
    if (Redraw) Invalidate();
}

void TWinControl::MouseMessage(TWMMouse Message) {
    if (Message.Msg == WM_MOUSEMOVE) TrackMouse(Message);
    auto alive = AliveToken();
    if (IsControlMouseMsg(Message)) {
        // The window's own default handling still runs (a right click still asks for a context menu).
        if (!alive.expired() && Message.Result == 0 && handle_) DefWindowProc(handle_, Message);
        return;
    }
    TControl::WndProc(Message);
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (!handle_) return;
    if (defWndProc_)
        Message.Result = CallWindowProc(defWndProc_, handle_, Message);
    else
        Message.Result = DefWindowProc(handle_, Message);
}

bool TWinControl::ReflectTo(HWND Child, TMessage& Message) {
    TWinControl* control = Child && Child != handle_ ? FindControl(Child) : nullptr;
    if (!control) return false;
    TMessage reflected{CN_BASE + Message.Msg, Message.WParam, Message.LParam, 0};
    control->WndProc(reflected);
    Message.Result = reflected.Result;
    return true;
}

void TWinControl::HandleKeyMessage(TMessage& Message) {
    auto alive = AliveToken();
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!KeyDownHandled(TWMKey(Message)) && !alive.expired()) DefaultHandler(Message);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (!KeyUpHandled(TWMKey(Message)) && !alive.expired()) DefaultHandler(Message);
        return;
    case WM_CHAR:
    case WM_SYSCHAR:
        if (!CharHandled(TWMChar(Message)) && !alive.expired()) DefaultHandler(Message);
        return;
    default:
        DefaultHandler(Message);
    }
}

// Each of these answers true when the key went no further: the control took it, or a handler freed it.
// A key handler may change the key before the window sees it.
bool TWinControl::KeyDownHandled(TWMKey Message) {
    auto alive = AliveToken();
    if (Perform(CN_BASE + Message.Msg, Message.CharCode(), Message.KeyData()) != 0 || alive.expired())
        return true;
    WORD key = Message.CharCode();
    if (!DoKeyDown(key, KeyDataToShiftState(Message.KeyData())) || alive.expired()) return true;
    Message.SetCharCode(key);
    return false;
}

bool TWinControl::KeyUpHandled(TWMKey Message) {
    auto alive = AliveToken();
    WORD key = Message.CharCode();
    if (!DoKeyUp(key, KeyDataToShiftState(Message.KeyData())) || alive.expired()) return true;
    Message.SetCharCode(key);
    return false;
}

bool TWinControl::CharHandled(TWMChar Message) {
    auto alive = AliveToken();
    if (Perform(Message.Msg == WM_CHAR ? CN_CHAR : CN_SYSCHAR, Message.Character(), Message.KeyData()) != 0 ||
        alive.expired())
        return true;
    if (Message.Msg != WM_CHAR || Message.Character() >= 0x80) return false;
    char key = static_cast<char>(Message.Character());
    if (!DoKeyPress(key) || alive.expired()) return true;
    Message.SetCharacter(static_cast<unsigned char>(key));
    return false;
}

bool TWinControl::DoKeyDown(WORD& Key, TShiftState Shift) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != static_cast<TControl*>(this) && form->KeyPreview()) {
        auto alive = AliveToken();
        if (!static_cast<TWinControl*>(form)->DoKeyDown(Key, Shift) || alive.expired()) return false;
    }
    KeyDown(Key, Shift);
    return Key != 0;
}

bool TWinControl::DoKeyUp(WORD& Key, TShiftState Shift) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != static_cast<TControl*>(this) && form->KeyPreview()) {
        auto alive = AliveToken();
        if (!static_cast<TWinControl*>(form)->DoKeyUp(Key, Shift) || alive.expired()) return false;
    }
    KeyUp(Key, Shift);
    return Key != 0;
}

bool TWinControl::DoKeyPress(char& Key) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != static_cast<TControl*>(this) && form->KeyPreview()) {
        auto alive = AliveToken();
        if (!static_cast<TWinControl*>(form)->DoKeyPress(Key) || alive.expired()) return false;
    }
    KeyPress(Key);
    return Key != 0;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}
