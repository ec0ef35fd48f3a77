// The toolbar window: its frame, caption and grip, painting, keyboard mode, the mark, and moves.
#include "bars/windows/toolbar_control.h"

#include <algorithm>
#include <utility>

#include "bars/core/backgrounds.h"
#include "bars/core/bar_drawing.h"
#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_strings.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/painter.h"
#include "bars/windows/bar_hints.h"
#include "bars/windows/bar_hooks.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/mdi_menus.h"
#include "bars/windows/quick_customize.h"
#include "bars/windows/toolbars_popup.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/object_links.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_structs.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/muldiv.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/drag_detect.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/menus.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/messages.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/wintypes.h"
#include "platform/vcl/form.h"

namespace bars {

namespace {

// A floating toolbar's hot mark lies in its frame, which tells no leaving: a timer looks.
constexpr UINT_PTR MarkTimerId = 1;
constexpr UINT MarkTimerInterval = 50;
// The strips at the ends of a sizable control that take its width, and the lines of the frame shown.
constexpr int EditSizingStrip = 7;
constexpr int EditSizingLine = 2;
// WM_SIZING's edge codes.
constexpr WPARAM SizingLeft = 1, SizingRight = 2, SizingTop = 3, SizingBottom = 6;

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

POINT TdxBarControl::GrabOffsetFor(SIZE Size) const {
    if (GrabSize.cx <= 0 || GrabSize.cy <= 0) return GrabOffset;
    return POINT{MulDiv(Size.cx, GrabOffset.x, GrabSize.cx), MulDiv(Size.cy, GrabOffset.y, GrabSize.cy)};
}

SIZE TdxBarControl::FloatingSize() {
    return GetSizeForDockingStyle(dsNone);
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

void TdxBarControl::RepaintBackground() {
    if (handle_ != nullptr) InvalidateRect(handle_, nullptr, FALSE_);
}

void TdxBarControl::RepaintFrame() {
    if (handle_ != nullptr) SendMessage(handle_, WM_NCPAINT, 1, 0);
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

HFONT TdxBarControl::PaintFont() const {
    const HFONT font = GetFontHandle();
    if (font == nullptr || !IsRotatedBarControl(const_cast<TdxBarControl*>(this))) return font;
    if (!turnedFont_ || turnedFrom_ != font) {
        LOGFONT lf;
        if (GetObject(font, sizeof(lf), &lf) != static_cast<int>(sizeof(lf))) return font;
        lf.lfEscapement = -900;
        lf.lfOrientation = -900;
        lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
        turnedFont_.Reset(CreateFontIndirect(&lf));
        turnedFrom_ = font;
    }
    return turnedFont_ ? turnedFont_.Get() : font;
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

HBRUSH TdxBarControl::GetBkBrush() const {
    return Painter().GetToolbarBrush(const_cast<TdxBarControl&>(*this));
}

bool TdxBarControl::IsMarkVisible() const {
    return bar_ != nullptr && bar_->ShowMark() &&
           (itemsHidden_ || (Painter().IsMarkAllowed() && bar_->AllowQuickCustomizing()));
}

bool TdxBarControl::IsMouseStill(POINT Client) {
    if (TCustomdxBarControl::IsMouseStill(Client)) return true;
    if (dockingStyle_ == dsNone) return false;
    // Docked toolbars do not hot-track while their form is inactive. An MDI frame is active whenever
    // the program is: its active child holds the activation in its place.
    TCustomForm* form = manager_->ParentForm();
    if (form == nullptr || !form->HandleAllocated()) return false;
    HWND active = GetActiveWindow();
    if (form->FormStyle() == fsMDIForm) return active == nullptr;
    return active != form->Handle() && GetWindow(active, GW_OWNER) != form->Handle();
}

void TdxBarControl::RepaintControl(TdxBarItemControl* Control) {
    if (Locked() || handle_ == nullptr || Control == nullptr) return;
    if (InvalidateOnSelect()) {
        TCustomdxBarControl::RepaintControl(Control);
        return;
    }
    // Drawn at once, and only the control reaches the screen.
    const RECT r = GetItemRect(Control);
    if (IsRectEmpty(r)) return;
    InvalidateRect(handle_, &r, FALSE_);
    UpdateWindow(handle_);
}

void TdxBarControl::SetActive(bool Value) {
    if (!Value) {
        if (auto* button = dynamic_cast<TdxBarButtonControl*>(Selected());
            button != nullptr && button->DroppedDown())
            button->ControlInactivate(true);
        menuOpened_ = false;
    }
    TCustomdxBarControl::SetActive(Value);
    if (!Value) LeaveKeyboardMode();
}

void TdxBarControl::SelectControlByKey(TdxBarItemControl* Control) {
    TdxBarItemControl* old = Selected();
    TCustomdxBarControl::SelectControlByKey(Control);
    if (Control == nullptr || Control == old || Selected() != Control || Control->Active() || IsCustomizing())
        return;
    // A menu entry opens its menu when the bar is in menu mode.
    if (Control->IsExpandable())
        Control->BeforeClick(false);
    else
        Control->ControlActivate(true);
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

void TdxBarControl::DrawBackground(HDC DC, const RECT& R, HBRUSH Brush) {
    RECT window{0, 0, 0, 0};
    if (handle_ != nullptr) GetWindowRect(handle_, window);
    POINT origin{0, 0};
    if (handle_ != nullptr) ClientToScreen(handle_, origin);
    // Tiles start at the window's corner, whatever part of it is painted.
    const RECT tiles{window.left - origin.x, window.top - origin.y, window.right - origin.x,
                     window.bottom - origin.y};
    TBitmap* own = bar_->BackgroundBitmap();
    TdxBarBackgrounds* backgrounds = manager_->Backgrounds();
    TBitmap* shared = backgrounds != nullptr ? backgrounds->Bar() : nullptr;
    // A borderless bar across the bottom row stands as the form's status bar and looks like one.
    const bool statusBar = bar_->BorderStyle() == bbsNone && dockingStyle_ == dsBottom && bar_->WholeRow();
    if (own != nullptr && !own->Empty()) {
        FillRectWithBitmap(DC, R, tiles, own, clNone, Brush);
    } else if (statusBar && (shared == nullptr || shared->Empty())) {
        Painter().DrawStatusBarBackground(*this, DC, Brush, tiles, R);
    } else if (shared != nullptr && !shared->Empty()) {
        FillRectWithBitmap(DC, R, tiles, shared, clNone, Brush);
    } else if (bar_->Color() != clDefault) {
        FillRectByColor(DC, R, bar_->Color());
    } else if (dockSite_ != nullptr && dockingStyle_ != dsNone && dockSite_->HasCustomBackground()) {
        // The site's own picture or colour shows through; its origin is where this client lies in it.
        POINT inSite{0, 0};
        if (handle_ != nullptr) MapWindowPoints(handle_, dockSite_->Handle(), &inSite, 1);
        dockSite_->DrawBackground(DC, R, inSite, nullptr);
    } else {
        TCustomdxBarControl::DrawBackground(DC, R, Brush);
    }
}

bool TdxBarControl::OnEditSizingEdge(POINT Client, bool& RightEdge) const {
    TdxBarItemControl* control = Selected();
    if (!IsCustomizing() || control == nullptr || !control->CanSizeWidth()) return false;
    const RECT r = control->Bounds();
    if (Client.y < r.top || Client.y >= r.bottom) return false;
    if (Client.x >= r.left && Client.x < r.left + EditSizingStrip) {
        RightEdge = false;
        return true;
    }
    if (Client.x >= r.right - EditSizingStrip && Client.x < r.right) {
        RightEdge = true;
        return true;
    }
    return false;
}

RECT TdxBarControl::EditSizingFrame() const {
    const TdxBarItemControl* control = SizingControl();
    RECT r = control != nullptr ? control->Bounds() : RECT{0, 0, 0, 0};
    if (editSizingRightEdge_)
        r.right = r.left + editSizeWidth_;
    else
        r.left = r.right - editSizeWidth_;
    return r;
}

void TdxBarControl::InvertEditSizingFrame() {
    if (handle_ == nullptr) return;
    const pw::gui::WindowDC dc(handle_, pw::gui::WindowDC::Area::Client);
    const RECT r = EditSizingFrame();
    const int w = r.right - r.left, h = r.bottom - r.top;
    PatBlt(dc.Get(), r.left, r.top, w, EditSizingLine, PATINVERT);
    PatBlt(dc.Get(), r.left, r.bottom - EditSizingLine, w, EditSizingLine, PATINVERT);
    PatBlt(dc.Get(), r.left, r.top + EditSizingLine, EditSizingLine, h - 2 * EditSizingLine, PATINVERT);
    PatBlt(dc.Get(), r.right - EditSizingLine, r.top + EditSizingLine, EditSizingLine, h - 2 * EditSizingLine,
           PATINVERT);
}

void TdxBarControl::EndEditSizing(bool Apply) {
    if (!editSizing_) return;
    InvertEditSizingFrame();
    editSizing_ = false;
    TdxBarItemControl* control = SizingControl();
    editSizingLink_.reset();
    if (GetCapture() == handle_) ReleaseCapture();
    if (control == nullptr) return;
    const RECT r = control->Bounds();
    if (Apply && editSizeWidth_ != r.right - r.left)
        control->Link()->SetUserWidth(editSizeWidth_);
    else
        control->Repaint();
}

void TdxBarControl::UpdateAlpha() {
    if (bar_ == nullptr) return;
    // While it moves, the floating window (whichever shows) takes the bar's transparency.
    HWND wnd = moving_ ? floatingWnd_ : handle_;
    if (wnd == nullptr) return;
    const int alpha = !moving_ && dockingStyle_ != dsNone ? 255 : bar_->AlphaBlendValue();
    const LONG ex = GetWindowLong(wnd, GWL_EXSTYLE);
    if (alpha >= 255) {
        if ((ex & WS_EX_LAYERED) != 0) SetWindowLong(wnd, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
        return;
    }
    if ((ex & WS_EX_LAYERED) == 0) SetWindowLong(wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAttributes(wnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

void TdxBarControl::HideAll() {
    LeaveKeyboardMode();
    TCustomdxBarControl::HideAll();
}

void TdxBarControl::EnterKeyboardMode(TdxBarItemControl* Control) {
    if (keyboardMode_) return;
    // The form's controls (and its active MDI child's) end what they hold the mouse or keys for: the
    // bar takes the keyboard now.
    if (TCustomForm* form = manager_->ParentForm()) form->SendCancelMode(nullptr);
    savedFocus_ = GetFocus();
    if (Control == nullptr) {
        TdxBarItemLink* first = links_->FirstSelectable();
        Control = first != nullptr ? dynamic_cast<TdxBarItemControl*>(first->Control()) : nullptr;
    }
    keyboardMode_ = true;
    manager_->SetFocusedBarControl(this);
    SelectControlByKey(Control);
    SetActive(true);
}

void TdxBarControl::LeaveKeyboardMode() {
    if (!keyboardMode_) return;
    keyboardMode_ = false;
    if (manager_->FocusedBarControl() == this) manager_->SetFocusedBarControl(nullptr);
    SelectControlByKey(nullptr);
    SetActive(false);
    // The window under the pointer hot-tracks again at once.
    if (handle_ != nullptr && !destroying_) {
        POINT p{0, 0};
        GetCursorPos(p);
        ScreenToClient(handle_, p);
        ForgetCursorPos();
        PostMessage(handle_, WM_MOUSEMOVE, 0, PackPoint(p));
    }
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

RECT TdxBarControl::MarkDroppedDownJoint() const {
    if (markState_ != 2 || quickControl_ == nullptr || quickControl_->Handle() == nullptr ||
        handle_ == nullptr)
        return RECT{0, 0, 0, 0};
    RECT joint = quickControl_->GetJointRect(true);
    if (IsRectEmpty(joint)) return joint;
    if (dockingStyle_ != dsNone) {
        MapWindowPoints(nullptr, handle_, joint);
        return joint;
    }
    RECT window{0, 0, 0, 0};
    GetWindowRect(handle_, window);
    OffsetRect(joint, -window.left, -window.top);
    return joint;
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

void TdxBarControl::SetMDIHot(int Index) {
    if (Index == mdiHot_) return;
    mdiHot_ = Index;
    if (handle_ != nullptr) InvalidateRect(handle_, &mdiArea_, FALSE_);
}

bool TdxBarControl::TrackPress(bool NonClient, const std::function<void(const MSG&)>& Move,
                               const std::function<void()>& Release) {
    SetCapture(handle_);
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    MSG msg;
    while (self->Ref != nullptr && GetCapture() == handle_) {
        if (!GetMessage(msg, nullptr, 0, 0)) {
            PostQuitMessage(QuitExitCode(msg));
            break;
        }
        const bool move = msg.message == WM_MOUSEMOVE ? NonClient || msg.hwnd == handle_
                                                      : NonClient && msg.message == WM_NCMOUSEMOVE;
        if (move) {
            Move(msg);
            continue;
        }
        if (msg.message == WM_LBUTTONUP || (NonClient && msg.message == WM_NCLBUTTONUP)) {
            Release();
            break;
        }
        TranslateMessage(msg);
        DispatchMessage(msg);
    }
    if (self->Ref == nullptr) return false;
    if (GetCapture() == handle_) ReleaseCapture();
    return true;
}

void TdxBarControl::MDIButtonPress(int Index) {
    mdiPressed_ = Index;
    SetMDIHot(Index);
    bool clicked = false;
    const bool lives = TrackPress(
        false,
        [&](const MSG& msg) {
            POINT p = msg.pt;
            ScreenToClient(handle_, p);
            SetMDIHot(PtInRect(MDIButtonRect(Index), p) ? Index : -1);
        },
        [&] { clicked = mdiHot_ == Index; });
    if (!lives) return;
    const int kind = MDIButtonKind(Index);
    const bool lone = MDIButtonCount() == 1;
    mdiPressed_ = -1;
    SetMDIHot(-1);
    if (!clicked) return;
    if (lone) {
        manager_->DoCloseButtonClick();
        return;
    }
    static constexpr WPARAM commands[3] = {SC_MINIMIZE, SC_RESTORE, SC_CLOSE};
    if (HWND child = MaximizedMDIChild(manager_)) SendMessage(child, WM_SYSCOMMAND, commands[kind], 0);
}

RECT TdxBarControl::MarkRect() {
    return Painter().GetMarkRect(*this);
}

void TdxBarControl::InvalidateMark() {
    if (handle_ != nullptr) Painter().InvalidateMark(*this);
}

RECT TdxBarControl::WindowBorders() const {
    const TdxBarItemControlPainter& painter = Painter();
    if (dockingStyle_ == dsNone) {
        const int bw = painter.GetFloatingBorderWidth(), bh = painter.GetFloatingBorderHeight();
        if (!hasCaption_) return RECT{bw, bh, bw, bh};
        // The frame of a sizeable tool window with its own small caption (and the line under it).
        if (painter.UseSystemFloatingFrame())
            return RECT{GetSystemMetrics(SM_CXSIZEFRAME),
                        GetSystemMetrics(SM_CYSIZEFRAME) + painter.GetFloatingCaptionAreaHeight(bar_),
                        GetSystemMetrics(SM_CXSIZEFRAME), GetSystemMetrics(SM_CYSIZEFRAME)};
        return RECT{bw + painter.GetFloatingSideBorder(),
                    bh + painter.GetFloatingCaptionAreaHeight(bar_) + painter.GetFloatingTopBorder(),
                    bw + painter.GetFloatingSideBorder(), bh + painter.GetFloatingBottomBorder()};
    }
    if (bar_->BorderStyle() == bbsNone) {
        RECT r{0, 0, 0, 0};
        if (dockingStyle_ == dsBottom && bar_->WholeRow()) r.top = painter.GetDockedTopExtra(bar_);
        if (bar_->ShowsSizeGrip()) r.right = painter.GetSizeGripSize(bar_);
        return r;
    }
    RECT r = painter.GetDockedBorders(bar_, dockingStyle_);
    const int grip = bar_->CanMove() ? manager_->GripAreaSize() : painter.GetFloatingExtraSize();
    if (dockingStyle_ == dsTop || dockingStyle_ == dsBottom)
        r.left += grip;
    else
        r.top += grip;
    return r;
}

RECT TdxBarControl::CloseButtonRect() const {
    if (dockingStyle_ != dsNone || !hasCaption_ || bar_ == nullptr || !bar_->CanClose() || handle_ == nullptr)
        return RECT{0, 0, 0, 0};
    RECT window{0, 0, 0, 0};
    GetWindowRect(handle_, window);
    const TdxBarItemControlPainter& painter = Painter();
    const int bw = painter.GetFloatingBorderWidth(), bh = painter.GetFloatingBorderHeight();
    const int h = painter.GetCaptionHeight();
    const int right = window.right - window.left - bw;
    RECT r{right - h, bh, right, bh + h};
    // A button the painter makes smaller than the caption's square stands in its middle.
    const SIZE size = painter.GetCaptionButtonSize();
    if (r.right - r.left > size.cx) {
        r.left += (r.right - r.left - size.cx) / 2;
        r.right = r.left + size.cx;
    }
    if (r.bottom - r.top > size.cy) {
        r.top += (r.bottom - r.top - size.cy) / 2;
        r.bottom = r.top + size.cy;
    }
    return r;
}

bool TdxBarControl::DockSiteRect(RECT& R) const {
    if (dockingStyle_ == dsNone || dockSite_ == nullptr || handle_ == nullptr ||
        dockSite_->Handle() == nullptr)
        return false;
    GetClientRect(dockSite_->Handle(), R);
    MapWindowPoints(dockSite_->Handle(), handle_, R);
    return true;
}

DockPaintView* TdxBarControl::PaintDockSite() const {
    return dockingStyle_ != dsNone ? dockSite_ : nullptr;
}

RECT TdxBarControl::CaptionMarkRect() const {
    if (dockingStyle_ != dsNone || !hasCaption_ || handle_ == nullptr || !IsMarkVisible())
        return RECT{0, 0, 0, 0};
    RECT window{0, 0, 0, 0};
    GetWindowRect(handle_, window);
    const TdxBarItemControlPainter& painter = Painter();
    const int bw = painter.GetFloatingBorderWidth(), bh = painter.GetFloatingBorderHeight();
    const RECT caption{bw, bh, window.right - window.left - bw, bh + painter.GetCaptionHeight()};
    return painter.GetCaptionMarkRect(caption, bar_->CanClose());
}

void TdxBarControl::NCCalcSize(TWMNCCalcSize Message) {
    RECT* r = Message.ClientRect();
    if (r == nullptr) return;
    const RECT b = WindowBorders();
    r->left += b.left;
    r->top += b.top;
    r->right -= b.right;
    r->bottom -= b.bottom;
    if (r->right < r->left) r->right = r->left;
    if (r->bottom < r->top) r->bottom = r->top;
    Message.Result = 0;
}

LRESULT TdxBarControl::NCHitTest(TWMNCHitTest Message) {
    POINT screen = Message.Pos();
    RECT window{0, 0, 0, 0};
    GetWindowRect(handle_, window);
    const POINT w{screen.x - window.left, screen.y - window.top};
    POINT client = screen;
    ScreenToClient(handle_, client);
    const RECT clientRect = ClientRect();
    auto usable = [&](TdxBarItemControl* c) { return c != nullptr && (IsCustomizing() || c->CanSelect()); };
    if (dockingStyle_ != dsNone) {
        if (usable(ItemAtPos(client))) {
            ncHitCode_ = HTCLIENT;
            return HTCLIENT;
        }
        const bool horizontal = dockingStyle_ == dsTop || dockingStyle_ == dsBottom;
        if ((horizontal && client.x >= 0) || (!horizontal && client.y >= 0)) {
            if ((IsMarkVisible() && PtInRect(Painter().CalcMarkRect(*this), client)) ||
                PtInRect(mdiArea_, client)) {
                ncHitCode_ = HTCLIENT;
                return HTCLIENT;
            }
            if (bar_->ShowsSizeGrip() && client.x >= clientRect.right) {
                ncHitCode_ = HTBOTTOMRIGHT;
                return HTBOTTOMRIGHT;
            }
        }
        ncHitCode_ = HTCAPTION;
        return HTCLIENT;
    }
    // Floating: the frame sizes (corners act as edges), the caption moves, the close button closes.
    const TdxBarItemControlPainter& painter = Painter();
    const int bw = painter.GetFloatingBorderWidth(), bh = painter.GetFloatingBorderHeight();
    const int width = window.right - window.left, height = window.bottom - window.top;
    if (w.y < bh) {
        ncHitCode_ = HTTOP;
        return HTTOP;
    }
    if (w.y >= height - bh) {
        ncHitCode_ = HTBOTTOM;
        return HTBOTTOM;
    }
    if (w.x < bw) {
        ncHitCode_ = HTLEFT;
        return HTLEFT;
    }
    if (w.x >= width - bw) {
        ncHitCode_ = HTRIGHT;
        return HTRIGHT;
    }
    if (!PtInRect(clientRect, client)) {
        if (IsMarkVisible() && !IsCustomizing() && PtInRect(CaptionMarkRect(), w)) {
            ncHitCode_ = HTCLIENT;
            return HTCLIENT;
        }
        if (PtInRect(CloseButtonRect(), w)) {
            ncHitCode_ = HTCLOSE;
            return HTCLIENT;
        }
        ncHitCode_ = HTCAPTION;
        return HTCLIENT;
    }
    if (usable(ItemAtPos(client)) || PtInRect(mdiArea_, client)) {
        ncHitCode_ = HTCLIENT;
        return HTCLIENT;
    }
    ncHitCode_ = HTCAPTION;
    return HTCLIENT;
}

void TdxBarControl::NCPaint() {
    if (handle_ == nullptr) return;
    const pw::gui::WindowDC dc(handle_, pw::gui::WindowDC::Area::Window);
    RECT window{0, 0, 0, 0};
    GetWindowRect(handle_, window);
    const RECT all{0, 0, window.right - window.left, window.bottom - window.top};
    const RECT b = WindowBorders();
    const RECT inner{b.left, b.top, all.right - b.right, all.bottom - b.bottom};
    const pw::gdi::SavedDC saved(dc.Get());
    ExcludeClipRect(dc.Get(), inner.left, inner.top, inner.right, inner.bottom);
    const HBRUSH brush = GetBkBrush();
    FillRect(dc.Get(), &all, brush);
    const TdxBarItemControlPainter& painter = Painter();
    if (dockingStyle_ != dsNone) {
        if (bar_->BorderStyle() != bbsNone)
            painter.DrawDockedBorder(*this, dc.Get(), brush, all);
        else if (bar_->ShowsSizeGrip())
            painter.DrawSizeGripArea(*this, dc.Get(), brush,
                                     RECT{inner.right, inner.top, all.right, inner.bottom});
        return;
    }
    painter.DrawFloatingBorder(*this, dc.Get(), brush, false, inner, all);
    // A joined style leaves the drop-down's border open where it touches the end mark that opened it.
    if (RECT joint = GetJointRect(false);
        IsQuickControl() && painter.IsMenuJoinedToItem() && !IsRectEmpty(joint)) {
        OffsetRect(joint, -window.left, -window.top);
        FillRect(dc.Get(), &joint, painter.GetManagerBrush(manager_));
    }
    if (!hasCaption_) return;
    const int bw = painter.GetFloatingBorderWidth(), bh = painter.GetFloatingBorderHeight();
    const RECT caption{bw, bh, all.right - bw, bh + painter.GetCaptionHeight()};
    painter.DrawFloatingCaption(*this, dc.Get(), brush, caption);
}

void TdxBarControl::NCLButtonDown(TWMNCHitMessage Message) {
    if (Message.HitTest() != HTCLOSE) {
        DefaultHandler(Message);
        return;
    }
    HideAll();
    // The close button's own loop: pressed while the pointer is over it, released to close.
    closeButtonState_ = 2;
    RepaintFrame();
    bool clicked = false;
    const bool lives = TrackPress(
        true,
        [&](const MSG& msg) {
            RECT window{0, 0, 0, 0};
            GetWindowRect(handle_, window);
            const POINT w{msg.pt.x - window.left, msg.pt.y - window.top};
            const int state = PtInRect(CloseButtonRect(), w) ? 2 : 1;
            if (state != closeButtonState_) {
                closeButtonState_ = state;
                RepaintFrame();
            }
        },
        [&] { clicked = closeButtonState_ == 2; });
    if (!lives) return;
    closeButtonState_ = 0;
    RepaintFrame();
    if (!clicked) return;
    TdxBar* bar = bar_;
    TdxBarManager* manager = manager_;
    bar->SetVisible(false);
    manager->NoteUserChange();
    manager->DoBarClose(bar);
}

void TdxBarControl::NCMouseMove(TWMNCHitMessage) {}

void TdxBarControl::Sizing(TWMSizing Message) {
    if (dockingStyle_ != dsNone) return;
    RECT* r = Message.DragRect();
    if (r == nullptr) return;
    sizingAsked_ = true;
    const int borderW = bar_->GetNonClientWidth(dsNone), borderH = bar_->GetNonClientHeight(dsNone);
    RECT current{0, 0, 0, 0};
    GetWindowRect(handle_, current);
    SIZE size{0, 0};
    switch (Message.Edge()) {
    case SizingLeft:
    case SizingRight:
        CalcSize(dsNone, r->right - r->left - borderW, size);
        size.cx = std::max(static_cast<int>(size.cx), FloatingCaptionRoom());
        if (Message.Edge() == SizingLeft)
            r->left = r->right - size.cx - borderW;
        else
            r->right = r->left + size.cx + borderW;
        r->bottom = r->top + size.cy + borderH;
        break;
    case SizingTop:
    case SizingBottom:
        size = FloatingSizeForHeight(r->bottom - r->top - borderH);
        size.cx = std::max(static_cast<int>(size.cx), FloatingCaptionRoom());
        r->right = r->left + size.cx + borderW;
        if (Message.Edge() == SizingTop)
            r->top = r->bottom - size.cy - borderH;
        else
            r->bottom = r->top + size.cy + borderH;
        break;
    default:
        *r = current;
        break;
    }
    if (r->top < -15) OffsetRect(*r, 0, -15 - r->top);
    Message.Result = 1;
}

void TdxBarControl::CaptionDoubleClick() {
    if (manager_->Designing()) return;
    TdxBarDockingStyle style = dsNone;
    bars::DockControl* site = nullptr;
    if (bar_->DockingStyle() == dsNone) {
        style = bar_->DockedDockingStyle();
        site = bar_->DockedDockControl();
        if (style == dsNone) style = dsTop;
        if (site == nullptr && bar_->Bars() != nullptr) site = bar_->Bars()->DockControls(style);
    }
    if (!manager_->CanDocking(bar_, style, site)) return;
    TdxBar* bar = bar_;
    // A bar that never floated comes off where it stands rather than at the screen's corner.
    if (style == dsNone && bar->FloatClientWidth() <= 0 && handle_ != nullptr) {
        RECT r{0, 0, 0, 0};
        GetWindowRect(handle_, r);
        bar->SetFloatLeft(r.left);
        bar->SetFloatTop(r.top);
    }
    // Hiding the bar frees this window.
    bar->SetVisible(false);
    if (style != dsNone) {
        // A row of its own, where it stood when it left the site (its saved row), so that a menu bar
        // docked again is above the toolbars again.
        bar->SetOneOnRow(true);
        auto* dock = dynamic_cast<TdxDockControl*>(site);
        if (dock != nullptr) bar->SetRow(std::min(bar->Row(), dock->RowCount()));
    }
    bar->SetDocking(style, style == dsNone ? nullptr : site);
    bar->SetVisible(true);
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

void TdxBarControl::SavePosition() {
    if (Locked() || handle_ == nullptr || manager_->IsDestroying()) return;
    if (dockingStyle_ != dsNone) {
        if (dockSite_ == nullptr) return;
        int row = 0, col = 0;
        if (!dockSite_->FindBarControl(this, row, col)) return;
        bar_->SetDockedDockingStyle(dockingStyle_);
        bar_->SetRow(row);
        bar_->SetOneOnRow(dockSite_->Rows(row)->Columns.size() == 1);
        RECT r{0, 0, 0, 0};
        GetWindowRect(handle_, r);
        MapWindowPoints(nullptr, dockSite_->Handle(), r);
        bar_->SetDockedLeft(r.left);
        bar_->SetDockedTop(r.top);
        return;
    }
    RECT r{0, 0, 0, 0};
    GetWindowRect(handle_, r);
    bar_->SetFloatLeft(r.left);
    bar_->SetFloatTop(r.top);
    const RECT client = ClientRect();
    // The rows the stored width allows may be narrower than it (smaller icons, a button hidden), or
    // wider for the caption: the width stays, so that the rows come back as they were with the buttons.
    if (sizeSource_ == SizeSource::User || bar_->FloatClientWidth() <= 0)
        bar_->SetFloatClientWidth(client.right);
    if (sizeSource_ != SizeSource::WindowSystem || bar_->FloatClientHeight() <= 0)
        bar_->SetFloatClientHeight(client.bottom);
}

void TdxBarControl::SetFloatingBounds(POINT TopLeft, SIZE Size) {
    if (handle_ == nullptr) return;
    const bool saved = std::exchange(settingOwnSize_, true);
    const ScopeGuard restore([this, saved] { settingOwnSize_ = saved; });
    SetWindowPos(handle_, nullptr, TopLeft.x, TopLeft.y, Size.cx, Size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TdxBarControl::RepaintBar() {
    if (DestroyingControls() || bar_ == nullptr || bar_->RebuildLocked() || handle_ == nullptr || Locked())
        return;
    TdxBarItemLink* selected = Selected() != nullptr ? Selected()->Link() : nullptr;
    const bool keyboard = keyboardMode_;
    // While customizing the selection outlives the rebuild too, while it is the link being worked on.
    const bool working = IsCustomizing() && manager_->SelectedItem() == Selected();
    DestroyControls();
    CreateControls();
    if ((keyboard || working) && selected != nullptr && selected->Control() != nullptr)
        SelectControlByKey(dynamic_cast<TdxBarItemControl*>(selected->Control()));
    if (dockingStyle_ != dsNone) {
        if (dockSite_ != nullptr) dockSite_->RealignBars();
    } else {
        // The rows come from the width the user gave the bar, not from the window's width now: a refit
        // that made the window narrower (its buttons measured smaller for a while) must not wrap them.
        const int client = ClientRect().right;
        const int wanted = bar_->FloatClientWidth() > 0 ? bar_->FloatClientWidth()
                           : client > 0                 ? client
                                                        : GetFullWidth(dsNone);
        SIZE size{0, 0};
        CalcSize(dsNone, wanted, size);
        size.cx = std::max(static_cast<int>(size.cx), FloatingCaptionRoom());
        RECT r{0, 0, 0, 0};
        GetWindowRect(handle_, r);
        const RECT b = WindowBorders();
        const SIZE frame = hasCaption_
                               ? SIZE{bar_->GetNonClientWidth(dsNone), bar_->GetNonClientHeight(dsNone)}
                               : SIZE{b.left + b.right, b.top + b.bottom};
        const SIZE outer{size.cx + frame.cx, size.cy + frame.cy};
        // A window that grows (its style came after it was placed, a longer caption) stays inside the
        // work area, as it was placed: its close box must not end up off the screen.
        const POINT at = outer.cx > r.right - r.left || outer.cy > r.bottom - r.top
                             ? FloatingPlace(POINT{r.left, r.top}, outer)
                             : POINT{r.left, r.top};
        SetFloatingBounds(at, outer);
    }
    CalcControlsPositions();
    InvalidateRect(handle_, nullptr, FALSE_);
    RepaintFrame();
}

void TdxBarControl::Paint(HDC DC) {
    // The controls were placed when the window took its size or was rebuilt.
    const HBRUSH brush = GetBkBrush();
    const pw::gdi::SavedDC saved(DC);
    const RECT client = ClientRect();
    const bool horizontal = dockingStyle_ != dsLeft && dockingStyle_ != dsRight;
    const int sep = GetSeparatorSize();
    for (TdxBarItemLink* link : std::vector<TdxBarItemLink*>(links_->ShownLinks())) {
        auto* control = dynamic_cast<TdxBarItemControl*>(link->Control());
        const RECT r = link->ItemRect();
        if (control == nullptr || IsRectEmpty(r)) continue;
        // Controls outside the part to paint cost nothing; the part may be two far-apart buttons.
        if (RectVisible(DC, &r)) {
            control->Draw(DC, r, 0);
            DrawCustomizingFrame(DC, control);
            ExcludeClipRect(DC, r.left, r.top, r.right, r.bottom);
        }
        if (!link->BeginGroup()) continue;
        const RECT row = GetItemRect(control);
        RECT s{0, 0, 0, 0};
        const bool startsRow = horizontal ? r.left == 0 : r.top == 0;
        const int markRoom = IsMarkVisible() && dockingStyle_ != dsNone ? MarkSize : 0;
        bool rowsSeparator = false;
        if (startsRow) {
            rowsSeparator = true;
            if (horizontal)
                s = RECT{0, row.top - sep, client.right - markRoom, row.top};
            else
                s = RECT{row.right, 0, row.right + sep, client.bottom - markRoom};
        } else if (horizontal) {
            s = RECT{r.left - sep, row.top, r.left, row.bottom};
        } else {
            s = RECT{row.left, r.top - sep, row.right, r.top};
        }
        control->SeparatorRect = s;
        if (!RectVisible(DC, &s)) continue;
        Painter().DrawSeparator(*this, DC, rowsSeparator ? !horizontal : horizontal, brush, s);
        ExcludeClipRect(DC, s.left, s.top, s.right, s.bottom);
    }
    if (IsMarkVisible() && dockingStyle_ != dsNone) {
        const RECT mark = MarkRect();
        Painter().DrawMark(*this, DC, brush, mark);
        ExcludeClipRect(DC, mark.left, mark.top, mark.right, mark.bottom);
    }
    DrawBackground(DC, client, brush);
    // The caption buttons draw over the bar's background.
    for (int i = 0; i < MDIButtonCount(); ++i)
        Painter().DrawMDIButton(*this, MDIButtonKind(i), !MDIButtonEnabled(i), MDIButtonRect(i), DC,
                                mdiHot_ == i, mdiPressed_ == i);
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
        if (TWMSetCursor(Message).HitTest() == HTCLIENT && IsCustomizing()) {
            POINT p{0, 0};
            GetCursorPos(p);
            ScreenToClient(handle_, p);
            if (bool right = false; editSizing_ || OnEditSizingEdge(p, right)) {
                SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
                return 1;
            }
        }
        // Over the grip (or the empty part) of a bar that can move: the move cursor.
        if (TWMSetCursor(Message).HitTest() == HTCLIENT && ncHitCode_ == HTCAPTION &&
            dockingStyle_ != dsNone && bar_->CanMove()) {
            POINT p{0, 0};
            GetCursorPos(p);
            ScreenToClient(handle_, p);
            if (PtInRect(GetGripZone(), p)) {
                SetCursor(LoadCursor(nullptr, IDC_SIZEALL));
                return 1;
            }
        }
        return TCustomdxBarControl::WndProc(Message);
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
        // The window's move or size loop starts: keys reach nothing else until it ends.
        BlockKeys(handle_);
        GetWindowRect(handle_, sizeMoveStart_);
        userSizing_ = true;
        return TCustomdxBarControl::WndProc(Message);
    case WM_EXITSIZEMOVE:
        UnblockKeys(handle_);
        userSizing_ = sizingAsked_ = false;
        // The user moved or sized the floating bar (not put back with Escape).
        if (RECT now{0, 0, 0, 0};
            manager_ != nullptr && GetWindowRect(handle_, now) && !EqualRect(now, sizeMoveStart_))
            manager_->NoteUserChange();
        return TCustomdxBarControl::WndProc(Message);
    case WM_GETMINMAXINFO:
        if (MINMAXINFO* info = TWMGetMinMaxInfo(Message).MinMaxInfo()) {
            info->ptMinTrackSize = POINT{10, 10};
            info->ptMaxTrackSize = POINT{30000, 30000};
            info->ptMaxSize = POINT{30000, 30000};
            info->ptMaxPosition = POINT{30000, 30000};
        }
        return 0;
    case WM_WINDOWPOSCHANGED:
        DefaultHandler(Message);
        if (const WINDOWPOS* pos = TWMWindowPosMsg(Message).WindowPos();
            pos != nullptr && (pos->flags & (SWP_NOSIZE | SWP_NOMOVE)) != (SWP_NOSIZE | SWP_NOMOVE)) {
            // Made or shown by its bar (locked), or refitted: a size of its own; one the sizing loop gives
            // is the user's; any other comes from the window system.
            if ((pos->flags & SWP_NOSIZE) == 0) {
                sizeSource_ = settingOwnSize_ || Locked()   ? SizeSource::Toolbar
                              : userSizing_ || sizingAsked_ ? SizeSource::User
                                                            : SizeSource::WindowSystem;
                sizingAsked_ = false;
            }
            CalcControlsPositions();
            if (dockingStyle_ == dsNone) SavePosition();
        }
        return 0;
    case WM_RBUTTONDOWN: {
        const LRESULT result = TCustomdxBarControl::WndProc(Message);
        POINT screen = TWMMouse(Message).Pos();
        ClientToScreen(handle_, screen);
        if (!IsCustomizing() && manager_ != nullptr) PostToolbarsPopup(manager_, screen);
        return result;
    }
    case WM_LBUTTONDBLCLK: {
        // A caption button, and the docked end mark, take a quick second click as another press.
        for (int i = 0; i < MDIButtonCount(); ++i)
            if (MDIButtonEnabled(i) && PtInRect(MDIButtonRect(i), TWMMouse(Message).Pos())) {
                WMLButtonDown(TWMMouse(Message));
                return 0;
            }
        if (IsMarkVisible() && dockingStyle_ != dsNone && PtInRect(MarkRect(), TWMMouse(Message).Pos())) {
            WMLButtonDown(TWMMouse(Message));
            return 0;
        }
        POINT screen = TWMMouse(Message).Pos();
        ClientToScreen(handle_, screen);
        TMessage hit{WM_NCHITTEST, 0, PackPoint(screen), 0};
        NCHitTest(TWMNCHitTest(hit));
        if (ncHitCode_ == HTCAPTION) {
            CaptionDoubleClick();
            return 0;
        }
        return TCustomdxBarControl::WndProc(Message);
    }
    default:
        return TCustomdxBarControl::WndProc(Message);
    }
}

void TdxBarControl::WMKeyDown(TWMKey Message) {
    TCustomdxBarControl::WMKeyDown(Message);
    if (GetActiveBarControl() == nullptr || !Alive()) return;
    const WORD key = Message.CharCode();
    TdxBarItemControl* selected = Selected();
    if (selected != nullptr && selected->GetEnabled() && selected->WantsKey(key)) {
        selected->KeyDown(key);
        return;
    }
    if (key == VK_ESCAPE) {
        Message.SetCharCode(0);
        HideAll();
        return;
    }
    if (key == VK_RETURN || key == VK_UP || key == VK_DOWN) {
        if (selected == nullptr) return;
        const bool subItem = selected->IsExpandable();
        if (subItem && selected->GetEnabled()) menuOpened_ = true;
        if (subItem || key == VK_RETURN) selected->ControlClick(false);
    }
}

void TdxBarControl::WMLButtonDown(TWMMouse Message) {
    if (ignoreMouseUp_) return;
    const POINT p = Message.Pos();
    if (bool right = false; OnEditSizingEdge(p, right)) {
        editSizing_ = true;
        editSizingRightEdge_ = right;
        editSizingLink_ = MakeObjectLink(Selected());
        const RECT r = Selected()->Bounds();
        editSizeWidth_ = editSizingStartWidth_ = r.right - r.left;
        editSizingStartX_ = p.x;
        SetCapture(handle_);
        InvertEditSizingFrame();
        return;
    }
    POINT screen = p;
    ClientToScreen(handle_, screen);
    {
        TMessage hit{WM_NCHITTEST, 0, PackPoint(screen), 0};
        NCHitTest(TWMNCHitTest(hit));
    }
    TdxBarItemControl* control = PtInRect(ClientRect(), p) ? ItemAtPos(p) : nullptr;
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    const bool entering = !IsActive();
    // While the form is designed every control can be pressed (a second press opens its menu).
    const bool designing = manager_ != nullptr && manager_->Designing();
    if (control == nullptr || (!designing && (!control->GetEnabled() || !control->CanSelect()))) {
        SetActive(false);
    } else if (!IsCustomizing()) {
        if (IsActive()) {
            if (control != Selected()) {
                SelectControlByKey(control);
                menuOpened_ = false;
            } else if (dynamic_cast<TdxBarButtonControl*>(control) == nullptr &&
                       !control->IsWindowControl() && menuOpened_) {
                // A second press on an open menu's entry closes it; one on an item being edited edits on.
                LeaveKeyboardMode();
                return;
            }
        } else {
            EnterKeyboardMode(control);
        }
        if (IsActive()) menuOpened_ = true;
    } else if (!IsActive()) {
        EnterKeyboardMode(control);
    }
    if (self->Ref == nullptr) return;
    const TcxObjectLinkPtr target = MakeObjectLink(control);
    TCustomdxBarControl::WMLButtonDown(Message);
    if (self->Ref == nullptr || !Alive()) return;
    if (!IsCustomizing())
        for (int i = 0; i < MDIButtonCount(); ++i)
            if (MDIButtonEnabled(i) && PtInRect(MDIButtonRect(i), p)) {
                MDIButtonPress(i);
                return;
            }
    // An entry whose menu did not open (none could be made, or its handler stopped it) leaves no
    // keyboard mode behind.
    if (entering && control != nullptr && keyboardMode_ && ChildBar() == nullptr &&
        (target->Ref == nullptr || control->IsExpandable())) {
        LeaveKeyboardMode();
        return;
    }
    if (ncHitCode_ != HTCAPTION) {
        // A floating toolbar's mark stands on its caption, outside the client area.
        const bool onMark =
            IsMarkVisible() && (dockingStyle_ != dsNone ? PtInRect(Painter().CalcMarkRect(*this), p)
                                                        : PtInRect(MarkScreenRect(), screen));
        if (onMark) {
            SetMarkState(markState_ == 2 ? 1 : 2);
            return;
        }
        if (IsCustomizing()) return;
        if (!PtInRect(ClientRect(), p) && ncHitCode_ != HTCLIENT)
            SendMessage(handle_, WM_NCLBUTTONDOWN, static_cast<WPARAM>(ncHitCode_), PackPoint(screen));
        return;
    }
    // A click on the grip or the caption moves nothing: the move begins once the pointer leaves the
    // drag rectangle.
    if (!bar_->CanMove() || !DragDetect(handle_, screen) || self->Ref == nullptr) return;
    RECT window{0, 0, 0, 0};
    GetWindowRect(handle_, window);
    GrabOffset = POINT{screen.x - window.left, screen.y - window.top};
    GrabSize = SIZE{window.right - window.left, window.bottom - window.top};
    DragBar(this, screen);
}

void TdxBarControl::WMLButtonUp(TWMMouse Message) {
    if (editSizing_) {
        EndEditSizing(true);
        return;
    }
    TCustomdxBarControl::WMLButtonUp(Message);
}

void TdxBarControl::WMMouseMove(TWMMouse Message) {
    if (editSizing_) {
        // The frame follows the pointer, never narrower than the control allows.
        TdxBarItemControl* control = SizingControl();
        if (control == nullptr) {
            EndEditSizing(false);
            return;
        }
        const int moved = Message.Pos().x - editSizingStartX_;
        const int wanted = editSizingStartWidth_ + (editSizingRightEdge_ ? moved : -moved);
        const int width = std::max(wanted, control->MinSizingWidth());
        if (width != editSizeWidth_) {
            InvertEditSizingFrame();
            editSizeWidth_ = width;
            InvertEditSizingFrame();
        }
        return;
    }
    // A pending drag takes the move whole: it may start the drag, which may rebuild this window.
    const bool pending = DragPending();
    TCustomdxBarControl::WMMouseMove(Message);
    if (pending || !Alive() || handle_ == nullptr) return;
    const POINT p = Message.Pos();
    int hot = -1;
    for (int i = 0; i < MDIButtonCount() && hot < 0; ++i)
        if (MDIButtonEnabled(i) && PtInRect(MDIButtonRect(i), p)) hot = i;
    SetMDIHot(hot);
    if (IsMarkVisible() && markState_ != 2) {
        POINT screen = p;
        ClientToScreen(handle_, screen);
        SetMarkState(PtInRect(MarkScreenRect(), screen) ? 1 : 0);
    }
    if (dockingStyle_ == dsNone && closeButtonState_ != 2) {
        RECT window{0, 0, 0, 0};
        GetWindowRect(handle_, window);
        POINT screen = p;
        ClientToScreen(handle_, screen);
        const POINT w{screen.x - window.left, screen.y - window.top};
        const int state = PtInRect(CloseButtonRect(), w) ? 1 : 0;
        if (state != closeButtonState_) {
            closeButtonState_ = state;
            RepaintFrame();
        }
    }
    BeginMouseTracking(handle_);
}

void TdxBarControl::WMMouseLeave(TMessage& Message) {
    if (markState_ == 1) SetMarkState(0);
    if (mdiPressed_ < 0) SetMDIHot(-1);
    if (closeButtonState_ == 1) {
        closeButtonState_ = 0;
        RepaintFrame();
    }
    TCustomdxBarControl::WMMouseLeave(Message);
}

} // namespace bars
