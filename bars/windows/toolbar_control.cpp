// The toolbar window: its making for a docking style, its moves between docked and floating, the
// end mark and its timer, the caption buttons' places, and the window procedure.
#include "bars/windows/toolbar_control.h"

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_strings.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/painter.h"
#include "bars/windows/bar_hints.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/mdi_menus.h"
#include "bars/windows/quick_customize.h"
#include "platform/gdi/metrics.h"
#include "platform/gui/input.h"
#include "platform/gui/menus.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/messages.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/wintypes.h"
#include "platform/vcl/form.h"

namespace bars {

namespace {

// A floating toolbar's hot mark lies in its frame, which tells no leaving: a timer looks.
constexpr UINT_PTR MarkTimerId = 1;
constexpr UINT MarkTimerInterval = 50;

} // namespace

TdxBarControl::TdxBarControl(TdxBarManager* AOwner, TdxBar* ABar)
    : TCustomdxBarControl(AOwner, ABar->ItemLinks()), bar_(ABar) {
    dockingStyle_ = ABar->DockingStyle();
}

TdxBarControl::~TdxBarControl() {
    destroying_ = true;
    if (TdxBarQuickControl* quick = quickControl_) {
        quickControl_ = nullptr;
        ReleaseQuickControl(quick);
    }
    LeaveKeyboardMode();
    // Its controls still know it as a toolbar while an open menu entry closes.
    SetActive(false);
    if (TdxBarItemControl* selected = Selected(); selected != nullptr && selected->Active())
        selected->ControlInactivate(true);
    if (dockSite_ != nullptr) dockSite_->RemoveBarControl(this);
    dockSite_ = nullptr;
    // Freed in the middle of a move: the window it was not using goes too.
    if (moving_) {
        HWND unused = handle_ == dockedWnd_ ? floatingWnd_ : dockedWnd_;
        if (unused != nullptr && unused != handle_) DestroyWindow(unused);
    }
}

DockControl* TdxBarControl::CurrentDockControl() const {
    return dockSite_;
}

TCustomForm* TdxBarControl::GetDockingForm() const {
    if (dockingStyle_ != dsNone && dockSite_ != nullptr)
        if (TCustomForm* form = GetParentForm(dockSite_)) return form;
    return manager_ != nullptr ? manager_->ParentForm() : nullptr;
}

RECT TdxBarControl::GetGripZone() const {
    if (dockingStyle_ == dsNone || bar_ == nullptr || bar_->BorderStyle() == bbsNone) return RECT{0, 0, 0, 0};
    return dockingStyle_ == dsTop || dockingStyle_ == dsBottom ? RECT{-100, -100, 0, 100}
                                                               : RECT{-100, -100, 100, 0};
}

void TdxBarControl::CreateForStyle() {
    TCustomForm* form = GetDockingForm();
    if (dockingStyle_ != dsNone && dockSite_ != nullptr) {
        CreateWindowHandle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, dockSite_->Handle(),
                           RECT{0, 0, 50, 30});
    } else {
        // A floating toolbar never activates: the form stays the active window.
        HWND owner = form != nullptr ? form->Handle() : nullptr;
        const POINT at = FloatingPlace(POINT{bar_->FloatLeft(), bar_->FloatTop()}, SIZE{50, 30});
        CreateWindowHandle(WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_THICKFRAME,
                           WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, owner,
                           RECT{at.x, at.y, at.x + 50, at.y + 30});
    }
    SetWindowText(handle_, bar_->Caption());
    CreateControls();
    UpdateAlpha();
}

void TdxBarControl::SetDocked(TdxBarDockingStyle Style, TComponent* DockControl) {
    auto* site = dynamic_cast<TdxDockControl*>(DockControl);
    if (handle_ != nullptr && Style == dockingStyle_ && site == dockSite_) return;
    if (Style != dockingStyle_) itemsHidden_ = false;
    if (handle_ == nullptr) {
        dockingStyle_ = Style;
        dockSite_ = Style == dsNone ? nullptr : site;
        CreateForStyle();
        return;
    }
    ChangeDockingStyle(Style, site);
}

void TdxBarControl::TakeOverHandle(HWND Wnd) {
    if (Wnd == handle_) return;
    if (handle_ != nullptr) {
        EndMouseTracking(handle_);
        SetWindowLongPtr(handle_, GWLP_USERDATA, 0);
    }
    handle_ = Wnd;
    if (handle_ != nullptr) SetWindowLongPtr(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TdxBarControl::SetMoving(bool Value) {
    if (Value == moving_ || bar_ == nullptr || handle_ == nullptr) return;
    if (Value) {
        SetCursor(LoadCursor(nullptr, IDC_SIZEALL));
        const TdxBarDockingStyle style = dockingStyle_;
        TdxDockControl* site = dockSite_;
        HWND current = handle_;
        // The other window is made as if the toolbar were in its other place, then left hidden.
        ++lockCount_;
        DestroyControls();
        TakeOverHandle(nullptr);
        if (style == dsNone) {
            dockingStyle_ = bar_->DockedDockingStyle() != dsNone ? bar_->DockedDockingStyle() : dsTop;
            dockSite_ = dynamic_cast<TdxDockControl*>(bar_->DockedDockControl());
            if (dockSite_ == nullptr && bar_->Bars() != nullptr)
                dockSite_ = dynamic_cast<TdxDockControl*>(bar_->Bars()->DockControls(dockingStyle_));
        } else {
            dockingStyle_ = dsNone;
            dockSite_ = nullptr;
        }
        CreateForStyle();
        HWND other = handle_;
        // The floating window takes its floating size now: changing over later keeps the size it has.
        if (dockingStyle_ == dsNone) {
            const SIZE size = GetSizeForDockingStyle(dsNone);
            SetWindowPos(other, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        DestroyControls();
        TakeOverHandle(current);
        dockingStyle_ = style;
        dockSite_ = site;
        CreateControls();
        CalcControlsPositions();
        --lockCount_;
        dockedWnd_ = style == dsNone ? other : current;
        floatingWnd_ = style == dsNone ? current : other;
        moving_ = true;
        UpdateAlpha();
        return;
    }
    moving_ = false;
    // The user's move of the bar ends: where it was put is theirs.
    manager_->NoteUserChange();
    HWND unused = handle_ == dockedWnd_ ? floatingWnd_ : dockedWnd_;
    dockedWnd_ = floatingWnd_ = nullptr;
    if (unused != nullptr && unused != handle_) DestroyWindow(unused);
    UpdateAlpha();
    SavePosition();
    RECT client = ClientRect();
    SendMessage(handle_, WM_SIZE, 0, PackPoint(POINT{client.right, client.bottom}));
    RepaintBar();
}

void TdxBarControl::ChangeDockingStyle(TdxBarDockingStyle Style, TdxDockControl* Site) {
    if (bar_ == nullptr || destroying_) return;
    if (moving_) {
        // Only a change of windows: both were made when the move began.
        if (dockSite_ != nullptr && dockSite_ != Site) dockSite_->RemoveBarControl(this);
        DestroyControls();
        dockingStyle_ = Style;
        dockSite_ = Style == dsNone ? nullptr : Site;
        TakeOverHandle(Style == dsNone ? floatingWnd_ : dockedWnd_);
        if (dockSite_ != nullptr && GetParent(handle_) != dockSite_->Handle())
            SetParent(handle_, dockSite_->Handle());
        CreateControls();
        UpdateAlpha();
        RepaintBar();
        return;
    }
    ++lockCount_;
    const bool wasVisible = IsWindowVisible(handle_) != 0;
    const bool hadCapture = GetCapture() == handle_;
    DestroyControls();
    DestroyWindowHandle();
    if (dockSite_ != nullptr && dockSite_ != Site) dockSite_->RemoveBarControl(this);
    dockingStyle_ = Style;
    dockSite_ = Style == dsNone ? nullptr : Site;
    CreateForStyle();
    --lockCount_;
    if (hadCapture) SetCapture(handle_);
    (void)wasVisible;
}

void TdxBarControl::ForgetBar() {
    DestroyControls();
    bar_ = nullptr;
    links_ = nullptr;
}

void TdxBarControl::SiteDestroying() {
    DestroyControls();
    DestroyWindowHandle();
    dockSite_ = nullptr;
}

void TdxBarControl::SetLockUpdate(bool Value) {
    lockUpdate_ = Value;
}

void TdxBarControl::CaptionChanged() {
    if (handle_ == nullptr) return;
    SetWindowText(handle_, bar_->Caption());
    // A floating toolbar is as wide as its caption needs: it takes its size again.
    if (dockingStyle_ == dsNone && hasCaption_) RepaintBar();
    RepaintFrame();
}

bool TdxBarControl::IsLastControl(TdxBarItemControl* Control) const {
    const auto& visible = links_->VisibleLinks();
    return Control != nullptr && !visible.empty() && visible.back() == Control->Link();
}

bool TdxBarControl::IsDockedOrNotFlat() const {
    return dockingStyle_ != dsNone || manager_->GetEffectivePaintStyle() != bmsFlat;
}

bool TdxBarControl::CanCustomizeItems() const {
    return TCustomdxBarControl::CanCustomizeItems() || (bar_ != nullptr && bar_->AllowCustomizing());
}

int TdxBarControl::GetSeparatorSize() const {
    return Painter().GetSeparatorSize();
}

HFONT TdxBarControl::GetFontHandle() const {
    if (bar_ != nullptr && bar_->UseOwnFont() && bar_->FontHandle() != nullptr) return bar_->FontHandle();
    return TCustomdxBarControl::GetFontHandle();
}

RECT TdxBarControl::GetItemRect(TdxBarItemControl* Control) const {
    RECT r = TCustomdxBarControl::GetItemRect(Control);
    if (Control == nullptr || IsRectEmpty(r) || Control->RowSize <= 0) return r;
    if (dockingStyle_ == dsLeft || dockingStyle_ == dsRight) {
        const int left = r.left - (Control->RowSize - (r.right - r.left)) / 2;
        return RECT{left, r.top, left + Control->RowSize, r.bottom};
    }
    const int top = r.top - (Control->RowSize - (r.bottom - r.top)) / 2;
    return RECT{r.left, top, r.right, top + Control->RowSize};
}

bool TdxBarControl::IsMarkVisible() const {
    return bar_ != nullptr && bar_->ShowMark() &&
           (itemsHidden_ || (Painter().IsMarkAllowed() && bar_->AllowQuickCustomizing()));
}

TdxBarItemControl* TdxBarControl::GetDropTarget(POINT P, bool& OutsideMain, bool& Vertical, bool& Before) {
    if (TdxBarItemControl* hit = TCustomdxBarControl::GetDropTarget(P, OutsideMain, Vertical, Before))
        return hit;
    if (!PtInRect(ClientRect(), P)) return nullptr;
    OutsideMain = Before = false;
    const bool vertical = dockingStyle_ == dsLeft || dockingStyle_ == dsRight;
    for (TdxBarItemLink* link : links_->ShownLinks()) {
        auto* control = dynamic_cast<TdxBarItemControl*>(link->Control());
        if (control == nullptr || !control->LastInRow || control->Item() == nullptr ||
            control->Item()->BarManager() != manager_)
            continue;
        const RECT r = link->ItemRect();
        if (vertical ? P.x < r.left || P.x >= r.right : P.y < r.top || P.y >= r.bottom) continue;
        Before = vertical ? P.y < r.top : P.x < r.left;
        return control;
    }
    return nullptr;
}

void TdxBarControl::SetMarkState(int Value) {
    if (Value == markState_ || IsCustomizing()) return;
    if (markTimer_ && handle_ != nullptr) KillTimer(handle_, MarkTimerId);
    markTimer_ = false;
    markState_ = Value;
    InvalidateMark();
    // The mark comes up: its drop-down goes.
    if (TdxBarQuickControl* quick = quickControl_; quick != nullptr && Value != 2) {
        quickControl_ = nullptr;
        ReleaseQuickControl(quick);
    }
    if (Value == 1 && dockingStyle_ == dsNone && handle_ != nullptr)
        markTimer_ = SetTimer(handle_, MarkTimerId, MarkTimerInterval, nullptr) != 0;
    if (Value == 1)
        UpdateHint(manager_, true, LoadBarString(barstr::MoreButtons));
    else if (Value == 0 && Selected() == nullptr)
        UpdateHint(manager_, false);
    if (Value == 2 && quickControl_ == nullptr) {
        quickControl_ = ShowQuickControl(this);
        // Drawn again now that it has its drop-down to join.
        if (quickControl_ != nullptr) InvalidateMark();
    }
}

RECT TdxBarControl::MarkScreenRect() {
    RECT r{0, 0, 0, 0};
    if (handle_ == nullptr) return r;
    if (dockingStyle_ != dsNone) {
        r = MarkRect();
        MapWindowPoints(handle_, nullptr, r);
        return r;
    }
    RECT window{0, 0, 0, 0};
    GetWindowRect(handle_, window);
    r = CaptionMarkRect();
    OffsetRect(r, window.left, window.top);
    return r;
}

void TdxBarControl::MarkTimer() {
    if (markState_ != 1) return;
    POINT p{0, 0};
    GetCursorPos(p);
    if (!IsWindowVisible(handle_) || !PtInRect(MarkScreenRect(), p)) SetMarkState(0);
}

TdxBarControl::MDIExtent TdxBarControl::MDIArea(bool Vertical) const {
    const int count = MDIButtonCount();
    if (count == 0) return MDIExtent{};
    const int width = GetSystemMetrics(SM_CXMENUSIZE) - 2, height = GetSystemMetrics(SM_CYMENUSIZE) - 4;
    const int along = Vertical ? height : width, across = Vertical ? width : height;
    return MDIExtent{count == 3 ? along * 3 + 2 : along, across};
}

int TdxBarControl::MDIButtonCount() const {
    if (bar_ == nullptr || manager_ == nullptr || !bar_->IsMainMenu()) return 0;
    if (MaximizedMDIChild(manager_) != nullptr) return 3;
    return manager_->ShowCloseButton() ? 1 : 0;
}

RECT TdxBarControl::MDIButtonRect(int Index) const {
    const int count = MDIButtonCount();
    if (Index < 0 || Index >= count || IsRectEmpty(mdiArea_)) return RECT{0, 0, 0, 0};
    const bool vertical = dockingStyle_ == dsLeft || dockingStyle_ == dsRight;
    const int width = GetSystemMetrics(SM_CXMENUSIZE) - 2, height = GetSystemMetrics(SM_CYMENUSIZE) - 4;
    // One pixel between the buttons.
    if (vertical) {
        const int top = mdiArea_.top + Index * (height + 1);
        return RECT{mdiArea_.left, top, mdiArea_.left + width, top + height};
    }
    const int left = mdiArea_.left + Index * (width + 1);
    return RECT{left, mdiArea_.top, left + width, mdiArea_.top + height};
}

bool TdxBarControl::MDIButtonEnabled(int Index) const {
    if (MDIButtonCount() != 3) return Index == 0;
    HWND child = MaximizedMDIChild(manager_);
    HMENU menu = child != nullptr ? GetSystemMenu(child, FALSE_) : nullptr;
    if (menu == nullptr || Index == 1) return true;
    const UINT state =
        GetMenuState(menu, static_cast<UINT>(Index == 0 ? SC_MINIMIZE : SC_CLOSE), MF_BYCOMMAND);
    return state == static_cast<UINT>(-1) || (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

void TdxBarControl::WMDestroy() {
    if (markTimer_) KillTimer(handle_, MarkTimerId);
    markTimer_ = false;
    // Its own destruction, a new window for another style, or the form going: nothing to show again.
    if (destroying_ || lockCount_ > 0 || bar_ == nullptr || manager_ == nullptr || manager_->IsDestroying() ||
        IsQuickControl())
        return;
    TCustomForm* form = manager_->ParentForm();
    if (form == nullptr || form->ComponentState().Contains(csDestroying)) return;
    TdxBar* bar = bar_;
    TdxBarManager* manager = manager_;
    // The window is gone: the toolbar lets go of it, and its site (going too) does not realign.
    EndMouseTracking(handle_);
    SetWindowLongPtr(handle_, GWLP_USERDATA, 0);
    handle_ = nullptr;
    const bool wasVisible = bar->Visible();
    TdxDockControl* site = dockSite_;
    if (site != nullptr) site->LockRealign(true);
    if (wasVisible && !bar->Hidden()) manager->AddBarToShow(bar);
    // Frees this toolbar; the site stays (only its window goes).
    bar->SetVisible(false);
    if (site != nullptr) site->LockRealign(false);
}

LRESULT TdxBarControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        NCCalcSize(TWMNCCalcSize(Message));
        return Message.Result;
    case WM_NCHITTEST:
        return NCHitTest(TWMNCHitTest(Message));
    case WM_NCPAINT:
        NCPaint();
        return 0;
    case WM_NCACTIVATE:
        return 1;
    case WM_SETCURSOR:
        return ChooseCursor(Message);
    case WM_NCLBUTTONDOWN:
        NCLButtonDown(TWMNCHitMessage(Message));
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse: the width stays as it was.
        if (editSizing_ && TWMCaptureChanged(Message).NewCapture() != handle_) EndEditSizing(false);
        return TCustomdxBarControl::WndProc(Message);
    case WM_TIMER:
        if (TWMTimer(Message).TimerID() != MarkTimerId) return TCustomdxBarControl::WndProc(Message);
        MarkTimer();
        return 0;
    case WM_DESTROY: {
        const LRESULT result = DefaultHandler(Message);
        WMDestroy();
        return result;
    }
    case WM_SIZING:
        Sizing(TWMSizing(Message));
        return 1;
    case WM_ENTERSIZEMOVE:
        return EnterSizeMove(Message);
    case WM_EXITSIZEMOVE:
        return ExitSizeMove(Message);
    case WM_GETMINMAXINFO:
        return GetMinMaxInfo(Message);
    case WM_WINDOWPOSCHANGED:
        return WindowPosChanged(Message);
    case WM_RBUTTONDOWN:
        return RButtonDown(Message);
    case WM_LBUTTONDBLCLK:
        return LButtonDblClk(Message);
    default:
        return TCustomdxBarControl::WndProc(Message);
    }
}

} // namespace bars
