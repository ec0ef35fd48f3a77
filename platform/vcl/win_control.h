#pragma once
// Controls with a window of their own: the window is made on demand from CreateParams, its window
// procedure is WndProc, and it holds child controls, focus and keyboard handling.
#include <string>
#include <vector>

#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/vcl/control.h"

struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASS WindowClass;
    std::string WinClassName;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;
    std::string ClassName() const override { return "TWinControl"; }

    // The window, made when first asked for; EInvalidOperation when it cannot be made.
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded();
    HWND ParentWindow() const { return parentWindow_; }
    void SetParentWindow(HWND Value);
    void RecreateWnd();

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int Index) const { return controls_.at(static_cast<size_t>(Index)); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(const TControl* Control) const;
    // The visible and enabled child at a client point (graphic children are found too when AllowDisabled
    // or enabled), nullptr when none.
    TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false);

    void DisableAlign();
    void EnableAlign();
    void Realign();
    bool AlignDisabled() const { return alignLevel_ > 0; }

    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool Value) { tabStop_ = Value; }
    int TabOrder() const;
    void SetTabOrder(int Value);
    // Every focusable descendant in tab order (depth first).
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool Value) { doubleBuffered_ = Value; }

    bool Showing() const override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect ClientRect() override;
    TPoint ClientOrigin() override;
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    void SetEnabled(bool Value) override;
    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    // Sends Message to every child until one answers with a non-zero Result.
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);
    void PaintControls(HDC DC, const TControl* First);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

protected:
    virtual void CreateParams(TCreateParams& Params);
    // Makes the window an instance of an existing window class (a standard control): its procedure
    // becomes the default handler of ours.
    void CreateSubClass(TCreateParams& Params, const char* ControlClassName);
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void CreateWnd();
    virtual void CreateHandle();
    virtual void DestroyWnd();
    virtual void DestroyHandle();
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    virtual void AdjustClientRect(TRect& Rect) { (void)Rect; }
    virtual void PaintWindow(HDC DC);
    virtual void DoEnter();
    virtual void DoExit();
    // False when the key was swallowed (Key became 0).
    virtual bool DoKeyDown(WORD& Key, TShiftState Shift);
    virtual bool DoKeyUp(WORD& Key, TShiftState Shift);
    virtual bool DoKeyPress(char& Key);
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    // With a window, the text is the window's.
    std::string GetText() const override;
    void SetTextValue(const std::string& Value) override;
    void SetZOrder(bool TopMost) override;
    void BoundsChanged() override;
    void UpdateShowing();
    // The window moved or resized by itself: take its bounds.
    void UpdateBounds();
    // Frees the control once no message of it or of a descendant is being handled.
    void ReleaseWhenIdle();

private:
    friend class TControl;
    friend class TCustomForm;
    friend LRESULT ControlWindowProc(HWND, UINT, WPARAM, LPARAM);
    friend class DispatchGuard;
    void AlignControl(TControl* AControl);
    void AnchorChildren();
    // The client area took another size: anchor, align and tell the control, once per size.
    void ClientSizeChanged();
    void ControlMessage(TMessage& Message);
    void WMPaint(TWMPaint Message);
    void WMEraseBkgnd(TWMEraseBkgnd Message);
    void WMSetFocus(TMessage& Message);
    void WMDrawItem(TWMDrawItem Message);
    void WMContextMenu(TWMContextMenu Message);
    void WMSize(TMessage& Message);
    void WMMove(TMessage& Message);
    void WMSetCursor(TWMSetCursor Message);
    void WMMouseLeave(TMessage& Message);
    void WMCaptureChanged(TWMCaptureChanged Message);
    void CNKeyDown(TWMKey Message);
    void CNChar(TWMChar Message);
    void DialogChar(TWMChar Message);
    void CMEnabledChanged();
    // A font, colour or hint setting changed: the children that take their parent's follow.
    void ParentPropertyChanged(UINT ChildMsg, bool Redraw);
    void BroadcastAll(TMessage& Message);
    void MouseMessage(TWMMouse Message);
    void HandleKeyMessage(TMessage& Message);
    bool KeyDownHandled(TWMKey Message);
    bool KeyUpHandled(TWMKey Message);
    bool CharHandled(TWMChar Message);
    bool IsControlMouseMsg(TWMMouse Message);
    void PaintHandler(TWMPaint Message);
    void PaintBuffered(HDC DC, const TRect& Area);
    void TrackMouse(TWMMouse Message);
    void Reflect(HWND Child, TMessage& Message);
    // A child's notification goes back to the child as CN_*; false when hwnd is no control of ours.
    bool ReflectTo(HWND Child, TMessage& Message);

    HWND handle_ = nullptr;
    HWND parentWindow_ = nullptr;
    WNDPROC defWndProc_ = nullptr;
    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    int alignLevel_ = 0;
    bool tabStop_ = false;
    bool doubleBuffered_ = false;
    bool anchoring_ = false;
    // Dispatches of this control or a descendant under way, and a release waiting for them to end.
    int busy_ = 0;
    bool releasePending_ = false;
    TPoint lastClientSize_{-1, -1};
};

// CM_FOCUSCHANGED: the control that has the focus now.
struct TCMFocusChanged : MessageView {
    using MessageView::MessageView;
    TWinControl* Sender() const { return Pointer<TWinControl>(L()); }
};

// The control whose window hwnd is, nullptr for a foreign window.
TWinControl* FindControl(HWND hwnd);
// The window procedure every control window runs; catches what handlers throw.
LRESULT ControlWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
