#pragma once
// Push buttons, check boxes and radio buttons over the "BUTTON" window class.
#include "platform/stdctrls/std_types.h"
#include "platform/vcl/win_control.h"

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);
    std::string ClassName() const override { return "TButtonControl"; }
    void WndProc(TMessage& Message) override;

protected:
    // Writes that change the state call Click themselves; these hold them back while the window
    // reports a state it was given.
    bool ClicksDisabled() const { return clicksDisabled_ > 0; }
    struct ClicksOff {
        explicit ClicksOff(TButtonControl& c) : c_(c) { ++c_.clicksDisabled_; }
        ~ClicksOff() { --c_.clicksDisabled_; }
        TButtonControl& c_;
    };

private:
    int clicksDisabled_ = 0;
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* AOwner);
    std::string ClassName() const override { return "TButton"; }
    bool Default() const { return default_; }
    void SetDefault(bool Value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool Value) { cancel_ = Value; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult Value) { modalResult_ = Value; }
    // Clicks the button as the user would.
    void Click() override;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The button style showing whether Enter presses this button now.
    virtual void SetButtonStyle(bool ADefault);

private:
    void CNCommand(TWMCommand Message);
    void CMDialogKey(TWMKey Message);
    void CMDialogChar(TWMChar Message);
    void CMFocusChanged(TCMFocusChanged Message);
    bool default_ = false;
    bool cancel_ = false;
    // Enter presses this button: it is the default one and no other button has the focus, or it has.
    bool active_ = false;
    TModalResult modalResult_ = mrNone;
};

class TCheckBox : public TButtonControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    std::string ClassName() const override { return "TCheckBox"; }
    bool Checked() const { return state_ == cbChecked; }
    // Fires OnClick when the state changes.
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool Value) { allowGrayed_ = Value; }
    TLeftRight Alignment() const { return alignment_; }
    void SetAlignment(TLeftRight Value);
    // A caption longer than the box is wide goes on over more lines.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool Value);
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void Toggle();

private:
    void CNCommand(TWMCommand Message);
    void CMDialogChar(TWMChar Message);
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
    TLeftRight alignment_ = taRightJustify;
    bool wordWrap_ = false;
};

// Radio buttons with the same parent form one group: checking one unchecks the others.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    std::string ClassName() const override { return "TRadioButton"; }
    bool Checked() const { return checked_; }
    // Checking fires OnClick; unchecking fires nothing.
    void SetChecked(bool Value);
    TLeftRight Alignment() const { return alignment_; }
    void SetAlignment(TLeftRight Value);
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    void CNCommand(TWMCommand Message);
    void WMSetFocus(TMessage& Message);
    void CMDialogChar(TWMChar Message);
    bool checked_ = false;
    TLeftRight alignment_ = taRightJustify;
};
