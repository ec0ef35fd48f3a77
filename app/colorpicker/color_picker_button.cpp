#include "app/colorpicker/color_picker_button.h"

#include <algorithm>

#include "app/colorpicker/color_popup.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/vcl/form.h"
#include "platform/vcl/vcl_state.h"

namespace {

constexpr char kCaptureClass[] = "TColorPickerCapture";
// Mouse messages from WM_MOUSEMOVE on that the capture window hands to the popup.
constexpr UINT kMouseLast = WM_MOUSEFIRST + 10;

bool IsCaptureWindow(HWND Wnd) {
    char name[sizeof kCaptureClass + 1] = {};
    return Wnd && GetClassName(Wnd, name, sizeof name) > 0 && std::string_view(name) == kCaptureClass;
}

} // namespace

TColorPickerButton::TColorPickerButton(TComponent* AOwner)
    : TGraphicControl(AOwner), glyph_(std::make_unique<TBitmap>()) {
    SetControlStyle(TControlStyle{csCaptureMouse, csDoubleClicks, csSetCaption});
    SetBounds(0, 0, 45, 22);
    SetParentFont(true);
    SetColor(clBtnFace);
    popup_ = new TColorPopup(this);
    popup_->SetLeft(-1000);
    popup_->Grid().PopupSpacing = 8;
    WNDCLASS existing;
    if (!GetClassInfo(nullptr, kCaptureClass, existing)) {
        WNDCLASS wc;
        wc.lpfnWndProc = CaptureWindowProc;
        wc.lpszClassName = kCaptureClass;
        RegisterClass(wc);
    }
    captureWindow_ = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCaptureClass, "", WS_POPUP, 0, 0, 0,
                                    0, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtr(captureWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TColorPickerButton::~TColorPickerButton() {
    if (keyboardHook_) UnhookWindowsHookEx(keyboardHook_);
    if (captureWindow_) {
        SetWindowLongPtr(captureWindow_, GWLP_USERDATA, 0);
        DestroyWindow(captureWindow_);
    }
}

void TColorPickerButton::SetAllowAllUp(bool Value) {
    allowAllUp_ = Value;
}

const std::string& TColorPickerButton::CustomText() const {
    return popup_->Grid().CustomText;
}

void TColorPickerButton::SetCustomText(const std::string& Value) {
    auto& grid = popup_->Grid();
    if (grid.CustomText == Value) return;
    grid.CustomText = Value;
    if (Value.empty() && popup_->ChosenCell() == colorpicker::kCustomCell) popup_->FindCell(clNone);
    PopupChanged();
}

const std::string& TColorPickerButton::DefaultText() const {
    return popup_->Grid().DefaultText;
}

void TColorPickerButton::SetDefaultText(const std::string& Value) {
    auto& grid = popup_->Grid();
    if (grid.DefaultText == Value) return;
    grid.DefaultText = Value;
    PopupChanged();
}

bool TColorPickerButton::ShowSystemColors() const {
    return popup_->Grid().ShowSystemColors;
}

void TColorPickerButton::SetShowSystemColors(bool Value) {
    auto& grid = popup_->Grid();
    if (grid.ShowSystemColors == Value) return;
    grid.ShowSystemColors = Value;
    PopupChanged();
}

int TColorPickerButton::PopupSpacing() const {
    return popup_->Grid().PopupSpacing;
}

void TColorPickerButton::SetPopupSpacing(int Value) {
    Value = std::max(Value, 0);
    auto& grid = popup_->Grid();
    if (grid.PopupSpacing == Value) return;
    grid.PopupSpacing = Value;
    PopupChanged();
}

void TColorPickerButton::PopupChanged() {
    popup_->ComputeLayout();
    if (!popupOpen_) return;
    popup_->Invalidate();
    popup_->PlaceAndShow();
}

void TColorPickerButton::SetDown(bool Value) {
    if (groupIndex_ == 0) Value = false;
    if (Value == down_) return;
    if (down_ && !allowAllUp_) return;
    down_ = Value;
    if (Value) {
        if (state_ == bsUp) Invalidate();
        state_ = bsExclusive;
        UpdateExclusive();
    } else {
        state_ = bsUp;
        Repaint();
    }
}

void TColorPickerButton::UpdateExclusive() {
    if (!down_ || groupIndex_ == 0 || !Parent()) return;
    TMessage message{CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this), 0};
    Parent()->Broadcast(message);
}

void TColorPickerButton::CMButtonPressed(TCMButtonPressed Message) {
    TControl* sender = Message.Sender();
    if (Message.GroupIndex() != groupIndex_ || sender == this) return;
    auto* other = dynamic_cast<TColorPickerButton*>(sender);
    if (!other) return;
    if (other->Down() && down_) {
        down_ = false;
        state_ = bsUp;
        Invalidate();
    }
    allowAllUp_ = other->AllowAllUp();
}

template <class T> static void StoreAndRepaint(TColorPickerButton& Button, T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    Button.Invalidate();
}

void TColorPickerButton::SetDropDownArrowColor(TColor Value) {
    StoreAndRepaint(*this, arrowColor_, Value);
}
void TColorPickerButton::SetDropDownWidth(int Value) {
    StoreAndRepaint(*this, dropDownWidth_, Value);
}
void TColorPickerButton::SetFlat(bool Value) {
    StoreAndRepaint(*this, flat_, Value);
}
void TColorPickerButton::SetIndicatorBorder(TIndicatorBorder Value) {
    StoreAndRepaint(*this, indicatorBorder_, Value);
}
void TColorPickerButton::SetLayout(TButtonLayout Value) {
    StoreAndRepaint(*this, layout_, Value);
}
void TColorPickerButton::SetMargin(int Value) {
    StoreAndRepaint(*this, margin_, Value);
}
void TColorPickerButton::SetSpacing(int Value) {
    StoreAndRepaint(*this, spacing_, Value);
}
void TColorPickerButton::SetTransparent(bool Value) {
    StoreAndRepaint(*this, transparent_, Value);
}
void TColorPickerButton::SetNumGlyphs(int Value) {
    StoreAndRepaint(*this, numGlyphs_, std::clamp(Value, 1, 4));
}

void TColorPickerButton::SetGroupIndex(int Value) {
    if (groupIndex_ == Value) return;
    groupIndex_ = Value;
    UpdateExclusive();
}

void TColorPickerButton::SetGlyph(TBitmap* Value) {
    glyph_->Assign(Value);
    Invalidate();
}

void TColorPickerButton::SetSelectionColor(TColor Value) {
    if (Value == selectionColor_) return;
    selectionColor_ = Value;
    Invalidate();
    if (popupOpen_) {
        popup_->FindCell(Value);
        popup_->Invalidate();
    }
    if (OnChange) OnChange(this);
}

void TColorPickerButton::DefaultChosen() {
    if (OnDefaultSelect) OnDefaultSelect(this);
}

void TColorPickerButton::SetPopupOpen(bool Value) {
    if (Value == popupOpen_) return;
    bool allowed = true;
    if (OnDropChanging) OnDropChanging(this, allowed);
    if (!allowed) return;
    popupOpen_ = Value;
    if (Value)
        OpenPopup();
    else
        ClosePopup();
    if (OnDropChanged) OnDropChanged(this);
    Invalidate();
}

void TColorPickerButton::OpenPopup() {
    state_ = bsDown;
    popup_->HandleNeeded();
    popup_->SelectColor(selectionColor_);
    popup_->PlaceAndShow();
    // The press that opened the popup leaves the button: the capture window takes the mouse.
    pw::vcl::SetCaptureControl(nullptr);
    TControlState controlState = ControlState();
    SetControlState(controlState.Exclude(csClicked));
    dragging_ = false;
    SetCapture(captureWindow_);
    if (!keyboardHook_) keyboardHook_ = SetWindowsHookEx(WH_KEYBOARD, KeyboardHook, nullptr, 0);
}

void TColorPickerButton::ClosePopup() {
    state_ = bsUp;
    if (keyboardHook_) {
        UnhookWindowsHookEx(keyboardHook_);
        keyboardHook_ = nullptr;
    }
    if (GetCapture() == captureWindow_) ReleaseCapture();
    if (popup_->HandleAllocated()) ShowWindow(popup_->Handle(), SW_HIDE);
}

LRESULT TColorPickerButton::CaptureWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* button = reinterpret_cast<TColorPickerButton*>(GetWindowLongPtr(Wnd, GWLP_USERDATA));
    if (!button) return DefWindowProc(Wnd, Msg, WParam, LParam);
    TMessage message{Msg, WParam, LParam, 0};
    button->CaptureMessage(message);
    return message.Result;
}

// While a popup is open, keys go to the capture window first, as the class library hands keys to a
// window that holds the mouse: the popup reads them without taking the focus.
LRESULT TColorPickerButton::KeyboardHook(int Code, WPARAM Key, LPARAM KeyData) {
    TMessage message{WM_KEYDOWN, Key, KeyData, 0};
    const TWMKey key(message);
    if (Code == HC_ACTION && !key.Released()) {
        HWND capture = GetCapture();
        if (IsCaptureWindow(capture)) {
            const UINT msg = key.AltDown() ? CN_SYSKEYDOWN : CN_KEYDOWN;
            if (SendMessage(capture, msg, Key, KeyData) != 0) return 1;
        }
    }
    return CallNextHookEx(nullptr, Code, Key, KeyData);
}

void TColorPickerButton::CaptureMessage(TMessage& Message) {
    if (popupOpen_ && Message.Msg >= WM_MOUSEFIRST && Message.Msg <= kMouseLast) {
        const TWMMouse mouse(Message);
        POINT p = mouse.Pos();
        MapWindowPoints(captureWindow_, popup_->Handle(), &p, 1);
        Message.Result = popup_->Perform(Message.Msg, mouse.Keys(), PackPoint(p));
    } else if (popupOpen_ && (Message.Msg == CN_KEYDOWN || Message.Msg == CN_SYSKEYDOWN)) {
        Message.Result = popup_->Perform(Message.Msg, Message.WParam, Message.LParam);
    } else {
        Message.Result = DefWindowProc(captureWindow_, Message.Msg, Message.WParam, Message.LParam);
    }
}

void TColorPickerButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    inDropDownZone_ = X > Width() - dropDownWidth_;
    if (inDropDownZone_) {
        if (!popupOpen_) {
            Update();
            SetPopupOpen(true);
        }
        return;
    }
    if (!down_) {
        state_ = bsDown;
        Invalidate();
    }
    dragging_ = true;
}

void TColorPickerButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!dragging_) return;
    const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
    const TSpeedButtonState state = down_ ? bsExclusive : inside ? bsDown : bsUp;
    if (state == state_) return;
    state_ = state;
    Invalidate();
}

void TColorPickerButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!dragging_) return;
    dragging_ = false;
    const bool click = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
    if (groupIndex_ == 0) {
        state_ = bsUp;
        mouseInControl_ = false;
        Invalidate();
    } else if (click) {
        SetDown(!down_);
        if (down_) Repaint();
    } else {
        if (down_) state_ = bsExclusive;
        Repaint();
    }
    if (click) Click();
}

void TColorPickerButton::DblClick() {
    if (down_) TGraphicControl::DblClick();
}

void TColorPickerButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_BUTTONPRESSED:
        return CMButtonPressed(TCMButtonPressed(Message));
    case CM_DIALOGCHAR:
        return CMDialogChar(TWMChar(Message));
    case CM_ENABLEDCHANGED:
        return CMEnabledChanged(Message);
    case CM_MOUSEENTER:
        return CMMouseEnter(Message);
    case CM_MOUSELEAVE:
        return CMMouseLeave(Message);
    case CM_TEXTCHANGED:
        return CMTextChanged(Message);
    default:
        return TGraphicControl::WndProc(Message);
    }
}

void TColorPickerButton::CMDialogChar(TWMChar Message) {
    TCustomForm* form = GetParentForm(this);
    if (IsAccel(Message.CharCode(), Caption()) && Enabled() && Visible() && form && form->Active()) {
        Click();
        Message.Result = 1;
        return;
    }
    TGraphicControl::WndProc(Message);
}

void TColorPickerButton::CMEnabledChanged(TMessage& Message) {
    TGraphicControl::WndProc(Message);
    Invalidate();
}

void TColorPickerButton::CMMouseEnter(TMessage& Message) {
    TGraphicControl::WndProc(Message);
    if (flat_ && !mouseInControl_ && Enabled() && !GetCapture()) {
        mouseInControl_ = true;
        Repaint();
    }
}

void TColorPickerButton::CMMouseLeave(TMessage& Message) {
    TGraphicControl::WndProc(Message);
    if (flat_ && mouseInControl_ && Enabled() && !dragging_) {
        mouseInControl_ = false;
        Invalidate();
    }
}

void TColorPickerButton::CMTextChanged(TMessage& Message) {
    TGraphicControl::WndProc(Message);
    Invalidate();
}
