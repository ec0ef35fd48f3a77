// What a windowed control does with its messages: the dispatch to its handlers, painting itself and its
// windowless children, mouse messages for those children, and reflected notifications.

#include "platform/vcl/win_control.h"

#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/owner_draw.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/rtl/scope_guard.h"
#include "platform/vcl/form.h"
#include "platform/vcl/screen.h"
#include "platform/vcl/vcl_state.h"

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
    ClientSizeChanged();
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
