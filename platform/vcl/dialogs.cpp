#include "platform/vcl/dialogs.h"

#include "platform/gui/input.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/string_list.h"
#include "platform/vcl/application.h"
#include "platform/vcl/prompt.h"

using pw::vcl::PromptAnswer;
using pw::vcl::PromptKind;
using pw::vcl::PromptRequest;

int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Type) {
    PromptRequest r;
    r.owner = Owner;
    r.caption = Caption.empty() ? std::string("Error") : Caption;
    r.text = Text;
    r.icon = Type & MB_ICONMASK;
    switch (Type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        r.buttons = {{"OK", IDOK}, {"Cancel", IDCANCEL}};
        r.cancelResult = IDCANCEL;
        break;
    case MB_ABORTRETRYIGNORE:
        r.buttons = {{"&Abort", IDABORT}, {"&Retry", IDRETRY}, {"&Ignore", IDIGNORE}};
        r.cancelResult = IDABORT;
        break;
    case MB_YESNOCANCEL:
        r.buttons = {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}};
        r.cancelResult = IDCANCEL;
        break;
    case MB_YESNO:
        r.buttons = {{"&Yes", IDYES}, {"&No", IDNO}};
        r.cancelResult = IDNO;
        break;
    case MB_RETRYCANCEL:
        r.buttons = {{"&Retry", IDRETRY}, {"Cancel", IDCANCEL}};
        r.cancelResult = IDCANCEL;
        break;
    default:
        r.buttons = {{"OK", IDOK}};
        r.cancelResult = IDOK;
        break;
    }
    size_t def = (Type & MB_DEFMASK) == MB_DEFBUTTON2 ? 1 : (Type & MB_DEFMASK) == MB_DEFBUTTON3 ? 2 : 0;
    r.defaultButton = def < r.buttons.size() ? def : 0;
    return pw::vcl::Ask(r).result;
}

namespace {

const char* const kButtonCaptions[] = {"&Yes",    "&No",  "OK",         "Cancel",      "&Abort", "&Retry",
                                       "&Ignore", "&All", "N&o to All", "Yes to &All", "&Help"};
const int kButtonResults[] = {mrYes,    mrNo,  mrOk,      mrCancel,   mrAbort, mrRetry,
                              mrIgnore, mrAll, mrNoToAll, mrYesToAll, 0};

std::string DialogCaption(TMsgDlgType type) {
    switch (type) {
    case mtWarning:
        return "Warning";
    case mtError:
        return "Error";
    case mtInformation:
        return "Information";
    case mtConfirmation:
        return "Confirm";
    default:
        return Application->Title();
    }
}

unsigned DialogIcon(TMsgDlgType type) {
    switch (type) {
    case mtWarning:
        return MB_ICONWARNING;
    case mtError:
        return MB_ICONERROR;
    case mtInformation:
        return MB_ICONINFORMATION;
    case mtConfirmation:
        return MB_ICONQUESTION;
    default:
        return 0;
    }
}

} // namespace

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
    (void)HelpCtx;
    PromptRequest r;
    r.caption = DialogCaption(DlgType);
    r.text = Msg;
    r.owner = GetActiveWindow();
    r.icon = DialogIcon(DlgType);
    for (int b = mbYes; b <= mbHelp; ++b)
        if (Buttons.Contains(static_cast<TMsgDlgBtn>(b)))
            r.buttons.push_back({kButtonCaptions[b], kButtonResults[b]});
    if (r.buttons.empty()) r.buttons.push_back({"OK", mrOk});
    for (size_t i = 0; i < r.buttons.size(); ++i)
        if (r.buttons[i].result == mrOk || r.buttons[i].result == mrYes) {
            r.defaultButton = i;
            break;
        }
    r.cancelResult = Buttons.Contains(mbCancel) ? mrCancel
                     : Buttons.Contains(mbNo)   ? mrNo
                                                : r.buttons[0].result;
    return pw::vcl::Ask(r).result;
}

int MessageDlgCaptions(const std::string& Caption, const std::string& Msg, TMsgDlgType DlgType,
                       const std::vector<std::string>& Captions, int DefaultIndex) {
    PromptRequest r;
    r.caption = Caption;
    r.text = Msg;
    r.owner = GetActiveWindow();
    r.icon = DialogIcon(DlgType);
    for (size_t i = 0; i < Captions.size(); ++i)
        r.buttons.push_back({Captions[i], static_cast<int>(i)});
    r.defaultButton = DefaultIndex >= 0 ? static_cast<size_t>(DefaultIndex) : 0;
    r.cancelResult = -1;
    return pw::vcl::Ask(r).result;
}

void ShowMessage(const std::string& Msg) {
    PromptRequest r;
    r.caption = Application->Title();
    r.text = Msg;
    r.owner = GetActiveWindow();
    r.buttons = {{"OK", mrOk}};
    r.cancelResult = mrOk;
    pw::vcl::Ask(r);
}

namespace {
bool AskInput(const std::string& ACaption, const std::string& APrompt, std::string& Value, bool Masked) {
    PromptRequest r;
    r.kind = PromptKind::Input;
    r.masked = Masked;
    r.caption = ACaption;
    r.text = APrompt;
    r.value = Value;
    PromptAnswer a = pw::vcl::Ask(r);
    if (a.result != IDOK) return false;
    Value = a.value;
    return true;
}
} // namespace

bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value) {
    return AskInput(ACaption, APrompt, Value, false);
}

bool PasswordQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value) {
    return AskInput(ACaption, APrompt, Value, true);
}

std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& ADefault) {
    std::string value = ADefault;
    return InputQuery(ACaption, APrompt, value) ? value : ADefault;
}

bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory) {
    PromptRequest r;
    r.kind = PromptKind::SelectFolder;
    r.caption = Caption;
    r.initialDir = Root;
    r.value = Directory;
    PromptAnswer a = pw::vcl::Ask(r);
    if (a.result != IDOK || a.value.empty()) return false;
    Directory = a.value;
    return true;
}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner), files_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() {
    return DoExecute(false);
}

bool TSaveDialog::Execute() {
    return DoExecute(true);
}

bool TOpenDialog::DoExecute(bool Save) {
    PromptRequest r;
    r.kind = Save ? PromptKind::SaveFile : PromptKind::OpenFile;
    r.caption = title_.empty() ? std::string(Save ? "Save As" : "Open") : title_;
    r.value = fileName_;
    r.filter = filter_;
    r.filterIndex = filterIndex_;
    r.initialDir = initialDir_;
    r.defaultExt = defaultExt_;
    r.multiSelect = !Save && options_.Contains(ofAllowMultiSelect);
    std::string rejected;
    for (;;) {
        PromptAnswer a = pw::vcl::Ask(r);
        if (a.result != IDOK) return false;
        std::vector<std::string> chosen = a.files;
        if (chosen.empty() && !a.value.empty()) chosen.push_back(a.value);
        if (chosen.empty()) return false;
        if (!r.multiSelect) chosen.resize(1);
        for (std::string& f : chosen)
            if (!defaultExt_.empty() && ExtractFileExt(f).empty()) f += "." + defaultExt_;
        bool retry = false;
        for (const std::string& f : chosen) {
            std::string dir = ExtractFilePath(f);
            if (options_.Contains(ofPathMustExist) && !dir.empty() && !DirectoryExists(dir)) {
                MessageBox(nullptr,
                           Format("%s\nPath does not exist.\nCheck the path and try again.", f.c_str()),
                           r.caption, MB_OK | MB_ICONWARNING);
                retry = true;
                break;
            }
            if (options_.Contains(ofFileMustExist) && !FileExists(f)) {
                MessageBox(nullptr,
                           Format("%s\nFile not found.\nCheck the file name and try again.", f.c_str()),
                           r.caption, MB_OK | MB_ICONWARNING);
                retry = true;
                break;
            }
            if (Save && options_.Contains(ofOverwritePrompt) && FileExists(f) &&
                MessageBox(nullptr, Format("%s already exists.\nDo you want to replace it?", f.c_str()),
                           r.caption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
                retry = true;
                break;
            }
        }
        if (retry) {
            // The same refused answer again (nobody at the screen, say): give up instead of asking forever.
            if (chosen.front() == rejected) return false;
            rejected = chosen.front();
            r.value = rejected;
            continue;
        }
        fileName_ = chosen.front();
        files_->Clear();
        for (const std::string& f : chosen)
            files_->Add(f);
        filterIndex_ = a.filterIndex;
        return true;
    }
}

bool TColorDialog::Execute() {
    PromptRequest r;
    r.kind = PromptKind::Color;
    r.caption = "Color";
    r.color = color_;
    PromptAnswer a = pw::vcl::Ask(r);
    if (a.result != IDOK) return false;
    color_ = a.color;
    return true;
}
