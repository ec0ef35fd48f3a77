// A windowed control's children and where they go: inserting and removing them, the control at a point,
// alignment and anchors, bounds, the client area, z-order and showing.

#include "platform/vcl/win_control.h"

#include <algorithm>

#include "platform/gui/paint.h"
#include "platform/vcl/form.h"

namespace {

bool PtIn(const TRect& r, TPoint p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

} // namespace

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
    // With a window, its WM_SIZE answer has laid out the children already and this finds the size known.
    if (handle_)
        SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    ClientSizeChanged();
}

void TWinControl::ClientSizeChanged() {
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
