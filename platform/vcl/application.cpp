#include "platform/vcl/application.h"
#include "platform/rtl/terminal_text.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/gdi/unseen_text.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/qt/gui_application.h"
#include "platform/gui/window.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/form.h"
#include "platform/vcl/hint_window.h"
#include "platform/vcl/prompt.h"
#include "platform/vcl/vcl_state.h"

TApplication* Application = new TApplication(nullptr);

namespace {

constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;

std::vector<std::string> CommandLine() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    size_t start = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i] == '\0') {
            args.push_back(all.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < all.size()) args.push_back(all.substr(start));
    return args;
}

std::string ExePath() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

} // namespace

int ParamCount() {
    return static_cast<int>(CommandLine().size()) - 1;
}

std::string ParamStr(int Index) {
    if (Index == 0) return ExePath();
    auto args = CommandLine();
    if (Index < 0 || Index >= static_cast<int>(args.size())) return std::string();
    return args[static_cast<size_t>(Index)];
}

bool FindCmdLineSwitch(const std::string& Switch, const std::string& Chars, bool IgnoreCase) {
    auto args = CommandLine();
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.empty() || Chars.find(a[0]) == std::string::npos) continue;
        std::string rest = a.substr(1);
        if (IgnoreCase ? SameText(rest, Switch) : rest == Switch) return true;
    }
    return false;
}

std::string GetShortHint(const std::string& Hint) {
    size_t bar = Hint.find('|');
    return bar == std::string::npos ? Hint : Hint.substr(0, bar);
}

std::string GetLongHint(const std::string& Hint) {
    size_t bar = Hint.find('|');
    return bar == std::string::npos ? Hint : Hint.substr(bar + 1);
}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
    pw::vcl::SetMouseControlObserver(nullptr);
    pw::vcl::SetMouseMoveObserver(nullptr);
    DestroyComponents();
    if (hintTimerWnd_) DeallocateHWnd(hintTimerWnd_);
    gui_.reset();
}

void TApplication::Initialize() {
    if (gui_) return;
    pw::gui::SelectPlatformForEnvironment();
    argStore_ = CommandLine();
    if (argStore_.empty()) argStore_.push_back(ExePath());
    argv_.clear();
    for (auto& a : argStore_)
        argv_.push_back(a.data());
    argv_.push_back(nullptr);
    argc_ = static_cast<int>(argStore_.size());
    gui_ = std::make_unique<pw::gui::GuiApplication>(argc_, argv_.data());
    pw::gui::SetExceptionHandler([this](const std::exception& e) {
        if (auto* ex = dynamic_cast<const Exception*>(&e)) {
            if (dynamic_cast<const EAbort*>(ex)) return;
            if (OnException)
                OnException(this, *ex);
            else
                ShowException(*ex);
        } else {
            Exception wrapped(e.what());
            if (OnException)
                OnException(this, wrapped);
            else
                ShowException(wrapped);
        }
    });
    pw::vcl::SetMouseControlObserver([this](TControl* c) { MouseControlChanged(c); });
    pw::vcl::SetMouseMoveObserver([this](POINT p) { HintMouseMoved(p); });
}

void TApplication::MeasureNoText() {
    pw::gdi::InstallUnseenText();
}

bool TApplication::Headless() const {
    return !gui_ || gui_->Headless();
}

void TApplication::SetTitle(const std::string& Value) {
    title_ = Value;
}

std::string TApplication::ExeName() const {
    return ExePath();
}

void TApplication::FormCreated(TCustomForm* Form) {
    if (!mainForm_) {
        Form->HandleNeeded();
        mainForm_ = Form;
    }
    Form->DoCreate();
}

void TApplication::MainFormGone(const TCustomForm* Form) {
    if (mainForm_ == Form) mainForm_ = nullptr;
}

void TApplication::Run() {
    running_ = true;
    if (mainForm_ && showMainForm_) mainForm_->SetVisible(true);
    while (!terminated_) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this);
        }
    }
    running_ = false;
    // The program ends with the loop: its forms go now, so that their OnDestroy work is done.
    ending_ = true;
    try {
        DestroyComponents();
    } catch (...) {
        HandleException(this);
    }
    ending_ = false;
}

void TApplication::ProcessMessages() {
    try {
        if (!::ProcessMessages()) terminated_ = true;
    } catch (...) {
        HandleException(this);
    }
}

void TApplication::ProcessMessagesUnpainted() {
    try {
        if (!::ProcessMessagesUnpainted()) terminated_ = true;
    } catch (...) {
        HandleException(this);
    }
}

void TApplication::HandleMessage() {
    MSG msg;
    if (PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            return;
        }
        TranslateMessage(msg);
        DispatchMessage(msg);
        return;
    }
    Idle();
}

void TApplication::Idle() {
    bool done = true;
    if (OnIdle) OnIdle(this, done);
    if (done && !terminated_) WaitMessage();
}

void TApplication::Terminate() {
    if (!terminated_) PostQuitMessage(0);
    terminated_ = true;
}

void TApplication::HandleException(TObject* Sender) {
    if (!std::current_exception()) return;
    if (!Sender) Sender = this;
    try {
        // cppcheck-suppress rethrowNoCurrentException
        throw;
    } catch (const EAbort&) {
    } catch (const Exception& e) {
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    } catch (const std::exception& e) {
        Exception wrapped(e.what());
        if (OnException)
            OnException(Sender, wrapped);
        else
            ShowException(wrapped);
    } catch (...) {
        Exception wrapped("Unknown exception");
        if (OnException)
            OnException(Sender, wrapped);
        else
            ShowException(wrapped);
    }
}

void TApplication::ShowException(const Exception& E) {
    std::string text = E.Message();
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    if (!pw::vcl::PersonAtScreen() && !pw::vcl::PrompterInstalled()) {
        std::fprintf(stderr, "%s\n", EscapeControlCharacters(text).c_str());
        std::fflush(stderr);
        return;
    }
    MessageBox(text, title_, MB_OK | MB_ICONERROR);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
    // The box belongs to the window it comes from, a dialog as well: it must stand in front of it.
    HWND owner = GetActiveWindow();
    if (owner == nullptr && mainForm_ && mainForm_->HandleAllocated()) owner = mainForm_->Handle();
    return ::MessageBox(owner, Text, Caption, Flags);
}

bool TApplication::HelpContext(int Context) {
    return HelpCommand(HELP_CONTEXT, Context);
}

bool TApplication::HelpCommand(WORD Command, intptr_t Data) {
    bool callHelp = true;
    return OnHelp && OnHelp(Command, Data, callHelp);
}

void TApplication::AppActivation(bool Active) {
    // Every top-level window hears it; the application reacts once per change.
    if (appActive_ == Active) return;
    appActive_ = Active;
    if (Active) {
        if (OnActivate) OnActivate(this);
    } else {
        CancelHint();
        if (OnDeactivate) OnDeactivate(this);
    }
}

void TApplication::SetHint(const std::string& Value) {
    if (hint_ == Value) return;
    hint_ = Value;
    if (OnHint) OnHint(this);
}

void TApplication::SetShowHint(bool Value) {
    showHint_ = Value;
    if (!Value) CancelHint();
}

THintWindow* TApplication::HintWindow() const {
    return hintActive_ ? hintWindow_ : nullptr;
}

void TApplication::HideHint() {
    hintActive_ = false;
    if (hintWindow_ && hintWindow_->HandleAllocated()) ShowWindow(hintWindow_->Handle(), SW_HIDE);
    if (hintTimerWnd_) KillTimer(hintTimerWnd_, kHintHideTimer);
}

void TApplication::CancelHint() {
    if (hintTimerWnd_) KillTimer(hintTimerWnd_, kHintShowTimer);
    HideHint();
    hintControl_ = nullptr;
    hintRectValid_ = false;
}

void TApplication::MouseControlChanged(TControl* Control) {
    SetHint(Control ? GetLongHint(Control->Hint()) : std::string());
    if (Control == hintControl_) return;
    bool wasShowing = hintActive_;
    CancelHint();
    if (!Control || !showHint_ || !Control->ShowHint() || GetShortHint(Control->Hint()).empty()) return;
    hintControl_ = Control;
    if (!hintTimerWnd_)
        hintTimerWnd_ = AllocateHWnd([this](TMessage& m) {
            if (m.Msg == WM_TIMER) {
                try {
                    HintTimerFired(TWMTimer(m).TimerID());
                } catch (...) {
                    HandleException(this);
                }
            } else {
                m.Result = DefWindowProc(hintTimerWnd_, m.Msg, m.WParam, m.LParam);
            }
        });
    // Moving from one hint to the next shows the next one almost at once.
    SetTimer(hintTimerWnd_, kHintShowTimer, static_cast<UINT>(wasShowing ? hintShortPause_ : hintPause_),
             nullptr);
}

void TApplication::HintMouseMoved(POINT Screen) {
    if (!hintControl_ || !hintRectValid_) return;
    const TRect& r = hintCursorRect_;
    if (Screen.x >= r.left && Screen.x < r.right && Screen.y >= r.top && Screen.y < r.bottom) return;
    // Another part of the same control: ask it again for the hint of that part.
    HideHint();
    hintRectValid_ = false;
    SetTimer(hintTimerWnd_, kHintShowTimer, static_cast<UINT>(hintShortPause_), nullptr);
}

void TApplication::HintTimerFired(UINT_PTR Id) {
    KillTimer(hintTimerWnd_, Id);
    if (Id == kHintHideTimer) {
        HideHint();
        return;
    }
    if (hintControl_) ActivateHint();
}

void TApplication::ActivateHint() {
    TControl* control = hintControl_;
    THintInfo info;
    info.HintControl = control;
    info.HintColor = hintColor_;
    info.HideTimeout = hintHidePause_;
    info.HintMaxWidth = 300;
    info.HintStr = GetShortHint(control->Hint());
    POINT cursor;
    GetCursorPos(cursor);
    info.CursorPos = control->ScreenToClient(cursor);
    info.CursorRect = control->ClientRect();
    info.HintPos = TPoint{cursor.x, cursor.y + 20};
    auto alive = control->AliveToken();
    LRESULT refused = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    if (alive.expired()) return;
    TPoint topLeft = control->ClientToScreen(TPoint{info.CursorRect.left, info.CursorRect.top});
    hintCursorRect_ = TRect{topLeft.x, topLeft.y, topLeft.x + info.CursorRect.right - info.CursorRect.left,
                            topLeft.y + info.CursorRect.bottom - info.CursorRect.top};
    hintRectValid_ = true;
    if (refused != 0 || info.HintStr.empty()) return;
    if (!hintWindow_) hintWindow_ = new THintWindow(this);
    hintWindow_->SetColor(info.HintColor);
    TRect r = hintWindow_->CalcHintRect(info.HintMaxWidth, info.HintStr);
    OffsetRect(r, info.HintPos.x, info.HintPos.y);
    hintWindow_->ActivateHint(r, info.HintStr);
    hintActive_ = true;
    if (info.HideTimeout > 0)
        SetTimer(hintTimerWnd_, kHintHideTimer, static_cast<UINT>(info.HideTimeout), nullptr);
}
