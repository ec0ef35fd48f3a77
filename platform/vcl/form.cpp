#include "platform/vcl/form.h"

#include <algorithm>
#include <vector>

#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/mdi.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/scope_guard.h"
#include "platform/vcl/application.h"
#include "platform/vcl/screen.h"

namespace {

// Disables the other enabled, visible top-level windows of this thread: the forms, and the windows of
// their own that are no forms, such as floating toolbars. Each is added to Disabled as it is, for the
// caller to enable again.
void DisableThreadWindows(HWND Except, std::vector<HWND>& Disabled) {
    std::vector<HWND> windows;
    const DWORD thread = GetCurrentThreadId();
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
        if (h != Except && GetWindowThreadProcessId(h, nullptr) == thread && IsWindowVisible(h) &&
            IsWindowEnabled(h))
            windows.push_back(h);
    for (HWND h : windows) {
        if (!IsWindow(h)) continue;
        Disabled.push_back(h);
        EnableWindow(h, 0);
    }
}

} // namespace

TCustomForm::TCustomForm(TComponent* AOwner) : TCustomControl(AOwner) {
    SetVisible(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    controlStyle_ =
        TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    Constraints().OnChange = [this](TObject*) {
        SetBounds(Left(), Top(), Width(), Height());
        SizeLimitsChanged();
    };
    Screen->AddForm(this);
}

void TCustomForm::CreateWnd() {
    TCustomControl::CreateWnd();
    SizeLimitsChanged();
    if (formStyle_ != fsMDIForm) return;
    CLIENTCREATESTRUCT ccs;
    clientHandle_ = CreateWindowEx(WS_EX_CLIENTEDGE, pw::gui::kMDIClientClass, "",
                                   WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                                   ClientWidth(), ClientHeight(), Handle(), nullptr, nullptr, &ccs);
    Realign();
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
    TCustomControl::AlignControls(AControl, Rect);
    if (HWND client = ClientHandle())
        MoveWindow(client, Rect.left, Rect.top, std::max(0, static_cast<int>(Rect.right - Rect.left)),
                   std::max(0, static_cast<int>(Rect.bottom - Rect.top)), TRUE_);
}

HWND TCustomForm::ClientHandle() const {
    return clientHandle_ != nullptr && IsWindow(clientHandle_) ? clientHandle_ : nullptr;
}

void TCustomForm::SendCancelMode(TControl* Sender) {
    // An MDI child is never the active window itself, so no form's activation is asked for.
    if (activeControl_ != nullptr)
        activeControl_->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
    if (formStyle_ == fsMDIForm)
        if (TCustomForm* child = ActiveMDIChild(); child != nullptr && child != this)
            child->SendCancelMode(Sender);
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
    HWND client = ClientHandle();
    if (client == nullptr) return nullptr;
    auto active = reinterpret_cast<HWND>(SendMessage(client, WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<TCustomForm*>(FindControl(active));
}

void TCustomForm::DefaultHandler(TMessage& Message) {
    if (formStyle_ != fsMDIChild || !HandleAllocated() ||
        !(GetWindowLong(Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD)) {
        TCustomControl::DefaultHandler(Message);
        return;
    }
    Message.Result = DefMDIChildProc(Handle(), Message.Msg, Message.WParam, Message.LParam);
}

void TCustomForm::SizeLimitsChanged() {
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::ConstrainTrackSize(MINMAXINFO& Info) {
    TSizeConstraints& c = Constraints();
    if (c.MinWidth() > 0) Info.ptMinTrackSize.x = c.MinWidth();
    if (c.MinHeight() > 0) Info.ptMinTrackSize.y = c.MinHeight();
    if (c.MaxWidth() > 0) Info.ptMaxTrackSize.x = c.MaxWidth();
    if (c.MaxHeight() > 0) Info.ptMaxTrackSize.y = c.MaxHeight();
}

TCustomForm::~TCustomForm() {
    Destroying();
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            Application->HandleException(this);
        }
    }
    Screen->RemoveForm(this);
    Application->MainFormGone(this);
}

void TCustomForm::DoCreate() {
    if (created_) return;
    created_ = true;
    if (OnCreate) OnCreate(this);
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_CLIPCHILDREN;
    Params.ExStyle = 0;
    switch (borderStyle_) {
    case bsNone:
        Params.Style |= WS_POPUP;
        break;
    case bsSingle:
    case bsToolWindow:
        Params.Style |= WS_CAPTION | WS_BORDER;
        break;
    case bsSizeable:
    case bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION;
        Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    }
    if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) Params.ExStyle |= WS_EX_TOOLWINDOW;
    if (borderStyle_ != bsNone && borderIcons_.Contains(biSystemMenu)) {
        Params.Style |= WS_SYSMENU;
        if (borderStyle_ == bsSingle || borderStyle_ == bsSizeable) {
            if (borderIcons_.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
            if (borderIcons_.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
        }
    }
    if (formStyle_ == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
    TCustomForm* main = Application->MainForm();
    Params.WndParent = (main && main != this && main->HandleAllocated()) ? main->Handle() : ParentWindow();
    if (formStyle_ == fsMDIChild && main != nullptr && main != this && main->ClientHandle() != nullptr) {
        Params.Style = (Params.Style & ~WS_POPUP) | WS_CHILD | WS_CLIPSIBLINGS;
        Params.ExStyle |= WS_EX_MDICHILD;
        Params.WndParent = main->ClientHandle();
    }
    Params.WinClassName = "TPWForm";
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (borderStyle_ == Value) return;
    borderStyle_ = Value;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (borderIcons_ == Value) return;
    borderIcons_ = Value;
    RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (formStyle_ == Value) return;
    const bool mdi =
        Value == fsMDIForm || Value == fsMDIChild || formStyle_ == fsMDIForm || formStyle_ == fsMDIChild;
    formStyle_ = Value;
    if (HandleAllocated() && mdi) {
        RecreateWnd();
        return;
    }
    if (HandleAllocated())
        SetWindowPos(Handle(), Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TRect TCustomForm::ClientRect() {
    return TCustomControl::ClientRect();
}

TWindowState TCustomForm::WindowState() {
    if (HandleAllocated()) {
        if (IsZoomed(Handle())) return wsMaximized;
        if (IsIconic(Handle())) return wsMinimized;
        if (Showing()) return wsNormal;
    }
    return windowState_;
}

void TCustomForm::SetWindowState(TWindowState Value) {
    RememberNormalBounds();
    windowState_ = Value;
    if (!HandleAllocated() || !Showing()) return;
    ShowWindow(Handle(), Value == wsMaximized   ? SW_SHOWMAXIMIZED
                         : Value == wsMinimized ? SW_MINIMIZE
                                                : SW_RESTORE);
}

void TCustomForm::RememberNormalBounds() {
    if (HandleAllocated() && (IsZoomed(Handle()) || IsIconic(Handle()))) return;
    normalBounds_ = BoundsRect();
}

TRect TCustomForm::NormalBounds() {
    RememberNormalBounds();
    return normalBounds_;
}

void TCustomForm::Show() {
    SetVisible(true);
    BringToFront();
}

void TCustomForm::ApplyPosition() {
    if (positioned_) return;
    positioned_ = true;
    TRect area;
    switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
        area = Screen->MonitorFromWindow(Handle())->WorkareaRect();
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* around = position_ == poOwnerFormCenter ? dynamic_cast<TCustomForm*>(Owner()) : nullptr;
        if (!around) around = Application->MainForm();
        if (!around || around == this || !around->Visible()) {
            area = Screen->WorkAreaRect();
        } else {
            area = around->BoundsRect();
        }
        break;
    }
    default:
        return;
    }
    int x = area.left + (area.right - area.left - Width()) / 2;
    int y = area.top + (area.bottom - area.top - Height()) / 2;
    // Keep the caption reachable on the screen's work area.
    TRect work = Screen->WorkAreaRect();
    x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - Width()));
    y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - Height()));
    SetBounds(x, y, Width(), Height());
}

void TCustomForm::ShowingChanged() {
    if (Visible()) {
        HandleNeeded();
        ApplyPosition();
        auto alive = AliveToken();
        DoShow();
        if (alive.expired() || !Visible()) return;
        int cmd = SW_SHOWNORMAL;
        if (windowState_ == wsMaximized) cmd = SW_SHOWMAXIMIZED;
        if (windowState_ == wsMinimized) cmd = SW_SHOWMINIMIZED;
        ShowWindow(Handle(), cmd);
        if (!alive.expired() && !active_ && windowState_ != wsMinimized &&
            !(GetWindowLong(Handle(), GWL_STYLE) & WS_CHILD))
            SetActiveWindow(Handle());
    } else if (HandleAllocated()) {
        DoHide();
        ShowWindow(Handle(), SW_HIDE);
    }
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

void TCustomForm::Activate() {
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    if (Root != this) return;
    for (int i = 0; i < ComponentCount(); ++i)
        if (!Components(i)->HasParent()) Proc(Components(i));
}

void TCustomForm::Paint() {
    if (OnPaint) OnPaint(this);
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    auto alive = AliveToken();
    if (!CloseQuery() || alive.expired()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (alive.expired() || action == caNone) return;
    if (Application->MainForm() == this) {
        Application->Terminate();
    } else if (action == caHide) {
        Hide();
    } else if (action == caMinimize) {
        SetWindowState(wsMinimized);
    } else {
        Release();
    }
}

void TCustomForm::Release() {
    if (HandleAllocated())
        PostMessage(Handle(), CM_RELEASE, 0, 0);
    else
        ReleaseWhenIdle();
}

TModalResult TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
    if (GetCapture()) ReleaseCapture();
    auto alive = AliveToken();
    HWND previous = GetActiveWindow();
    modal_ = true;
    modalResult_ = mrNone;
    TModalResult result = mrCancel;
    {
        // However the dialog ends, it goes and the window active before it is active again.
        const ThrowingScopeGuard leave([&] {
            if (!alive.expired()) Hide();
            if (previous && IsWindow(previous)) SetActiveWindow(previous);
        });
        std::vector<HWND> disabled;
        const ThrowingScopeGuard restore([&] {
            for (HWND h : disabled)
                if (IsWindow(h)) EnableWindow(h, 1);
            if (!alive.expired()) modal_ = false;
        });
        // Every other window of the program waits while the dialog is up.
        DisableThreadWindows(HandleAllocated() ? Handle() : nullptr, disabled);
        Show();
        while (!alive.expired()) {
            Application->HandleMessage();
            if (alive.expired()) break;
            if (Application->Terminated()) {
                modalResult_ = mrCancel;
                break;
            }
            if (!ModalLoopEnded()) continue;
            // Closing may be refused (OnCloseQuery) or turned into nothing (caNone).
            modal_ = false;
            bool closes = CloseQuery();
            if (alive.expired()) break;
            TCloseAction action = caHide;
            if (closes) DoClose(action);
            if (alive.expired()) break;
            modal_ = true;
            if (!closes || action == caNone) {
                modalResult_ = mrNone;
                continue;
            }
            if (action == caFree) Release();
            break;
        }
        if (!alive.expired()) result = modalResult_;
    }
    return result;
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (activeControl_ == Control) return;
    if (Control && (!Control->CanFocus() || GetParentForm(Control) != this))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    activeControl_ = Control;
    if (active_ && Control && HandleAllocated()) ::SetFocus(Control->Handle());
}

void TCustomForm::FocusControl(TWinControl* Control) {
    bool wasActive = active_;
    SetActiveControl(Control);
    if (wasActive) {
        if (Control && !Control->Focused()) ::SetFocus(Control->Handle());
        return;
    }
    if (!Visible() || !Enabled()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    // Activation gives the focus to the active control.
    SetActiveWindow(Handle());
}

void TCustomForm::SetFocusedControl(TWinControl* Control) {
    if (focusedControl_ == Control) return;
    TWinControl* old = focusedControl_;
    focusedControl_ = Control;
    if (Control != this) activeControl_ = Control;
    auto alive = AliveToken();
    if (old && old != this) {
        auto oldAlive = old->AliveToken();
        old->DoExit();
        if (alive.expired()) return;
    }
    if (Control && Control != this && focusedControl_ == Control) Control->DoEnter();
    if (!alive.expired()) Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
}

void TCustomForm::ControlRemoved(const TControl* Control) {
    if (activeControl_ == Control) activeControl_ = nullptr;
    if (focusedControl_ == Control) focusedControl_ = nullptr;
}

void TCustomForm::SetInitialFocus() {
    TWinControl* target = activeControl_;
    if (!target || !target->CanFocus()) target = FindNextControl(nullptr, true, true, false);
    if (target)
        ::SetFocus(target->Handle());
    else
        ::SetFocus(Handle());
}

void TCustomForm::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_VISIBLECHANGED:
        return ShowingChanged();
    case WM_CLOSE:
        return Close();
    case WM_ACTIVATE:
        return WMActivate(TWMActivate(Message));
    case WM_ACTIVATEAPP:
        return WMActivateApp(TWMFlag(Message));
    case WM_SETFOCUS:
        return WMSetFocus(Message);
    case WM_SIZE:
    case WM_MOVE:
        return WMSizeOrMove(Message);
    case WM_GETMINMAXINFO:
        return WMGetMinMaxInfo(TWMGetMinMaxInfo(Message));
    case CM_DIALOGKEY:
        return CMDialogKey(TWMKey(Message));
    default:
        return TCustomControl::WndProc(Message);
    }
}

void TCustomForm::WMActivate(TWMActivate Message) {
    if (Message.Active() == WA_INACTIVE) {
        active_ = false;
        Deactivate();
        return;
    }
    auto alive = AliveToken();
    active_ = true;
    Screen->SetActiveForm(this);
    Activate();
    if (!alive.expired() && !Message.Minimized()) SetInitialFocus();
}

void TCustomForm::WMActivateApp(TWMFlag Message) {
    Application->AppActivation(Message.On());
    DefaultHandler(Message);
}

void TCustomForm::WMSetFocus(TMessage& Message) {
    if (activeControl_ && activeControl_ != this && activeControl_->CanFocus()) {
        ::SetFocus(activeControl_->Handle());
        return;
    }
    SetFocusedControl(this);
    DefaultHandler(Message);
}

void TCustomForm::WMGetMinMaxInfo(TWMGetMinMaxInfo Message) {
    DefaultHandler(Message);
    if (MINMAXINFO* info = Message.MinMaxInfo()) ConstrainTrackSize(*info);
}

void TCustomForm::WMSizeOrMove(TMessage& Message) {
    TCustomControl::WndProc(Message);
    RememberNormalBounds();
}

// Tab and Shift+Tab move through the form, the arrows through the focused control's siblings.
void TCustomForm::CMDialogKey(TWMKey Message) {
    if (GetKeyState(VK_MENU) < 0) return TCustomControl::WndProc(Message);
    switch (Message.CharCode()) {
    case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
            SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
            Message.Result = 1;
            return;
        }
        break;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        if (activeControl_ && activeControl_->Parent()) {
            const bool forward = Message.CharCode() == VK_RIGHT || Message.CharCode() == VK_DOWN;
            activeControl_->Parent()->SelectNext(activeControl_, forward, false);
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TCustomControl::WndProc(Message);
}
