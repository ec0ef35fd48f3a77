#include "platform/vcl/control.h"

#include <algorithm>

#include "platform/graphics/graphics_objects.h"
#include "platform/gui/input.h"
#include "platform/gui/paint.h"
#include "platform/rtl/format.h"
#include "platform/vcl/form.h"
#include "platform/vcl/vcl_state.h"
#include "platform/vcl/win_control.h"

namespace {

bool IsMouseMessage(UINT msg) {
    return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK;
}

} // namespace

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks},
      font_(std::make_unique<TFont>()), constraints_(std::make_unique<TSizeConstraints>()) {
    font_->OnChange = [this](TObject*) { FontChanged(); };
    constraints_->OnChange = [this](TObject*) { SetBounds(left_, top_, width_, height_); };
}

void TSizeConstraints::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TSizeConstraints*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    minWidth_ = other->minWidth_;
    minHeight_ = other->minHeight_;
    maxWidth_ = other->maxWidth_;
    maxHeight_ = other->maxHeight_;
    Changed();
}

void TSizeConstraints::SetMinWidth(int Value) {
    if (minWidth_ == Value) return;
    minWidth_ = std::max(Value, 0);
    Changed();
}

void TSizeConstraints::SetMinHeight(int Value) {
    if (minHeight_ == Value) return;
    minHeight_ = std::max(Value, 0);
    Changed();
}

void TSizeConstraints::SetMaxWidth(int Value) {
    if (maxWidth_ == Value) return;
    maxWidth_ = std::max(Value, 0);
    Changed();
}

void TSizeConstraints::SetMaxHeight(int Value) {
    if (maxHeight_ == Value) return;
    maxHeight_ = std::max(Value, 0);
    Changed();
}

void TSizeConstraints::Constrain(int& Width, int& Height) const {
    if (maxWidth_ > 0) Width = std::min(Width, maxWidth_);
    if (maxHeight_ > 0) Height = std::min(Height, maxHeight_);
    Width = std::max(Width, minWidth_);
    Height = std::max(Height, minHeight_);
}

void TSizeConstraints::Changed() {
    if (OnChange) OnChange(this);
}

TControl::~TControl() {
    font_->OnChange = nullptr;
    constraints_->OnChange = nullptr;
    alive_.reset();
    pw::vcl::ControlDestroying(this);
    if (parent_) parent_->RemoveControl(this);
}

TComponent* TControl::GetParentComponent() const {
    return parent_;
}

void TControl::SetParent(TWinControl* AParent) {
    if (parent_ == AParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_) parent_->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

TCustomForm* TControl::ParentFormOf() const {
    return GetParentForm(this);
}

TCustomForm* GetParentForm(const TControl* Control) {
    const TControl* c = Control;
    while (c && c->Parent())
        c = c->Parent();
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    constraints_->Constrain(AWidth, AHeight);
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
    bool resized = AWidth != width_ || AHeight != height_;
    Invalidate();
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    UpdateAnchorRules();
    Invalidate();
    BoundsChanged();
    RequestAlign();
    if (resized && !dynamic_cast<TWinControl*>(this)) Resize();
}

void TControl::UpdateBoundsFields(int ALeft, int ATop, int AWidth, int AHeight) {
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    if (!parent_ || parent_->anchoring_) return;
    TRect r = parent_->ClientRect();
    anchorParentSize_ = TPoint{r.right, r.bottom};
    anchorRight_ = r.right - (left_ + width_);
    anchorBottom_ = r.bottom - (top_ + height_);
}

void TControl::RequestAlign() {
    if (parent_) parent_->AlignControl(this);
}

TRect TControl::ClientRect() {
    return TRect{0, 0, width_, height_};
}

void TControl::SetClientWidth(int Value) {
    // A top-level window knows its frame only once it exists.
    if (auto* w = dynamic_cast<TWinControl*>(this); w && !parent_) w->HandleNeeded();
    SetWidth(Value + width_ - ClientWidth());
}

void TControl::SetClientHeight(int Value) {
    if (auto* w = dynamic_cast<TWinControl*>(this); w && !parent_) w->HandleNeeded();
    SetHeight(Value + height_ - ClientHeight());
}

TPoint TControl::ClientOrigin() {
    if (!parent_) throw EInvalidOperation(Format("Control '%s' has no parent window", Name().c_str()));
    TPoint p = parent_->ClientOrigin();
    return TPoint{p.x + left_, p.y + top_};
}

TPoint TControl::ClientToScreen(TPoint P) {
    TPoint o = ClientOrigin();
    return TPoint{P.x + o.x, P.y + o.y};
}

TPoint TControl::ScreenToClient(TPoint P) {
    TPoint o = ClientOrigin();
    return TPoint{P.x - o.x, P.y - o.y};
}

void TControl::SetAlign(TAlign Value) {
    if (align_ == Value) return;
    TAlign old = align_;
    align_ = Value;
    anchors_ = TAnchors{akLeft, akTop};
    if (old == alNone || Value == alNone || parent_) RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
    anchors_ = Value;
    UpdateAnchorRules();
}

void TControl::SetVisible(bool Value) {
    if (visible_ == Value) return;
    VisibleChanging();
    visible_ = Value;
    Perform(CM_VISIBLECHANGED, Value, 0);
    RequestAlign();
}

void TControl::Show() {
    if (parent_) parent_->Show();
    SetVisible(true);
}

bool TControl::Showing() const {
    return visible_ && parent_ && parent_->Showing();
}

void TControl::SetEnabled(bool Value) {
    if (enabled_ == Value) return;
    enabled_ = Value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetText(const std::string& Value) {
    if (GetText() == Value) return;
    SetTextValue(Value);
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetTextValue(const std::string& Value) {
    text_ = Value;
}

void TControl::SetFont(TFont& Value) {
    font_->Assign(&Value);
}

void TControl::FontChanged() {
    parentFont_ = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
    if (parentFont_ == Value) return;
    parentFont_ = Value;
    if (parent_ && Value) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
    parentColor_ = false;
    if (color_ == Value) return;
    color_ = Value;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
    if (parentColor_ == Value) return;
    parentColor_ = Value;
    if (parent_ && Value) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value) {
    parentShowHint_ = false;
    if (showHint_ == Value) return;
    showHint_ = Value;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
    if (parentShowHint_ == Value) return;
    parentShowHint_ = Value;
    if (parent_ && Value) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) {
    if (cursor_ == Value) return;
    cursor_ = Value;
    Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::Invalidate() {
    if (parent_ && parent_->HandleAllocated() && visible_) {
        TRect r = BoundsRect();
        InvalidateRect(parent_->Handle(), &r, !controlStyle_.Contains(csOpaque));
    }
}

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::SetZOrder(bool TopMost) {
    if (!parent_) return;
    auto& list = parent_->controls_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (TopMost)
        list.push_back(this);
    else
        list.insert(list.begin(), this);
    Invalidate();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& Message) {
    if (IsMouseMessage(Message.Msg)) return HandleMouseMessage(TWMMouse(Message));
    switch (Message.Msg) {
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
        return RedrawArea();
    case CM_PARENTFONTCHANGED:
        return CMParentFontChanged();
    case CM_PARENTCOLORCHANGED:
        return CMParentColorChanged();
    case CM_PARENTSHOWHINTCHANGED:
        return CMParentShowHintChanged();
    case CM_HITTEST:
        return CMHitTest(Message);
    case WM_CONTEXTMENU:
        return WMContextMenu(TWMContextMenu(Message));
    default:
        return DefaultHandler(Message);
    }
}

// A windowless control only has the parent's area to redraw.
void TControl::RedrawArea() {
    bool wasVisible = visible_;
    visible_ = true;
    Invalidate();
    visible_ = wasVisible;
}

void TControl::CMParentFontChanged() {
    if (!parentFont_ || !parent_) return;
    font_->OnChange = nullptr;
    font_->Assign(&parent_->Font());
    font_->OnChange = [this](TObject*) { FontChanged(); };
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::CMParentColorChanged() {
    if (!parentColor_ || !parent_ || color_ == parent_->Color()) return;
    color_ = parent_->Color();
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::CMParentShowHintChanged() {
    if (!parentShowHint_ || !parent_ || showHint_ == parent_->ShowHint()) return;
    showHint_ = parent_->ShowHint();
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::CMHitTest(TMessage& Message) {
    Message.Result = HTCLIENT;
}

// The control's own menu, at the pointer or, asked from the keyboard, at the control's middle.
void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
    if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::WMContextMenu(TWMContextMenu Message) {
    if (Message.Result != 0) return;
    TPoint at{-1, -1};
    if (!Message.FromKeyboard()) {
        at = ScreenToClient(Message.Pos());
        // A request from beside the client area (a scroll bar) is not the control's own.
        if (!PtInRect(ClientRect(), at)) return DefaultHandler(Message);
    }
    bool handled = false;
    const std::weak_ptr<void> alive = AliveToken();
    DoContextPopup(at, handled);
    if (alive.expired()) return;
    if (handled) {
        Message.Result = 1;
        return;
    }
    if (!popupMenu_) return DefaultHandler(Message);
    const TPoint p = Message.FromKeyboard() ? ClientToScreen(TPoint{width_ / 2, height_ / 2}) : Message.Pos();
    popupMenu_->Popup(p.x, p.y);
    Message.Result = 1;
}

void TControl::DefaultHandler(TMessage& Message) {
    (void)Message;
}

TControl::TMouseAction TControl::MouseActionOf(UINT msg) {
    switch (msg) {
    case WM_MOUSEMOVE:
        return {TMouseAction::Move, mbLeft};
    case WM_LBUTTONDOWN:
        return {TMouseAction::Down, mbLeft};
    case WM_RBUTTONDOWN:
        return {TMouseAction::Down, mbRight};
    case WM_MBUTTONDOWN:
        return {TMouseAction::Down, mbMiddle};
    case WM_LBUTTONDBLCLK:
        return {TMouseAction::DoubleClick, mbLeft};
    case WM_RBUTTONDBLCLK:
        return {TMouseAction::DoubleClick, mbRight};
    case WM_MBUTTONDBLCLK:
        return {TMouseAction::DoubleClick, mbMiddle};
    case WM_LBUTTONUP:
        return {TMouseAction::Up, mbLeft};
    case WM_RBUTTONUP:
        return {TMouseAction::Up, mbRight};
    case WM_MBUTTONUP:
        return {TMouseAction::Up, mbMiddle};
    default:
        return {TMouseAction::Other, mbLeft};
    }
}

void TControl::HandleMouseMessage(TWMMouse Message) {
    auto alive = AliveToken();
    const TMouseAction action = MouseActionOf(Message.Msg);
    const TShiftState shift = KeysToShiftState(static_cast<WORD>(Message.Keys()));
    const TPoint p = Message.Pos();
    switch (action.kind) {
    case TMouseAction::Move:
        MouseMove(shift, p.x, p.y);
        break;
    case TMouseAction::Down:
    case TMouseAction::DoubleClick:
        ButtonDown(action, shift, p);
        break;
    case TMouseAction::Up:
        ButtonUp(action.button, shift, p);
        break;
    case TMouseAction::Other:
        break;
    }
    if (!alive.expired()) DefaultHandler(Message);
}

void TControl::ButtonDown(TMouseAction Action, TShiftState Shift, TPoint P) {
    auto alive = AliveToken();
    if (Action.button == mbLeft) {
        if (controlStyle_.Contains(csCaptureMouse)) pw::vcl::SetCaptureControl(this);
        if (Action.kind != TMouseAction::DoubleClick) {
            if (controlStyle_.Contains(csClickEvents)) controlState_.Include(csClicked);
        } else if (controlStyle_.Contains(csDoubleClicks)) {
            DblClick();
            if (alive.expired()) return;
            Shift.Include(ssDouble);
        }
    }
    MouseDown(Action.button, Shift, P.x, P.y);
}

void TControl::ButtonUp(TMouseButton Button, TShiftState Shift, TPoint P) {
    auto alive = AliveToken();
    if (Button == mbLeft) {
        if (controlStyle_.Contains(csCaptureMouse) && pw::vcl::CaptureControl() == this)
            pw::vcl::SetCaptureControl(nullptr);
        if (controlState_.Contains(csClicked)) {
            controlState_.Exclude(csClicked);
            const TRect r = ClientRect();
            if (P.x >= r.left && P.x < r.right && P.y >= r.top && P.y < r.bottom) Click();
            if (alive.expired()) return;
        }
    }
    MouseUp(Button, Shift, P.x, P.y);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}
