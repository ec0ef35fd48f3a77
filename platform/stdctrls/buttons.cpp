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
    if (Message.Msg == CN_COMMAND && HIWORD(static_cast<DWORD>(Message.WParam)) == BN_DBLCLK) {
        DblClick();
        return;
    }
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
        if (HIWORD(static_cast<DWORD>(Message.WParam)) == BN_CLICKED) {
            Click();
            return;
        }
        break;
    case CM_DIALOGKEY: {
        const bool enter = Message.WParam == VK_RETURN && active_;
        const bool escape = Message.WParam == VK_ESCAPE && cancel_;
        if ((enter || escape) && KeyDataToShiftState(Message.LParam).Empty() && CanFocus()) {
            Click();
            Message.Result = 1;
            return;
        }
        break;
    }
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<WORD>(Message.WParam), Caption()) && CanFocus()) {
            Click();
            Message.Result = 1;
            return;
        }
        break;
    case CM_FOCUSCHANGED: {
        // While a button has the focus, Enter presses that one; otherwise the default button.
        auto* sender = reinterpret_cast<TWinControl*>(Message.LParam);
        const bool active = dynamic_cast<TButton*>(sender) ? sender == this : default_;
        if (active != active_) {
            active_ = active;
            SetButtonStyle(active);
        }
        return;
    }
    default:
        break;
    }
    TButtonControl::WndProc(Message);
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
        if (HIWORD(static_cast<DWORD>(Message.WParam)) == BN_CLICKED) {
            Toggle();
            return;
        }
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<WORD>(Message.WParam), Caption()) && CanFocus()) {
            SetFocus();
            if (Focused()) Toggle();
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TButtonControl::WndProc(Message);
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
            if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
                other->SetChecked(false);
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
        if (HIWORD(static_cast<DWORD>(Message.WParam)) == BN_CLICKED) {
            SetChecked(true);
            return;
        }
        break;
    case WM_SETFOCUS:
        TButtonControl::WndProc(Message);
        // Arrow keys move the focus through the group and check the button they land on.
        if (!checked_ && GetKeyState(VK_LBUTTON) >= 0 &&
            (GetKeyState(VK_LEFT) < 0 || GetKeyState(VK_RIGHT) < 0 || GetKeyState(VK_UP) < 0 ||
             GetKeyState(VK_DOWN) < 0))
            SetChecked(true);
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<WORD>(Message.WParam), Caption()) && CanFocus()) {
            SetFocus();
            if (Focused()) SetChecked(true);
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TButtonControl::WndProc(Message);
}
