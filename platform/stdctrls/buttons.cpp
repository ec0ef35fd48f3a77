#include "platform/stdctrls/buttons.h"

#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/vcl/form.h"

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    InitCommonControls();
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TButtonControl::WndProc(TMessage& Message) {
    if (Message.Msg == CN_COMMAND && TWMCommand(Message).NotifyCode() == BN_DBLCLK) return DblClick();
    TWinControl::WndProc(Message);
}

// Push button.

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 75, 25);
    controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
}

void TButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
    TButtonControl::CreateWnd();
    active_ = default_;
    SetButtonStyle(active_);
}

void TButton::SetDefault(bool Value) {
    if (default_ == Value) return;
    default_ = Value;
    if (!HandleAllocated()) return;
    TCustomForm* form = GetParentForm(this);
    TWinControl* focused = form ? form->ActiveControl() : nullptr;
    if (!dynamic_cast<TButton*>(focused)) {
        active_ = Value;
        SetButtonStyle(Value);
    }
}

void TButton::SetButtonStyle(bool ADefault) {
    if (!HandleAllocated()) return;
    SendMessage(Handle(), BM_SETSTYLE, ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, 1);
}

void TButton::Click() {
    auto alive = AliveToken();
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
    if (alive.expired()) return;
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        return CNCommand(TWMCommand(Message));
    case CM_DIALOGKEY:
        return CMDialogKey(TWMKey(Message));
    case CM_DIALOGCHAR:
        return CMDialogChar(TWMChar(Message));
    case CM_FOCUSCHANGED:
        return CMFocusChanged(TCMFocusChanged(Message));
    default:
        return TButtonControl::WndProc(Message);
    }
}

void TButton::CNCommand(TWMCommand Message) {
    if (Message.NotifyCode() != BN_CLICKED) return TButtonControl::WndProc(Message);
    Click();
}

// Enter presses the active button, Escape the cancel button.
void TButton::CMDialogKey(TWMKey Message) {
    const bool enter = Message.CharCode() == VK_RETURN && active_;
    const bool escape = Message.CharCode() == VK_ESCAPE && cancel_;
    if (!(enter || escape) || !KeyDataToShiftState(Message.KeyData()).Empty() || !CanFocus())
        return TButtonControl::WndProc(Message);
    Click();
    Message.Result = 1;
}

void TButton::CMDialogChar(TWMChar Message) {
    if (!IsAccel(Message.CharCode(), Caption()) || !CanFocus()) return TButtonControl::WndProc(Message);
    Click();
    Message.Result = 1;
}

// While a button has the focus, Enter presses that one; otherwise the default button.
void TButton::CMFocusChanged(TCMFocusChanged Message) {
    TWinControl* sender = Message.Sender();
    const bool active = dynamic_cast<TButton*>(sender) ? sender == this : default_;
    if (active == active_) return;
    active_ = active;
    SetButtonStyle(active);
}

// Check box.

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 97, 17);
    controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
}

void TCheckBox::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    // Not an automatic one: the control decides the next state, so AllowGrayed holds.
    Params.Style |= BS_3STATE;
    if (alignment_ == taLeftJustify) Params.Style |= BS_LEFTTEXT;
    if (wordWrap_) Params.Style |= BS_MULTILINE;
}

void TCheckBox::SetWordWrap(bool Value) {
    if (wordWrap_ == Value) return;
    wordWrap_ = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessage(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCheckBox::SetState(TCheckBoxState Value) {
    if (state_ == Value) return;
    state_ = Value;
    if (HandleAllocated()) SendMessage(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
    if (!ClicksDisabled()) Click();
}

void TCheckBox::SetAlignment(TLeftRight Value) {
    if (alignment_ == Value) return;
    alignment_ = Value;
    RecreateWnd();
}

void TCheckBox::Toggle() {
    switch (state_) {
    case cbUnchecked:
        SetState(allowGrayed_ ? cbGrayed : cbChecked);
        break;
    case cbChecked:
        SetState(cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbChecked);
        break;
    }
}

void TCheckBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        return CNCommand(TWMCommand(Message));
    case CM_DIALOGCHAR:
        return CMDialogChar(TWMChar(Message));
    default:
        return TButtonControl::WndProc(Message);
    }
}

void TCheckBox::CNCommand(TWMCommand Message) {
    if (Message.NotifyCode() != BN_CLICKED) return TButtonControl::WndProc(Message);
    Toggle();
}

void TCheckBox::CMDialogChar(TWMChar Message) {
    if (!IsAccel(Message.CharCode(), Caption()) || !CanFocus()) return TButtonControl::WndProc(Message);
    SetFocus();
    if (Focused()) Toggle();
    Message.Result = 1;
}

// Radio button.

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 113, 17);
    controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
}

void TRadioButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= BS_RADIOBUTTON;
    if (alignment_ == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessage(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool Value) {
    if (checked_ == Value) return;
    checked_ = Value;
    // Only the checked button of a group is a tab stop, so Tab enters the group at its choice.
    SetTabStop(Value);
    if (HandleAllocated()) SendMessage(Handle(), BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!Value) return;
    if (TWinControl* parent = Parent())
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this) {
                other->SetChecked(false);
                // Also those never checked: the group is one stop, at its choice.
                other->SetTabStop(false);
            }
    if (!ClicksDisabled()) Click();
}

void TRadioButton::SetAlignment(TLeftRight Value) {
    if (alignment_ == Value) return;
    alignment_ = Value;
    RecreateWnd();
}

void TRadioButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        return CNCommand(TWMCommand(Message));
    case WM_SETFOCUS:
        return WMSetFocus(Message);
    case CM_DIALOGCHAR:
        return CMDialogChar(TWMChar(Message));
    default:
        return TButtonControl::WndProc(Message);
    }
}

void TRadioButton::CNCommand(TWMCommand Message) {
    if (Message.NotifyCode() != BN_CLICKED) return TButtonControl::WndProc(Message);
    SetChecked(true);
}

// Arrow keys move the focus through the group and check the button they land on.
void TRadioButton::WMSetFocus(TMessage& Message) {
    TButtonControl::WndProc(Message);
    if (!checked_ && GetKeyState(VK_LBUTTON) >= 0 &&
        (GetKeyState(VK_LEFT) < 0 || GetKeyState(VK_RIGHT) < 0 || GetKeyState(VK_UP) < 0 ||
         GetKeyState(VK_DOWN) < 0))
        SetChecked(true);
}

void TRadioButton::CMDialogChar(TWMChar Message) {
    if (!IsAccel(Message.CharCode(), Caption()) || !CanFocus()) return TButtonControl::WndProc(Message);
    SetFocus();
    if (Focused()) SetChecked(true);
    Message.Result = 1;
}
