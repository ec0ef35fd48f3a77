#pragma once
// The application object: the message loop, the main form, exceptions that leave handlers, hints,
// idle work and the command line.
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/message_views.h"
#include "platform/gui/messages.h"
#include "platform/gui/window_defs.h"
#include "platform/rtl/component.h"
#include "platform/vcl/control_types.h"

class Exception;
class TCustomForm;
class TControl;
class THintWindow;
namespace pw::gui {
class GuiApplication;
}

struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos{0, 0};
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect{0, 0, 0, 0};
    TPoint CursorPos{0, 0};
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    std::string HintStr;
    void* HintData = nullptr;
};

// CM_HINTSHOW: the hint about to show, which the control may change (or refuse by answering non-zero).
struct TCMHintShow : MessageView {
    using MessageView::MessageView;
    THintInfo* HintInfo() const { return Pointer<THintInfo>(L()); }
};

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
// Asked to show a help topic (Command HELP_CONTEXT, Data the topic's number; HELP_CONTEXTPOPUP, the same
// in a popup, placed at the point HELP_SETPOPUP_POS gave before, Data = MAKELONG(x, y)); answers whether
// it did.
using THelpEvent = std::function<bool(WORD Command, intptr_t Data, bool& CallHelp)>;
inline constexpr WORD HELP_CONTEXT = 0x0001;
inline constexpr WORD HELP_CONTEXTPOPUP = 0x0008;
inline constexpr WORD HELP_SETPOPUP_POS = 0x000D;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;
    std::string ClassName() const override { return "TApplication"; }

    // Starts the toolkit (offscreen when there is no display).
    void Initialize();
    // Creates a form owned by the application; the first one becomes the main form.
    template <class T> void CreateForm(T*& Reference) {
        T* form = new T(this);
        Reference = form;
        FormCreated(form);
    }
    // Shows the main form and runs the loop until Terminate or the main form closes; then frees the
    // forms the application owns (their OnDestroy runs), as the program ends with the loop.
    void Run();
    // True while Run frees the forms at the program's end: what they hold in memory may be left to the
    // ending process instead of being freed piece by piece (their files are written as ever).
    bool Ending() const { return ending_; }
    void ProcessMessages();
    // Input, timers and posted messages without painting.
    void ProcessMessagesUnpainted();
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return terminated_; }
    TCustomForm* MainForm() const { return mainForm_; }
    bool ShowMainForm() const { return showMainForm_; }
    void SetShowMainForm(bool Value) { showMainForm_ = Value; }
    // The run's windows can never be seen (no display, unattended): after Initialize and before the
    // first form, their text is given plain figures from the font's height instead of being measured.
    void MeasureNoText();

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& Value);
    std::string ExeName() const;

    // Call from a catch block: hands the exception to OnException, else shows it.
    void HandleException(TObject* Sender);
    void ShowException(const Exception& E);
    int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags = 0);
    // Shows the help topic Context through OnHelp; the program has no help system of its own to ask.
    bool HelpContext(int Context);
    // Any help command, through OnHelp as well.
    bool HelpCommand(WORD Command, intptr_t Data);

    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool Value);
    int HintPause() const { return hintPause_; }
    void SetHintPause(int Value) { hintPause_ = Value; }
    int HintHidePause() const { return hintHidePause_; }
    void SetHintHidePause(int Value) { hintHidePause_ = Value; }
    int HintShortPause() const { return hintShortPause_; }
    void SetHintShortPause(int Value) { hintShortPause_ = Value; }
    // Whether hints of controls with a shortcut name it: "Open (Ctrl+O)".
    bool HintShortCuts() const { return hintShortCuts_; }
    void SetHintShortCuts(bool Value) { hintShortCuts_ = Value; }
    TColor HintColor() const { return hintColor_; }
    void SetHintColor(TColor Value) { hintColor_ = Value; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& Value);
    void CancelHint();
    void HideHint();
    // The hint window while a hint shows, else nullptr.
    THintWindow* HintWindow() const;

    // No person sees the screen: offscreen toolkit (no display), or Initialize not called.
    bool Headless() const;

    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    THelpEvent OnHelp;
    TNotifyEvent OnHint;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // Kept by the forms and the window system.
    void MainFormGone(const TCustomForm* Form);
    void AppActivation(bool Active);

private:
    void FormCreated(TCustomForm* Form);
    void Idle();
    void MouseControlChanged(TControl* Control);
    void HintTimerFired(UINT_PTR Id);
    void HintMouseMoved(POINT Screen);
    void ActivateHint();

    std::unique_ptr<pw::gui::GuiApplication> gui_;
    int argc_ = 0;
    std::vector<std::string> argStore_;
    std::vector<char*> argv_;
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool showMainForm_ = true;
    bool running_ = false;
    bool ending_ = false;
    std::string title_;
    bool showHint_ = true;
    int hintPause_ = 500;
    int hintHidePause_ = 2500;
    int hintShortPause_ = 50;
    TColor hintColor_ = clInfoBk;
    bool hintShortCuts_ = true;
    std::string hint_;
    TControl* hintControl_ = nullptr;
    HWND hintTimerWnd_ = nullptr;
    THintWindow* hintWindow_ = nullptr;
    bool hintActive_ = false;
    bool appActive_ = false;
    // The area of the control the shown hint is about (screen coordinates).
    TRect hintCursorRect_{0, 0, 0, 0};
    bool hintRectValid_ = false;
};

extern TApplication* Application;

// The command line: ParamStr(0) is the program's path.
int ParamCount();
std::string ParamStr(int Index);
// True when a parameter is Switch led by one of Chars; letter case ignored unless IgnoreCase is false.
bool FindCmdLineSwitch(const std::string& Switch, const std::string& Chars = "-/", bool IgnoreCase = true);
std::string GetShortHint(const std::string& Hint);
std::string GetLongHint(const std::string& Hint);
