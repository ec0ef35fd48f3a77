#pragma once
// Top-level windows of the program: showing, modal showing with a result, closing with the owner's
// consent, activation, the focused control and keyboard navigation between controls.
#include "platform/vcl/custom_control.h"

class TCustomForm : public TCustomControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    std::string ClassName() const override { return "TCustomForm"; }

    // Fires OnCreate once; a form built in code calls it at the end of its constructor (CreateForm
    // calls it too, for forms that did not).
    void DoCreate();

    void Show();
    void Hide() { SetVisible(false); }
    // Shows the form and runs a local loop until ModalResult is set; EInvalidOperation when the form is
    // visible already.
    virtual TModalResult ShowModal();
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult Value) { modalResult_ = Value; }
    bool Modal() const { return modal_; }
    // Whether its modal loop has its result: the loop answers no message after the one that set it, and
    // then closes the form unless the form refuses.
    bool ModalLoopEnded() const { return modal_ && modalResult_ != mrNone; }
    void Close();
    bool CloseQuery();
    // Frees the form from the message loop, once none of its handlers runs any more.
    void Release();

    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* Control);
    void FocusControl(TWinControl* Control);
    bool Active() const { return active_; }
    // The focused control (and an MDI frame's active child's) gives up what it holds the mouse for: a
    // menu or a bar is about to take the input. Sender is passed on as the message's lParam.
    void SendCancelMode(TControl* Sender);
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool Value) { keyPreview_ = Value; }

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons Value);
    TFormStyle FormStyle() const { return formStyle_; }
    // Takes effect for the window made next; an MDI child goes into the main form's MDI client.
    void SetFormStyle(TFormStyle Value);
    // An MDI form's client window, which holds its MDI children (0 for other forms or without a window).
    HWND ClientHandle() const;
    // Forgets the MDI client window (nullptr) or takes it back: while a caller places that window
    // itself, the form's alignment leaves it alone.
    void SetClientHandle(HWND Value) { clientHandle_ = Value; }
    // The MDI child the client has active, nullptr when none.
    TCustomForm* ActiveMDIChild() const;
    TPosition Position() const { return position_; }
    void SetPosition(TPosition Value) { position_ = Value; }
    TWindowState WindowState();
    void SetWindowState(TWindowState Value);
    // The bounds the form has, or returns to, in the normal state; reading them changes nothing.
    TRect NormalBounds();

    TRect ClientRect() override;
    // The stream stores the form's own components that have no parent component under the form.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void WndProc(TMessage& Message) override;
    // An MDI child's messages end in the MDI child procedure.
    void DefaultHandler(TMessage& Message) override;
    // The control that has the keyboard focus changed to Control (or to the form itself).
    void SetFocusedControl(TWinControl* Control);
    // Forgets a control that goes away.
    void ControlRemoved(const TControl* Control);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The MDI client takes what the aligned controls leave.
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Paint() override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();

private:
    void WMActivate(TWMActivate Message);
    void WMActivateApp(TWMFlag Message);
    void WMSetFocus(TMessage& Message);
    void WMSizeOrMove(TMessage& Message);
    void WMGetMinMaxInfo(TWMGetMinMaxInfo Message);
    void CMDialogKey(TWMKey Message);
    void ShowingChanged();
    void ApplyPosition();
    void SetInitialFocus();
    void RememberNormalBounds();
    // The frame takes the constraints as the smallest and largest size a person may give the window.
    void SizeLimitsChanged();
    void ConstrainTrackSize(MINMAXINFO& Info);

    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
    bool active_ = false;
    bool keyPreview_ = false;
    bool created_ = false;
    bool positioned_ = false;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
    TFormStyle formStyle_ = fsNormal;
    HWND clientHandle_ = nullptr;
    TPosition position_ = poDesigned;
    TWindowState windowState_ = wsNormal;
    TRect normalBounds_{0, 0, 0, 0};
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
    std::string ClassName() const override { return "TForm"; }
};
