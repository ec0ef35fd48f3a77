// The window of a windowed control: its handle made and destroyed, the table from windows to controls,
// and the window procedure that hands a window's messages to its control.
#include "platform/vcl/win_control.h"

#include <map>

#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/rtl/format.h"
#include "platform/vcl/screen.h"
#include "platform/vcl/vcl_state.h"

namespace {

std::map<HWND, TWinControl*>& HandleTable() {
    static std::map<HWND, TWinControl*> table;
    return table;
}

// The control whose CreateWindowEx call is under way: its window's first messages belong to it.
thread_local TWinControl* creatingControl = nullptr;

} // namespace

TWinControl* FindControl(HWND hwnd) {
    auto it = HandleTable().find(hwnd);
    return it == HandleTable().end() ? nullptr : it->second;
}

// Counts a dispatch for the control and its parents, so that a release asked for meanwhile waits until
// none of their handlers is running any more.
class DispatchGuard {
public:
    explicit DispatchGuard(TWinControl* control) {
        for (TWinControl* c = control; c; c = c->Parent()) {
            chain_.push_back({c, c->AliveToken()});
            ++c->busy_;
        }
    }
    ~DispatchGuard() {
        TWinControl* release = nullptr;
        for (auto& [c, token] : chain_) {
            if (token.expired()) continue;
            if (--c->busy_ == 0 && c->releasePending_) release = c;
        }
        // The outermost one waiting frees its descendants with it; what its children handle while it
        // goes must not free it again.
        if (release) {
            release->releasePending_ = false;
            delete release;
        }
    }
    DispatchGuard(const DispatchGuard&) = delete;
    DispatchGuard& operator=(const DispatchGuard&) = delete;

private:
    std::vector<std::pair<TWinControl*, std::weak_ptr<void>>> chain_;
};

LRESULT ControlWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = FindControl(hwnd);
    if (!control && creatingControl) {
        control = creatingControl;
        control->handle_ = hwnd;
        HandleTable()[hwnd] = control;
    }
    if (!control) return DefWindowProc(hwnd, msg, wParam, lParam);
    LRESULT result = 0;
    if (control->ComponentState().Contains(csDestroying)) {
        result = DefWindowProc(hwnd, msg, wParam, lParam);
    } else {
        auto alive = control->AliveToken();
        DispatchGuard guard(control);
        TMessage m{msg, wParam, lParam, 0};
        try {
            control->WndProc(m);
        } catch (...) {
            pw::vcl::HandleDispatchException(alive.expired() ? nullptr : control);
        }
        result = m.Result;
        if (alive.expired()) return result;
    }
    if (msg == WM_NCDESTROY) {
        HandleTable().erase(hwnd);
        if (control->handle_ == hwnd) control->handle_ = nullptr;
    }
    return result;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    Destroying();
    if (handle_) TWinControl::DestroyHandle();
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        RemoveControl(c);
        delete c;
    }
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return handle_;
}

void TWinControl::HandleNeeded() {
    if (handle_) return;
    if (parent_) parent_->HandleNeeded();
    CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value) {
    if (parentWindow_ == Value) return;
    parentWindow_ = Value;
    if (!parent_ && handle_) RecreateWnd();
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    // A child's new window takes WS_VISIBLE from Visible; a top-level one is shown as the old one was.
    const bool shownTopLevel = !parent_ && IsWindowVisible(handle_);
    DestroyHandle();
    HandleNeeded();
    if (shownTopLevel && handle_) ShowWindow(handle_, SW_SHOWNA);
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Caption = GetText();
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    // Only containers keep their painting off their children; a control with windows of its own inside
    // (a combo box's edit) paints under them and they paint again after it.
    if (controlStyle_.Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
    if (Visible() && parent_) Params.Style |= WS_VISIBLE;
    if (!Enabled()) Params.Style |= WS_DISABLED;
    if (tabStop_) Params.Style |= WS_TABSTOP;
    Params.X = Left();
    Params.Y = Top();
    Params.Width = Width();
    Params.Height = Height();
    Params.WndParent = parent_ ? parent_->Handle() : parentWindow_;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = ControlWindowProc;
    Params.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName) {
    WNDCLASS wc;
    if (!GetClassInfo(nullptr, ControlClassName, wc))
        throw EOSError(Format("Cannot find window class %s", ControlClassName));
    defWndProc_ = wc.lpfnWndProc;
    Params.WindowClass = wc;
    Params.WindowClass.lpfnWndProc = ControlWindowProc;
    Params.WindowClass.lpszClassName = nullptr;
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    TWinControl* saved = creatingControl;
    creatingControl = this;
    HWND h = CreateWindowEx(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                            Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                            nullptr, Params.Param);
    creatingControl = saved;
    if (h && !handle_) {
        handle_ = h;
        HandleTable()[h] = this;
    }
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.WndParent)
        throw EInvalidOperation(Format("Control '%s' has no parent window", Name().c_str()));
    if (!controlStyle_.Contains(csDoubleClicks)) params.WindowClass.style &= ~CS_DBLCLKS;
    std::string className = params.WinClassName;
    if (params.WindowClass.style != (CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS) || defWndProc_)
        className += Format(".%x.", params.WindowClass.style) +
                     std::to_string(reinterpret_cast<uintptr_t>(defWndProc_));
    params.WinClassName = className;
    WNDCLASS existing;
    if (!GetClassInfo(nullptr, className.c_str(), existing)) {
        WNDCLASS wc = params.WindowClass;
        wc.lpfnWndProc = ControlWindowProc;
        wc.lpszClassName = className.c_str();
        if (!RegisterClass(wc)) throw EOSError(Format("Cannot register window class %s", className.c_str()));
    }
    CreateWindowHandle(params);
    if (!handle_) throw EOSError(Format("Error creating window %s", Name().c_str()));
}

void TWinControl::CreateHandle() {
    if (handle_) return;
    CreateWnd();
    lastClientSize_ = TPoint{-1, -1};
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->HandleNeeded();
}

void TWinControl::DestroyWnd() {
    if (!handle_) return;
    // The next window is made with the text this one has now.
    TControl::SetTextValue(GetWindowText(handle_));
    DestroyWindow(handle_);
}

std::string TWinControl::GetText() const {
    return handle_ ? GetWindowText(handle_) : TControl::GetText();
}

void TWinControl::SetTextValue(const std::string& Value) {
    if (!handle_) {
        TControl::SetTextValue(Value);
        return;
    }
    // The window holds the text while it lives (DestroyWnd takes it back): a long text is not kept twice.
    TControl::SetTextValue(std::string());
    SetWindowText(handle_, Value);
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    controlState_.Include(csDestroyingHandle);
    // Children first, each through its own DestroyWnd, so that they keep what their windows held.
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->handle_) w->DestroyHandle();
    HWND h = handle_;
    DestroyWnd();
    HandleTable().erase(h);
    handle_ = nullptr;
    controlState_.Exclude(csDestroyingHandle);
}

void TWinControl::ReleaseWhenIdle() {
    releasePending_ = true;
    if (busy_ != 0) return;
    releasePending_ = false;
    delete this;
}
