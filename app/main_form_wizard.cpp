// The wizard: its pages, the buttons' commands, the input checks, and the run's steps taken page by page.
#include "app/address_check.h"
#include "app/core/lm_files.h"
#include "app/core/map_profile.h"
#include "app/core/profile_texts.h"
#include "app/core/site_map_settings.h"
#include "app/main_form.h"
#include "app/main_texts.h"
#include "app/open_address.h"
#include "app/results/result_tree.h"
#include "app/site_map_about_form.h"
#include "app/site_map_ftp_form.h"
#include "app/site_map_options_form.h"
#include "app/site_map_run.h"
#include "bars/core/bar_button.h"
#include "controls/frame_controller.h"
#include "controls/rz_animator.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_page_control.h"
#include "controls/rz_progress_bar.h"
#include "controls/rz_status_bar.h"
#include "ftp/forms/quill_ftp.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/strings.h"
#include "platform/stdctrls/bit_btn.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/page_control.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "shellcontrols/rz_tree_view.h"

namespace {

struct PageRow {
    TRzTabSheet* TfrmSiteMapMain::*Sheet;
    const char* Header;
    bool Back;
    bool Next;
    const char* NextCaption;
    const char* CancelCaption;
};

const PageRow kPages[] = {
    {&TfrmSiteMapMain::tsInformation, main_text::HeaderInformation, false, true, main_text::Next,
     main_text::Close},
    {&TfrmSiteMapMain::tsStatus, main_text::HeaderStatus, false, false, main_text::Next, main_text::Cancel},
    {&TfrmSiteMapMain::tsResults, main_text::HeaderResults, true, true, main_text::Save, main_text::Close},
    {&TfrmSiteMapMain::tsOutputSettings, main_text::HeaderOutput, true, false, main_text::Save,
     main_text::Close},
    {&TfrmSiteMapMain::tsOutputStatus, main_text::HeaderOutput, true, false, main_text::Save,
     main_text::Close},
};

int Warn(const std::string& text) {
    return MessageBox(nullptr, text, main_text::AppTitle, MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

void TfrmSiteMapMain::ButtonClick(TObject* Sender) {
    auto* component = dynamic_cast<TComponent*>(Sender);
    if (!component) return;
    // While a run walks the tree only Cancel may act; the rest would free what it walks.
    if (busy_ > 0 && component->Tag() != 3) return;
    switch (component->Tag()) {
    case 0:
        MessageBox(nullptr, Format(main_text::UndefinedAction, component->Name()), main_text::AppTitle,
                   MB_OK);
        break;
    case 1:
        Next();
        break;
    case 2:
        Back();
        break;
    case 3:
        Cancel();
        break;
    case 4:
        OpenProfile();
        break;
    case 5:
        SaveCurrentProfile();
        break;
    case 9:
        BrowseIndexPage();
        break;
    case 10:
        BrowseOutputFile();
        break;
    case 11:
        break; // the insert output is not offered
    case 12:
        SaveProfileAs();
        break;
    case 14:
        OpenDocument(Profile_->OutputFileName());
        break;
    case 17:
        memoGenerated->SelectAll();
        memoGenerated->CopyToClipboard();
        memoGenerated->SetSelLength(0);
        break;
    case 18:
        UploadOutputFiles();
        break;
    default:
        break;
    }
}

void TfrmSiteMapMain::ShowPage() {
    btnCancel->SetCaption(main_text::Cancel);
    const PageRow& row = kPages[PageIndex_];
    btnBack->SetEnabled(row.Back);
    // Save writes the tree: with no page in it there is nothing to write.
    btnNext->SetEnabled(row.Next && (PageIndex_ != wpResults || tvMap->Items().Count() > 0));
    btnNext->SetCaption(row.NextCaption);
    lblHeader->SetCaption(row.Header);
    btnCancel->SetCaption(row.CancelCaption);
    if (PageIndex_ != wpOutputStatus) pcMain->SetActivePage(this->*row.Sheet);
    FocusPage();
}

void TfrmSiteMapMain::FocusPage() {
    // The keyboard stays on a control that can be seen: the one a person works with on this page.
    TWinControl* target = PageIndex_ == wpInformation
                              ? (optLocal->Checked() ? static_cast<TWinControl*>(editIndex) : editWebsite)
                          : PageIndex_ == wpStatus ? static_cast<TWinControl*>(btnCancel)
                                                   : tvMap;
    if (!target->CanFocus()) return;
    FocusWhenShown(target);
}

void TfrmSiteMapMain::FocusWhenShown(TWinControl* Control) {
    if (Visible())
        Control->SetFocus();
    else
        SetActiveControl(Control); // focused when the window shows, if ever
}

void TfrmSiteMapMain::Next() {
    if (PageIndex_ == wpInformation) {
        if (CheckGatheringInput()) {
            if (autoRun_) FailAutoRun();
            return;
        }
        const std::string address = mainwin::WithRootSlash(editWebsite->Text());
        if (address != editWebsite->Text()) editWebsite->SetText(address);
    }
    if (PageIndex_ == wpResults) {
        GenerateSiteMap();
        return;
    }
    ++PageIndex_;
    ShowPage();
    if (PageIndex_ == wpStatus) {
        RunGathering();
    } else if (PageIndex_ == wpResults && AutoMode_) {
        Next();
    }
}

void TfrmSiteMapMain::Back() {
    switch (PageIndex_) {
    case wpStatus:
    case wpResults:
        PageIndex_ = wpInformation;
        break;
    case wpOutputSettings:
    case wpOutputStatus:
        PageIndex_ = wpResults;
        break;
    default:
        return;
    }
    ShowPage();
    SetFtpEnabled(btnNext->Caption() == main_text::Done);
}

void TfrmSiteMapMain::Cancel() {
    AutoMode_ = false;
    SetAutoRun(false);
    if (run_->Gathering()) {
        run_->Cancel();
        btnBack->SetEnabled(true);
        return;
    }
    if (btnCancel->Caption() == main_text::Close) Close();
}

bool TfrmSiteMapMain::CloseAfterRun() {
    if (!closeAfterRun_) return false;
    closeAfterRun_ = false;
    // The person may still answer Cancel to the save question: the wizard then goes on as after any
    // cancelled run.
    Close();
    return closing_;
}

bool TfrmSiteMapMain::CheckGatheringInput() {
    if (optLocal->Checked()) {
        const std::string folder = IndexFolder();
        if (folder.empty() || !DirectoryExists(folder)) {
            Warn(main_text::IndexFolderMissing);
            FocusWhenShown(editIndex);
            return true;
        }
    }
    std::string address = editWebsite->Text();
    const mainwin::AddressProblem problem = mainwin::CheckWebsiteAddress(address);
    if (address != editWebsite->Text()) editWebsite->SetText(address);
    if (problem == mainwin::AddressProblem::None) return false;
    Warn(problem == mainwin::AddressProblem::Empty ? main_text::EnterWebsite : main_text::WebsiteScheme);
    FocusWhenShown(editWebsite);
    return true;
}

std::string TfrmSiteMapMain::IndexFolder() const {
    const std::string& index = Profile_->IndexPage();
    return index.empty() ? std::string() : ExtractFilePath(index);
}

void TfrmSiteMapMain::EnterBusy() {
    if (busy_++ > 0) return;
    for (TRzBitBtn* button : {btnNext, btnBack, btnOpenProfile, btnSaveProfile, btnSaveProfileAs,
                              btnProfileOptions, btnFtpOptions, btnBrowseIndex, btnOutputFileBrowse})
        button->SetEnabled(false);
    // Keys and label edits on the tree would free the records the run walks.
    tvMap->SetEnabled(false);
    // The commands of the menus and the toolbar would be refused as well: they show it.
    for (TdxBarButton* item : {miOpen, miSave, miSaveAs, miOptions})
        if (item) item->SetEnabled(false);
}

void TfrmSiteMapMain::LeaveBusy() {
    if (--busy_ > 0) return;
    for (TRzBitBtn* button : {btnOpenProfile, btnSaveProfile, btnSaveProfileAs, btnProfileOptions,
                              btnFtpOptions, btnOutputFileBrowse})
        button->SetEnabled(true);
    btnBrowseIndex->SetEnabled(optLocal->Checked());
    tvMap->SetEnabled(true);
    for (TdxBarButton* item : {miOpen, miSave, miSaveAs, miOptions})
        if (item) item->SetEnabled(true);
}

void TfrmSiteMapMain::ProcessMessages() {
    Application->ProcessMessages();
}

void TfrmSiteMapMain::ClearRunTexts() {
    // A new run: nothing shown may still describe the previous one.
    for (TLabel* label : {lblLookingIn, lblFileFound, lblFileCount, lblTotalFiles, lblLinkFileName,
                          lblGenerationStatus, lblGenerationFile, lblOutputStatus, lblGeneratingType})
        label->SetCaption("");
    for (TRzBitBtn* button : {btnViewOutputFile, btnCopyToClipboard, btnFTPFiles})
        button->SetEnabled(false);
    memoGenerated->Lines().Clear();
    SetFtpEnabled(false);
}

void TfrmSiteMapMain::RunGathering() {
    const bool gathered = run_->Gather(optLocal->Checked());
    if (CloseAfterRun()) return;
    if (!gathered && autoRun_) {
        FailAutoRun();
        return;
    }
    if (!gathered && tvMap->Items().Count() == 0) {
        ShowGatheringFailure();
        return;
    }
    Next();
}

void TfrmSiteMapMain::ShowGatheringFailure() {
    // An empty result is no result: the page stays with its count, and says why.
    lblStatusTitle->SetCaption(main_text::StartPageFailed);
    btnBack->SetEnabled(true);
    btnCancel->SetCaption(main_text::Close);
    if (btnBack->CanFocus()) btnBack->SetFocus();
    Warn(run_->GatherFailure());
}

void TfrmSiteMapMain::ShowResultTree() {
    TRzTreeNode* first = tvMap->Items().GetFirstNode();
    if (!first) return;
    first->Expand(true);
    tvMap->SetSelected(first);
    first->MakeVisible();
}

void TfrmSiteMapMain::ResetOutputDone() {
    if (btnNext->Caption() == main_text::Done) {
        btnNext->SetCaption(main_text::Save);
        btnNext->SetEnabled(true);
        PageIndex_ = wpResults;
    }
    SetFtpEnabled(btnNext->Caption() == main_text::Done);
}

void TfrmSiteMapMain::ClearIgnoreLists() {
    if (ShowingProfile_) return;
    Profile_->SetIgnoreFolders("");
    Profile_->SetIgnoreFiles("");
    IgnoreFolderList_->Clear();
    IgnoreFileList_->Clear();
}

void TfrmSiteMapMain::optSpiderTypeClick(TObject* Sender) {
    const bool local = Sender == optLocal ? optLocal->Checked() : !optWebsite->Checked();
    Profile_->SetSpiderType(local ? mstLocal : mstWebsite);
    lblIndexPage->SetEnabled(local);
    editIndex->SetEnabled(local);
    btnBrowseIndex->SetEnabled(local);
    ClearIgnoreLists();
}

void TfrmSiteMapMain::editIndexChange(TObject*) {
    Profile_->SetIndexPage(editIndex->Text());
    const std::string folder = IndexFolder();
    if (Profile_->OutputFileName().empty() && !folder.empty())
        editOutputFile->SetText(folder + profile_text::DefaultOutputName);
}

void TfrmSiteMapMain::editWebsiteChange(TObject*) {
    Profile_->SetWebsite(editWebsite->Text());
}

void TfrmSiteMapMain::BrowseIndexPage() {
    TOpenDialog dialog(nullptr);
    dialog.SetFilter(main_text::IndexFilter);
    const std::string current = editIndex->Text();
    const std::string folder = current.empty() ? std::string() : ExtractFilePath(current);
    dialog.SetInitialDir(!folder.empty() && DirectoryExists(folder) ? folder : std::string());
    dialog.SetFileName(current);
    dialog.SetOptions(TOpenOptions{ofHideReadOnly, ofFileMustExist, ofEnableSizing});
    if (!dialog.Execute()) return;
    editIndex->SetText(dialog.FileName());
    const std::string newFolder = ExtractFilePath(dialog.FileName());
    std::vector<int> invalid;
    for (int i = 0; i < IgnoreFolderList_->Count(); ++i)
        if (IgnoreFolderList_->Strings(i).rfind(newFolder, 0) != 0) invalid.push_back(i);
    if (invalid.empty()) return;
    if (MessageBox(nullptr, main_text::SubfoldersInvalid, main_text::SubfoldersInvalidCaption,
                   MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    for (auto it = invalid.rbegin(); it != invalid.rend(); ++it)
        IgnoreFolderList_->Delete(*it);
    // The profile follows at once, so the entries do not come back with the options or a save.
    Profile_->SetIgnoreFolders(IgnoreFolderList_->Text());
}

void TfrmSiteMapMain::BrowseOutputFile() {
    const std::string index = IndexFolder();
    std::string proposed = Profile_->OutputFileName();
    if (proposed.empty()) proposed = index + profile_text::DefaultOutputName;
    const std::string outputFolder =
        Profile_->OutputFileName().empty() ? std::string() : ExtractFilePath(Profile_->OutputFileName());
    TSaveDialog dialog(nullptr);
    dialog.SetFilter(main_text::OutputFilter);
    dialog.SetInitialDir(!outputFolder.empty() && DirectoryExists(outputFolder) ? outputFolder : index);
    std::string name = ExtractFileName(proposed);
    if (HasInvalidFileNameChars(name)) name = profile_text::DefaultOutputName;
    dialog.SetFileName(name);
    dialog.SetOptions(TOpenOptions{ofHideReadOnly, ofOverwritePrompt, ofEnableSizing});
    if (dialog.Execute()) editOutputFile->SetText(dialog.FileName());
}

void TfrmSiteMapMain::rbOutputClick(TObject*) {
    Profile_->SetOutputType(moutFile);
    for (TControl* control : std::initializer_list<TControl*>{btnOutputFileBrowse, editOutputFile, chkGoogle})
        control->SetEnabled(rbOutputFile->Checked());
    ResetOutputDone();
}

void TfrmSiteMapMain::editOutputFileChange(TObject*) {
    Profile_->SetOutputFileName(editOutputFile->Text());
    ResetOutputDone();
}

void TfrmSiteMapMain::chkGoogleClick(TObject*) {
    Profile_->SetMakeGoogleSM(chkGoogle->Checked());
    ResetOutputDone();
}

void TfrmSiteMapMain::ShowOptions(int Page) {
    bool loadLast = Settings_ && Settings_->LoadLast();
    TServerDirectory servers;
    servers.ServerNames = [this] { return run_->Ftp().ServerNames(); };
    servers.SelectServer = [this](std::string& name) { return run_->Ftp().SelectServer(name); };
    if (!ShowProfileOptions(*Profile_, loadLast, Profile_->SpiderType() == mstLocal, Page, servers)) return;
    if (Settings_) Settings_->SetLoadLast(loadLast);
    IgnoreFolderList_->SetText(Profile_->IgnoreFolders());
    IgnoreFileList_->SetText(Profile_->IgnoreFiles());
    // Colours, images and defaults shape the page: one written before is no longer what they give.
    ResetOutputDone();
}

void TfrmSiteMapMain::UploadOutputFiles() {
    if (!ChooseUploadServer(*Profile_, run_->Ftp())) return;
    run_->Upload();
}

bool TfrmSiteMapMain::AutoUploadOutputFiles() {
    return run_->UploadUnattended();
}

void TfrmSiteMapMain::OpenHelpFile() {
    const std::string path = ProgramFolder() + main_text::HelpFile;
    if (!FileExists(path)) {
        MessageBox(nullptr, main_text::HelpMissing + path, main_text::HelpMissingCaption,
                   MB_OK | MB_ICONERROR);
        return;
    }
    OpenDocument(path);
}

void TfrmSiteMapMain::miOpenClick(TObject*) {
    if (busy_ == 0) OpenProfile();
}
void TfrmSiteMapMain::miSaveClick(TObject*) {
    if (busy_ == 0) SaveCurrentProfile();
}
void TfrmSiteMapMain::miSaveAsClick(TObject*) {
    if (busy_ == 0) SaveProfileAs();
}
void TfrmSiteMapMain::miExitClick(TObject*) {
    Close();
}
void TfrmSiteMapMain::miOptionsClick(TObject*) {
    if (busy_ == 0) ShowOptions(-1);
}
void TfrmSiteMapMain::miFTPClick(TObject*) {
    if (busy_ == 0 && FtpEnabled()) UploadOutputFiles();
}
void TfrmSiteMapMain::miHelpClick(TObject*) {
    OpenHelpFile();
}
void TfrmSiteMapMain::miHelpOnlineClick(TObject*) {
    OpenDocument(main_text::HelpOnlineAddress);
}
void TfrmSiteMapMain::miSupportClick(TObject*) {
    OpenDocument(main_text::SupportAddress);
}
void TfrmSiteMapMain::miAboutClick(TObject*) {
    ShowAboutWindow();
}
