// The toolbar window's frame and the floating window's place and size: borders, hit testing, the
// user's sizing, the stored position and the refit after a rebuild.
#include "bars/windows/toolbar_control.h"

#include <algorithm>
#include <utility>

#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/painter.h"
#include "bars/windows/bar_hooks.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/quick_customize.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/muldiv.h"
#include "platform/gui/message_views.h"
#include "platform/gui/messages.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/wintypes.h"

namespace bars {

namespace {

// WM_SIZING's edge codes.
constexpr WPARAM SizingLeft = 1, SizingRight = 2, SizingTop = 3, SizingBottom = 6;

} // namespace

POINT TdxBarControl::GrabOffsetFor(SIZE Size) const {
    if (GrabSize.cx <= 0 || GrabSize.cy <= 0) return GrabOffset;
    return POINT{MulDiv(Size.cx, GrabOffset.x, GrabSize.cx), MulDiv(Size.cy, GrabOffset.y, GrabSize.cy)};
}

SIZE TdxBarControl::FloatingSize() {
    return GetSizeForDockingStyle(dsNone);
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

LRESULT TdxBarControl::EnterSizeMove(TMessage& Message) {
    // The window's move or size loop starts: keys reach nothing else until it ends.
    BlockKeys(handle_);
    GetWindowRect(handle_, sizeMoveStart_);
    userSizing_ = true;
    return TCustomdxBarControl::WndProc(Message);
}

LRESULT TdxBarControl::ExitSizeMove(TMessage& Message) {
    UnblockKeys(handle_);
    userSizing_ = sizingAsked_ = false;
    // The user moved or sized the floating bar (not put back with Escape).
    if (RECT now{0, 0, 0, 0};
        manager_ != nullptr && GetWindowRect(handle_, now) && !EqualRect(now, sizeMoveStart_))
        manager_->NoteUserChange();
    return TCustomdxBarControl::WndProc(Message);
}

LRESULT TdxBarControl::GetMinMaxInfo(TMessage& Message) {
    if (MINMAXINFO* info = TWMGetMinMaxInfo(Message).MinMaxInfo()) {
        info->ptMinTrackSize = POINT{10, 10};
        info->ptMaxTrackSize = POINT{30000, 30000};
        info->ptMaxSize = POINT{30000, 30000};
        info->ptMaxPosition = POINT{30000, 30000};
    }
    return 0;
}

LRESULT TdxBarControl::WindowPosChanged(TMessage& Message) {
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
}

} // namespace bars
