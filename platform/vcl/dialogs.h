#pragma once
// Message boxes, input boxes and the common dialogs (open, save, folder, colour), all asked through
// the prompt interface.
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/system.h"
#include "platform/rtl/component.h"
#include "platform/vcl/control_types.h"

class TStringList;

inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFMASK = 0x00000F00;
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;

// The Win32 message box: buttons, icon and default button from Type; answers IDOK, IDYES...
int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Type);

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// Answers mrYes, mrOk...; the default button is the first of OK, Yes (or the first button).
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
// A message box with buttons of the caller's captions; answers the index of the one chosen (the
// default one, DefaultIndex, with nobody at the screen) or -1 when it was closed without a choice.
int MessageDlgCaptions(const std::string& Caption, const std::string& Msg, TMsgDlgType DlgType,
                       const std::vector<std::string>& Captions, int DefaultIndex);
// Caption: the application's title.
void ShowMessage(const std::string& Msg);
std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& ADefault);
bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value);
// InputQuery with the typed text shown as "*".
bool PasswordQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value);
// Asks for a folder below Root; Directory holds the proposal and receives the choice.
bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory);

enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
    ofDontAddToRecent,
    ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;
    std::string ClassName() const override { return "TOpenDialog"; }

    // False when the person cancelled (or nobody is at the screen).
    virtual bool Execute();

    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& Value) { fileName_ = Value; }
    // Every chosen file (one unless ofAllowMultiSelect).
    TStringList& Files() { return *files_; }
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& Value) { filter_ = Value; }
    // Counts from 1.
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int Value) { filterIndex_ = Value; }
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& Value) { defaultExt_ = Value; }
    const std::string& InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& Value) { initialDir_ = Value; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& Value) { title_ = Value; }
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions Value) { options_ = Value; }

protected:
    bool DoExecute(bool Save);

private:
    std::string fileName_;
    std::unique_ptr<TStringList> files_;
    std::string filter_;
    int filterIndex_ = 1;
    std::string defaultExt_;
    std::string initialDir_;
    std::string title_;
    TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    std::string ClassName() const override { return "TSaveDialog"; }
    bool Execute() override;
};

class TColorDialog : public TComponent {
public:
    using TComponent::TComponent;
    std::string ClassName() const override { return "TColorDialog"; }
    bool Execute();
    TColor Color() const { return color_; }
    void SetColor(TColor Value) { color_ = Value; }

private:
    TColor color_ = clBlack;
};
